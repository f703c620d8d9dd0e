// SPDX-License-Identifier: MIT
#pragma once

// Printers made to order for the tests, and readers for the PDF files the
// jobs produce.

#include "report/output/printer.h"

#include <QTemporaryDir>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dw::test {

struct FakePrinter {
    TPrinterEntry Entry;
    TDeviceCapabilities Capabilities;
    QMarginsF Margins;        // points, whatever the paper
    bool CannotOpen = false;  // the device does not answer
};

// A printer listing these papers (first the default unless given), at dpi.
FakePrinter MakePrinter(const std::string& device, std::vector<QPageSize::PageSizeId> papers,
                        std::optional<QPageSize::PageSizeId> defaultPaper = std::nullopt, int dpi = 600,
                        const std::string& port = {});

struct SentJob {
    std::string Device;
    TPrintJob Job;
    std::filesystem::path Pdf;  // a copy of what the spooler was given
    std::filesystem::path Original;
};

class FakeBackend : public TPrinterBackend {
public:
    FakeBackend();

    std::vector<FakePrinter> Printers;
    std::string Default;
    std::vector<SentJob> Sent;
    std::string Refusal;  // when set, the spooler refuses jobs with this text
    int EnumCalls = 0;

    std::vector<TPrinterEntry> EnumPrinters() override;
    std::string DefaultPrinter() override { return Default; }
    std::optional<TDeviceCapabilities> Capabilities(const std::string& device) override;
    QMarginsF PrintableMargins(const std::string& device, const QPageSize& paper,
                               QPageLayout::Orientation orientation) override;
    void PrintFile(const std::string& device, const std::filesystem::path& pdf, const TPrintJob& job) override;

private:
    const FakePrinter* Find(const std::string& device) const;
    QTemporaryDir m_spool;
};

// What pdfinfo says ("Pages", "Title", "Page size"...); none when poppler's
// tools are not installed.
std::optional<std::map<std::string, std::string>> PdfInfo(const std::filesystem::path& pdf);
// The text of the document; none without poppler's tools.
std::optional<std::string> PdfText(const std::filesystem::path& pdf);
bool HavePopplerTools();

// Where the tests' own print spooler lives, when one is started.
void SetPrivateCupsDirectory(const std::filesystem::path& directory);
const std::filesystem::path& PrivateCupsDirectory();

}  // namespace dw::test
