// SPDX-License-Identifier: MIT
#include "app/report_sheet.h"
#include "app/sheet_holder.h"
#include "report/elements/label.h"
#include "report/generation/report.h"
#include "tests/support/page_records.h"

#include <gtest/gtest.h>

#include <string>

namespace dw {
namespace {

Extended Native(int pixels)
{
    return static_cast<Extended>(pixels) * 254 / 96;
}

TEST(ReportSheet, PageReadsInMillimetresAsA3WithTenMillimetreMargins)
{
    TSheetHolder form;
    TVpReport& report = form.VpReport1();
    ASSERT_EQ(report.Units(), TVpUnit::MM);
    const TVpPage& page = report.Page();
    EXPECT_EQ(page.Width(), 297);
    EXPECT_EQ(page.Length(), 420);
    EXPECT_EQ(page.LeftMargin(), 10);
    EXPECT_EQ(page.RightMargin(), 10);
    EXPECT_EQ(page.TopMargin(), 10);
    EXPECT_EQ(page.BottomMargin(), 10);
    EXPECT_EQ(report.Elements().size(), 59U);
}

TEST(ReportSheet, EveryStoredValueIsTheDesignedPixelTimes254Over96)
{
    TSheetHolder form;
    for (const TSheetLabel& row : SheetLabels()) {
        const TVpPrintableSize& size = form.VpLabel(row.Number).Size();
        SCOPED_TRACE("VpLabel" + std::to_string(row.Number));
        EXPECT_EQ(size.NativeValue(TVpPrintableSize::kHeight), Native(row.Height));
        EXPECT_EQ(size.NativeValue(TVpPrintableSize::kLeft), Native(row.Left));
        EXPECT_EQ(size.NativeValue(TVpPrintableSize::kTop), Native(row.Top));
        EXPECT_EQ(size.NativeValue(TVpPrintableSize::kWidth), Native(row.Width));
    }
    const TVpPrintableSize& title = form.VpLabel(1).Size();
    EXPECT_NEAR(static_cast<double>(title.NativeValue(TVpPrintableSize::kWidth)), 994.8333333, 1e-6);
    EXPECT_EQ(title.NativeValue(TVpPrintableSize::kTop), 127);
}

// The stand-in font has the designed face's outline widths, not its hinted
// 13-pixel ones, nor its taller cell: a fixed caption laid out again comes
// out up to a few pixels wider and a pixel or two lower than designed. Its left
// and top never move, and only its white background shows the difference.
TEST(ReportSheet, FixedCaptionsLaidOutAgainKeepCloseToTheirDesignedSize)
{
    TSheetHolder form;
    for (const TSheetLabel& row : SheetLabels()) {
        if (row.Source != TSheetSource::Caption)
            continue;
        TVpLabel& label = form.VpLabel(row.Number);
        label.SetCaption(label.Caption());
        const PixelRect bounds = label.PixelBounds();
        SCOPED_TRACE("VpLabel" + std::to_string(row.Number));
        EXPECT_GE(bounds.Width, row.Width - 1);
        EXPECT_LE(bounds.Width, row.Width + row.Width / 30 + 1);
        EXPECT_GE(bounds.Height, row.Height - 2);
        EXPECT_LE(bounds.Height, row.Height);
        EXPECT_EQ(bounds.Left, row.Left);
        EXPECT_EQ(bounds.Top, row.Top);
        EXPECT_EQ(label.Size().NativeValue(TVpPrintableSize::kLeft), Native(row.Left));
    }
}

TEST(ReportSheet, ALongerLengthGrowsItsLabelToTheRightAndMovesNothingElse)
{
    TSheetHolder form;
    TVpLabel& length = form.VpLabel(19);
    length.SetCaption(QStringLiteral("0,0 м."));
    const PixelRect before = length.PixelBounds();
    length.SetCaption(QStringLiteral("12\u00A0345,6 м."));
    const PixelRect after = length.PixelBounds();
    EXPECT_GT(after.Width, before.Width);
    EXPECT_EQ(after.Left, 304);
    EXPECT_EQ(after.Top, 97);
    EXPECT_EQ(length.Size().NativeValue(TVpPrintableSize::kLeft), Native(304));
    for (const TSheetLabel& row : SheetLabels()) {
        if (row.Number == 19)
            continue;
        EXPECT_EQ(form.VpLabel(row.Number).Size().NativeValue(TVpPrintableSize::kLeft), Native(row.Left));
    }
}

TEST(ReportSheet, TheSheetPreviewsAsOnePageOfFiftyNineTextsAtTheirDesignedPixels)
{
    TSheetHolder form;
    TVpReport& report = form.VpReport1();
    test::UseBackend(report, test::A3Backend());
    for (const TSheetLabel& row : SheetLabels())
        if (row.Source != TSheetSource::Caption)
            form.VpLabel(row.Number).SetCaption(QStringLiteral("%1").arg(row.Number));
    test::PageRecords records;
    int pageCount = 0;
    test::PreviewAndInspect(report, [&](TVpPrinter& printer) {
        pageCount = printer.PageCount();
        if (const auto page = printer.GetPage(1))
            records = test::ReadPage(*page);
    });
    EXPECT_EQ(pageCount, 1);
    ASSERT_EQ(records.Texts.size(), 59U);
    ASSERT_EQ(records.Fills.size(), 59U);
    EXPECT_EQ(records.Lines, 0);
    for (std::size_t i = 0; i < 59; ++i) {
        const TSheetLabel& row = SheetLabels()[i];
        SCOPED_TRACE("VpLabel" + std::to_string(row.Number));
        EXPECT_EQ(records.Texts[i].X, row.Left);
        EXPECT_EQ(records.Texts[i].Y, row.Top);
        EXPECT_EQ(records.Texts[i].Height, row.TitleFont ? 16 : 13);
        EXPECT_EQ(records.Texts[i].Bold, row.TitleFont);
        EXPECT_EQ(records.Fills[i].Left, row.Left);
        EXPECT_EQ(records.Fills[i].Top, row.Top);
        if (row.Source == TSheetSource::Caption) {
            EXPECT_EQ(records.Texts[i].Text, QString::fromUtf8(row.Caption));
            EXPECT_EQ(records.Fills[i].Width, form.VpLabel(row.Number).PixelBounds().Width);
            EXPECT_EQ(records.Fills[i].Height, form.VpLabel(row.Number).PixelBounds().Height);
        } else {
            EXPECT_EQ(records.Texts[i].Text, QStringLiteral("%1").arg(row.Number));
        }
    }
}

}  // namespace
}  // namespace dw
