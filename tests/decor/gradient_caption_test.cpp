// SPDX-License-Identifier: MIT
#include "decor/gradient_caption.h"
#include "design/design_fonts.h"

#include "decor/gradient_fill.h"
#include "frame_test_support.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <vector>

namespace dw {
namespace {

using testing::FramedWindow;
using testing::Hex;
using testing::Near;

constexpr QRgb kStart = qRgb(0, 0, 0);
constexpr QRgb kActiveEnd = qRgb(0, 0, 255);
constexpr QRgb kInactiveEnd = qRgb(0, 160, 0);
constexpr QRgb kActiveText = qRgb(255, 255, 0);
constexpr QRgb kInactiveText = qRgb(255, 0, 255);

// Pixels of the caption bar, x and y from the bar's top-left corner. Row 0
// lies above the icon and the text, so it shows the background alone.
struct Bar {
    QImage image;
    QRect rect;
    QRgb At(int x, int y = 0) const { return image.pixel(rect.left() + x, rect.top() + y); }
    // Bounding box (in bar coordinates) and count of pixels of one colour.
    QRect Ink(QRgb colour, int* count = nullptr) const
    {
        QRect box;
        int n = 0;
        for (int y = 0; y < rect.height(); ++y)
            for (int x = 0; x < rect.width(); ++x)
                if (Near(At(x, y), colour, 40)) {
                    box |= QRect(x, y, 1, 1);
                    ++n;
                }
        if (count)
            *count = n;
        return box;
    }
};

Bar PaintBar(FramedWindow& w)
{
    return {w.Paint(), w.caption->CaptionRect()};
}

TEST(GradientFill, FillsBandsByTheRule)
{
    struct Row {
        const char* name;
        int width;
        int colours;
        std::vector<int> blues;  // expected blue of each pixel column
    };
    const Row rows[] = {
        {"no colours: start colour", 4, 0, {0, 0, 0, 0}},
        {"one colour: start colour", 4, 1, {0, 0, 0, 0}},
        {"two colours split the width", 4, 2, {0, 0, 255, 255}},
        {"the rest of the width takes the end colour", 7, 3, {0, 0, 128, 128, 255, 255, 255}},
        {"more colours than columns: one column each", 3, 200, {0, 128, 255}},
        {"a single column gets the end colour", 1, 64, {255}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QImage image(row.width, 1, QImage::Format_RGB32);
        image.fill(qRgb(9, 9, 9));
        {
            QPainter painter(&image);
            FillGradient(painter, image.rect(), QColor(kStart), QColor(kActiveEnd), row.colours);
        }
        std::vector<int> blues;
        for (int x = 0; x < row.width; ++x) blues.push_back(qBlue(image.pixel(x, 0)));
        EXPECT_EQ(blues, row.blues);
    }
}

TEST(GradientFill, MulDivRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(MulDiv(1, 255, 2), 128);
    EXPECT_EQ(MulDiv(1, -255, 2), -128);
    EXPECT_EQ(MulDiv(13, 255, 63), 53);
    EXPECT_EQ(MulDiv(1, 1, 3), 0);
}

TEST(GradientCaption, DefaultsAreThoseOfTheComponent)
{
    FramedWindow w(437, 338, false);
    TGradientCaption caption(w.form.get());
    EXPECT_TRUE(caption.Active());
    EXPECT_TRUE(caption.DefaultFont());
    EXPECT_TRUE(caption.FormCaption().isEmpty());
    EXPECT_TRUE(caption.GradientActive());
    EXPECT_FALSE(caption.GradientInactive());
    EXPECT_EQ(caption.GradientSteps(), 64);
    EXPECT_EQ(caption.HideDirection(), THideDirection::hdLeftToRight);
    EXPECT_EQ(caption.PopupMenu(), nullptr);
    EXPECT_EQ(caption.Captions().Count(), 0);
    EXPECT_EQ(caption.StartColor().rgb(), kStart);
    EXPECT_EQ(caption.FontInactiveColor().rgb(), kInactiveText);
    EXPECT_EQ(caption.FontColor().rgb(), kActiveText);
    // The designed family, asked for through its installed stand-in.
    EXPECT_TRUE(caption.Font().families().contains(QStringLiteral("MS Sans Serif")));
    EXPECT_EQ(caption.Font().families().front(), dw::SubstituteFontFamily(QStringLiteral("MS Sans Serif")));
    EXPECT_EQ(caption.Font().pixelSize(), 11);
    EXPECT_TRUE(caption.Font().bold());
}

TEST(GradientCaption, ActiveBarRunsFromAFifthOfTheWayToTheActiveEnd)
{
    FramedWindow w;
    w.ShowActive();
    ASSERT_TRUE(w.caption->DrawnActive());
    const Bar bar = PaintBar(w);
    ASSERT_EQ(bar.rect, QRect(4, 4, 383, 18));
    // The gradient starts a quarter of the width to the left: the left edge
    // shows about a fifth of the way (one band of 64 is 4 levels).
    EXPECT_EQ(qRed(bar.At(0)), 0);
    EXPECT_NEAR(qBlue(bar.At(0)), 255 / 5, 5) << Hex(bar.At(0));
    EXPECT_EQ(bar.At(382), kActiveEnd);
    // The bar grows bluer from left to right.
    EXPECT_LT(qBlue(bar.At(100)), qBlue(bar.At(300)));
    // The small icon, then the caption text in the caption text colour.
    EXPECT_EQ(bar.At(10, 8), qRgb(255, 0, 0));
    int ink = 0;
    const QRect text = bar.Ink(kActiveText, &ink);
    EXPECT_GT(ink, 100);
    EXPECT_GE(text.left(), 18 + 2);
    EXPECT_LE(text.left(), 18 + 4);
    EXPECT_EQ(bar.Ink(kInactiveText).width(), 0);
    // The buttons stay the frame's.
    EXPECT_EQ(w.frame->HitTest(QPoint(4 + 383 + 20, 10)), THitTest::MaxButton);
}

TEST(GradientCaption, InactiveLookFollowsGradientInactive)
{
    struct Row {
        const char* name;
        bool gradientInactive;
        QRgb left;
    };
    const Row rows[] = {
        {"gradient towards the inactive end", true, qRgb(0, 32, 0)},
        {"solid inactive end", false, kInactiveEnd},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FramedWindow w;
        w.caption->SetGradientInactive(row.gradientInactive);
        w.ShowActive();
        QWidget other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        EXPECT_FALSE(w.caption->DrawnActive());
        const Bar bar = PaintBar(w);
        EXPECT_TRUE(Near(bar.At(0), row.left, 4)) << Hex(bar.At(0));
        EXPECT_EQ(bar.At(382), kInactiveEnd);
        int ink = 0;
        bar.Ink(kInactiveText, &ink);
        EXPECT_GT(ink, 100);
        EXPECT_EQ(bar.Ink(kActiveText).width(), 0);
    }
}

TEST(GradientCaption, WithoutDesktopGradientsTheBarRunsToThePlainCaptionColour)
{
    FramedWindow w;
    TCaptionColours colours = testing::TestColours();
    colours.GradientCaptions = false;
    SetDesktopCaptionColours(colours);
    w.ShowActive();
    EXPECT_EQ(PaintBar(w).At(382), qRgb(0, 0, 128));
}

TEST(GradientCaption, GradientStepsUsesItsLowByte)
{
    struct Row {
        const char* name;
        int steps;
        std::function<void(const Bar&)> check;
    };
    const Row rows[] = {
        {"1: a solid bar in the start colour", 1,
         [](const Bar& bar) {
             EXPECT_EQ(bar.At(0), kStart);
             EXPECT_EQ(bar.At(382), kStart);
         }},
        {"256 is 0: a solid bar in the start colour", 256,
         [](const Bar& bar) {
             EXPECT_EQ(bar.At(0), kStart);
             EXPECT_EQ(bar.At(382), kStart);
         }},
        {"258 is 2: halves split 95 + 144 pixels from the gradient's start", 258,
         [](const Bar& bar) {
             EXPECT_EQ(bar.At(143), kStart);
             EXPECT_EQ(bar.At(144), kActiveEnd);
         }},
        {"-1 is 255: one-pixel bands over the first 255 of 478 pixels, the end colour after them", -1,
         [](const Bar& bar) {
             EXPECT_EQ(qBlue(bar.At(0)), MulDiv(95, 255, 254));
             EXPECT_EQ(qBlue(bar.At(159)), 255);
             EXPECT_EQ(bar.At(160), kActiveEnd);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FramedWindow w;
        w.caption->SetGradientSteps(row.steps);
        w.ShowActive();
        row.check(PaintBar(w));
    }
}

TEST(GradientCaption, MoreStepsThanPixelsGiveOnePixelBands)
{
    // A 150-pixel bar: its gradient is 150 + 37 pixels wide, fewer than 255.
    FramedWindow w(204, 100);
    w.caption->SetGradientSteps(255);
    w.ShowActive();
    const Bar bar = PaintBar(w);
    ASSERT_EQ(bar.rect.width(), 150);
    EXPECT_EQ(qBlue(bar.At(0)), MulDiv(37, 255, 186));
    for (int x = 1; x < 150; ++x) ASSERT_GT(qBlue(bar.At(x)), qBlue(bar.At(x - 1))) << "column " << x;
    EXPECT_EQ(bar.At(149), kActiveEnd);
}

TEST(GradientCaption, ANarrowBarShortensTheCaptionWithDots)
{
    FramedWindow w(204, 100);
    w.ShowActive();
    const QRect rect = w.caption->CaptionRect();
    const auto texts = w.caption->LayoutTexts(rect.width(), rect.height(), true);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0].Text.startsWith(QStringLiteral("ИЗМЕРЕНИЕ"))) << texts[0].Text.toStdString();
    EXPECT_TRUE(texts[0].Text.endsWith(QStringLiteral("..."))) << texts[0].Text.toStdString();
    EXPECT_LE(texts[0].Left + texts[0].Width, rect.width());
    // Painted: the text ink ends inside the bar, some way short of its end.
    const Bar bar = PaintBar(w);
    const QRect ink = bar.Ink(kActiveText);
    EXPECT_GT(ink.width(), 60);
    EXPECT_LT(ink.right(), rect.width());

    // The main window's bar holds the whole caption.
    FramedWindow wide;
    const auto full = wide.caption->LayoutTexts(383, 18, true);
    ASSERT_EQ(full.size(), 1u);
    EXPECT_EQ(full[0].Text, QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"));
}

TEST(GradientCaption, ShortenTextCutsTwoCharactersFirstThenOneAtATime)
{
    const QFont font = TGradientCaption::SystemCaptionFont();
    const QFontMetrics metrics(font);
    const QString text = QStringLiteral("ABCDEFGH");
    auto width = [&](const QString& s) { return metrics.horizontalAdvance(s); };
    struct Row {
        const char* name;
        int width;
        QString expected;
    };
    const Row rows[] = {
        {"fits", width(text), text},
        {"one pixel short", width(text) - 1, QStringLiteral("ABCDEF...")},
        {"room for three letters", width(QStringLiteral("ABC...")), QStringLiteral("ABC...")},
        {"no room: the dots alone", 0, QStringLiteral("...")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TGradientCaption::ShortenText(text, row.width, metrics), row.expected);
    }
    // Characters outside the basic plane are never split.
    const QString wide = QString::fromUcs4(U"AB\U0001F600CD");
    const QString cut = TGradientCaption::ShortenText(wide, width(QStringLiteral("AB...")) + 1, metrics);
    EXPECT_FALSE(cut.isEmpty());
    for (QChar c : cut) EXPECT_FALSE(c.isLowSurrogate() && cut.indexOf(c) == 0);
    EXPECT_TRUE(cut == QStringLiteral("AB...") || cut == QStringLiteral("A...") || cut == QStringLiteral("..."))
        << cut.toStdString();
}

TEST(GradientCaption, CaptionPartsGiveWayByHideDirection)
{
    FramedWindow w;
    TGradientCaption& caption = *w.caption;
    caption.SetFormCaption(QStringLiteral("Caption"));
    const QFont font = caption.Font();
    const QFontMetrics metrics(font);
    auto width = [&](const char* s) { return metrics.horizontalAdvance(QString::fromLatin1(s)); };

    TCaptionPart& first = caption.Captions().Add();
    first.SetCaption(QStringLiteral("First "));
    TCaptionPart& second = caption.Captions().Add();
    second.SetCaption(QStringLiteral("Second "));
    TCaptionPart& hidden = caption.Captions().Add();
    hidden.SetCaption(QStringLiteral("Hidden "));
    hidden.SetVisible(false);

    auto texts = [&](int barWidth) {
        QStringList out;
        for (const auto& t : caption.LayoutTexts(barWidth, 18, true)) out << t.Text;
        return out;
    };
    const int all = 18 + 2 + width("First ") + width("Second ") + width("Caption");
    struct Row {
        const char* name;
        THideDirection direction;
        bool glue;
        int barWidth;
        QStringList expected;
    };
    const Row rows[] = {
        {"room for all", THideDirection::hdLeftToRight, false, all, {"First ", "Second ", "Caption"}},
        {"the leftmost part goes first", THideDirection::hdLeftToRight, false, all - 1, {"Second ", "Caption"}},
        {"a glued part goes with the next", THideDirection::hdLeftToRight, true, all - 1, {"Caption"}},
        {"right to left: the caption is left out when the width is used",
         THideDirection::hdRightToLeft,
         false,
         18 + 2 + width("First ") + width("Second "),
         {"First ", "Second "}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        caption.SetHideDirection(row.direction);
        first.SetGlueNext(row.glue);
        EXPECT_EQ(texts(row.barWidth), row.expected);
    }

    // A part's own inactive colour; the caption's inactive colour for FormCaption.
    first.SetInactiveColor(QColor(1, 2, 3));
    caption.SetHideDirection(THideDirection::hdLeftToRight);
    first.SetGlueNext(false);
    const auto inactive = caption.LayoutTexts(all, 18, false);
    ASSERT_EQ(inactive.size(), 3u);
    EXPECT_EQ(inactive[0].Color, QColor(1, 2, 3));
    EXPECT_EQ(inactive[2].Color.rgb(), kInactiveText);
}

TEST(GradientCaption, ChangingTheFontEndsTheDefaultFontAndReachesParentFontParts)
{
    FramedWindow w;
    TGradientCaption& caption = *w.caption;
    TCaptionPart& inherits = caption.Captions().Add();
    TCaptionPart& own = caption.Captions().Add();
    QFont ownFont(QStringLiteral("Liberation Serif"));
    own.SetFont(ownFont);
    EXPECT_FALSE(own.ParentFont());

    QFont big = caption.Font();
    big.setPixelSize(14);
    caption.SetFont(big);
    EXPECT_FALSE(caption.DefaultFont());
    EXPECT_EQ(inherits.Font().pixelSize(), 14);
    EXPECT_EQ(own.Font().family(), QStringLiteral("Liberation Serif"));

    caption.SetDefaultFont(true);
    EXPECT_EQ(caption.Font().pixelSize(), 11);
    EXPECT_EQ(inherits.Font().pixelSize(), 11);
}

TEST(GradientCaption, ARightClickShowsThePopupMenuInsteadOfTheSystemMenu)
{
    FramedWindow w;
    QMenu menu;
    menu.addAction(QStringLiteral("Item"));
    w.caption->SetPopupMenu(&menu);
    w.ShowActive();
    QTest::mouseClick(w.NonClient(), Qt::RightButton, {}, QPoint(200, 10));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_TRUE(w.frame->SystemMenu() == nullptr || !w.frame->SystemMenu()->isVisible());
    menu.hide();

    // Without a menu the frame's own right click goes on.
    w.caption->SetPopupMenu(nullptr);
    QTest::mouseClick(w.NonClient(), Qt::RightButton, {}, QPoint(200, 10));
    ASSERT_NE(w.frame->SystemMenu(), nullptr);
    EXPECT_TRUE(w.frame->SystemMenu()->isVisible());
    w.frame->SystemMenu()->hide();
}

TEST(GradientCaption, SwitchingActiveOffHandsTheBarBackToTheFrame)
{
    FramedWindow w;
    QSignalSpy activated(w.caption, &TGradientCaption::OnActivate);
    QSignalSpy deactivated(w.caption, &TGradientCaption::OnDeactivate);
    w.ShowActive();
    w.caption->SetActive(false);
    EXPECT_EQ(deactivated.count(), 1);
    EXPECT_EQ(deactivated.at(0).at(0).value<QObject*>(), w.caption);
    EXPECT_FALSE(w.caption->InEffect());
    // The frame's own bar starts from its active caption colour, not black.
    EXPECT_TRUE(Near(PaintBar(w).At(20), qRgb(0, 0, 128), 8)) << Hex(PaintBar(w).At(20));

    w.caption->SetActive(false);
    EXPECT_EQ(deactivated.count(), 1);
    w.caption->SetActive(true);
    EXPECT_EQ(activated.count(), 1);
    EXPECT_EQ(qRed(PaintBar(w).At(0)), 0);
    EXPECT_NEAR(qBlue(PaintBar(w).At(0)), 51, 5);
}

TEST(GradientCaption, OnAWindowWithoutADrawnFrameItPaintsNothing)
{
    QWidget window;
    window.resize(200, 100);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(10, 200, 30));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    TGradientCaption caption(&window);
    caption.SetFormCaption(QStringLiteral("Caption"));
    window.show();
    const QImage image = window.grab().toImage();
    EXPECT_EQ(image.pixel(10, 5), qRgb(10, 200, 30));
    EXPECT_EQ(image.pixel(150, 10), qRgb(10, 200, 30));
}

TEST(GradientCaption, DestroyingTheCaptionLeavesTheFrameWorking)
{
    FramedWindow w;
    w.ShowActive();
    delete w.caption;
    w.caption = nullptr;
    const QImage image = w.Paint();
    EXPECT_TRUE(Near(image.pixel(24, 4), qRgb(0, 0, 128), 8)) << Hex(image.pixel(24, 4));
}

}  // namespace
}  // namespace dw
