// SPDX-License-Identifier: MIT
// The main window in each language and unit system, as a crew sees it: every
// caption readable whole in its place, at the designed size and drawn twice
// as large, and the designed Russian window back exactly after another.

#include "app/main_window_design.h"
#include "app/form1.h"
#include "common/error_display.h"
#include "decor/gradient_caption.h"
#include "decor/transparent_button.h"
#include "numeric/core/date_time.h"
#include "numeric/core/date_time_format.h"
#include "numeric/core/locale_formats.h"
#include "tests/support/number_marks.h"
#include "tests/support/profile_sandbox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dw {
namespace {

using units::TLanguage;
using units::TUnitSystem;

class MainWindowDesign : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = SetErrorDisplay([this](const std::string& message) { errors.push_back(message); });
    }
    void TearDown() override
    {
        form.reset();
        m_profile.reset();
        SetErrorDisplay(std::move(m_previous));
    }

    // The program starts for the first time (a profile of its own, so a
    // size chosen in one row does not open the next): the designed window,
    // shown and active.
    void Start()
    {
        form.reset();
        m_profile.reset();
        m_profile.emplace();
        form = std::make_unique<TForm1>();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    QImage Look() const { return form->grab().toImage(); }

    ScopedLocaleFormats marks{test::CommaSpaceMarks()};
    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;

private:
    std::optional<test::ProfileSandbox> m_profile;
    ErrorDisplayHandler m_previous;
};

// One caption as it stands in the window: the text's own extent, measured in
// its font, and the room it has, both in the client area's coordinates.
struct CaptionPlace {
    QString Name;
    QString Text;
    QRect TextRect;
    QRect Room;
    // The control the caption belongs to; every other one must stay clear.
    const QWidget* Owner;
};

QRect InClient(const QWidget* widget, const QWidget* client, QRect rect)
{
    return rect.translated(widget->mapTo(client, QPoint(0, 0)));
}

QRect Centred(QSize size, QRect room)
{
    return {room.left() + (room.width() - size.width()) / 2, room.top() + (room.height() - size.height()) / 2,
            size.width(), size.height()};
}

std::vector<CaptionPlace> CaptionsOf(const TForm1& form)
{
    const QWidget* client = form.ClientArea();
    std::vector<CaptionPlace> places;
    for (int n = 1; n <= 14; ++n) {
        const QLabel* label = form.Label(n);
        const QSize text = QFontMetrics(label->font(), label).size(0, label->text());
        places.push_back({label->objectName(), label->text(), QRect(label->pos(), text), label->geometry(), label});
    }
    for (int n = 1; n <= 3; ++n) {
        const QGroupBox* box = form.GroupBox(n);
        const QFontMetrics metrics(box->font(), box);
        // Set into the frame's top edge eight pixels from the left; the
        // frame's right edge is two lines wide.
        const QRect text(8, 0, metrics.horizontalAdvance(box->title()) + 1, metrics.height());
        const QRect room(0, 0, box->width() - 2, box->height());
        places.push_back(
            {box->objectName(), box->title(), InClient(box, client, text), InClient(box, client, room), box});
    }
    const QPushButton* calculate = form.BitBtn1();
    QStyleOptionButton option;
    option.initFrom(calculate);
    option.text = calculate->text();
    const QRect contents = calculate->style()->subElementRect(QStyle::SE_PushButtonContents, &option, calculate);
    const QSize calculateText = QFontMetrics(calculate->font(), calculate).size(Qt::TextShowMnemonic, option.text);
    places.push_back({calculate->objectName(), calculate->text(),
                      InClient(calculate, client, Centred(calculateText, contents)),
                      InClient(calculate, client, contents), calculate});
    const TTransparentButton* print = form.TransparentButton1();
    // Clear of the frame that shows under the pointer by the button's spacing.
    const int spacing = print->Spacing();
    const QRect printRoom = print->rect().adjusted(spacing, spacing, -spacing, -spacing);
    const QSize printText = QFontMetrics(print->font(), print).size(Qt::TextShowMnemonic, print->Caption());
    places.push_back({print->objectName(), print->Caption(), InClient(print, client, Centred(printText, printRoom)),
                      InClient(print, client, printRoom), print});
    return places;
}

bool Within(const QWidget* widget, const QWidget* ancestor)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget())
        if (w == ancestor)
            return true;
    return false;
}

// Every caption of the window, in both languages and both unit systems, at
// the designed size and drawn twice as large by the window's own zoom (the
// whole window laid out again at twice the pixels, its fonts hinted anew).
// The same table runs once more with the desktop's scale at 2
// (QT_SCALE_FACTOR=2), where only the device pixels double.
TEST_F(MainWindowDesign, EveryCaptionFitsItsBox)
{
    const struct {
        const char* name;
        TLanguage language;
        TUnitSystem units;
        int zoom;
    } rows[] = {
        {"Russian metric", TLanguage::Russian, TUnitSystem::Metric, 100},
        {"Russian oilfield", TLanguage::Russian, TUnitSystem::Oilfield, 100},
        {"English metric", TLanguage::English, TUnitSystem::Metric, 100},
        {"English oilfield", TLanguage::English, TUnitSystem::Oilfield, 100},
        {"Russian metric at 200 %", TLanguage::Russian, TUnitSystem::Metric, 200},
        {"Russian oilfield at 200 %", TLanguage::Russian, TUnitSystem::Oilfield, 200},
        {"English metric at 200 %", TLanguage::English, TUnitSystem::Metric, 200},
        {"English oilfield at 200 %", TLanguage::English, TUnitSystem::Oilfield, 200},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        Start();
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
            ASSERT_EQ(form->devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
        // Drawn larger first: the design is then chosen on a larger window.
        form->SetZoom(row.zoom);
        ApplyMainWindowDesign(*form, row.language, row.units);
        // The date a calculation writes between the two commands.
        form->Label14()->setText(QString::fromStdString(DateToText(CurrentDate())));
        form->Label14()->adjustSize();

        const QWidget* client = form->ClientArea();
        const QRect area(QPoint(0, 0), client->size());
        const std::vector<CaptionPlace> captions = CaptionsOf(*form);
        for (const CaptionPlace& caption : captions) {
            SCOPED_TRACE(caption.Name.toStdString() + " \"" + caption.Text.toStdString() + "\"");
            EXPECT_FALSE(caption.Text.isEmpty());
            EXPECT_TRUE(caption.Room.contains(caption.TextRect))
                << "clipped: text " << caption.TextRect.width() << " x " << caption.TextRect.height() << " at "
                << caption.TextRect.x() << ", " << caption.TextRect.y() << "; room " << caption.Room.width() << " x "
                << caption.Room.height() << " at " << caption.Room.x() << ", " << caption.Room.y();
            EXPECT_TRUE(area.contains(caption.Room)) << "past the window's edge";
            // A caption's room is its label; a box's or a command's caption
            // stands inside the control it names.
            const QRect covered = qobject_cast<const QLabel*>(caption.Owner) ? caption.Room : caption.TextRect;
            for (const QWidget* other : client->findChildren<QWidget*>()) {
                if (!other->isVisibleTo(form.get()) || Within(caption.Owner, other) || Within(other, caption.Owner))
                    continue;
                EXPECT_FALSE(InClient(other, client, other->rect()).intersects(covered))
                    << "overlaps " << other->objectName().toStdString();
            }
        }
        const TGradientCaption* bar = form->GradientCaption1();
        const QRect barRect = bar->CaptionRect();
        // The icon stands in a square of the bar's height; the text follows.
        const auto texts = bar->LayoutTexts(barRect.width(), barRect.height(), true);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.back().Text, form->windowTitle()) << "the title in the caption bar is cut";
        EXPECT_EQ(form->windowTitle(), QString::fromUtf8(design::MainWindowDesign(row.language).Title));
        EXPECT_TRUE(errors.empty());
    }
}

// The caption of a column that names a unit names the unit the crew works
// in; the language decides every other word.
TEST_F(MainWindowDesign, TheColumnThatNamesAUnitFollowsTheUnits)
{
    const struct {
        const char* name;
        TLanguage language;
        TUnitSystem units;
        const char* title;
        const char* weightColumn;
        const char* calculate;
    } rows[] = {
        {"Russian metric", TLanguage::Russian, TUnitSystem::Metric, "ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА",
         "Вес 1 метра", "РАСЧЕТ"},
        {"Russian oilfield", TLanguage::Russian, TUnitSystem::Oilfield, "ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА",
         "Вес 1 фута", "РАСЧЕТ"},
        {"English metric", TLanguage::English, TUnitSystem::Metric, "DRILL STRING WEIGHT", "Weight per m", "CALCULATE"},
        {"English oilfield", TLanguage::English, TUnitSystem::Oilfield, "DRILL STRING WEIGHT", "Weight per ft",
         "CALCULATE"},
    };
    Start();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ApplyMainWindowDesign(*form, row.language, row.units);
        EXPECT_EQ(form->windowTitle(), QString::fromUtf8(row.title));
        EXPECT_EQ(form->GradientCaption1()->FormCaption(), QString::fromUtf8(row.title));
        EXPECT_EQ(form->GroupBox(3)->title(), QString::fromUtf8(row.weightColumn));
        EXPECT_EQ(form->BitBtn1()->text(), QString::fromUtf8(row.calculate));
    }
}

// Choosing Russian and metric again gives back the designed window to the
// pixel, whatever was chosen before and however large it is drawn.
TEST_F(MainWindowDesign, RussianMetricAfterAnotherDesignIsTheDesignedWindow)
{
    struct Step {
        TLanguage language;
        TUnitSystem units;
        int zoom;  // the window's size after this design is chosen
    };
    const struct {
        const char* name;
        int zoomBefore;
        std::vector<Step> steps;
    } rows[] = {
        {"after English metric", 100, {{TLanguage::English, TUnitSystem::Metric, 100}}},
        {"after English oilfield", 100, {{TLanguage::English, TUnitSystem::Oilfield, 100}}},
        {"after Russian oilfield", 100, {{TLanguage::Russian, TUnitSystem::Oilfield, 100}}},
        {"English chosen at 200 %, back to 100 % in Russian",
         200,
         {{TLanguage::English, TUnitSystem::Oilfield, 200}, {TLanguage::Russian, TUnitSystem::Metric, 100}}},
        {"English chosen, then drawn at 200 %, back in Russian at 200 %",
         100,
         {{TLanguage::English, TUnitSystem::Metric, 200}, {TLanguage::Russian, TUnitSystem::Metric, 200}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int finalZoom = row.steps.back().zoom;
        TearDown();
        SetUp();
        Start();
        form->SetZoom(finalZoom);
        const QImage designed = Look();
        TearDown();
        SetUp();
        Start();
        form->SetZoom(row.zoomBefore);
        for (const Step& step : row.steps) {
            ApplyMainWindowDesign(*form, step.language, step.units);
            form->SetZoom(step.zoom);
        }
        ApplyMainWindowDesign(*form, TLanguage::Russian, TUnitSystem::Metric);
        EXPECT_EQ(Look(), designed);
        EXPECT_TRUE(errors.empty());
    }
}

}  // namespace
}  // namespace dw
