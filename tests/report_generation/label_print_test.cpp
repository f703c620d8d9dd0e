// SPDX-License-Identifier: MIT
#include "report/elements/frame.h"
#include "report/elements/label.h"
#include "tests/support/page_records.h"

#include <gtest/gtest.h>

namespace dw {
namespace {

using test::PageRecords;

using test::Screen;

// One label directly on an A4 report in pixels, printed into the page store.
struct OneLabel {
    TVpReport Report{Screen()};
    TVpLabel& Label;

    OneLabel() : Label(Report.AddElement<TVpLabel>("Label"))
    {
        Report.Page().SetPaperSize(TVpPaperSize::A4);
        Report.SetUnits(TVpUnit::Pixels);
        Label.Size().SetLeft(100);
        Label.Size().SetTop(200);
        test::UseBackend(Report, test::A3Backend());
    }

    PageRecords Print()
    {
        PageRecords records;
        test::PreviewAndInspect(Report, [&records](TVpPrinter& printer) {
            if (const auto page = printer.GetPage(1))
                records = test::ReadPage(*page);
        });
        return records;
    }
};

TEST(LabelPrint, LinesStandOnTheirAlignmentsReference)
{
    for (const TAlignment alignment : {TAlignment::taLeftJustify, TAlignment::taRightJustify, TAlignment::taCenter}) {
        OneLabel one;
        one.Label.SetCaption(QStringLiteral("Weight"));
        one.Label.SetAlignment(alignment);
        one.Label.Size().SetWidth(200);
        const int textWidth = one.Label.TextWidth(QStringLiteral("Weight")) - 1;
        const PageRecords page = one.Print();
        ASSERT_EQ(page.Texts.size(), 1U);
        const int expected = alignment == TAlignment::taLeftJustify    ? 100
                             : alignment == TAlignment::taRightJustify ? 300 - textWidth
                                                                       : 200 - textWidth / 2;
        EXPECT_EQ(page.Texts[0].X, expected) << static_cast<int>(alignment);
        EXPECT_EQ(page.Texts[0].Y, 200);
    }
}

TEST(LabelPrint, LayoutAndLineLimit)
{
    struct Row {
        const char* Name;
        bool AutoSize;
        bool WordWrap;
        int Width;  // pixels, for labels that do not size themselves
        int Lines;  // line heights the label is high
        QString Caption;
        QStringList Printed;
    };
    const QString three = QStringLiteral("Alpha Bravo Charlie");
    const Row rows[] = {
        {"auto-size keeps one line however long", true, true, 0, 1, three, {three}},
        {"no wrap keeps one line", false, false, 40, 1, three, {three}},
        {"two lines high drops the third word", false, true, 40, 2, three, {"Alpha", "Bravo"}},
        {"a word wider than the label stays whole", false, true, 5, 1, QStringLiteral("Unbreakable"), {"Unbreakable"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        OneLabel one;
        one.Label.SetAutoSize(row.AutoSize);
        if (!row.AutoSize) {
            one.Label.SetWordWrap(row.WordWrap);
            one.Label.Size().SetWidth(row.Width);
            one.Label.Size().SetHeight(one.Label.TextHeight() * row.Lines + 1);
        }
        one.Label.SetCaption(row.Caption);
        const PageRecords page = one.Print();
        QStringList printed;
        for (const test::PageText& t : page.Texts) printed << t.Text;
        EXPECT_EQ(printed, row.Printed);
    }
}

TEST(LabelPrint, CentringSwitchesAutoSizeOffForGood)
{
    OneLabel one;
    one.Label.SetAlignment(TAlignment::taCenter);
    EXPECT_FALSE(one.Label.AutoSize());
    one.Label.SetAlignment(TAlignment::taLeftJustify);
    EXPECT_FALSE(one.Label.AutoSize());
}

TEST(LabelPrint, AnEmptyLineTakesALineHeightAndPrintsNothing)
{
    OneLabel one;
    one.Label.SetCaption(QString());
    one.Label.SetLines({QStringLiteral("One"), QString(), QStringLiteral("Three")});
    one.Label.Size().SetHeight(100);
    const PageRecords page = one.Print();
    ASSERT_EQ(page.Texts.size(), 2U);
    const int h = one.Label.TextHeight();
    EXPECT_EQ(page.Texts[1].Y - page.Texts[0].Y, 2 * h);
}

TEST(LabelPrint, OnPrintPrintsItsTextAndTheCaptionComesBack)
{
    OneLabel one;
    one.Label.SetCaption(QStringLiteral("Designed"));
    one.Label.OnPrint = [](TVpCustomLabel&, QString& caption) { caption = QStringLiteral("Printed"); };
    const PageRecords page = one.Print();
    ASSERT_EQ(page.Texts.size(), 1U);
    EXPECT_EQ(page.Texts[0].Text, QStringLiteral("Printed"));
    EXPECT_EQ(one.Label.Caption(), QStringLiteral("Designed"));
}

TEST(LabelPrint, FrameLinesAreOnePixelStrokesAsThickAsTheDeviceMakesThem)
{
    struct Row {
        const char* Name;
        int Width;
        int PixelsPerInch;
        int Thickness;
    };
    const Row rows[] = {
        {"1 pt at 600 dpi", 1, 600, 8}, {"1 pt at 96 dpi", 1, 96, 1},     {"2 pt at 96 dpi", 2, 96, 3},
        {"0 draws nothing", 0, 600, 0}, {"-1 is a hairline", -1, 600, 1}, {"-3 draws nothing", -3, 600, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TVpFrame frame;
        frame.Width = row.Width;
        const Extended factor = static_cast<Extended>(row.PixelsPerInch) / 254;
        const TVpFrame::Thickness t = frame.LineThickness(factor, factor);
        EXPECT_EQ(t.Vertical, row.Thickness);
        EXPECT_EQ(t.Horizontal, row.Thickness);
    }
    TVpFrame frame;
    EXPECT_EQ(frame.ContentOffset(), 4);
}

TEST(LabelPrint, ATopFrameMovesTheTextDownAndTheFrameIsDrawnAroundTheLabel)
{
    OneLabel one;
    one.Label.SetCaption(QStringLiteral("Framed"));
    one.Label.Frame().DrawTop = true;
    one.Label.Frame().DrawLeft = true;
    const PageRecords page = one.Print();
    ASSERT_EQ(page.Texts.size(), 1U);
    // 4 native units are 1.5 pixels at 96 per inch: rounded to even, 2.
    EXPECT_EQ(page.Texts[0].Y, 202);
    EXPECT_EQ(page.Texts[0].X, 102);
    EXPECT_EQ(page.Lines, 2);
}

TEST(LabelPrint, AStoredFontSizeGivesThatPointSizeOnAnyScreen)
{
    TVpReport report(VpEnvironment{120, false});
    report.BeginLoading();
    TVpLabel& label = report.AddElement<TVpLabel>("Label");
    TCanvasFont font;
    font.Size = 8;
    label.SetFont(font);
    label.ReadFontSize(10);
    report.Loaded();
    EXPECT_EQ(label.Font().Size, 10);
    EXPECT_EQ(label.WriteFontSize(), 10);
}

}  // namespace
}  // namespace dw
