// SPDX-License-Identifier: MIT
#pragma once

// One generation run of a report: where it stands on the page, which page
// and column it is on, the groups it has open. The report makes one for each
// run and drops it when the run ends, so nothing of a run outlives it and no
// later run starts from what an earlier one left behind. Only the report's
// library uses it; the report hands bands and elements what they ask of it.

#include "report/elements/printable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dw {

class TVpCustomBand;
class TVpExportFilter;
class TVpPrinter;
class TVpReport;

class ReportRun {
public:
    // An export run goes to filter only and keeps no pages.
    ReportRun(TVpReport& report, TVpPrinter& printer, TVpExportFilter* filter);
    ~ReportRun();
    ReportRun(const ReportRun&) = delete;
    ReportRun& operator=(const ReportRun&) = delete;

    // The report's pages onto the printer object: begun, made and ended, or
    // dropped when anything fails on the way.
    void Execute();

    TVpPrinter& Printer() const noexcept { return m_printer; }
    TVpExportFilter* ExportFilter() const noexcept { return m_exportFilter; }
    bool StorePages() const noexcept { return m_exportFilter == nullptr; }
    std::int32_t PageNumber() const noexcept { return m_pageNumber; }

    // Growth of an AutoStretch label's band (see TVpCustomBand::GrowForLine).
    TVpBandGrowth GrowBand(TVpCustomBand& band, Extended h);

private:
    void ComputePageFooterHeight();
    void StartNewPage();
    void EndPage();
    void NewColumn();
    void PrintPageElements();
    void PrintBand(TVpCustomBand& band);
    void CheckBandSpace(TVpCustomBand& band);
    // Native units left above the page footers.
    std::int32_t AvailableSpace() const;
    // Forced breaks asked for by bands.
    void ColumnBreak();
    void PageBreak();
    void RunDetailLoop();
    void PrintDetailParts(bool withDetail);
    void PrintWithSpaceCheck(TVpCustomBand* band);
    void PrintGroupFooters(std::size_t fromDepth);
    std::int32_t PaperExtent() const;
    bool Cancelled() const;

    TVpReport& m_report;
    TVpPrinter& m_printer;
    TVpExportFilter* m_exportFilter;
    std::int32_t m_pageNumber = 0;
    std::int32_t m_currentColumn = 1;
    std::int32_t m_currentX = 0;
    std::int32_t m_currentY = 0;
    std::int32_t m_columnTopY = 0;
    Extended m_pageFooterHeight = 0;
    bool m_finalPage = false;
    bool m_columnBreakSeen = false;
    bool m_pageBreakSeen = false;
    // A child of a page footer prints as a page footer.
    bool m_printingFooterChild = false;
    // Open groups of the detail loop: the key each header last printed.
    std::vector<std::optional<std::string>> m_groupKeys;
};

}  // namespace dw
