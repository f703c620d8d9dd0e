// SPDX-License-Identifier: MIT
// The sheet as it leaves the program: its name in queues, PDF readers and
// window lists, the PDF saved from the preview, the sheet printed on papers
// smaller than its own, and the printer set-up's choices reaching the job.

#include "app/sheet_holder.h"
#include "app/report_sheet.h"
#include "report/elements/label.h"
#include "report/output/export_filter.h"
#include "report/output/pdf_export.h"
#include "report/output/printer.h"
#include "report/output/progress_form.h"
#include "report/output/vp_printer.h"
#include "report/output/pdf_export.h"
#include "report/output/printer.h"
#include "report/output/progress_form.h"
#include "report/output/vp_printer.h"
#include "report/generation/report.h"
#include "report/preview/save_targets.h"
#include "tests/support/page_records.h"
#include "tests/support/printer_test_support.h"
#include "tests/support/private_spooler.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace dw {
namespace {

const char* const kTitle = "ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА 07.12.2026 14:05:09";

// The sheet filled as the print command fills it; returns the 59 texts.
QStringList FillSheet(TSheetHolder& form)
{
    QStringList texts;
    for (const TSheetLabel& row : SheetLabels()) {
        TVpLabel& label = form.VpLabel(row.Number);
        switch (row.Source) {
            case TSheetSource::Field:
                label.SetCaption(QStringLiteral("%1,25 т.").arg(row.Number));
                break;
            case TSheetSource::Date:
                label.SetCaption(QStringLiteral("07.12.2026"));
                break;
            case TSheetSource::Time:
                label.SetCaption(QStringLiteral("14:05:09"));
                break;
            case TSheetSource::Caption:
                break;
        }
        texts << label.Caption();
    }
    return texts;
}

// Texts of the sheet that the PDF does not hold.
QStringList Missing(const QStringList& texts, const std::filesystem::path& pdf)
{
    const std::optional<std::string> extracted = test::PdfText(pdf);
    const QString text = extracted ? QString::fromStdString(*extracted) : QString();
    QStringList missing;
    for (const QString& expected : texts) {
        if (!text.contains(expected)) {
            missing << expected;
        }
    }
    return missing;
}

class SheetOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        report().ShowProgress = false;
        texts = FillSheet(form);
    }
    TVpReport& report() { return form.VpReport1(); }
    std::string Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)).toStdString(); }

    TSheetHolder form;
    QStringList texts;
    QTemporaryDir dir;
};

TEST_F(SheetOutput, IsNamedByItsTitleDateAndTime)
{
    const TVpReportNames names = SheetNames(report(), QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
    EXPECT_EQ(names.Title, kTitle);
    EXPECT_EQ(names.FileNameStem, "Вес инструмента 2026-12-07 14-05-09");

    // The preview's window, the print job and the PDF all take this title.
    test::UseBackend(report(), test::A3Backend());
    std::string shownTitle;
    test::PreviewAndInspect(report(), [&](TVpPrinter& printer) { shownTitle = printer.Title(); });
    EXPECT_EQ(shownTitle, kTitle);
}

TEST_F(SheetOutput, SavedAsPdfHoldsEveryTextOnItsOwnPaperUnderItsTitle)
{
    if (!test::HavePopplerTools()) {
        GTEST_SKIP() << "poppler-utils not installed: the PDF cannot be read back";
    }
    test::UseBackend(report(), test::A3Backend());
    test::PreviewAndInspect(report(), [&](TVpPrinter& printer) { SavePagesAsPdf(printer, Path("sheet.pdf")); });
    const auto info = test::PdfInfo(Path("sheet.pdf"));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->at("Pages"), "1");
    EXPECT_EQ(info->at("Page size").substr(0, 10), "842 x 1191") << "A3";
    EXPECT_EQ(info->at("Title"), kTitle);
    EXPECT_EQ(Missing(texts, Path("sheet.pdf")), QStringList()) << "the texts stay text";
}

TEST_F(SheetOutput, PrintsWholeOnAnyPaperAndAtFullSizeWhereItFits)
{
    if (!test::HavePopplerTools()) {
        GTEST_SKIP() << "poppler-utils not installed: the printed job cannot be read back";
    }
    struct Row {
        const char* name;
        std::vector<QPageSize::PageSizeId> papers;
        const char* pageSize;  // of the job, as pdfinfo gives it
        bool fullSize;
    };
    const Row rows[] = {
        {"a printer with A3 prints on A3", {QPageSize::A4, QPageSize::A3}, "842 x 1191", true},
        // The common office printer: every text of the sheet lies within A4.
        {"an A4-only printer prints it whole at full size", {QPageSize::A4}, "595 x 842", true},
        {"an A5-only printer scales it to fit", {QPageSize::A5}, "420 x 595", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto backend = std::make_shared<test::FakeBackend>();
        backend->Printers.push_back(test::MakePrinter("Office", row.papers, row.papers.front(), 300));
        backend->Default = "Office";
        double scale = 0;
        report().SetPrinterFactory([&backend, &scale]() {
            auto printer = std::make_unique<TVpPrinter>(backend, 96);
            return printer;
        });
        TVpPrinter* printing = nullptr;
        report().AfterPrint = [&](TVpReport& sender) {
            printing = sender.VpPrinter();
            scale = printing != nullptr ? printing->SheetScale() : 0;
        };
        test::PreviewAndInspect(report(), [](TVpPrinter& printer) { printer.Print(); });
        report().AfterPrint = nullptr;
        ASSERT_EQ(backend->Sent.size(), 1u);
        const test::SentJob& job = backend->Sent.front();
        EXPECT_EQ(job.Job.Title, kTitle);
        const auto info = test::PdfInfo(job.Pdf);
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->at("Page size").substr(0, std::string(row.pageSize).size()), row.pageSize);
        EXPECT_EQ(Missing(texts, job.Pdf), QStringList()) << "nothing is cut";
        EXPECT_EQ(scale == 1.0, row.fullSize) << "scale " << scale;
        EXPECT_GT(scale, 0.5);
    }
}

// The names offered for a sheet's files: the time too, so that the day's
// second sheet does not take the first one's name, and no mark that a USB
// stick or a Windows share refuses.
TEST_F(SheetOutput, TheNamesOfferedCarryTheTimeAndNoMarkADiskRefuses)
{
    const QRegularExpression portable(
        QStringLiteral("^Вес инструмента \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d\\.(VPR|pdf)$"));
    struct Row {
        const char* name;
        std::function<QString(TVpPrinter& shown)> offered;
    };
    const Row rows[] = {
        {"Save in the preview",
         [](TVpPrinter& shown) {
             return SuggestedFileName(shown, SaveTargets(TVpExportFilterLibrary::Instance(), true).front());
         }},
        {"Print to the PDF printer",
         [](TVpPrinter& shown) {
             // The machine has no printer: the built-in PDF printer asks for the file.
             TVpPrinter pdf(std::make_shared<test::FakeBackend>(), 96);
             pdf.SetFileNameStem(shown.FileNameStem());
             pdf.SetTitle(shown.Title());
             QString offered;
             pdf.Printer().SetFileNameRequest([&](const std::string& suggested) {
                 offered = QString::fromStdString(suggested);
                 return std::string();
             });
             pdf.Printer().PrepareOutput();
             return offered;
         }},
    };
    for (const Row& row : rows) {
        QString offered;
        test::PreviewAndInspect(report(), [&](TVpPrinter& printer) { offered = row.offered(printer); });
        EXPECT_TRUE(portable.match(offered).hasMatch()) << row.name << ": " << offered.toStdString();
    }
}

TEST_F(SheetOutput, TheSetUpsChoicesReachTheJobAndAFileIsAskedForOnce)
{
    struct Row {
        const char* name;
        bool systemPrinters;
        TVpPrinterDialogChoice choice;
        // What reaches the spooler: none when a file is written instead.
        const char* device;
        int copies;
        QPageSize::PageSizeId paper;
        QPageLayout::Orientation orientation;
        const char* file;  // the PDF written instead of a job
        int asked;         // times the file name was asked for
    };
    TVpPrinterDialogChoice copies;
    copies.Copies = 2;
    copies.PrinterIndex = 1;
    TVpPrinterDialogChoice sheet;
    sheet.PrinterIndex = 0;
    sheet.Paper = TVpPaperSize::A4;
    sheet.Orientation = TVpOrientation::poLandscape;
    TVpPrinterDialogChoice toFile;
    toFile.PrinterIndex = 0;
    toFile.OutputFileName = Path("set up.pdf");
    TVpPrinterDialogChoice pdfPrinter;
    pdfPrinter.PrinterIndex = 0;
    TVpPrinterDialogChoice pdfPrinterWithFile = toFile;
    const Row rows[] = {
        {"two copies on the second printer", true, copies, "Second", 2, QPageSize::A3, QPageLayout::Portrait, nullptr,
         0},
        {"A4 landscape", true, sheet, "Office", 1, QPageSize::A4, QPageLayout::Landscape, nullptr, 0},
        {"a system printer's output file", true, toFile, nullptr, 0, QPageSize::A3, QPageLayout::Portrait, "set up.pdf",
         0},
        {"the PDF printer asks once", false, pdfPrinter, nullptr, 0, QPageSize::A3, QPageLayout::Portrait, "asked.pdf",
         1},
        {"the PDF printer with the set-up's file asks nothing", false, pdfPrinterWithFile, nullptr, 0, QPageSize::A3,
         QPageLayout::Portrait, "set up.pdf", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(QString::fromStdString(Path("set up.pdf")));
        QFile::remove(QString::fromStdString(Path("asked.pdf")));
        auto backend = std::make_shared<test::FakeBackend>();
        if (row.systemPrinters) {
            backend->Printers.push_back(test::MakePrinter("Office", {QPageSize::A4, QPageSize::A3}, QPageSize::A4));
            backend->Printers.push_back(test::MakePrinter("Second", {QPageSize::A4, QPageSize::A3}, QPageSize::A4));
            backend->Default = "Office";
        }
        int asked = 0;
        bool progressShownWhileAsking = false;
        report().SetPrinterFactory([&] {
            auto printer = std::make_unique<TVpPrinter>(backend, 96);
            printer->Printer().SetFileNameRequest([&](const std::string&) {
                ++asked;
                for (QWidget* widget : QApplication::topLevelWidgets()) {
                    progressShownWhileAsking |=
                        qobject_cast<TVpProgressForm*>(widget) != nullptr && widget->isVisible();
                }
                return Path("asked.pdf");
            });
            return printer;
        });
        report().ShowProgress = true;
        report().PrinterSettings = TVpReportPrinterSettings{};
        report().SetPrinterDialog([&row](const TVpPrinterDialogRequest&) { return std::optional(row.choice); });
        test::PreviewAndInspect(report(), [](TVpPrinter& printer) {
            printer.PrintSetup();
            printer.Print();
        });
        report().ShowProgress = false;

        EXPECT_EQ(asked, row.asked);
        EXPECT_FALSE(progressShownWhileAsking) << "the progress window stood over the question";
        if (row.device != nullptr) {
            ASSERT_EQ(backend->Sent.size(), 1u);
            const TPrintJob& job = backend->Sent.front().Job;
            EXPECT_EQ(backend->Sent.front().Device, row.device);
            EXPECT_EQ(job.Copies, row.copies);
            EXPECT_EQ(QPageSize::id(job.Paper.windowsId()), row.paper);
            EXPECT_EQ(job.Orientation, row.orientation);
        } else {
            EXPECT_TRUE(backend->Sent.empty()) << "printed to a file, not to the printer";
            QFile file(QString::fromStdString(Path(row.file)));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_TRUE(file.read(4) == "%PDF");
        }
    }
}

// The real spooler: the queue lists the job under the sheet's title, with
// the copies the set-up asked for.
TEST_F(SheetOutput, TheQueueGetsOneTitledJobOfTheCopiesSetUp)
{
    const std::string reason = test::StartPrivateSpooler();
    if (!reason.empty()) {
        GTEST_SKIP() << "Real printing path not tested: " << reason;
    }
    TVpPrinterDialogChoice choice;
    choice.Copies = 2;
    choice.PrinterIndex = -1;
    report().SetPrinterDialog([&](const TVpPrinterDialogRequest& request) {
        // The queue is the spooler's default and the set-up starts on it.
        TVpPrinterDialogChoice chosen = choice;
        chosen.PrinterIndex = request.VpPrinter->PrinterIndex();
        return std::optional(chosen);
    });
    // The spooler lives as long as the test program: earlier tests' jobs are
    // in its records too.
    const std::size_t before = test::PrintedFiles().size();
    test::PreviewAndInspect(report(), [](TVpPrinter& printer) {
        printer.PrintSetup();
        printer.Print();
    });
    // Found by its title: an earlier test's job may still be on its way.
    std::optional<test::SpooledJob> job;
    const bool done = test::WaitFor(
        [&] {
            for (const test::SpooledJob& spooled : test::CompletedJobs())
                if (spooled.Title == kTitle)
                    job = spooled;
            return test::PrintedFiles().size() > before && job.has_value();
        },
        std::chrono::seconds(120));
    ASSERT_TRUE(done) << "no job titled " << kTitle << "\n" << test::SpoolerLogTail();
    EXPECT_EQ(job->Copies, 2);
}

// The common office printer, through the real spooler: the job arrives as
// one A4 page, the sheet drawn at full size (its texts are checked on the
// job itself above: the queue's PDF backend redraws it through PostScript,
// which leaves the text unreadable to an extractor).
TEST_F(SheetOutput, AnA4OnlyQueueGetsTheSheetWholeOnOneA4Page)
{
    const std::string reason = test::StartA4OnlyQueue();
    if (!reason.empty()) {
        GTEST_SKIP() << "Real printing path not tested: " << reason;
    }
    if (!test::HavePopplerTools()) {
        GTEST_SKIP() << "poppler-utils not installed: the printed file cannot be checked";
    }
    TPrinter printers;
    const std::vector<std::string>& names = printers.Printers();
    const auto queue = std::find_if(names.begin(), names.end(),
                                    [](const std::string& name) { return name.rfind(test::kA4Queue, 0) == 0; });
    ASSERT_NE(queue, names.end());
    report().PrinterSettings.PrinterIndex = static_cast<int>(queue - names.begin());
    double scale = 0;
    report().AfterPrint = [&](TVpReport& sender) { scale = sender.VpPrinter()->SheetScale(); };
    // Earlier tests' jobs stay in the spooler's records and folder.
    const auto filesBefore = test::PrintedFiles();
    const std::size_t jobsBefore = test::CompletedJobs().size();
    test::PreviewAndInspect(report(), [](TVpPrinter& printer) { printer.Print(); });
    std::optional<std::map<std::string, std::string>> info;
    const bool arrived = test::WaitFor(
        [&] {
            for (const auto& file : test::PrintedFiles()) {
                if (std::find(filesBefore.begin(), filesBefore.end(), file) == filesBefore.end())
                    info = test::PdfInfo(file);
            }
            // The spooler writes its record of the job a little later.
            return info.has_value() && info->count("Pages") != 0 && test::CompletedJobs().size() > jobsBefore;
        },
        std::chrono::seconds(120));
    ASSERT_TRUE(arrived) << test::SpoolerLogTail();
    EXPECT_EQ(info->at("Pages"), "1");
    EXPECT_EQ(info->at("Page size").substr(0, 9), "595 x 842") << "A4";
    EXPECT_EQ(scale, 1.0) << "at full size";
    const std::vector<test::SpooledJob> jobs = test::CompletedJobs();
    EXPECT_TRUE(std::any_of(jobs.begin(), jobs.end(), [](const test::SpooledJob& job) { return job.Title == kTitle; }))
        << "no job titled " << kTitle;
}

}  // namespace
}  // namespace dw
