// SPDX-License-Identifier: MIT
#include "report/output/vp_printer.h"

#include "common/errors.h"
#include "common/stop_request.h"
#include "report/core/page_list.h"
#include "report/emf/emf_reader.h"
#include "report/output/pdf_export.h"
#include "report/output/printer_notices.h"
#include "report/output/progress_form.h"
#include "tests/support/preview_test_support.h"
#include "tests/support/printer_test_support.h"
#include "tests/support/qt_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dw {
namespace {

using test::FakeBackend;
using test::MakePrinter;

// Every notice a status window receives, in order.
class NoticeLog : public QObject {
public:
    std::vector<std::pair<int, int>> notices;

protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() == TVpPrinterNotice::kProgress || event->type() == TVpPrinterNotice::kPagesDone) {
            notices.emplace_back(event->type(), static_cast<TVpPrinterNotice*>(event)->Value());
        }
    }
};

std::pair<int, int> PagesDone(int value)
{
    return {TVpPrinterNotice::kPagesDone, value};
}

std::string VpErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EVpError& e) {
        return e.Message();
    }
    return "(no EVpError)";
}

using test::RunPages;

QSize PagePixels(const emf::EmfDocument& page)
{
    const auto frame = page.FramePixels();
    return {static_cast<int>(std::lround(frame.Width)), static_cast<int>(std::lround(frame.Height))};
}

struct VpPrinterFixture : ::testing::Test {
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>();
    QTemporaryDir dir;

    std::string PathOf(const char* name) const { return dir.filePath(QString::fromUtf8(name)).toStdString(); }

    void OfficePrinter(std::vector<QPageSize::PageSizeId> papers = {QPageSize::A4, QPageSize::A3})
    {
        test::FakePrinter printer = MakePrinter("Office", std::move(papers), QPageSize::A4, 300);
        printer.Margins = QMarginsF(18, 18, 18, 18);  // a quarter inch all round
        backend->Printers.push_back(printer);
        backend->Default = "Office";
    }

    std::unique_ptr<TVpPrinter> Make() { return std::make_unique<TVpPrinter>(backend, 96); }
};

TEST_F(VpPrinterFixture, CallsOutOfStateRaiseTheEnginesErrors)
{
    struct Row {
        const char* name;
        std::function<void(TVpPrinter&)> before;
        std::function<void(TVpPrinter&)> call;
        const char* message;
        TVpPrinterStatus statusAfter;
    };
    const std::vector<Row> rows{
        {"NewPage before BeginDoc", [](TVpPrinter&) {}, [](TVpPrinter& vp) { vp.NewPage(); }, "Illegal call to NewPage",
         TVpPrinterStatus::Ready},
        {"second BeginDoc while busy", [](TVpPrinter& vp) { vp.BeginDoc(); }, [](TVpPrinter& vp) { vp.BeginDoc(); },
         "VpPrinter not ready", TVpPrinterStatus::Busy},
        {"BeginDoc after the run ended", [](TVpPrinter& vp) { RunPages(vp, 1); }, [](TVpPrinter& vp) { vp.BeginDoc(); },
         "VpPrinter not ready", TVpPrinterStatus::Finished},
        {"NewPage after the run ended", [](TVpPrinter& vp) { RunPages(vp, 1); }, [](TVpPrinter& vp) { vp.NewPage(); },
         "Illegal call to NewPage", TVpPrinterStatus::Finished},
        {"NewPage after AbortDoc",
         [](TVpPrinter& vp) {
             vp.BeginDoc();
             vp.AbortDoc();
         },
         [](TVpPrinter& vp) { vp.NewPage(); }, "Illegal call to NewPage", TVpPrinterStatus::Finished},
    };
    OfficePrinter();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto vp = Make();
        row.before(*vp);
        EXPECT_EQ(VpErrorOf([&] { row.call(*vp); }), row.message);
        EXPECT_EQ(vp->Status(), row.statusAfter);
    }
}

TEST_F(VpPrinterFixture, PagesDoneIsPostedOncePerFinishedPage)
{
    struct Row {
        const char* name;
        int pages;
        std::vector<std::pair<int, int>> notices;
    };
    const std::vector<Row> rows{
        {"one page: one notice at EndDoc", 1, {PagesDone(1)}},
        {"three pages", 3, {PagesDone(1), PagesDone(2), PagesDone(3)}},
        // A run without pages still ends with a notice, as the preview's
        // status text waits for one.
        {"no page", 0, {PagesDone(1)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        NoticeLog log;
        auto vp = Make();
        vp->SetStatusWindow(&log);
        vp->BeginDoc();
        for (int n = 1; n <= row.pages; ++n) {
            vp->NewPage();
            test::DrawPage(*vp, n);
        }
        // Posted, not sent: nothing arrives before the event loop runs.
        EXPECT_TRUE(log.notices.empty());
        QCoreApplication::processEvents();
        const std::size_t beforeEnd = log.notices.size();
        EXPECT_EQ(beforeEnd, static_cast<std::size_t>(std::max(0, row.pages - 1)));
        vp->EndDoc();
        QCoreApplication::processEvents();
        EXPECT_EQ(log.notices, row.notices);
        EXPECT_EQ(vp->PageCount(), row.pages);
    }
}

TEST_F(VpPrinterFixture, ProgressReachesTheProgressWindowOnMultiplesOfFive)
{
    auto vp = Make();
    TVpProgressForm form;
    form.SetVpPrinter(vp.get());
    vp->SetStatusWindow(&form);

    vp->SetProgress(37);
    QCoreApplication::processEvents();
    EXPECT_EQ(vp->Progress(), 37);
    EXPECT_EQ(form.ProgressBar()->value(), 0);
    EXPECT_TRUE(form.Info()->text().isEmpty());

    vp->SetProgress(40);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.ProgressBar()->value(), 40);
    EXPECT_EQ(form.Info()->text(), QStringLiteral("40%  Completed"));
}

TEST_F(VpPrinterFixture, StatusWindowThatWentAwayGetsNothing)
{
    auto vp = Make();
    auto log = std::make_unique<NoticeLog>();
    vp->SetStatusWindow(log.get());
    log.reset();
    EXPECT_EQ(vp->StatusWindow(), nullptr);
    vp->SetProgress(50);
    RunPages(*vp, 1);
    QCoreApplication::processEvents();
}

TEST_F(VpPrinterFixture, StoredPageTakesThePaperThePrinterCanGive)
{
    struct Row {
        const char* name;
        std::vector<QPageSize::PageSizeId> papers;  // empty: no printer at all
        std::optional<TVpPaperSize> requested;
        TPrinterOrientation orientation;
        QSize pixels;
    };
    const std::vector<Row> rows{
        {"A3 where the printer lists it",
         {QPageSize::A4, QPageSize::A3},
         TVpPaperSize::A3,
         TPrinterOrientation::poPortrait,
         {1123, 1587}},
        {"A3 landscape",
         {QPageSize::A4, QPageSize::A3},
         TVpPaperSize::A3,
         TPrinterOrientation::poLandscape,
         {1587, 1123}},
        {"A3 on a printer without it keeps its A4",
         {QPageSize::A4, QPageSize::Letter},
         TVpPaperSize::A3,
         TPrinterOrientation::poPortrait,
         {794, 1123}},
        {"no printer installed, no paper asked for", {}, std::nullopt, TPrinterOrientation::poPortrait, {794, 1123}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        backend = std::make_shared<FakeBackend>();
        if (!row.papers.empty()) {
            OfficePrinter(row.papers);
        } else if (QLocale::system().measurementSystem() == QLocale::ImperialUSSystem) {
            // The built-in PDF printer starts on the locale's paper.
            continue;
        }
        auto vp = Make();
        EXPECT_TRUE(vp->PrinterOK());
        if (row.requested) {
            vp->SetPaperSize(*row.requested);
        }
        vp->SetOrientation(row.orientation);
        RunPages(*vp, 1);
        EXPECT_EQ(vp->XSize(vp->PageWidth()), row.pixels.width());
        EXPECT_EQ(vp->YSize(vp->PageHeight()), row.pixels.height());
        const auto page = vp->GetPage(1);
        ASSERT_TRUE(page);
        EXPECT_EQ(PagePixels(*page), row.pixels);
        // The store measures from the sheet's corner, whatever the printer cannot reach.
        EXPECT_EQ(vp->LeftOffset(), 0);
        EXPECT_EQ(vp->XPos(100), vp->XSize(100));
    }
}

TEST_F(VpPrinterFixture, PrintingAppliesPaperAndOrientationToTheDevice)
{
    struct Row {
        const char* name;
        std::vector<QPageSize::PageSizeId> papers;
        int paperCode;
        QPageSize::PageSizeId jobPaper;
    };
    const std::vector<Row> rows{
        {"printer lists A3", {QPageSize::A4, QPageSize::A3}, 8, QPageSize::A3},
        {"printer without A3 keeps its own paper", {QPageSize::A4, QPageSize::Letter}, 9, QPageSize::A4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        backend = std::make_shared<FakeBackend>();
        OfficePrinter(row.papers);
        auto vp = Make();
        vp->SetDestination(TVpDestination::Printer);
        vp->SetPaperSize(TVpPaperSize::A3);
        vp->SetOrientation(TPrinterOrientation::poPortrait);
        RunPages(*vp, 1);
        EXPECT_EQ(vp->PrinterSettings().DeviceMode().PaperSize, row.paperCode);
        EXPECT_EQ(vp->PrinterSettings().DeviceMode().Orientation, kDmOrientPortrait);
        ASSERT_EQ(backend->Sent.size(), 1u);
        EXPECT_EQ(backend->Sent[0].Job.Paper.id(), row.jobPaper);
        EXPECT_EQ(backend->Sent[0].Job.Orientation, QPageLayout::Portrait);
    }
}

TEST_F(VpPrinterFixture, PrinterPositionsCountFromThePrintableAreasCorner)
{
    OfficePrinter();
    auto vp = Make();
    vp->SetDestination(TVpDestination::Printer);
    vp->BeginDoc();
    // A quarter inch is 63.5 tenths of a millimetre, 75 pixels at 300 dpi.
    EXPECT_EQ(vp->LeftOffset(), 64);
    EXPECT_EQ(vp->TopOffset(), 64);
    EXPECT_EQ(vp->XPos(64), 0);
    EXPECT_EQ(vp->XSize(254), 300);
    EXPECT_EQ(vp->CanvasPixelsPerInch(), 300);
    vp->AbortDoc();
    EXPECT_TRUE(backend->Sent.empty());
}

TEST_F(VpPrinterFixture, PrintRangeSendsOnlyItsPagesAsSheets)
{
    OfficePrinter();
    auto vp = Make();
    vp->SetDestination(TVpDestination::Printer);
    vp->SetTitle("Range");
    vp->SetFirstPage(2);
    vp->SetLastPage(3);
    NoticeLog log;
    vp->SetStatusWindow(&log);
    RunPages(*vp, 5);
    QCoreApplication::processEvents();

    // Every page counts as done, printed or not.
    EXPECT_EQ(log.notices.size(), 5u);
    EXPECT_EQ(vp->PageCount(), 5);
    ASSERT_EQ(backend->Sent.size(), 1u);
    EXPECT_EQ(backend->Sent[0].Job.Title, "Range");
    // Nothing is kept for a printed run.
    EXPECT_EQ(vp->GetPage(1), nullptr);

    if (!test::HavePopplerTools()) {
        GTEST_SKIP() << "pdfinfo/pdftotext not installed: the sheets cannot be counted";
    }
    const auto info = test::PdfInfo(backend->Sent[0].Pdf);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->at("Pages"), "2");
    const auto text = test::PdfText(backend->Sent[0].Pdf);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Page 2"), std::string::npos);
    EXPECT_NE(text->find("Page 3"), std::string::npos);
    for (const char* other : {"Page 1", "Page 4", "Page 5"}) {
        EXPECT_EQ(text->find(other), std::string::npos) << other;
    }
}

TEST_F(VpPrinterFixture, RangeBeyondTheReportPrintsNothingAndEndsCleanly)
{
    OfficePrinter();
    auto vp = Make();
    vp->SetDestination(TVpDestination::Printer);
    vp->SetFirstPage(7);
    int afterPrint = 0;
    vp->AfterPrint = [&](TVpPrinter&) { ++afterPrint; };
    RunPages(*vp, 3);
    EXPECT_EQ(vp->Status(), TVpPrinterStatus::Finished);
    EXPECT_TRUE(backend->Sent.empty());
    EXPECT_EQ(afterPrint, 1);
}

TEST_F(VpPrinterFixture, CancelledPrintRunSendsNothing)
{
    OfficePrinter();
    {
        auto vp = Make();
        vp->SetDestination(TVpDestination::Printer);
        vp->BeginDoc();
        vp->NewPage();
        test::DrawPage(*vp, 1);
        vp->NewPage();
        vp->Cancel();
        EXPECT_TRUE(vp->Cancelled());
        // A cancelled run calls no EndDoc; its owner frees it busy.
        EXPECT_EQ(vp->Status(), TVpPrinterStatus::Busy);
    }
    EXPECT_TRUE(backend->Sent.empty());
}

TEST_F(VpPrinterFixture, SavedPagesLoadBackByteForByte)
{
    for (const bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed" : "plain");
        OfficePrinter();
        auto vp = Make();
        vp->SetCompression(compressed);
        RunPages(*vp, 3);
        std::vector<std::vector<std::uint8_t>> pages;
        for (int n = 1; n <= 3; ++n) {
            const auto page = vp->GetPage(n);
            ASSERT_TRUE(page);
            pages.push_back(page->Bytes());
        }
        EXPECT_NE(pages[0], pages[1]);
        const std::string file = PathOf(compressed ? "packed.VPR" : "plain.VPR");
        vp->Save(file);

        QFile saved(QString::fromStdString(file));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        const QByteArray header = saved.read(TVpPageList::kHeaderSize);
        ASSERT_EQ(header.size(), TVpPageList::kHeaderSize);
        EXPECT_EQ(header[8], 3);                    // page count
        EXPECT_EQ(header[21], compressed ? 1 : 0);  // compression flag

        auto loaded = Make();
        loaded->OnPrint = [](TVpPrinter&) {};
        loaded->OnPrintSetup = [](TVpPrinter&) {};
        loaded->OnExport = [](TVpPrinter&, TVpExportFilter&) {};
        loaded->Load(file);
        EXPECT_EQ(loaded->Status(), TVpPrinterStatus::Finished);
        EXPECT_EQ(loaded->PageCount(), 3);
        // Last page first: the links are walked backwards as well.
        for (int n = 3; n >= 1; --n) {
            const auto page = loaded->GetPage(n);
            ASSERT_TRUE(page);
            EXPECT_EQ(page->Bytes(), pages[static_cast<std::size_t>(n - 1)]) << "page " << n;
            EXPECT_EQ(loaded->CurrentPageMetafile(), page);
        }
        EXPECT_EQ(loaded->GetPage(4), nullptr);
        EXPECT_EQ(loaded->GetPage(0), nullptr);
        // Loaded pages have no report behind them to run again.
        EXPECT_FALSE(loaded->OnPrint);
        EXPECT_FALSE(loaded->OnPrintSetup);
        EXPECT_FALSE(loaded->OnExport);
        backend = std::make_shared<FakeBackend>();
    }
}

TEST_F(VpPrinterFixture, LoadedPageLargerThanAnyPaperIsRefused)
{
    OfficePrinter();
    auto vp = Make();
    RunPages(*vp, 1);
    const std::string file = PathOf("wide.VPR");
    vp->Save(file);
    // The page's frame (.01 mm, from byte 24 of its metafile) made to span
    // the whole coordinate range.
    QFile saved(QString::fromStdString(file));
    const std::int32_t sides[] = {INT32_MIN, 0, INT32_MAX};
    ASSERT_TRUE(saved.open(QIODevice::ReadWrite) && saved.seek(TVpPageList::kHeaderSize + 8 + 24));
    ASSERT_EQ(saved.write(reinterpret_cast<const char*>(sides), sizeof sides), qint64{sizeof sides});
    saved.close();
    auto loaded = Make();
    loaded->Load(file);
    EXPECT_THROW(loaded->GetPage(1), emf::EPageTooLarge);
}

TEST_F(VpPrinterFixture, SaveWritesNothingUntilTheRunHasEnded)
{
    auto vp = Make();
    const std::string file = PathOf("early.VPR");
    vp->Save(file);
    vp->BeginDoc();
    vp->NewPage();
    vp->Save(file);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file)));
    vp->EndDoc();
    vp->Save(file);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(file)));
}

TEST_F(VpPrinterFixture, LoadOfAMissingFileLeavesNoPages)
{
    auto vp = Make();
    RunPages(*vp, 2);
    const std::string missing = PathOf("missing.VPR");
    try {
        vp->Load(missing);
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + missing);
    }
    EXPECT_EQ(vp->Status(), TVpPrinterStatus::Ready);
    EXPECT_EQ(vp->PageCount(), 0);
    EXPECT_EQ(vp->GetPage(1), nullptr);
    // Ready again, so a new run may start.
    RunPages(*vp, 1);
    EXPECT_EQ(vp->PageCount(), 1);
}

TEST_F(VpPrinterFixture, AbortedStoreRunKeepsOnlyFinishedPages)
{
    auto vp = Make();
    vp->BeginDoc();
    vp->NewPage();
    test::DrawPage(*vp, 1);
    vp->NewPage();
    test::DrawPage(*vp, 2);
    vp->AbortDoc();
    EXPECT_EQ(vp->Status(), TVpPrinterStatus::Finished);
    EXPECT_EQ(vp->Canvas(), nullptr);
    EXPECT_TRUE(vp->GetPage(1));
    EXPECT_EQ(vp->GetPage(2), nullptr);
}

TEST_F(VpPrinterFixture, StoredPagesPrintOneSheetEach)
{
    OfficePrinter();
    auto vp = Make();
    vp->SetTitle("Stored");
    RunPages(*vp, 3);
    vp->Print();
    ASSERT_EQ(backend->Sent.size(), 1u);
    EXPECT_EQ(backend->Sent[0].Job.Title, "Stored");
    if (const auto info = test::PdfInfo(backend->Sent[0].Pdf)) {
        EXPECT_EQ(info->at("Pages"), "3");
    }
}

TEST_F(VpPrinterFixture, BuiltInPdfPrinterWritesTheStoredPagesText)
{
    // No printer on the system: the built-in PDF printer is the destination.
    auto vp = Make();
    ASSERT_TRUE(vp->PrinterOK());
    ASSERT_TRUE(vp->Printer().IsPdfPrinter());
    RunPages(*vp, 2);
    const std::string pdf = PathOf("report.pdf");
    vp->Printer().SetOutputFileName(pdf);
    vp->Print();
    ASSERT_TRUE(QFile::exists(QString::fromStdString(pdf)));
    if (!test::HavePopplerTools()) {
        GTEST_SKIP() << "pdftotext not installed (poppler-utils): the text cannot be read back";
    }
    const auto info = test::PdfInfo(pdf);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->at("Pages"), "2");
    const auto text = test::PdfText(pdf);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Page 1"), std::string::npos) << *text;
    EXPECT_NE(text->find("Page 2"), std::string::npos) << *text;
}

TEST_F(VpPrinterFixture, LargeTextStaysTextInThePdf)
{
    // A title far larger than a glyph cache is meant for: on vector output it
    // must still be written as text, not filled as outlines nobody can search.
    auto vp = Make();
    vp->BeginDoc();
    vp->NewPage();
    test::DrawPage(*vp, 7, 36);
    vp->EndDoc();
    const std::string pdf = PathOf("large.pdf");
    vp->Printer().SetOutputFileName(pdf);
    vp->Print();
    if (!test::HavePopplerTools()) {
        GTEST_SKIP() << "pdftotext not installed (poppler-utils): the text cannot be read back";
    }
    const auto text = test::PdfText(pdf);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Page 7"), std::string::npos) << *text;
}

// A kill while the stored pages are printed or saved as a PDF ends the
// page being drawn where it is (see the player); the page cut short must
// reach neither paper nor a file: no job is sent, the file the user had
// stays as it was, and nothing is left beside it.
TEST_F(VpPrinterFixture, AKillWhilePagesGoOutSendsAndWritesNothing)
{
    OfficePrinter();
    struct Row {
        const char* name;
        bool asked;
        std::function<void(TVpPrinter&)> output;
        std::size_t jobs;
        QByteArray file;  // the PDF's first bytes, or the old file's
    };
    const std::string pdf = PathOf("report.pdf");
    const QByteArray old("last week's report");
    const auto print = [](TVpPrinter& vp) { vp.Print(); };
    const auto save = [&](TVpPrinter& vp) { SavePagesAsPdf(vp, pdf); };
    const Row rows[] = {
        {"printed", false, print, 1, old},
        {"printed, killed", true, print, 0, old},
        {"saved as PDF", false, save, 0, "%PDF"},
        {"saved as PDF, killed", true, save, 0, old},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        backend->Sent.clear();
        test::WriteAll(QString::fromStdString(pdf), old);
        auto vp = Make();
        RunPages(*vp, 1);
        // Read before the kill, as the page on the screen is: what the
        // kill stops is its drawing.
        ASSERT_NE(vp->GetPage(1), nullptr);
        if (row.asked) {
            RequestStop();
            EXPECT_THROW(row.output(*vp), EStopped);
            ClearStopRequest();
        } else {
            row.output(*vp);
        }
        EXPECT_EQ(backend->Sent.size(), row.jobs);
        EXPECT_EQ(test::ReadAll(QString::fromStdString(pdf)).left(row.file.size()), row.file);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"report.pdf"});
    }
}

TEST_F(VpPrinterFixture, NoDefaultPrinterFallsBackToTheFirstListed)
{
    backend->Printers.push_back(MakePrinter("First", {QPageSize::A4}));
    backend->Printers.push_back(MakePrinter("Second", {QPageSize::A3}));
    auto vp = Make();
    EXPECT_EQ(vp->PrinterIndex(), 0);
    EXPECT_EQ(vp->PrinterSettings().Device(), "First");
    vp->SetPrinterIndex(1);
    EXPECT_EQ(vp->PrinterSettings().Device(), "Second");
    vp->SetPrinterIndex(-1);
    EXPECT_EQ(vp->PrinterSettings().Device(), "First");
}

TEST_F(VpPrinterFixture, HooksRunInsteadOfTheBuiltInActions)
{
    OfficePrinter();
    auto vp = Make();
    std::vector<std::string> calls;
    vp->OnPreview = [&](TVpPrinter&) { calls.push_back("preview"); };
    vp->OnPrint = [&](TVpPrinter&) { calls.push_back("print"); };
    vp->OnPrintSetup = [&](TVpPrinter&) { calls.push_back("setup"); };
    vp->AfterPreview = [&](TVpPrinter&) { calls.push_back("after preview"); };
    RunPages(*vp, 1);
    vp->Preview();
    vp->Print();
    vp->PrintSetup();
    EXPECT_TRUE(backend->Sent.empty());

    // Showing a preview and hiding it again; hiding twice calls the hook once.
    vp->SetShowingPreview(true);
    vp->SetShowingPreview(false);
    vp->SetShowingPreview(false);
    const std::vector<std::string> expected{"preview", "print", "setup", "after preview"};
    EXPECT_EQ(calls, expected);
}

TEST_F(VpPrinterFixture, ClosingThePreviewCancelsARunStillProducingPages)
{
    auto vp = Make();
    vp->SetShowingPreview(true);
    vp->BeginDoc();
    vp->NewPage();
    vp->SetShowingPreview(false);
    EXPECT_TRUE(vp->Cancelled());
    EXPECT_EQ(vp->Status(), TVpPrinterStatus::Busy);
}

}  // namespace
}  // namespace dw
