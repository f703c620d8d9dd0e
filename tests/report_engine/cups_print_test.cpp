// The real printing path: a print spooler of the test's own, with one PDF
// queue, started for these tests and stopped after them. It listens only on
// a socket in a temporary directory, where the test program points every
// spooler lookup, so no other queue on the machine is ever reached.

#include "report/engine/printer.h"
#include "report/engine/printer_settings.h"

#include "tests/report_engine/printer_test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

namespace dw {
namespace {

namespace fs = std::filesystem;

constexpr const char* kQueue = "DwTestPdf";
constexpr const char* kLocation = "Test bench";
constexpr const char* kCupsd = "/usr/sbin/cupsd";
constexpr const char* kPdfBackend = "/usr/lib/cups/backend/cups-pdf";
constexpr const char* kPdfDriver = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
// The PDF backend reads its settings only from the spooler's system folder;
// the queue gets a settings file of its own there, removed afterwards.
constexpr const char* kPdfBackendConfigDir = "/etc/cups";

bool WriteFile(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

std::string ReadTail(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text.size() > 1500 ? text.substr(text.size() - 1500) : text;
}

// Waits for a condition with a bound, letting Qt work meanwhile.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) {
            return true;
        }
        QCoreApplication::processEvents();
        QThread::msleep(100);
    }
    return condition();
}

class CupsPrinting : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_skipReason = StartSpooler(); }

    static void TearDownTestSuite()
    {
        if (s_daemon) {
            s_daemon->terminate();
            if (!s_daemon->waitForFinished(10000)) {
                s_daemon->kill();
                s_daemon->waitForFinished(5000);
            }
            s_daemon.reset();
        }
        if (!s_backendConfig.empty()) {
            std::error_code ignored;
            fs::remove(s_backendConfig, ignored);
            s_backendConfig.clear();
        }
    }

    void SetUp() override
    {
        if (!s_skipReason.empty()) {
            GTEST_SKIP() << "Real printing path not tested: " << s_skipReason;
        }
    }

    static fs::path Socket() { return test::PrivateCupsDirectory() / "cups.sock"; }
    static fs::path OutDir() { return test::PrivateCupsDirectory() / "out"; }

    static std::string RunAdmin(const QStringList& arguments)
    {
        QProcess admin;
        admin.start(s_lpadmin,
                    QStringList{QStringLiteral("-h"), QString::fromStdString(Socket().string())} + arguments);
        if (!admin.waitForFinished(30000) || admin.exitStatus() != QProcess::NormalExit || admin.exitCode() != 0) {
            return "lpadmin " + arguments.join(' ').toStdString() +
                   " failed: " + admin.readAllStandardError().toStdString();
        }
        return {};
    }

    // Empty when the spooler runs with its queue; the reason it cannot otherwise.
    static std::string StartSpooler()
    {
        if (::geteuid() != 0) {
            return "the PDF queue needs a spooler running as root, and the tests do not run as root";
        }
        for (const char* needed : {kCupsd, kPdfBackend, kPdfDriver}) {
            if (!fs::exists(needed)) {
                return std::string(needed) + " is missing (packages cups, printer-driver-cups-pdf)";
            }
        }
        s_lpadmin = QStandardPaths::findExecutable(QStringLiteral("lpadmin"));
        if (s_lpadmin.isEmpty()) {
            s_lpadmin = QStandardPaths::findExecutable(QStringLiteral("lpadmin"), {QStringLiteral("/usr/sbin")});
        }
        if (s_lpadmin.isEmpty()) {
            return "lpadmin is missing (package cups-client)";
        }
        const fs::path dir = test::PrivateCupsDirectory();
        if (dir.empty()) {
            return "no private spooler directory was set up";
        }
        std::error_code error;
        for (const char* sub : {"etc", "spool/tmp", "cache", "run", "log", "out"}) {
            fs::create_directories(dir / sub, error);
            if (error) {
                return "cannot create " + (dir / sub).string() + ": " + error.message();
            }
        }
        // The spooler's filters run as an unprivileged user and must reach
        // the spool below this directory.
        fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);

        const std::string d = dir.string();
        const bool written =
            WriteFile(dir / "etc/cupsd.conf", "Listen " + Socket().string() +
                                                  "\n"
                                                  "Browsing No\nWebInterface No\nLogLevel info\n"
                                                  "DefaultAuthType None\n"
                                                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                                  "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                                  "  </Limit>\n</Policy>\n") &&
            WriteFile(dir / "etc/cups-files.conf", "ServerRoot " + d + "/etc\nRequestRoot " + d + "/spool\nTempDir " +
                                                       d + "/spool/tmp\nCacheDir " + d + "/cache\nStateDir " + d +
                                                       "/run\n"
                                                       "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                                                       "AccessLog " +
                                                       d + "/log/access_log\nErrorLog " + d +
                                                       "/log/error_log\nPageLog " + d +
                                                       "/log/page_log\n"
                                                       "User lp\nGroup lp\nSystemGroup root\nFileDevice No\n");
        if (!written) {
            return "cannot write the spooler's configuration in " + d;
        }
        s_instance = "dwtest" + std::to_string(::getpid());
        const fs::path backendConfig = fs::path(kPdfBackendConfigDir) / ("cups-pdf-" + s_instance + ".conf");
        if (!WriteFile(backendConfig, "Out " + d + "/out\nAnonDirName " + d + "/out\nLog " + d + "/log\nGrp root\n")) {
            return "cannot write " + backendConfig.string();
        }
        s_backendConfig = backendConfig;

        s_daemon = std::make_unique<QProcess>();
        s_daemon->setProcessChannelMode(QProcess::MergedChannels);
        s_daemon->start(QString::fromUtf8(kCupsd),
                        {QStringLiteral("-f"), QStringLiteral("-c"), QString::fromStdString(d + "/etc/cupsd.conf"),
                         QStringLiteral("-s"), QString::fromStdString(d + "/etc/cups-files.conf")});
        if (!s_daemon->waitForStarted(10000)) {
            s_daemon.reset();
            return "cupsd could not be started";
        }
        const bool listening =
            WaitFor([&] { return fs::exists(Socket()) || s_daemon->state() == QProcess::NotRunning; },
                    std::chrono::seconds(20));
        if (!listening || s_daemon->state() == QProcess::NotRunning) {
            return "cupsd did not come up: " + s_daemon->readAll().toStdString() + ReadTail(dir / "log/error_log");
        }
        std::string failure = RunAdmin({QStringLiteral("-p"), QString::fromUtf8(kQueue), QStringLiteral("-v"),
                                        QString::fromStdString("cups-pdf:/" + s_instance), QStringLiteral("-P"),
                                        QString::fromUtf8(kPdfDriver), QStringLiteral("-L"),
                                        QString::fromUtf8(kLocation), QStringLiteral("-E")});
        if (failure.empty()) {
            failure = RunAdmin({QStringLiteral("-d"), QString::fromUtf8(kQueue)});
        }
        return failure;
    }

    static std::vector<fs::path> OutputFiles()
    {
        std::vector<fs::path> files;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(OutDir(), error)) {
            if (entry.path().extension() == ".pdf") {
                files.push_back(entry.path());
            }
        }
        return files;
    }

    static inline std::string s_skipReason;
    static inline std::unique_ptr<QProcess> s_daemon;
    static inline fs::path s_backendConfig;
    static inline std::string s_instance;
    static inline QString s_lpadmin;
};

TEST_F(CupsPrinting, QueueIsListedWithItsPapers)
{
    TPrinter printer;
    const std::vector<std::string> names = printer.Printers();
    const std::string expected = std::string(kQueue) + " on " + kLocation;
    ASSERT_NE(std::find(names.begin(), names.end(), expected), names.end());
    EXPECT_TRUE(printer.HasSystemPrinters());
    // The queue is the spooler's default.
    EXPECT_EQ(names[static_cast<std::size_t>(printer.PrinterIndex())], expected);

    const std::vector<int> codes = printer.PaperCodes();
    for (const int code : {1, 8, 9, 11, kDmPaperUser}) {  // Letter, A3, A4, A5, any size
        EXPECT_NE(std::find(codes.begin(), codes.end(), code), codes.end()) << code;
    }
    EXPECT_GT(printer.PixelsPerInchX(), 0);

    TPrinterSettings settings;
    settings.SetPrinter(&printer);
    EXPECT_EQ(settings.Device(), kQueue);
    EXPECT_EQ(settings.Port(), kLocation);
    EXPECT_EQ(settings.PaperSize(), TVpPaperSize::A4);  // the queue's own default
    EXPECT_TRUE(settings.Supports(TVpPaperSize::A3));
    EXPECT_EQ(settings.PixelsPerX(), printer.PixelsPerInchX());
}

TEST_F(CupsPrinting, TwoPageJobPrintsOnA3)
{
    if (!test::HavePopplerTools()) {
        GTEST_SKIP() << "pdfinfo not installed (poppler-utils): the printed file cannot be checked";
    }
    TPrinter printer;
    TPrinterSettings settings;
    settings.SetPrinter(&printer);
    settings.SetPaperSize(TVpPaperSize::A3);
    settings.SetOrientation(TPrinterOrientation::poPortrait);
    settings.ApplySettings();
    EXPECT_EQ(printer.GetPrinter().DeviceMode.PaperSize, 8);

    const std::size_t before = OutputFiles().size();
    printer.SetTitle("Drillweight spooler test");
    printer.BeginDoc();
    QPainter* canvas = printer.Canvas();
    ASSERT_NE(canvas, nullptr);
    canvas->setFont(QFont(QStringLiteral("Liberation Sans"), 20));
    canvas->drawText(300, 600, QStringLiteral("First sheet"));
    canvas->drawRect(0, 0, printer.PageWidth() - 1, printer.PageHeight() - 1);
    printer.NewPage();
    canvas->drawText(300, 600, QStringLiteral("Second sheet"));
    printer.EndDoc();

    // The queue turns the job into a file of its own when it gets to it.
    std::optional<std::map<std::string, std::string>> info;
    const bool printed = WaitFor(
        [&] {
            const auto files = OutputFiles();
            if (files.size() <= before) {
                return false;
            }
            info = test::PdfInfo(files.back());
            return info && info->count("Pages") != 0;
        },
        std::chrono::seconds(120));
    ASSERT_TRUE(printed) << "no printed file; spooler log:\n"
                         << ReadTail(test::PrivateCupsDirectory() / "log/error_log");
    EXPECT_EQ(info->at("Pages"), "2");
    EXPECT_EQ(info->at("Page size").substr(0, 10), "842 x 1191");
}

}  // namespace
}  // namespace dw
