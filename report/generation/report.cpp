// SPDX-License-Identifier: MIT
#include "report/generation/report.h"

#include "common/errors.h"
#include "common/scope_exit.h"
#include "report/emf/emf_reader.h"
#include "report/engine/export_filter.h"
#include "report/engine/page_fit.h"
#include "report/engine/progress_form.h"
#include "report/engine/vp_printer.h"
#include "report/generation/printer_dialog.h"
#include "report/generation/record_source.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace dw {

namespace {

bool IsPageBand(TVpBandType type)
{
    return type == TVpBandType::rbTitle || type == TVpBandType::rbPageHeader || type == TVpBandType::rbPageFooter ||
           type == TVpBandType::rbOverlay;
}

}  // namespace

TVpReport::TVpReport(const VpEnvironment& environment)
    : m_environment(environment), m_geometry(*this, environment), m_measuringDevice(environment.Resolution)
{
    m_font.Name = QStringLiteral("Arial");
    m_font.Size = 10;
    Page().UpdateOwnerBounds();
}

TVpReport::~TVpReport()
{
    m_destroying = true;
}

void TVpReport::SetFont(const TCanvasFont& font)
{
    m_font = font;
    if (m_loading)
        return;
    // Labels that follow the report's font lay themselves out again.
    ForEachElement([](TVpPrintable& element) { element.ParentChanged(); });
}

TVpCustomBand& TVpReport::AddBand(TVpBandType type, std::string name)
{
    m_bands.push_back(std::make_unique<TVpCustomBand>(*this, type, std::move(name)));
    TVpCustomBand& band = *m_bands.back();
    m_geometry.PlaceBand(band.Size());
    OrderBands();
    return band;
}

void TVpReport::AdoptElement(std::unique_ptr<TVpPrintable> element, std::string name)
{
    element->SetName(name);
    element->PlaceOnReport(*this);
    m_elements.push_back(std::move(element));
}

TVpPrintable* TVpReport::FindElement(std::string_view name) const
{
    for (const auto& element : m_elements)
        if (element->Name() == name)
            return element.get();
    return nullptr;
}

void TVpReport::Loaded()
{
    m_loading = false;
    for (const auto& element : m_elements) element->Loaded();
    for (const auto& band : m_bands)
        for (const auto& element : band->Elements()) element->Loaded();
    OrderBands();
}

void TVpReport::OrderBands()
{
    if (m_loading)
        return;
    std::vector<TVpCustomBand*> order;
    const auto listed = [&order](const TVpCustomBand* band) {
        return std::find(order.begin(), order.end(), band) != order.end();
    };
    // A band, then its chain of children; a chain that loops ends where it
    // meets a band already listed.
    const auto add = [&](TVpCustomBand* band) {
        for (TVpCustomBand* b = band; b != nullptr && !listed(b); b = b->ChildBand()) order.push_back(b);
    };
    const auto addAll = [&](auto&& wanted) {
        for (const auto& band : m_bands)
            if (band->BandType() != TVpBandType::rbChild && wanted(*band))
                add(band.get());
    };
    const auto ofType = [](TVpBandType type) {
        return [type](const TVpCustomBand& b) { return b.BandType() == type; };
    };
    addAll(ofType(TVpBandType::rbPageHeader));
    addAll(ofType(TVpBandType::rbTitle));
    addAll(ofType(TVpBandType::rbColumnHeader));
    addAll(ofType(TVpBandType::rbGroupHeader));
    addAll([](const TVpCustomBand& b) { return b.BandType() == TVpBandType::rbSubDetail && b.PrintBeforeDetail; });
    addAll(ofType(TVpBandType::rbDetail));
    addAll([](const TVpCustomBand& b) { return b.BandType() == TVpBandType::rbSubDetail && !b.PrintBeforeDetail; });
    // Footers close their groups from the innermost outward.
    for (auto it = m_bands.rbegin(); it != m_bands.rend(); ++it)
        if ((*it)->BandType() == TVpBandType::rbGroupHeader && (*it)->GroupFooter != nullptr)
            add((*it)->GroupFooter);
    addAll(ofType(TVpBandType::rbGroupFooter));
    addAll(ofType(TVpBandType::rbSummary));
    addAll(ofType(TVpBandType::rbPageFooter));
    for (const TVpCustomBand* previous : m_printOrder) {
        const auto owned = std::find_if(m_bands.begin(), m_bands.end(),
                                        [previous](const auto& band) { return band.get() == previous; });
        if (owned != m_bands.end())
            add(owned->get());
    }
    for (const auto& band : m_bands) add(band.get());
    m_printOrder = std::move(order);
}

TVpCustomBand* TVpReport::StandardBand(TVpBandType type) const
{
    for (TVpCustomBand* band : m_printOrder)
        if (band->BandType() == type)
            return band;
    return nullptr;
}

std::vector<IVpBand*> TVpReport::Bands()
{
    return {m_printOrder.begin(), m_printOrder.end()};
}

std::vector<TVpPrintableSize*> TVpReport::ElementSizes()
{
    std::vector<TVpPrintableSize*> sizes;
    sizes.reserve(m_elements.size());
    for (const auto& element : m_elements) sizes.push_back(&element->Size());
    return sizes;
}

void TVpReport::ForEachElement(const std::function<void(TVpPrintable&)>& action)
{
    for (const auto& element : m_elements) action(*element);
    for (TVpCustomBand* band : m_printOrder)
        for (const auto& element : band->Elements()) action(*element);
}

// --- commands ---------------------------------------------------------------

std::unique_ptr<TVpPrinter> TVpReport::NewVpPrinter()
{
    std::unique_ptr<TVpPrinter> printer = m_printerFactory ? m_printerFactory() : std::make_unique<TVpPrinter>();
    if (m_vpPrinter != nullptr)
        printer->SetStatusWindow(m_vpPrinter->StatusWindow());
    printer->AfterPrint = [this](TVpPrinter&) {
        if (AfterPrint)
            AfterPrint(*this);
    };
    printer->AfterPreview = [this](TVpPrinter&) {
        if (AfterPreview)
            AfterPreview(*this);
    };
    return printer;
}

void TVpReport::SetUpPreview(TVpPrinter& printer)
{
    printer.SetDestination(TVpDestination::PageStore);
    printer.OnPrint = [this](TVpPrinter&) { Print(); };
    printer.OnPrintSetup = [this](TVpPrinter&) { PrinterSetup(); };
    printer.OnExport = [this](TVpPrinter&, TVpExportFilter& filter) { ExportToFilter(filter); };
    const TVpReportNames names = Names();
    printer.SetTitle(names.Title);
    printer.SetFileNameStem(names.FileNameStem);
    printer.OnPrintPlan = [this](TVpPrinter&) { return PrintPlan(); };
    if (OnPreview)
        printer.OnPreview = [this](TVpPrinter&) { OnPreview(*this); };
}

void TVpReport::Preview()
{
    if (!m_available)
        return;
    // Two previews of one report would put two sheets with different
    // numbers side by side, and the older one could be printed by mistake.
    if (m_previewPrinter != nullptr && m_previewPrinter->ShowingPreview()) {
        PreviewAgain(*m_previewPrinter);
        return;
    }
    std::unique_ptr<TVpPrinter> printer = NewVpPrinter();
    QPointer<QEventLoop> waiting;
    printer->AfterPreview = [this, &waiting](TVpPrinter&) {
        if (waiting)
            waiting->quit();
        if (AfterPreview)
            AfterPreview(*this);
    };
    SetUpPreview(*printer);

    m_vpPrinter = printer.get();
    m_previewPrinter = printer.get();
    const ScopeExit release([this, &printer] {
        // The program is ending with the preview still open: the window goes
        // first, so it never points at a printer object that is gone.
        if (printer->ShowingPreview()) {
            if (auto* control = qobject_cast<QWidget*>(printer->StatusWindow()))
                delete control->window();
            if (printer->ShowingPreview())
                printer->SetShowingPreview(false);
        }
        printer->SetStatusWindow(nullptr);
        if (m_vpPrinter == printer.get())
            m_vpPrinter = nullptr;
        if (m_previewPrinter == printer.get())
            m_previewPrinter = nullptr;
    });
    printer->Preview();
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
    CreateReport();
    if (printer->ShowingPreview() && QCoreApplication::instance() != nullptr && !QCoreApplication::closingDown()) {
        QEventLoop loop;
        waiting = &loop;
        loop.exec();
    }
}

void TVpReport::PreviewAgain(TVpPrinter& printer)
{
    // The printer object stays the one the first call owns and waits on;
    // only its pages are made anew. A report loaded into the preview since
    // is replaced as well, and its cleared hooks are set again.
    printer.DiscardPages();
    SetUpPreview(printer);
    m_vpPrinter = &printer;
    printer.Preview();
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
    // The window may have been closed meanwhile; the pages are made all the
    // same, as for a first preview closed before its page arrived.
    CreateReport();
}

void TVpReport::Print()
{
    if (!m_available)
        return;
    std::unique_ptr<TVpPrinter> printer = NewVpPrinter();
    if (!printer->PrinterOK())
        return;
    printer->SetDestination(TVpDestination::Printer);
    // Every question is asked before the progress window shows, so that it
    // never stands over a dialog: it appears when the pages go out.
    ApplyPrinterSettings(*printer);
    printer->Printer().SetTitle(Names().Title);
    if (!printer->Printer().PrepareOutput())
        return;
    // The pages shown tell how far each page draws, so that a page larger
    // than the sheet is scaled to fit instead of being cut.
    if (TVpPrinter* shown = m_vpPrinter) {
        printer->ContentExtent = [shown](std::int32_t n) -> std::optional<TDrawnExtent> {
            const std::shared_ptr<const emf::EmfDocument> page = shown->GetPage(n);
            return page ? DrawnExtentMillimetres(*page) : std::nullopt;
        };
    }
    RunWithProgress(*printer);
}

TVpReportNames TVpReport::Names() const
{
    if (OnNames)
        return OnNames(*this);
    return TVpReportNames{ReportTitle, {}};
}

TVpPrintPlan TVpReport::PrintPlan()
{
    std::unique_ptr<TVpPrinter> printer = NewVpPrinter();
    if (!printer->PrinterOK())
        return {};
    printer->SetDestination(TVpDestination::Printer);
    ApplyPrinterSettings(*printer);
    return printer->PrintPlan();
}

void TVpReport::ExportToFilter(TVpExportFilter& filter)
{
    if (!m_available)
        return;
    std::unique_ptr<TVpPrinter> printer = NewVpPrinter();
    m_exportFilter = &filter;
    m_storePages = false;
    const ScopeExit release([this] {
        m_exportFilter = nullptr;
        m_storePages = true;
    });
    RunWithProgress(*printer);
}

void TVpReport::RunWithProgress(TVpPrinter& printer)
{
    TVpProgressForm progress;
    progress.SetVpPrinter(&printer);
    if (ShowProgress)
        progress.show();
    printer.SetStatusWindow(&progress);
    // The report's printer object is this run's until it ends; the one kept
    // aside (a preview's) is the report's again afterwards.
    TVpPrinter* const kept = m_vpPrinter;
    m_vpPrinter = &printer;
    const ScopeExit release([this, kept, &progress] {
        m_vpPrinter = kept;
        progress.SetVpPrinter(nullptr);
    });
    CreateReport();
}

void TVpReport::ApplyPrinterSettings(TVpPrinter& printer)
{
    printer.SetPrinterIndex(PrinterSettings.PrinterIndex);
    // The set-up's sheet is for printing; the pages shown keep the report's.
    const bool printing = printer.Destination() == TVpDestination::Printer;
    const TVpPaperSize paper =
        printing && PrinterSettings.SheetPaper ? *PrinterSettings.SheetPaper : Page().PaperSize();
    const TVpOrientation orientation =
        printing && PrinterSettings.SheetOrientation ? *PrinterSettings.SheetOrientation : Page().Orientation();
    printer.SetPaperSize(paper);
    if (printer.PaperSize() == TVpPaperSize::Custom) {
        printer.SetPaperWidth(RoundPixel(Page().NativeValue(TVpPage::kWidth)));
        printer.SetPaperLength(RoundPixel(Page().NativeValue(TVpPage::kLength)));
    }
    printer.SetOrientation(orientation == TVpOrientation::poLandscape ? TPrinterOrientation::poLandscape
                                                                      : TPrinterOrientation::poPortrait);
    // A file the PDF printer was given for this job stays; the set-up's own
    // file, when it names one, is the job's.
    if (printing && printer.PrinterOK() && !PrinterSettings.OutputFileName.empty())
        printer.Printer().SetOutputFileName(PrinterSettings.OutputFileName);
    printer.SetCopies(PrinterSettings.Copies);
    printer.SetOutputBin(PrinterSettings.OutputBin);
    printer.SetFirstPage(PrinterSettings.FirstPage);
    printer.SetLastPage(PrinterSettings.LastPage);
}

bool TVpReport::Cancelled() const
{
    return m_vpPrinter != nullptr && m_vpPrinter->Cancelled();
}

void TVpReport::CreateReport()
{
    if (!m_available || m_vpPrinter == nullptr)
        return;
    m_available = false;
    m_finalPage = false;
    m_columnBreakSeen = false;
    m_pageBreakSeen = false;
    TVpPrinter& printer = *m_vpPrinter;
    bool begun = false;
    bool completed = false;
    bool elementsPrinting = false;
    const TVpUnit units = Units();
    const ScopeExit finish([&] {
        // A run that failed part-way drops its document instead of ending
        // it: half a report must not reach a printer or stand in a preview
        // as if it were whole. A cancelled run leaves the printer object
        // busy, and its owner discards it.
        if (begun && !printer.Cancelled()) {
            try {
                if (completed && m_storePages)
                    printer.EndDoc();
                else
                    printer.AbortDoc();
            } catch (...) {
                if (completed) {
                    m_available = true;
                    throw;
                }
            }
        }
        if (!completed) {
            if (elementsPrinting)
                ForEachElement([](TVpPrintable& element) { element.AfterPrint(); });
            if (Units() != units)
                SetUnits(units);
        }
        m_available = true;
    });

    bool printIt = true;
    if (BeforePrint)
        BeforePrint(*this, printIt);
    if (!printIt)
        return;

    SetUnits(TVpUnit::Native);
    ApplyPrinterSettings(printer);
    printer.SetTitle(Names().Title);
    printer.SetCompression(Options.Compression);
    printer.BeginDoc();
    begun = true;
    m_pageNumber = 0;
    m_currentColumn = 1;
    if (m_exportFilter != nullptr)
        m_exportFilter->BeginExport(RoundPixel(Page().NativeValue(TVpPage::kWidth)),
                                    RoundPixel(Page().NativeValue(TVpPage::kLength)), m_font);
    ComputePageFooterHeight();
    m_currentX = RoundPixel(Page().NativeValue(TVpPage::kLeftMargin));
    elementsPrinting = true;
    ForEachElement([](TVpPrintable& element) { element.BeforePrint(); });
    StartNewPage();
    RunDetailLoop();
    m_currentX = RoundPixel(Page().NativeValue(TVpPage::kLeftMargin));
    m_finalPage = true;
    if (!printer.Cancelled()) {
        EndPage();
        // A cancelled export writes nothing: the filter is dropped unfinished.
        if (m_exportFilter != nullptr)
            m_exportFilter->EndExport();
    }
    SetUnits(units);
    elementsPrinting = false;
    ForEachElement([](TVpPrintable& element) { element.AfterPrint(); });
    completed = true;
}

void TVpReport::ComputePageFooterHeight()
{
    m_pageFooterHeight = 0;
    for (TVpCustomBand* band : m_printOrder) {
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

void TVpReport::StartNewPage()
{
    EndPage();
    if (m_exportFilter != nullptr)
        m_exportFilter->OpenPage();
    ++m_pageNumber;
    if (m_storePages || m_pageNumber == 1)
        m_vpPrinter->NewPage();
    m_currentY = RoundPixel(Page().NativeValue(TVpPage::kTopMargin));
    if (OnStartPage)
        OnStartPage(*this);
    if (m_pageNumber > 1 || Options.FirstPageHeader)
        if (TVpCustomBand* header = StandardBand(TVpBandType::rbPageHeader))
            PrintBand(*header);
    m_columnTopY = m_currentY;
}

void TVpReport::EndPage()
{
    if (m_pageNumber > 0) {
        if (OnEndPage)
            OnEndPage(*this);
        m_currentY = RoundPixel(Page().NativeValue(TVpPage::kLength) - Page().NativeValue(TVpPage::kBottomMargin) -
                                m_pageFooterHeight);
        if (!m_finalPage || Options.LastPageFooter)
            if (TVpCustomBand* footer = StandardBand(TVpBandType::rbPageFooter))
                PrintBand(*footer);
        PrintPageElements();
    }
    if (m_exportFilter != nullptr)
        m_exportFilter->ClosePage();
}

void TVpReport::PrintPageElements()
{
    // Measured from the sheet's corner and drawn last, on top of the bands.
    for (const auto& element : m_elements) element->Print(0, 0);
    if (!m_storePages || !Frame.AnyFrame() || m_vpPrinter == nullptr || m_vpPrinter->Canvas() == nullptr)
        return;
    const TVpPrinter& p = *m_vpPrinter;
    const TVpPage& page = Page();
    const TRect rect{p.XPos(page.NativeValue(TVpPage::kLeftMargin)), p.YPos(page.NativeValue(TVpPage::kTopMargin)),
                     p.XPos(page.NativeValue(TVpPage::kWidth) - page.NativeValue(TVpPage::kRightMargin)),
                     p.YPos(page.NativeValue(TVpPage::kLength) - page.NativeValue(TVpPage::kBottomMargin))};
    Frame.Draw(*p.Canvas(), rect, p.XFactor(), p.YFactor());
}

void TVpReport::NewColumn()
{
    if (m_currentColumn >= Page().Columns()) {
        m_currentColumn = 1;
        m_currentX = RoundPixel(Page().NativeValue(TVpPage::kLeftMargin));
        StartNewPage();
    } else {
        const TVpCustomBand* detail = StandardBand(TVpBandType::rbDetail);
        const Extended width = detail != nullptr ? detail->BandSize().NativeValue(TVpBandSize::kWidth) : 0;
        m_currentX += RoundPixel(width + Page().NativeValue(TVpPage::kColumnSpace));
        m_currentY = m_columnTopY;
        ++m_currentColumn;
    }
    if (TVpCustomBand* header = StandardBand(TVpBandType::rbColumnHeader))
        PrintBand(*header);
}

void TVpReport::ColumnBreak()
{
    if (m_available)
        return;
    if (m_columnBreakSeen || m_currentColumn > 1)
        NewColumn();
    else
        m_columnBreakSeen = true;
}

void TVpReport::PageBreak()
{
    if (m_available)
        return;
    if (m_pageBreakSeen || m_pageNumber > 1) {
        do {
            NewColumn();
        } while (m_currentColumn != 1);
    } else {
        m_pageBreakSeen = true;
    }
}

std::int32_t TVpReport::PaperExtent() const
{
    if (m_vpPrinter == nullptr)
        return 0;
    return Page().Orientation() == TVpOrientation::poLandscape ? m_vpPrinter->PaperWidth() : m_vpPrinter->PaperLength();
}

std::int32_t TVpReport::AvailableSpace() const
{
    if (m_available)
        return 0;
    return RoundPixel(PaperExtent() - Page().NativeValue(TVpPage::kBottomMargin) - m_pageFooterHeight - m_currentY);
}

void TVpReport::CheckBandSpace(TVpCustomBand& band)
{
    if (band.BandType() == TVpBandType::rbPageFooter || m_printingFooterChild)
        return;
    if (RoundPixel(band.BandSize().NativeValue(TVpBandSize::kHeight)) >= AvailableSpace())
        NewColumn();
}

void TVpReport::PrintWithSpaceCheck(TVpCustomBand* band)
{
    if (band == nullptr)
        return;
    CheckBandSpace(*band);
    if (band->AlignToBottom)
        m_currentY = RoundPixel(PaperExtent() - Page().NativeValue(TVpPage::kBottomMargin) -
                                band->BandSize().NativeValue(TVpBandSize::kHeight) - m_pageFooterHeight);
    PrintBand(*band);
}

void TVpReport::PrintBand(TVpCustomBand& band)
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
            const TVpPrinter& p = *m_vpPrinter;
            const Extended width = size.NativeValue(TVpBandSize::kWidth);
            const Extended height = size.NativeValue(TVpBandSize::kHeight);
            return TRect{p.XPos(m_currentX), p.YPos(m_currentY), p.XPos(m_currentX + width),
                         p.YPos(m_currentY + height)};
        };
        const bool drawing = m_storePages && m_vpPrinter->Canvas() != nullptr;
        if (drawing) {
            m_vpPrinter->Canvas()->SetBrush(TBrushStyle::bsSolid, band.Color);
            m_vpPrinter->Canvas()->FillRect(rectangle());
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
            if (m_storePages && m_vpPrinter->Canvas() != nullptr)
                band.Frame.Draw(*m_vpPrinter->Canvas(), rectangle(), m_vpPrinter->XFactor(), m_vpPrinter->YFactor());
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

TVpBandGrowth TVpReport::GrowBand(TVpCustomBand& band, Extended h)
{
    TVpBandSize& size = band.Size();
    const ScopedUnits native(size, TVpUnit::Native);
    const Extended height = size.NativeValue(TVpBandSize::kHeight);
    const auto fits = [this](Extended value) { return RoundPixel(value) < AvailableSpace(); };
    if (!fits(height + h) && m_storePages && m_vpPrinter->Canvas() != nullptr) {
        const TVpPrinter& p = *m_vpPrinter;
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

void TVpReport::PrintDetailParts(bool withDetail)
{
    for (TVpCustomBand* band : m_printOrder)
        if (band->BandType() == TVpBandType::rbSubDetail && band->PrintBeforeDetail)
            PrintWithSpaceCheck(band);
    if (withDetail)
        PrintWithSpaceCheck(StandardBand(TVpBandType::rbDetail));
    for (TVpCustomBand* band : m_printOrder)
        if (band->BandType() == TVpBandType::rbSubDetail && !band->PrintBeforeDetail)
            PrintWithSpaceCheck(band);
}

void TVpReport::PrintGroupFooters(std::size_t fromDepth)
{
    std::vector<TVpCustomBand*> headers;
    for (TVpCustomBand* band : m_printOrder)
        if (band->BandType() == TVpBandType::rbGroupHeader)
            headers.push_back(band);
    for (std::size_t i = std::min(headers.size(), m_groupKeys.size()); i-- > fromDepth;) {
        if (!m_groupKeys[i])
            continue;
        m_groupKeys[i].reset();
        PrintWithSpaceCheck(headers[i]->GroupFooter);
    }
}

void TVpReport::RunDetailLoop()
{
    if (DataSet == nullptr && !OnNeedData) {
        if (PrintIfEmpty) {
            PrintWithSpaceCheck(StandardBand(TVpBandType::rbTitle));
            PrintDetailParts(true);
            PrintWithSpaceCheck(StandardBand(TVpBandType::rbSummary));
        }
        return;
    }
    std::vector<TVpCustomBand*> headers;
    for (TVpCustomBand* band : m_printOrder)
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

    PrintWithSpaceCheck(StandardBand(TVpBandType::rbTitle));
    if (m_pageNumber == 1)
        if (TVpCustomBand* header = StandardBand(TVpBandType::rbColumnHeader))
            PrintBand(*header);

    bool more = false;
    if (DataSet != nullptr) {
        DataSet->First();
        more = !DataSet->Eof();
    } else {
        OnNeedData(*this, more);
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
        if (DataSet != nullptr) {
            const int number = DataSet->RecordNumber();
            const int count = DataSet->RecordCount();
            DataSet->Next();
            more = !DataSet->Eof();
            if (count > 0)
                m_vpPrinter->SetProgress(static_cast<int>(static_cast<long long>(number) * 100 / count));
        } else {
            more = false;
            OnNeedData(*this, more);
        }
        if (more)
            PrintGroupFooters(firstChanged());
    }
    if (Cancelled())
        return;
    PrintGroupFooters(0);
    PrintWithSpaceCheck(StandardBand(TVpBandType::rbSummary));
}

void TVpReport::PrinterSetup()
{
    if (!m_available)
        return;
    std::unique_ptr<TVpPrinter> printer = NewVpPrinter();
    if (!printer->PrinterOK())
        return;
    printer->SetDestination(TVpDestination::Printer);
    ApplyPrinterSettings(*printer);
    TVpPrinterDialogRequest request;
    request.Copies = PrinterSettings.Copies;
    request.MaxPage = m_vpPrinter != nullptr ? m_vpPrinter->PageCount() : 0;
    request.VpPrinter = printer.get();
    request.FromPage = PrinterSettings.FirstPage;
    request.ToPage = PrinterSettings.LastPage;
    request.Paper = printer->PaperSize();
    request.Orientation = PrinterSettings.SheetOrientation.value_or(Page().Orientation());
    request.OutputFileName = PrinterSettings.OutputFileName;
    request.PageWidth = Page().NativeValue(TVpPage::kWidth) / 10;
    request.PageLength = Page().NativeValue(TVpPage::kLength) / 10;
    const std::optional<TVpPrinterDialogChoice> choice =
        m_printerDialog ? m_printerDialog(request) : RunSystemPrinterDialog(request);
    if (!choice)
        return;
    PrinterSettings.Copies = choice->Copies;
    PrinterSettings.PrinterIndex = choice->PrinterIndex;
    PrinterSettings.FirstPage = choice->FromPage;
    PrinterSettings.LastPage = choice->ToPage;
    if (choice->Paper)
        PrinterSettings.SheetPaper = choice->Paper;
    if (choice->Orientation)
        PrinterSettings.SheetOrientation = choice->Orientation;
    PrinterSettings.OutputFileName = choice->OutputFileName;
}

}  // namespace dw
