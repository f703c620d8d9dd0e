// SPDX-License-Identifier: MIT
#include "tests/support/private_spooler.h"

#include "tests/support/printer_test_support.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <fstream>
#include <memory>

#include <unistd.h>

namespace dw::test {

namespace {

namespace fs = std::filesystem;

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

struct Spooler {
    std::unique_ptr<QProcess> Daemon;
    fs::path BackendConfig;
    std::string Instance;
    QString Lpadmin;
};

Spooler& State()
{
    static Spooler spooler;
    return spooler;
}

fs::path Socket()
{
    return PrivateCupsDirectory() / "cups.sock";
}

std::string RunAdmin(const QStringList& arguments)
{
    QProcess admin;
    admin.start(State().Lpadmin,
                QStringList{QStringLiteral("-h"), QString::fromStdString(Socket().string())} + arguments);
    if (!admin.waitForFinished(30000) || admin.exitStatus() != QProcess::NormalExit || admin.exitCode() != 0) {
        return "lpadmin " + arguments.join(' ').toStdString() +
               " failed: " + admin.readAllStandardError().toStdString();
    }
    return {};
}

std::string Start()
{
    Spooler& s = State();
    if (::geteuid() != 0) {
        return "the PDF queue needs a spooler running as root, and the tests do not run as root";
    }
    for (const char* needed : {kCupsd, kPdfBackend, kPdfDriver}) {
        if (!fs::exists(needed)) {
            return std::string(needed) + " is missing (packages cups, printer-driver-cups-pdf)";
        }
    }
    s.Lpadmin = QStandardPaths::findExecutable(QStringLiteral("lpadmin"));
    if (s.Lpadmin.isEmpty()) {
        s.Lpadmin = QStandardPaths::findExecutable(QStringLiteral("lpadmin"), {QStringLiteral("/usr/sbin")});
    }
    if (s.Lpadmin.isEmpty()) {
        return "lpadmin is missing (package cups-client)";
    }
    const fs::path dir = PrivateCupsDirectory();
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
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                             fs::perms::others_exec);

    const std::string d = dir.string();
    const bool written =
        WriteFile(dir / "etc/cupsd.conf", "Listen " + Socket().string() +
                                              "\n"
                                              "Browsing No\nWebInterface No\nLogLevel info\n"
                                              "DefaultAuthType None\n"
                                              "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                              "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                              "  </Limit>\n</Policy>\n") &&
        WriteFile(dir / "etc/cups-files.conf", "ServerRoot " + d + "/etc\nRequestRoot " + d + "/spool\nTempDir " + d +
                                                   "/spool/tmp\nCacheDir " + d + "/cache\nStateDir " + d +
                                                   "/run\n"
                                                   "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                                                   "AccessLog " +
                                                   d + "/log/access_log\nErrorLog " + d + "/log/error_log\nPageLog " +
                                                   d +
                                                   "/log/page_log\n"
                                                   "User lp\nGroup lp\nSystemGroup root\nFileDevice No\n");
    if (!written) {
        return "cannot write the spooler's configuration in " + d;
    }
    s.Instance = "dwtest" + std::to_string(::getpid());
    const fs::path backendConfig = fs::path(kPdfBackendConfigDir) / ("cups-pdf-" + s.Instance + ".conf");
    if (!WriteFile(backendConfig, "Out " + d + "/out\nAnonDirName " + d + "/out\nLog " + d + "/log\nGrp root\n")) {
        return "cannot write " + backendConfig.string();
    }
    s.BackendConfig = backendConfig;

    s.Daemon = std::make_unique<QProcess>();
    s.Daemon->setProcessChannelMode(QProcess::MergedChannels);
    s.Daemon->start(QString::fromUtf8(kCupsd),
                    {QStringLiteral("-f"), QStringLiteral("-c"), QString::fromStdString(d + "/etc/cupsd.conf"),
                     QStringLiteral("-s"), QString::fromStdString(d + "/etc/cups-files.conf")});
    if (!s.Daemon->waitForStarted(10000)) {
        s.Daemon.reset();
        return "cupsd could not be started";
    }
    const bool listening = WaitFor([&] { return fs::exists(Socket()) || s.Daemon->state() == QProcess::NotRunning; },
                                   std::chrono::seconds(20));
    if (!listening || s.Daemon->state() == QProcess::NotRunning) {
        return "cupsd did not come up: " + s.Daemon->readAll().toStdString() + ReadTail(dir / "log/error_log");
    }
    std::string failure = RunAdmin({QStringLiteral("-p"), QString::fromUtf8(kTestQueue), QStringLiteral("-v"),
                                    QString::fromStdString("cups-pdf:/" + s.Instance), QStringLiteral("-P"),
                                    QString::fromUtf8(kPdfDriver), QStringLiteral("-L"),
                                    QString::fromUtf8(kTestQueueLocation), QStringLiteral("-E")});
    if (failure.empty()) {
        failure = RunAdmin({QStringLiteral("-d"), QString::fromUtf8(kTestQueue)});
    }
    return failure;
}

// The PDF queue's description with every paper but A4 taken out, and no
// paper of any size.
std::string AddA4OnlyQueue()
{
    std::ifstream in(kPdfDriver);
    if (!in) {
        return std::string(kPdfDriver) + " cannot be read";
    }
    std::string out;
    std::string line;
    bool skippingCustom = false;
    while (std::getline(in, line)) {
        if (skippingCustom) {
            skippingCustom = line.rfind("*End", 0) != 0;
            continue;
        }
        if (line.rfind("*CustomPageSize", 0) == 0) {
            skippingCustom = line.find("setpagedevice\"") == std::string::npos;
            continue;
        }
        bool drop = line.rfind("*ParamCustomPageSize", 0) == 0 || line.rfind("*VariablePaperSize", 0) == 0 ||
                    line.rfind("*MaxMedia", 0) == 0 || line.find("*CustomPageSize") != std::string::npos;
        for (const char* keyword : {"*PageSize ", "*PageRegion ", "*ImageableArea ", "*PaperDimension "}) {
            if (line.rfind(keyword, 0) == 0) {
                const std::string option = line.substr(std::string(keyword).size());
                drop = option.rfind("A4/", 0) != 0 && option.rfind("A4:", 0) != 0;
            }
        }
        if (!drop) {
            out += line + "\n";
        }
    }
    const fs::path ppd = PrivateCupsDirectory() / "a4only.ppd";
    if (!WriteFile(ppd, out)) {
        return "cannot write " + ppd.string();
    }
    return RunAdmin({QStringLiteral("-p"), QString::fromUtf8(kA4Queue), QStringLiteral("-v"),
                     QString::fromStdString("cups-pdf:/" + State().Instance), QStringLiteral("-P"),
                     QString::fromStdString(ppd.string()), QStringLiteral("-E")});
}

}  // namespace

const std::string& StartA4OnlyQueue()
{
    static const std::string reason = [] {
        const std::string& spooler = StartPrivateSpooler();
        return spooler.empty() ? AddA4OnlyQueue() : spooler;
    }();
    return reason;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        QCoreApplication::processEvents();
        QThread::msleep(100);
    }
    return condition();
}

const std::string& StartPrivateSpooler()
{
    static const std::string reason = Start();
    return reason;
}

void StopPrivateSpooler()
{
    Spooler& s = State();
    if (s.Daemon) {
        s.Daemon->terminate();
        if (!s.Daemon->waitForFinished(10000)) {
            s.Daemon->kill();
            s.Daemon->waitForFinished(5000);
        }
        s.Daemon.reset();
    }
    if (!s.BackendConfig.empty()) {
        std::error_code ignored;
        fs::remove(s.BackendConfig, ignored);
        s.BackendConfig.clear();
    }
}

std::vector<fs::path> PrintedFiles()
{
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(PrivateCupsDirectory() / "out", error))
        if (entry.path().extension() == ".pdf")
            files.push_back(entry.path());
    return files;
}

std::vector<SpooledJob> CompletedJobs()
{
    // Each job's attributes are kept in a control file "c<id>" of the spool
    // folder, in the printing protocol's own encoding: after an 8-byte head,
    // group tags of one byte and attributes as tag, name length, name, value
    // length, value (lengths big-endian).
    std::vector<SpooledJob> jobs;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(PrivateCupsDirectory() / "spool", error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() < 2 || name[0] != 'c' || name.find_first_not_of("0123456789", 1) != std::string::npos) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SpooledJob job;
        job.Id = std::stoi(name.substr(1));
        auto u16 = [&](std::size_t at) {
            return (static_cast<unsigned char>(bytes[at]) << 8) | static_cast<unsigned char>(bytes[at + 1]);
        };
        for (std::size_t at = 8; at < bytes.size();) {
            const auto tag = static_cast<unsigned char>(bytes[at]);
            if (tag < 0x10) {
                ++at;
                continue;
            }
            if (at + 3 > bytes.size())
                break;
            const std::size_t nameLength = u16(at + 1);
            if (at + 3 + nameLength + 2 > bytes.size())
                break;
            const std::string attribute = bytes.substr(at + 3, nameLength);
            const std::size_t valueLength = u16(at + 3 + nameLength);
            const std::size_t value = at + 5 + nameLength;
            if (value + valueLength > bytes.size())
                break;
            if (attribute == "job-name") {
                job.Title = bytes.substr(value, valueLength);
            } else if (attribute == "job-printer-uri") {
                const std::string uri = bytes.substr(value, valueLength);
                job.Queue = uri.substr(uri.rfind('/') + 1);
            } else if (attribute == "media" && job.Media.empty()) {
                job.Media = bytes.substr(value, valueLength);
            } else if (attribute == "copies" && valueLength == 4) {
                job.Copies = static_cast<int>((u16(value) << 16) | u16(value + 2));
            }
            at = value + valueLength;
        }
        jobs.push_back(job);
    }
    std::sort(jobs.begin(), jobs.end(), [](const SpooledJob& a, const SpooledJob& b) { return a.Id < b.Id; });
    return jobs;
}

std::string SpoolerLogTail()
{
    return ReadTail(PrivateCupsDirectory() / "log/error_log");
}

}  // namespace dw::test
