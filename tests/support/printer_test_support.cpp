// SPDX-License-Identifier: MIT
#include "tests/support/printer_test_support.h"

#include "common/errors.h"
#include "tests/support/qt_files.h"

#include <QStandardPaths>

#include <algorithm>
#include <sstream>

namespace dw::test {

namespace {

std::filesystem::path g_cupsDirectory;

std::optional<QByteArray> RunTool(const QString& tool, const QStringList& arguments)
{
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
        return std::nullopt;
    }
    const CommandRun run = RunCommand(tool, arguments, 60000);
    return run.Finished && run.ExitCode == 0 ? run.Out : QByteArray();
}

}  // namespace

FakePrinter MakePrinter(const std::string& device, std::vector<QPageSize::PageSizeId> papers,
                        std::optional<QPageSize::PageSizeId> defaultPaper, int dpi, const std::string& port)
{
    FakePrinter printer;
    printer.Entry = TPrinterEntry{device, "Fake driver", port};
    for (const auto id : papers) {
        printer.Capabilities.Papers.emplace_back(id);
    }
    printer.Capabilities.DefaultPaper = QPageSize(defaultPaper.value_or(papers.empty() ? QPageSize::A4 : papers[0]));
    printer.Capabilities.Resolution = dpi;
    return printer;
}

FakeBackend::FakeBackend() = default;

std::vector<TPrinterEntry> FakeBackend::EnumPrinters()
{
    ++EnumCalls;
    std::vector<TPrinterEntry> entries;
    for (const FakePrinter& printer : Printers) {
        entries.push_back(printer.Entry);
    }
    return entries;
}

const FakePrinter* FakeBackend::Find(const std::string& device) const
{
    const auto found = std::find_if(Printers.begin(), Printers.end(),
                                    [&](const FakePrinter& printer) { return printer.Entry.Device == device; });
    return found == Printers.end() || found->CannotOpen ? nullptr : &*found;
}

std::optional<TDeviceCapabilities> FakeBackend::Capabilities(const std::string& device)
{
    const FakePrinter* printer = Find(device);
    if (printer == nullptr) {
        return std::nullopt;
    }
    return printer->Capabilities;
}

QMarginsF FakeBackend::PrintableMargins(const std::string& device, const QPageSize&, QPageLayout::Orientation)
{
    const FakePrinter* printer = Find(device);
    return printer == nullptr ? QMarginsF() : printer->Margins;
}

void FakeBackend::PrintFile(const std::string& device, const std::filesystem::path& pdf, const TPrintJob& job)
{
    if (!Refusal.empty()) {
        throw EPrinter(MessageText::Verbatim(Refusal));
    }
    const std::filesystem::path copy =
        std::filesystem::path(m_spool.path().toStdString()) / ("job" + std::to_string(Sent.size() + 1) + ".pdf");
    std::filesystem::copy_file(pdf, copy, std::filesystem::copy_options::overwrite_existing);
    Sent.push_back(SentJob{device, job, copy, pdf});
}

bool HavePopplerTools()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

std::optional<std::map<std::string, std::string>> PdfInfo(const std::filesystem::path& pdf)
{
    const auto output = RunTool(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf.string())});
    if (!output) {
        return std::nullopt;
    }
    std::map<std::string, std::string> info;
    std::istringstream lines(output->toStdString());
    std::string line;
    while (std::getline(lines, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        info[line.substr(0, colon)] = value;
    }
    return info;
}

std::optional<std::string> PdfText(const std::filesystem::path& pdf)
{
    const auto output =
        RunTool(QStringLiteral("pdftotext"), {QString::fromStdString(pdf.string()), QStringLiteral("-")});
    if (!output) {
        return std::nullopt;
    }
    return output->toStdString();
}

void SetPrivateCupsDirectory(const std::filesystem::path& directory)
{
    g_cupsDirectory = directory;
}

const std::filesystem::path& PrivateCupsDirectory()
{
    return g_cupsDirectory;
}

}  // namespace dw::test
