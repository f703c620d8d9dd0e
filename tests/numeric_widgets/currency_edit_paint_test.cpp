// SPDX-License-Identifier: MIT
#include "num_edit_fixture.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <cstdlib>

namespace dw::testing {
namespace {

const QColor kSilver(192, 192, 192);
const QColor kBlack(0, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kYellow(255, 255, 0);

int Distance(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

// The box around the pixels nearer the ink than the background, looked for
// inside the frame (two pixels in from each edge).
QRect InkBox(const QImage& image, QColor ink, QColor background)
{
    QRect box;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (Distance(pixel, ink) < Distance(pixel, background))
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

class PaintTest : public NumEditFixture {
protected:
    void SetUp() override
    {
        NumEditFixture::SetUp();
        for (TCustomNumEdit* field : {first, second}) {
            field->SetColor(kSilver);
            field->SetFontColor(kBlack);
        }
    }

    QImage Render(QWidget* widget) { return widget->grab().toImage(); }
};

TEST_F(PaintTest, UnfocusedTextFollowsTheAlignment)
{
    first->SetValue(12);
    const QImage right = Render(first);
    const QRect rightInk = InkBox(right, kBlack, kSilver);
    ASSERT_FALSE(rightInk.isEmpty());
    const int rightGap = right.width() - 1 - rightInk.right();
    EXPECT_GE(rightGap, 3);
    EXPECT_LE(rightGap, 9);

    first->SetAlignment(Qt::AlignLeft);
    const QRect leftInk = InkBox(Render(first), kBlack, kSilver);
    EXPECT_LE(leftInk.left(), 6);
    EXPECT_EQ(leftInk.width(), rightInk.width());
    EXPECT_EQ(leftInk.top(), rightInk.top());

    first->SetAlignment(Qt::AlignHCenter);
    const QRect centreInk = InkBox(Render(first), kBlack, kSilver);
    EXPECT_NEAR((centreInk.left() + centreInk.right()) / 2.0, first->width() / 2.0, 2.5);

    // Written from the top, like the edit control, not centred vertically.
    EXPECT_LE(rightInk.top(), first->height() / 2 - 3);
}

TEST_F(PaintTest, DisplayedTextIsWhatIsPainted)
{
    first->SetValue(234.5L);  // 234,50 кг. (what the test font fits in 73 pixels)
    const QRect wide = InkBox(Render(first), kBlack, kSilver);
    first->SetDisplayFormat(QStringLiteral("0"));  // 235
    const QRect narrow = InkBox(Render(first), kBlack, kSilver);
    EXPECT_GT(wide.width(), narrow.width() + 15);
}

TEST_F(PaintTest, FocusedFieldCopiedElsewhereShowsItsDisplayText)
{
    first->SetValue(1234.5L);
    const QImage unfocused = Render(first);
    Tab();
    ASSERT_TRUE(first->IsFocusedState());
    EXPECT_EQ(Render(first), unfocused);
}

TEST_F(PaintTest, FocusedFieldOnScreenShowsTheEditTextWhereTheDisplayStood)
{
    first->SetAlignment(Qt::AlignLeft);
    first->SetDisplayFormat(QStringLiteral("0.00"));
    first->SetValue(12);       // display 12,00, edit text 12
    first->setReadOnly(true);  // no caret in the picture
    const QRect shown = InkBox(Render(first), kBlack, kSilver);
    Tab();
    ASSERT_TRUE(first->IsFocusedState());
    first->deselect();
    QCoreApplication::processEvents();
    const QPoint at = first->mapTo(window.get(), QPoint(0, 0));
    const QImage screen = window->screen()->grabWindow(window->winId()).toImage();
    if (screen.isNull())
        GTEST_SKIP() << "the platform cannot grab its windows";
    const QImage field = screen.copy(QRect(at, first->size()));
    const QRect edited = InkBox(field, kBlack, kSilver);
    ASSERT_FALSE(edited.isEmpty());
    EXPECT_LT(edited.width(), shown.width());  // "12", not "12,00"
    EXPECT_NEAR(edited.left(), shown.left(), 1);
    EXPECT_NEAR(edited.top(), shown.top(), 1);
}

// The sunken two-pixel edge of a 3-D edit: shadow over highlight outside,
// dark shadow over the light face inside, the same with and without focus.
TEST_F(PaintTest, SunkenEdgeInBothFocusStates)
{
    first->SetValue(5);
    const QPalette colours = first->palette();
    const auto checkEdge = [&](const QImage& image, const char* state) {
        const int right = image.width() - 1, bottom = image.height() - 1;
        struct Pixel {
            const char* where;
            QPoint at;
            QPalette::ColorRole role;
        };
        const Pixel pixels[] = {
            {"outer top", {image.width() / 2, 0}, QPalette::Dark},
            {"outer left", {0, image.height() / 2}, QPalette::Dark},
            {"outer bottom", {image.width() / 2, bottom}, QPalette::Light},
            {"outer right", {right, image.height() / 2}, QPalette::Light},
            {"inner top", {image.width() / 2, 1}, QPalette::Shadow},
            {"inner left", {1, image.height() / 2}, QPalette::Shadow},
            {"inner bottom", {image.width() / 2, bottom - 1}, QPalette::Midlight},
            {"inner right", {right - 1, image.height() / 2}, QPalette::Midlight},
            {"inside", {3, 3}, QPalette::Base},
        };
        for (const Pixel& pixel : pixels)
            EXPECT_EQ(image.pixelColor(pixel.at).rgb(), colours.color(pixel.role).rgb())
                << state << ": " << pixel.where;
    };
    checkEdge(Render(first), "without focus");

    first->setReadOnly(true);  // no caret in the picture
    Tab();
    ASSERT_TRUE(first->IsFocusedState());
    first->deselect();
    QCoreApplication::processEvents();
    const QImage screen = window->screen()->grabWindow(window->winId()).toImage();
    if (screen.isNull())
        GTEST_SKIP() << "the platform cannot grab its windows";
    checkEdge(screen.copy(QRect(first->mapTo(window.get(), QPoint(0, 0)), first->size())), "with focus");
}

TEST_F(PaintTest, DisabledFieldIsGreyed)
{
    first->SetValue(88);
    const QImage enabled = Render(first);
    first->setEnabled(false);
    const QImage disabled = Render(first);
    const auto darkest = [](const QImage& image) {
        int best = 1000;
        for (int y = 3; y < image.height() - 3; ++y)
            for (int x = 3; x < image.width() - 3; ++x) best = std::min(best, Distance(image.pixelColor(x, y), kBlack));
        return best;
    };
    EXPECT_LT(darkest(enabled), 60);
    EXPECT_GT(darkest(disabled), 150);
}

// Writes a picture of a few fields in the main window's colours when
// DW_SAVE_RENDERS names a directory, for a person to look at.
TEST_F(PaintTest, SavesASampleForTheEye)
{
    const QByteArray directory = qgetenv("DW_SAVE_RENDERS");
    if (directory.isEmpty())
        GTEST_SKIP() << "set DW_SAVE_RENDERS to a directory to keep the picture";
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    QWidget sample;
    sample.resize(260, 150);
    const auto make = [&](int y, const QString& format, Extended value, bool result, Qt::Alignment alignment) {
        auto* field = new TCurrencyEdit(&sample);
        field->setGeometry(10, y, 73, 21);
        field->SetDisplayFormat(format);
        field->SetColor(result ? kGreen : kSilver);
        field->SetFontColor(result ? kYellow : kBlack);
        QFont own = font;
        own.setBold(result);
        field->setFont(own);
        field->SetAlignment(alignment);
        field->SetValue(value);
        return field;
    };
    make(10, kKilograms, 1234.5L, false, Qt::AlignRight);
    make(35, QString::fromUtf8(",0.0 м'.';-,0.0 м'.'"), 2500, false, Qt::AlignRight);
    make(60, kTonnes3, 12.3456L, true, Qt::AlignRight);
    make(85, kKilograms, -3, false, Qt::AlignLeft);
    make(110, kKilograms, 0, false, Qt::AlignHCenter)->setEnabled(false);
    auto* caption = new QLabel(QStringLiteral("right, right, result, left, centre (disabled)"), &sample);
    caption->setGeometry(90, 10, 160, 120);
    caption->setWordWrap(true);
    const QString path = QDir(QString::fromLocal8Bit(directory)).filePath(QStringLiteral("numedit_fields.png"));
    const QImage image =
        sample.grab().toImage().scaled(sample.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    ASSERT_TRUE(image.save(path));
}

}  // namespace
}  // namespace dw::testing
