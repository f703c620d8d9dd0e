// SPDX-License-Identifier: MIT
#pragma once

// Report printers for the preview's tests and its gallery: no system
// printer is listed (the built-in PDF printer stands in, so any paper can be
// chosen), the screen is taken at 96 pixels per inch, and pages are made by
// running documents straight on the printer object.

#include "report/output/printer.h"
#include "report/output/vp_printer.h"

#include <memory>

namespace dw::test {

class NoPrinters : public TPrinterBackend {
public:
    std::vector<TPrinterEntry> EnumPrinters() override { return {}; }
    std::string DefaultPrinter() override { return {}; }
    std::optional<TDeviceCapabilities> Capabilities(const std::string&) override { return std::nullopt; }
    QMarginsF PrintableMargins(const std::string&, const QPageSize&, QPageLayout::Orientation) override { return {}; }
    void PrintFile(const std::string&, const std::filesystem::path&, const TPrintJob&) override {}
};

// A printer object for A3 portrait paper at 96 screen pixels per inch.
std::unique_ptr<TVpPrinter> MakeA3Printer();

// "Page <n>" near the top left in a label's size of type, and a bar as long
// as n tenths of a centimetre, so pages differ.
void DrawPage(TVpPrinter& printer, int n, int pointSize = 12);
// A whole document of pageCount pages into the page store.
void RunPages(TVpPrinter& printer, int pageCount);

}  // namespace dw::test
