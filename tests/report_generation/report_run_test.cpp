// SPDX-License-Identifier: MIT
#include "report/elements/label.h"
#include "report/output/export_filter.h"
#include "report/generation/record_source.h"
#include "tests/support/banded_report.h"
#include "tests/support/page_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <stdexcept>

namespace dw {
namespace {

using test::PageRecords;

// The shared banded report, run into the page store.
struct Banded : test::BandedReport {
    Banded() { test::UseBackend(Report, test::A3Backend()); }

    std::vector<PageRecords> Run()
    {
        std::vector<PageRecords> pages;
        test::PreviewAndInspect(Report, [&pages](TVpPrinter& printer) {
            for (int n = 1; n <= printer.PageCount(); ++n)
                if (const auto page = printer.GetPage(n))
                    pages.push_back(test::ReadPage(*page));
        });
        return pages;
    }
};

using test::Screen;

int Count(const PageRecords& page, const QString& prefix)
{
    return static_cast<int>(std::count_if(page.Texts.begin(), page.Texts.end(),
                                          [&prefix](const test::PageText& t) { return t.Text.startsWith(prefix); }));
}

TEST(ReportRun, AThousandRecordsInThreeColumnsWithGroupsHeadersFootersAndSummary)
{
    struct Row {
        const char* Name;
        bool FirstPageHeader;
        bool LastPageFooter;
    };
    for (const Row& row :
         {Row{"both", true, true}, Row{"no first header", false, true}, Row{"no last footer", true, false}}) {
        SCOPED_TRACE(row.Name);
        Banded banded;
        banded.Report.Options.FirstPageHeader = row.FirstPageHeader;
        banded.Report.Options.LastPageFooter = row.LastPageFooter;
        // What a page footer's handler would print as the page's number.
        std::vector<int> numbered;
        banded.Report.OnEndPage = [&numbered](TVpReport& sender) { numbered.push_back(sender.PageNumber()); };
        const std::vector<PageRecords> pages = banded.Run();
        ASSERT_GT(pages.size(), 3U);
        const int last = static_cast<int>(pages.size()) - 1;
        std::vector<int> rows;
        std::set<int> columnsOfPageOne;
        for (int p = 0; p <= last; ++p) {
            EXPECT_EQ(Count(pages[p], "Header"), p == 0 && !row.FirstPageHeader ? 0 : 1) << p;
            EXPECT_EQ(Count(pages[p], "Footer"), p == last && !row.LastPageFooter ? 0 : 1) << p;
            EXPECT_EQ(Count(pages[p], "Title"), p == 0 ? 1 : 0);
            EXPECT_EQ(Count(pages[p], "Summary"), p == last ? 1 : 0);
            for (const test::PageText& t : pages[p].Texts) {
                if (t.Text.startsWith(QStringLiteral("Row "))) {
                    rows.push_back(t.Text.mid(4).toInt());
                    if (p == 0)
                        columnsOfPageOne.insert(t.X);
                }
            }
        }
        // Every record once, in order; page one fills all three columns.
        ASSERT_EQ(rows.size(), 1000U);
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(rows[i], i + 1);
        EXPECT_EQ(columnsOfPageOne.size(), 3U);
        int groups = 0;
        int ends = 0;
        for (const PageRecords& page : pages) {
            groups += Count(page, "Group");
            ends += Count(page, "End");
        }
        EXPECT_EQ(groups, 10);
        EXPECT_EQ(ends, 10);
        std::vector<int> expected(pages.size());
        std::iota(expected.begin(), expected.end(), 1);
        EXPECT_EQ(numbered, expected);
        EXPECT_EQ(banded.Report.PageNumber(), 0);
        EXPECT_TRUE(banded.Report.Available());
        EXPECT_EQ(banded.Report.Units(), TVpUnit::Native);
    }
}

TEST(ReportRun, TheFirstForcedColumnBreakInColumnOneIsIgnored)
{
    Banded banded;
    banded.Detail->ForceNewColumn = true;
    const std::vector<PageRecords> pages = banded.Run();
    ASSERT_FALSE(pages.empty());
    // Row 1 stays in column one; every later row starts a column of its own.
    std::map<int, int> columnOfRow;
    std::set<int> xs;
    for (const test::PageText& t : pages[0].Texts)
        if (t.Text.startsWith(QStringLiteral("Row ")))
            xs.insert(t.X);
    int firstX = 0;
    int secondX = 0;
    for (const test::PageText& t : pages[0].Texts) {
        if (t.Text == QStringLiteral("Row 1"))
            firstX = t.X;
        if (t.Text == QStringLiteral("Row 2"))
            secondX = t.X;
    }
    EXPECT_EQ(firstX, *xs.begin());
    EXPECT_GT(secondX, firstX);
}

TEST(ReportRun, ElementsOnTheReportPrintOnEveryPageFromTheSheetCorner)
{
    struct Row {
        const char* Name;
        bool SecondPage;
    };
    for (const Row& row : {Row{"no bands: one page", false}, Row{"a forced second page", true}}) {
        SCOPED_TRACE(row.Name);
        TVpReport report(Screen());
        report.SetUnits(TVpUnit::Native);
        report.Page().SetPaperSize(TVpPaperSize::A4);
        TVpLabel& mark = report.AddElement<TVpLabel>("Mark");
        mark.SetCaption(QStringLiteral("Corner"));
        mark.Size().SetLeft(254);
        mark.Size().SetTop(508);
        if (row.SecondPage) {
            report.PrintIfEmpty = true;
            TVpCustomBand& title = report.AddBand(TVpBandType::rbTitle);
            title.Size().SetHeight(50);
            TVpCustomBand& detail = report.AddBand(TVpBandType::rbDetail);
            detail.Size().SetHeight(50);
            detail.ForceNewPage = true;
            TVpCustomBand& summary = report.AddBand(TVpBandType::rbSummary);
            summary.Size().SetHeight(50);
            summary.ForceNewPage = true;
        }
        test::UseBackend(report, test::A3Backend());
        std::vector<PageRecords> pages;
        test::PreviewAndInspect(report, [&pages](TVpPrinter& printer) {
            for (int n = 1; n <= printer.PageCount(); ++n) pages.push_back(test::ReadPage(*printer.GetPage(n)));
        });
        ASSERT_EQ(pages.size(), row.SecondPage ? 2U : 1U);
        for (const PageRecords& page : pages) {
            ASSERT_EQ(page.Texts.size(), 1U);
            EXPECT_EQ(page.Texts[0].X, 96);
            EXPECT_EQ(page.Texts[0].Y, 192);
        }
    }
}

TEST(ReportRun, BeforePrintSayingNoProducesNoPageAndLeavesTheReportAvailable)
{
    TVpReport report(Screen());
    report.AddElement<TVpLabel>("Mark");
    report.BeforePrint = [](TVpReport&, bool& printIt) { printIt = false; };
    test::UseBackend(report, test::A3Backend());
    int pages = -1;
    TVpPrinterStatus status = TVpPrinterStatus::Busy;
    test::PreviewAndInspect(report, [&](TVpPrinter& printer) {
        pages = printer.PageCount();
        status = printer.Status();
    });
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(status, TVpPrinterStatus::Ready);
    EXPECT_TRUE(report.Available());
}

TEST(ReportRun, ASecondPreviewWhileTheFirstProducesPagesDoesNothing)
{
    TVpReport report(Screen());
    report.AddElement<TVpLabel>("Mark");
    test::UseBackend(report, test::A3Backend());
    int nestedPreviews = 0;
    report.OnStartPage = [&](TVpReport& sender) {
        sender.Preview();  // refused: the report is busy
        ++nestedPreviews;
    };
    int pages = 0;
    test::PreviewAndInspect(report, [&](TVpPrinter& printer) { pages = printer.PageCount(); });
    EXPECT_EQ(nestedPreviews, 1);
    EXPECT_EQ(pages, 1);
}

// An export run restores the report whatever happens to the filter.
class ThrowingFilter : public TVpExportFilter {
public:
    using TVpExportFilter::TVpExportFilter;
    int Placed = 0;
    bool Throw = false;
    void PlaceText(long double, long double, const TCanvasFont&, const QColor&, TAlignment, const std::string&) override
    {
        ++Placed;
        if (Throw)
            throw std::runtime_error("disk on fire");
    }
};

TEST(ReportRun, AnExportRunRestoresTheReportAlsoAfterAnError)
{
    for (const bool failing : {false, true}) {
        SCOPED_TRACE(failing ? "failing filter" : "working filter");
        TVpReport report(Screen());
        report.ShowProgress = false;
        report.SetUnits(TVpUnit::MM);
        TVpLabel& mark = report.AddElement<TVpLabel>("Mark");
        mark.SetCaption(QStringLiteral("Text"));
        test::UseBackend(report, test::A3Backend());
        ThrowingFilter filter("unused");
        filter.Throw = failing;
        if (failing)
            EXPECT_THROW(report.ExportToFilter(filter), std::runtime_error);
        else
            report.ExportToFilter(filter);
        EXPECT_EQ(filter.Placed, 1);
        EXPECT_TRUE(report.StorePages());
        EXPECT_EQ(report.ExportFilter(), nullptr);
        EXPECT_EQ(report.VpPrinter(), nullptr);
        EXPECT_TRUE(report.Available());
        EXPECT_EQ(report.Units(), TVpUnit::MM);
        EXPECT_FALSE(mark.IsPrinting());
    }
}

}  // namespace
}  // namespace dw
