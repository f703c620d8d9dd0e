// SPDX-License-Identifier: MIT
#include "report/generation/report_run.h"

#include "common/scope_exit.h"
#include "report/output/export_filter.h"
#include "report/output/vp_printer.h"
#include "report/generation/band.h"
#include "report/generation/record_source.h"
#include "report/generation/report.h"

#include <QCoreApplication>

#include <algorithm>

namespace dw {

namespace {

bool IsPageBand(TVpBandType type)
{
    return type == TVpBandType::rbTitle || type == TVpBandType::rbPageHeader || type == TVpBandType::rbPageFooter ||
           type == TVpBandType::rbOverlay;
}

}  // namespace

ReportRun::ReportRun(TVpReport& report, TVpPrinter& printer, TVpExportFilter* filter)
    : m_report(report), m_printer(printer), m_exportFilter(filter)
{
    m_report.m_run = this;
}

ReportRun::~ReportRun()
{
    m_report.m_run = nullptr;
}

bool ReportRun::Cancelled() const
{
    return m_printer.Cancelled();
}

void ReportRun::Execute()
{
    bool begun = false;
    bool completed = false;
    bool elementsPrinting = false;
    const TVpUnit units = m_report.Units();
    const ScopeExit unwind([&] {
        if (completed)
            return;
        // A run that failed part-way drops its document instead of ending
        // it: half a report must not reach a printer or stand in a preview
        // as if it were whole. A cancelled run leaves the printer object
        // busy, and its owner discards it. The failure that stopped the run
        // is the one the user hears of.
        if (begun && !m_printer.Cancelled()) {
            try {
                m_printer.AbortDoc();
            } catch (...) {
            }
        }
        if (elementsPrinting)
            m_report.ForEachElement([](TVpPrintable& element) { element.AfterPrint(); });
        if (m_report.Units() != units)
            m_report.SetUnits(units);
    });

    bool printIt = true;
    if (m_report.BeforePrint)
        m_report.BeforePrint(m_report, printIt);
    if (!printIt)
        return;

    m_report.SetUnits(TVpUnit::Native);
    m_report.ApplyPrinterSettings(m_printer);
    m_printer.SetTitle(m_report.Names().Title);
    m_printer.SetCompression(m_report.Options.Compression);
    m_printer.BeginDoc();
    begun = true;
    const TVpPage& page = m_report.Page();
    if (m_exportFilter != nullptr)
        m_exportFilter->BeginExport(RoundPixel(page.NativeValue(TVpPage::kWidth)),
                                    RoundPixel(page.NativeValue(TVpPage::kLength)), m_report.Font());
    ComputePageFooterHeight();
    m_currentX = RoundPixel(page.NativeValue(TVpPage::kLeftMargin));
    elementsPrinting = true;
    m_report.ForEachElement([](TVpPrintable& element) { element.BeforePrint(); });
    StartNewPage();
    RunDetailLoop();
    m_currentX = RoundPixel(page.NativeValue(TVpPage::kLeftMargin));
    m_finalPage = true;
    if (!m_printer.Cancelled()) {
        EndPage();
        // A cancelled export writes nothing: the filter is dropped unfinished.
        if (m_exportFilter != nullptr)
            m_exportFilter->EndExport();
    }
    m_report.SetUnits(units);
    elementsPrinting = false;
    m_report.ForEachElement([](TVpPrintable& element) { element.AfterPrint(); });
    completed = true;
    // Ending the document hands the job to the printer, which may still
    // refuse it; that failure goes to the caller like any other, with the
    // report already back as it was.
    if (!m_printer.Cancelled()) {
        if (StorePages())
            m_printer.EndDoc();
        else
            m_printer.AbortDoc();
    }
}

void ReportRun::ComputePageFooterHeight()
{
    m_pageFooterHeight = 0;
    for (TVpCustomBand* band : m_report.PrintOrder()) {
        if (band->BandType() != TVpBandType::rbPageFooter || !band->Enabled)
            continue;
        // Each band once, however the chains are tied.
        std::vector<const TVpCustomBand*> seen;
        for (const TVpCustomBand* b = band; b != nullptr; b = b->ChildBand()) {
            if (std::find(seen.begin(), seen.end(), b) != seen.end())
                break;
            seen.push_back(b);
            m_pageFooterHeight += b->BandSize().NativeValue(TVpBandSize::kHeight);
        }
    }
}

// --- pages and columns ------------------------------------------------------

void ReportRun::StartNewPage()
{
    EndPage();
    if (m_exportFilter != nullptr)
        m_exportFilter->OpenPage();
    ++m_pageNumber;
    if (StorePages() || m_pageNumber == 1)
        m_printer.NewPage();
    m_currentY = RoundPixel(m_report.Page().NativeValue(TVpPage::kTopMargin));
    if (m_report.OnStartPage)
        m_report.OnStartPage(m_report);
    if (m_pageNumber > 1 || m_report.Options.FirstPageHeader)
        if (TVpCustomBand* header = m_report.StandardBand(TVpBandType::rbPageHeader))
            PrintBand(*header);
    m_columnTopY = m_currentY;
}

void ReportRun::EndPage()
{
    if (m_pageNumber > 0) {
        if (m_report.OnEndPage)
            m_report.OnEndPage(m_report);
        const TVpPage& page = m_report.Page();
        m_currentY = RoundPixel(page.NativeValue(TVpPage::kLength) - page.NativeValue(TVpPage::kBottomMargin) -
                                m_pageFooterHeight);
        if (!m_finalPage || m_report.Options.LastPageFooter)
            if (TVpCustomBand* footer = m_report.StandardBand(TVpBandType::rbPageFooter))
                PrintBand(*footer);
        PrintPageElements();
    }
    if (m_exportFilter != nullptr)
        m_exportFilter->ClosePage();
}

void ReportRun::PrintPageElements()
{
    // Measured from the sheet's corner and drawn last, on top of the bands.
    for (const auto& element : m_report.Elements()) element->Print(0, 0);
    if (!StorePages() || !m_report.Frame.AnyFrame() || m_printer.Canvas() == nullptr)
        return;
    const TVpPrinter& p = m_printer;
    const TVpPage& page = m_report.Page();
    const TRect rect{p.XPos(page.NativeValue(TVpPage::kLeftMargin)), p.YPos(page.NativeValue(TVpPage::kTopMargin)),
                     p.XPos(page.NativeValue(TVpPage::kWidth) - page.NativeValue(TVpPage::kRightMargin)),
                     p.YPos(page.NativeValue(TVpPage::kLength) - page.NativeValue(TVpPage::kBottomMargin))};
    m_report.Frame.Draw(*p.Canvas(), rect, p.XFactor(), p.YFactor());
}

void ReportRun::NewColumn()
{
    const TVpPage& page = m_report.Page();
    if (m_currentColumn >= page.Columns()) {
        m_currentColumn = 1;
        m_currentX = RoundPixel(page.NativeValue(TVpPage::kLeftMargin));
        StartNewPage();
    } else {
        const TVpCustomBand* detail = m_report.StandardBand(TVpBandType::rbDetail);
        const Extended width = detail != nullptr ? detail->BandSize().NativeValue(TVpBandSize::kWidth) : 0;
        m_currentX += RoundPixel(width + page.NativeValue(TVpPage::kColumnSpace));
        m_currentY = m_columnTopY;
        ++m_currentColumn;
    }
    if (TVpCustomBand* header = m_report.StandardBand(TVpBandType::rbColumnHeader))
        PrintBand(*header);
}

void ReportRun::ColumnBreak()
{
    if (m_columnBreakSeen || m_currentColumn > 1)
        NewColumn();
    else
        m_columnBreakSeen = true;
}

void ReportRun::PageBreak()
{
    if (m_pageBreakSeen || m_pageNumber > 1) {
        do {
            NewColumn();
        } while (m_currentColumn != 1);
    } else {
        m_pageBreakSeen = true;
    }
}

std::int32_t ReportRun::PaperExtent() const
{
    return m_report.Page().Orientation() == TVpOrientation::poLandscape ? m_printer.PaperWidth()
                                                                        : m_printer.PaperLength();
}

std::int32_t ReportRun::AvailableSpace() const
{
    return RoundPixel(PaperExtent() - m_report.Page().NativeValue(TVpPage::kBottomMargin) - m_pageFooterHeight -
                      m_currentY);
}

void ReportRun::CheckBandSpace(TVpCustomBand& band)
{
    if (band.BandType() == TVpBandType::rbPageFooter || m_printingFooterChild)
        return;
    if (RoundPixel(band.BandSize().NativeValue(TVpBandSize::kHeight)) >= AvailableSpace())
        NewColumn();
}

void ReportRun::PrintWithSpaceCheck(TVpCustomBand* band)
{
    if (band == nullptr)
        return;
    CheckBandSpace(*band);
    if (band->AlignToBottom)
        m_currentY = RoundPixel(PaperExtent() - m_report.Page().NativeValue(TVpPage::kBottomMargin) -
                                band->BandSize().NativeValue(TVpBandSize::kHeight) - m_pageFooterHeight);
    PrintBand(*band);
}

void ReportRun::PrintBand(TVpCustomBand& band)
{
    bool printIt = band.Enabled;
    if (printIt && band.BeforePrint)
        band.BeforePrint(band, printIt);
    const bool footer = band.BandType() == TVpBandType::rbPageFooter || m_printingFooterChild;
    if (printIt) {
        const TVpBandType type = footer ? TVpBandType::rbPageFooter : band.BandType();
        if (!IsPageBand(type)) {
            if (band.ForceNewPage)
                PageBreak();
            else if (band.ForceNewColumn)
                ColumnBreak();
        }
        TVpBandSize& size = band.Size();
        const auto rectangle = [&] {
            const TVpPrinter& p = m_printer;
            const Extended width = size.NativeValue(TVpBandSize::kWidth);
            const Extended height = size.NativeValue(TVpBandSize::kHeight);
            return TRect{p.XPos(m_currentX), p.YPos(m_currentY), p.XPos(m_currentX + width),
                         p.YPos(m_currentY + height)};
        };
        const bool drawing = StorePages() && m_printer.Canvas() != nullptr;
        if (drawing) {
            m_printer.Canvas()->SetBrush(TBrushStyle::bsSolid, band.Color);
            m_printer.Canvas()->FillRect(rectangle());
        }
        const Extended height = size.NativeValue(TVpBandSize::kHeight);
        band.SetStretchOffset(0);
        {
            // The height an element's growth gave the band is the band's only
            // for this print.
            const ScopeExit restore([&size, height] {
                const ScopedUnits native(size, TVpUnit::Native);
                size.SetHeight(height);
            });
            for (const auto& element : band.Elements())
                if (element->Enabled())
                    element->Print(m_currentX, m_currentY + band.StretchOffset());
            if (StorePages() && m_printer.Canvas() != nullptr)
                band.Frame.Draw(*m_printer.Canvas(), rectangle(), m_printer.XFactor(), m_printer.YFactor());
            m_currentY += RoundPixel(size.NativeValue(TVpBandSize::kHeight));
        }
    }
    if (band.AfterPrint)
        band.AfterPrint(band, printIt);
    if (TVpCustomBand* child = band.ChildBand()) {
        const bool wasFooterChild = m_printingFooterChild;
        m_printingFooterChild = footer;
        const ScopeExit restore([this, wasFooterChild] { m_printingFooterChild = wasFooterChild; });
        PrintWithSpaceCheck(child);
    }
}

TVpBandGrowth ReportRun::GrowBand(TVpCustomBand& band, Extended h)
{
    TVpBandSize& size = band.Size();
    const ScopedUnits native(size, TVpUnit::Native);
    const Extended height = size.NativeValue(TVpBandSize::kHeight);
    const auto fits = [this](Extended value) { return RoundPixel(value) < AvailableSpace(); };
    if (!fits(height + h) && StorePages() && m_printer.Canvas() != nullptr) {
        const TVpPrinter& p = m_printer;
        const Extended width = size.NativeValue(TVpBandSize::kWidth);
        band.Frame.Draw(
            *p.Canvas(),
            {p.XPos(m_currentX), p.YPos(m_currentY), p.XPos(m_currentX + width), p.YPos(m_currentY + height)},
            p.XFactor(), p.YFactor());
    }
    size.SetHeight(height + h);
    if (fits(height + h))
        return {};
    const std::int32_t oldX = m_currentX;
    NewColumn();
    size.SetHeight(h);
    return {true, static_cast<Extended>(m_currentY), static_cast<Extended>(m_currentX - oldX)};
}

// --- the detail loop --------------------------------------------------------

void ReportRun::PrintDetailParts(bool withDetail)
{
    for (TVpCustomBand* band : m_report.PrintOrder())
        if (band->BandType() == TVpBandType::rbSubDetail && band->PrintBeforeDetail)
            PrintWithSpaceCheck(band);
    if (withDetail)
        PrintWithSpaceCheck(m_report.StandardBand(TVpBandType::rbDetail));
    for (TVpCustomBand* band : m_report.PrintOrder())
        if (band->BandType() == TVpBandType::rbSubDetail && !band->PrintBeforeDetail)
            PrintWithSpaceCheck(band);
}

void ReportRun::PrintGroupFooters(std::size_t fromDepth)
{
    std::vector<TVpCustomBand*> headers;
    for (TVpCustomBand* band : m_report.PrintOrder())
        if (band->BandType() == TVpBandType::rbGroupHeader)
            headers.push_back(band);
    for (std::size_t i = std::min(headers.size(), m_groupKeys.size()); i-- > fromDepth;) {
        if (!m_groupKeys[i])
            continue;
        m_groupKeys[i].reset();
        PrintWithSpaceCheck(headers[i]->GroupFooter);
    }
}

void ReportRun::RunDetailLoop()
{
    if (m_report.DataSet == nullptr && !m_report.OnNeedData) {
        if (m_report.PrintIfEmpty) {
            PrintWithSpaceCheck(m_report.StandardBand(TVpBandType::rbTitle));
            PrintDetailParts(true);
            PrintWithSpaceCheck(m_report.StandardBand(TVpBandType::rbSummary));
        }
        return;
    }
    std::vector<TVpCustomBand*> headers;
    for (TVpCustomBand* band : m_report.PrintOrder())
        if (band->BandType() == TVpBandType::rbGroupHeader)
            headers.push_back(band);
    m_groupKeys.assign(headers.size(), std::nullopt);
    const auto keyOf = [](const TVpCustomBand& header) { return header.GroupKey ? header.GroupKey() : std::string(); };
    // The outermost group whose key differs from the one it was opened with.
    const auto firstChanged = [&]() {
        for (std::size_t i = 0; i < headers.size(); ++i)
            if (!m_groupKeys[i] || *m_groupKeys[i] != keyOf(*headers[i]))
                return i;
        return headers.size();
    };

    PrintWithSpaceCheck(m_report.StandardBand(TVpBandType::rbTitle));
    if (m_pageNumber == 1)
        if (TVpCustomBand* header = m_report.StandardBand(TVpBandType::rbColumnHeader))
            PrintBand(*header);

    bool more = false;
    if (IVpRecordSource* records = m_report.DataSet) {
        records->First();
        more = !records->Eof();
    } else {
        m_report.OnNeedData(m_report, more);
    }
    while (more) {
        if (QCoreApplication::instance() != nullptr)
            QCoreApplication::processEvents();
        if (Cancelled())
            return;
        for (std::size_t i = firstChanged(); i < headers.size(); ++i) {
            m_groupKeys[i] = keyOf(*headers[i]);
            PrintWithSpaceCheck(headers[i]);
        }
        PrintDetailParts(true);
        if (IVpRecordSource* records = m_report.DataSet) {
            const int number = records->RecordNumber();
            const int count = records->RecordCount();
            records->Next();
            more = !records->Eof();
            if (count > 0)
                m_printer.SetProgress(static_cast<int>(static_cast<long long>(number) * 100 / count));
        } else {
            more = false;
            m_report.OnNeedData(m_report, more);
        }
        if (more)
            PrintGroupFooters(firstChanged());
    }
    if (Cancelled())
        return;
    PrintGroupFooters(0);
    PrintWithSpaceCheck(m_report.StandardBand(TVpBandType::rbSummary));
}

}  // namespace dw
