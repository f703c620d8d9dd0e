// SPDX-License-Identifier: MIT
// `drillweight FILE.VPR`: the saved report in the preview window alone, and
// the files that cannot be shown refused with the program's message and a
// failing exit code.

#include "app/saved_report_preview.h"
#include "app/termination_signals.h"

#include "common/error_display.h"
#include "report/core/page_errors.h"
#include "report/preview/preview.h"
#include "report/preview/preview_image.h"
#include "report/preview/standard_preview.h"
#include "tests/support/costly_reports.h"
#include "tests/support/preview_test_support.h"
#include "tests/support/qt_files.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace dw {
namespace {

class SavedReportPreviewTest : public ::testing::Test {
public:
    void SetUp() override
    {
        m_previousErrors = SetErrorDisplay([this](const std::string& message) { errors.push_back(message); });
    }
    void TearDown() override { SetErrorDisplay(m_previousErrors); }

    std::string Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)).toStdString(); }

    // A report of pageCount pages saved as the program saves it.
    std::string SavedReport(const char* name, int pageCount)
    {
        auto source = test::MakeA3Printer();
        test::RunPages(*source, pageCount);
        source->Save(Path(name));
        return Path(name);
    }

    static QByteArray ReadAll(const std::string& path) { return test::ReadAll(QString::fromStdString(path)); }
    static void WriteAll(const std::string& path, const QByteArray& bytes)
    {
        test::WriteAll(QString::fromStdString(path), bytes);
    }

    QTemporaryDir dir;
    std::unique_ptr<TVpPrinter> printer = test::MakeA3Printer();
    std::vector<std::string> errors;

private:
    ErrorDisplayHandler m_previousErrors;
};

struct SeenPreview {
    bool shown = false;
    QString title, status;
    int pageShown = 0;
    bool hasPage = false;
    TVpZoomMode zoomMode = TVpZoomMode::Fixed;
    double imageAspect = 0;
    int topLevelWindows = 0;
};

TEST_F(SavedReportPreviewTest, TheReportOpensAtItsFirstPageAndTheRunEndsWithTheWindow)
{
    const std::string file = SavedReport("Скважина 12.VPR", 2);
    // The machine's default paper is not the sheet's: the page still shows as A3.
    printer->SetPaperSize(TVpPaperSize::Letter);
    SeenPreview seen;
    QPointer<TVpStandardPreview> window;
    const int code = PreviewSavedReport(*printer, file, [&](TVpStandardPreview& preview) {
        window = &preview;
        QCoreApplication::processEvents();  // the page notices
        seen.shown = preview.isVisible();
        seen.title = preview.windowTitle();
        seen.status = preview.Status()->text();
        seen.pageShown = preview.VpPreview()->Image()->PageNumber();
        seen.hasPage = preview.VpPreview()->Image()->HasPage();
        seen.zoomMode = preview.VpPreview()->ZoomMode();
        const QSize image = preview.VpPreview()->Image()->size() - QSize(4, 4);  // less frame and shadow
        seen.imageAspect = double(image.height()) / image.width();
        for (QWidget* widget : QApplication::topLevelWidgets()) seen.topLevelWindows += widget->isVisible() ? 1 : 0;
        // As the user would: the run goes on until the window is closed.
        QTimer::singleShot(0, &preview, &QWidget::close);
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, QStringLiteral("Скважина 12.VPR"));
    EXPECT_EQ(seen.status, QStringLiteral("Page 1 of 2"));
    EXPECT_EQ(seen.pageShown, 1);
    EXPECT_TRUE(seen.hasPage);
    EXPECT_EQ(seen.zoomMode, TVpZoomMode::PageWidth);
    EXPECT_NEAR(seen.imageAspect, 420.0 / 297.0, 0.01);
    EXPECT_EQ(seen.topLevelWindows, 1) << "the preview alone, no main window";
    EXPECT_TRUE(window.isNull()) << "the window freed itself when closed";
    EXPECT_TRUE(errors.empty());
}

// How the window was closed is how the run ends: by the user, it went well;
// by an operator's kill or the session's end (the window closed all the
// same), with 128 + the signal's number, as the main window's run ends, so
// that whoever started it can tell.
TEST_F(SavedReportPreviewTest, AWindowClosedByASignalEndsTheRunWithItsStatus)
{
    const std::string file = SavedReport("report.VPR", 1);
    struct Row {
        const char* name;
        std::function<void(TVpStandardPreview&)> close;
        int status;
    };
    const auto signal = [](int number) {
        return [number](TVpStandardPreview&) { QTimer::singleShot(0, [number] { ::raise(number); }); };
    };
    const Row rows[] = {
        {"closed by the user", [](TVpStandardPreview& window) { QTimer::singleShot(0, &window, &QWidget::close); }, 0},
        {"terminated", signal(SIGTERM), 128 + SIGTERM},
        {"hung up", signal(SIGHUP), 128 + SIGHUP},
        {"interrupted", signal(SIGINT), 128 + SIGINT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        printer = test::MakeA3Printer();
        QPointer<TVpStandardPreview> window;
        int status = -1;
        {
            const TerminationSignals handler;
            status = PreviewSavedReport(*printer, file, [&](TVpStandardPreview& preview) {
                window = &preview;
                row.close(preview);
            });
        }
        EXPECT_EQ(status, row.status);
        EXPECT_TRUE(window.isNull() || !window->isVisible());
        // A signal asked every loop to end; the program's own loop takes
        // that request up, or it would end the next test's loops at once.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
        delete window.data();
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(SavedReportPreviewTest, TheLoadedPagesArePrintableButNotExportable)
{
    const std::string file = SavedReport("sheet.VPR", 1);
    bool exportHookCalled = false;
    printer->OnExport = [&](TVpPrinter&, TVpExportFilter&) { exportHookCalled = true; };
    printer->OnPrint = [](TVpPrinter&) {};
    TVpStandardPreview& window = OpenSavedReport(*printer, file);
    EXPECT_FALSE(printer->OnPrint) << "printing prints the loaded pages, not a report run";
    EXPECT_FALSE(printer->OnExport) << "a loaded report has nothing to export from";
    EXPECT_EQ(printer->PageCount(), 1);
    EXPECT_EQ(printer->Title(), "sheet.VPR") << "the print job is named after the file";
    delete &window;
    EXPECT_FALSE(exportHookCalled);
}

// Only the first page is read before the window opens, so a long report
// opens at once; a later page that is damaged says so, naming file and page,
// when it is turned to.
TEST_F(SavedReportPreviewTest, ADamagedLaterPageIsReportedWhenShown)
{
    const std::string path = SavedReport("later.VPR", 2);
    QByteArray bytes = ReadAll(path);
    bytes[bytes.indexOf(" EMF", bytes.indexOf(" EMF") + 1)] = 'X';
    WriteAll(path, bytes);
    TVpStandardPreview& window = OpenSavedReport(*printer, path);
    EXPECT_EQ(printer->PageCount(), 2);
    try {
        printer->GetPage(2);
        ADD_FAILURE() << "page 2 read";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), path + ": page 2: Metafile is not valid");
    }
    delete &window;
}

TEST_F(SavedReportPreviewTest, AFileThatCannotBeShownGivesTheMessageAndAFailingExitCode)
{
    struct Row {
        const char* name;
        std::function<std::string(SavedReportPreviewTest&)> make;  // the path given
        std::string message;
    };
    const auto damaged = [](const char* name, std::function<void(QByteArray&)> damage) {
        return [name, damage](SavedReportPreviewTest& t) {
            const std::string path = t.SavedReport(name, 2);
            QByteArray bytes = ReadAll(path);
            damage(bytes);
            WriteAll(path, bytes);
            return path;
        };
    };
    const std::string notValid = " is not a valid report file";
    const Row rows[] = {
        {"missing", [](SavedReportPreviewTest& t) { return t.Path("missing.VPR"); },
         "Cannot open file %s: it does not exist"},
        {"a folder",
         [](SavedReportPreviewTest& t) {
             QDir(t.dir.path()).mkdir(QStringLiteral("folder.VPR"));
             return t.Path("folder.VPR");
         },
         "Cannot open file %s: it is a folder, not a file"},
        {"empty",
         [](SavedReportPreviewTest& t) {
             WriteAll(t.Path("empty.VPR"), {});
             return t.Path("empty.VPR");
         },
         "File %s" + notValid},
        {"cut in half", damaged("half.VPR", [](QByteArray& f) { f.truncate(f.size() / 2); }), "File %s" + notValid},
        {"a foreign file", damaged("text.VPR", [](QByteArray& f) { f = QByteArray(400, 'x'); }), "File %s" + notValid},
        {"a first page that is no metafile",
         damaged("page.VPR",
                 [](QByteArray& f) {
                     const qsizetype first = f.indexOf(" EMF");
                     f[first] = 'X';
                 }),
         "%s: page 1: Metafile is not valid"},
        // Every text entry of its one record reads the same string: refused,
        // not spelled out into more memory than the machine has.
        {"a page whose text entries all read one string",
         [](SavedReportPreviewTest& t) {
             const test::CostlyBytes bytes = test::CostlyReport({test::SharedStringPage(256 * 1024)}, false);
             WriteAll(t.Path("shared.VPR"),
                      QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
             return t.Path("shared.VPR");
         },
         "%s: page 1: Metafile is not valid"},
        // Refused before it is read: nothing may wait for a writer that never comes.
        {"a pipe",
         [](SavedReportPreviewTest& t) {
             ::mkfifo(t.Path("pipe.VPR").c_str(), 0600);
             return t.Path("pipe.VPR");
         },
         "Cannot open file %s: it is a pipe, not a file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        errors.clear();
        printer = test::MakeA3Printer();
        const std::string path = row.make(*this);
        bool shown = false;
        const int code = PreviewSavedReport(*printer, path, [&](TVpStandardPreview& window) {
            shown = true;
            QTimer::singleShot(0, &window, &QWidget::close);
        });
        EXPECT_NE(code, 0);
        EXPECT_FALSE(shown) << "no window for a file that cannot be shown";
        std::string expected = row.message;
        if (const auto at = expected.find("%s"); at != std::string::npos)
            expected.replace(at, 2, path);
        EXPECT_EQ(errors, std::vector<std::string>{expected});
    }
}

}  // namespace
}  // namespace dw
