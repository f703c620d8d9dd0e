// SPDX-License-Identifier: MIT
#include "common/errors.h"
#include "report/elements/label.h"
#include "report/generation/record_source.h"
#include "tests/support/page_records.h"

#include <gtest/gtest.h>

namespace dw {
namespace {

using test::Screen;

// An AutoStretch label on a band grows the band line by line; when the page
// is full the band goes on at the top of the next page.
TEST(ReportCommands, AStretchingLabelGrowsItsBandOntoTheNextPage)
{
    struct Row {
        const char* Name;
        int Words;
        int Pages;
    };
    for (const Row& row : {Row{"fits on the page", 5, 1}, Row{"runs onto further pages", 300, 2}}) {
        SCOPED_TRACE(row.Name);
        TVpReport report(Screen());
        report.SetUnits(TVpUnit::Native);
        report.Page().SetPaperSize(TVpPaperSize::A4);
        report.PrintIfEmpty = true;
        TVpCustomBand& detail = report.AddBand(TVpBandType::rbDetail);
        detail.Size().SetHeight(60);
        TVpLabel& text = detail.AddElement<TVpLabel>("Text");
        text.SetAutoSize(false);
        text.SetAutoStretch(true);
        text.Size().SetWidth(200);
        text.Size().SetHeight(50);
        QStringList words;
        for (int i = 0; i < row.Words; ++i) words << QStringLiteral("word%1").arg(i);
        text.SetCaption(words.join(QLatin1Char(' ')));
        test::UseBackend(report, test::A3Backend());
        std::vector<test::PageRecords> pages;
        test::PreviewAndInspect(report, [&pages](TVpPrinter& printer) {
            for (int n = 1; n <= printer.PageCount(); ++n) pages.push_back(test::ReadPage(*printer.GetPage(n)));
        });
        ASSERT_GE(static_cast<int>(pages.size()), row.Pages);
        if (row.Pages == 1)
            ASSERT_EQ(pages.size(), 1U);
        int printed = 0;
        for (const test::PageRecords& page : pages) printed += static_cast<int>(page.Texts.size());
        EXPECT_EQ(printed, text.FormattedLines().size());
        // The continuation starts at the top margin of the next page.
        if (pages.size() > 1)
            EXPECT_EQ(pages[1].Texts.front().Y, 38);
        EXPECT_EQ(detail.Size().NativeValue(TVpBandSize::kHeight), 60);
    }
}

class Endless : public IVpRecordSource {
public:
    void First() override { m_n = 1; }
    bool Eof() const override { return false; }
    void Next() override { ++m_n; }
    int RecordCount() const override { return -1; }
    int RecordNumber() const override { return m_n; }

private:
    int m_n = 1;
};

TEST(ReportCommands, ClosingThePreviewDuringARunStopsBeforeTheNextRecordAndEndsNoDocument)
{
    TVpReport report(Screen());
    report.SetUnits(TVpUnit::Native);
    TVpCustomBand& detail = report.AddBand(TVpBandType::rbDetail);
    detail.Size().SetHeight(50);
    Endless records;
    report.DataSet = &records;
    test::UseBackend(report, test::A3Backend());
    int printedRecords = 0;
    detail.AfterPrint = [&](TVpCustomBand&, bool) {
        // The preview goes away while the report is on its fifth record.
        if (++printedRecords == 5)
            report.VpPrinter()->SetShowingPreview(false);
    };
    SetStandardPreviewFactory([](TVpPrinter& printer) { printer.SetShowingPreview(true); });
    report.Preview();
    SetStandardPreviewFactory(nullptr);
    EXPECT_EQ(printedRecords, 5);
    EXPECT_TRUE(report.Available());
    EXPECT_EQ(report.VpPrinter(), nullptr);
}

TEST(ReportCommands, PrintProducesTheReportAgainOntoThePrinter)
{
    auto backend = test::A3Backend();
    TVpReport report(Screen());
    report.ShowProgress = false;
    report.Page().SetPaperSize(TVpPaperSize::A3);
    TVpLabel& mark = report.AddElement<TVpLabel>("Mark");
    mark.SetCaption(QStringLiteral("Printed sheet"));
    test::UseBackend(report, backend);
    int afterPrint = 0;
    report.AfterPrint = [&afterPrint](TVpReport&) { ++afterPrint; };
    report.Print();
    ASSERT_EQ(backend->Sent.size(), 1U);
    EXPECT_EQ(backend->Sent[0].Job.Paper.id(), QPageSize::A3);
    EXPECT_EQ(afterPrint, 1);
    EXPECT_TRUE(report.Available());
    if (const auto text = test::PdfText(backend->Sent[0].Pdf))
        EXPECT_NE(text->find("Printed sheet"), std::string::npos);
}

TEST(ReportCommands, PrinterSetupKeepsTheChoicesInThePrinterSettings)
{
    TVpReport report(Screen());
    test::UseBackend(report, test::A3Backend());
    TVpPrinterDialogRequest seen;
    report.SetPrinterDialog([&seen](const TVpPrinterDialogRequest& request) {
        seen = request;
        return std::optional<TVpPrinterDialogChoice>(TVpPrinterDialogChoice{3, 0, 2, 4});
    });
    report.PrinterSettings.Copies = 2;
    report.PrinterSetup();
    EXPECT_EQ(seen.Copies, 2);
    EXPECT_EQ(report.PrinterSettings.Copies, 3);
    EXPECT_EQ(report.PrinterSettings.PrinterIndex, 0);
    EXPECT_EQ(report.PrinterSettings.FirstPage, 2);
    EXPECT_EQ(report.PrinterSettings.LastPage, 4);

    report.SetPrinterDialog([](const TVpPrinterDialogRequest&) { return std::optional<TVpPrinterDialogChoice>(); });
    report.PrinterSetup();  // cancelled: nothing changes
    EXPECT_EQ(report.PrinterSettings.Copies, 3);
}

// The job is refused only when the run hands it over at its very end: the
// user hears why, and the report prints again once the printer is back.
TEST(ReportCommands, AJobRefusedAtItsEndIsReportedAndTheReportPrintsAgain)
{
    struct Row {
        const char* Name;
        bool SpoolerRefuses;
        bool AfterPrintFails;
        // Jobs the printer has in the end: a handler fails only once its job is out.
        std::size_t Sent;
    };
    for (const Row& row : {Row{"the spooler refuses the job", true, false, 1},
                           Row{"the handler after printing fails", false, true, 2}}) {
        SCOPED_TRACE(row.Name);
        auto backend = test::A3Backend();
        TVpReport report(Screen());
        report.ShowProgress = false;
        report.SetUnits(TVpUnit::MM);
        TVpLabel& mark = report.AddElement<TVpLabel>("Mark");
        mark.SetCaption(QStringLiteral("Printed sheet"));
        test::UseBackend(report, backend);
        bool failing = true;
        if (row.SpoolerRefuses)
            backend->Refusal = "The printer is out of paper";
        if (row.AfterPrintFails)
            report.AfterPrint = [&failing](TVpReport&) {
                if (failing)
                    throw EPrinter(DW_TEXT("Message", "The printer went away"));
            };
        EXPECT_THROW(report.Print(), EPrinter);
        EXPECT_TRUE(report.Available());
        EXPECT_EQ(report.VpPrinter(), nullptr);
        EXPECT_EQ(report.Units(), TVpUnit::MM);
        EXPECT_FALSE(mark.IsPrinting());
        backend->Refusal.clear();
        failing = false;
        report.Print();
        EXPECT_EQ(backend->Sent.size(), row.Sent);
    }
}

}  // namespace
}  // namespace dw
