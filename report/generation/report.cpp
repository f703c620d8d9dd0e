// SPDX-License-Identifier: MIT
#include "report/generation/report.h"

#include "common/errors.h"
#include "common/scope_exit.h"
#include "report/emf/emf_reader.h"
#include "report/output/export_filter.h"
#include "report/output/page_fit.h"
#include "report/output/progress_form.h"
#include "report/output/vp_printer.h"
#include "report/output/printer_dialog.h"
#include "report/generation/printer_profile.h"
#include "report/output/export_filter.h"
#include "report/output/page_fit.h"
#include "report/output/progress_form.h"
#include "report/output/vp_printer.h"
#include "report/output/printer_dialog.h"
#include "report/generation/report_run.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace dw {

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
    if (const TVpPrinter* current = VpPrinter())
        printer->SetStatusWindow(current->StatusWindow());
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
    if (m_run != nullptr)
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
        if (m_previewPrinter == printer.get())
            m_previewPrinter = nullptr;
    });
    printer->Preview();
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
    CreateReport(*printer);
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
    printer.Preview();
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
    // The window may have been closed meanwhile; the pages are made all the
    // same, as for a first preview closed before its page arrived.
    CreateReport(printer);
}

void TVpReport::Print()
{
    if (m_run != nullptr)
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
    if (TVpPrinter* shown = m_previewPrinter) {
        printer->ContentExtent = [shown](std::int32_t n) -> std::optional<TDrawnExtent> {
            const std::shared_ptr<const emf::EmfDocument> page = shown->GetPage(n);
            return page ? DrawnExtentMillimetres(*page) : std::nullopt;
        };
    }
    RunWithProgress(*printer, nullptr);
    // The preview this came from says what went out.
    if (m_previewPrinter != nullptr && printer->Status() == TVpPrinterStatus::Finished && !printer->Cancelled() &&
        !printer->Printer().Aborted())
        m_previewPrinter->SetLastJob(printer->JobDone());
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
    TVpPrintPlan plan = printer->PrintPlan();
    plan.MissingPrinter = PrinterSettings.MissingPrinter;
    return plan;
}

void TVpReport::ExportToFilter(TVpExportFilter& filter)
{
    if (m_run != nullptr)
        return;
    std::unique_ptr<TVpPrinter> printer = NewVpPrinter();
    RunWithProgress(*printer, &filter);
}

void TVpReport::RunWithProgress(TVpPrinter& printer, TVpExportFilter* filter)
{
    TVpProgressForm progress;
    progress.SetVpPrinter(&printer);
    if (ShowProgress)
        progress.show();
    printer.SetStatusWindow(&progress);
    const ScopeExit release([&progress] { progress.SetVpPrinter(nullptr); });
    CreateReport(printer, filter);
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

void TVpReport::CreateReport(TVpPrinter& printer, TVpExportFilter* filter)
{
    if (m_run != nullptr)
        return;
    ReportRun run(*this, printer, filter);
    run.Execute();
}

TVpPrinter* TVpReport::VpPrinter() const
{
    return m_run != nullptr ? &m_run->Printer() : m_previewPrinter;
}

bool TVpReport::StorePages() const
{
    return m_run == nullptr || m_run->StorePages();
}

TVpExportFilter* TVpReport::ExportFilter() const
{
    return m_run != nullptr ? m_run->ExportFilter() : nullptr;
}

std::int32_t TVpReport::PageNumber() const noexcept
{
    return m_run != nullptr ? m_run->PageNumber() : 0;
}

TVpBandGrowth TVpReport::GrowBand(TVpCustomBand& band, Extended h)
{
    // Only a run has a page for the band to grow on.
    return m_run != nullptr ? m_run->GrowBand(band, h) : TVpBandGrowth{};
}

void TVpReport::PrinterSetup()
{
    if (m_run != nullptr)
        return;
    std::unique_ptr<TVpPrinter> printer = NewVpPrinter();
    if (!printer->PrinterOK())
        return;
    printer->SetDestination(TVpDestination::Printer);
    ApplyPrinterSettings(*printer);
    TVpPrinterDialogRequest request;
    request.Copies = PrinterSettings.Copies;
    request.MaxPage = m_previewPrinter != nullptr ? m_previewPrinter->PageCount() : 0;
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
    PrinterSettings.MissingPrinter.clear();
    // Kept for the next start, the printer by its name.
    TVpKeptPrinterSetup kept;
    const std::vector<std::string>& names = printer->Printer().Printers();
    const int index = choice->PrinterIndex >= 0 ? choice->PrinterIndex : printer->PrinterIndex();
    if (index >= 0 && static_cast<std::size_t>(index) < names.size())
        kept.Printer = names[static_cast<std::size_t>(index)];
    kept.Paper = PrinterSettings.SheetPaper;
    kept.Orientation = PrinterSettings.SheetOrientation;
    kept.Copies = PrinterSettings.Copies;
    kept.OutputFileName = PrinterSettings.OutputFileName;
    KeepPrinterSetup(kept);
}

void TVpReport::UseKeptPrinterSetup()
{
    const std::optional<TVpKeptPrinterSetup> kept = KeptPrinterSetup();
    if (!kept || kept->Printer.empty())
        return;
    std::unique_ptr<TVpPrinter> printer = NewVpPrinter();
    const std::vector<std::string>& names = printer->Printer().Printers();
    const auto found = std::find(names.begin(), names.end(), kept->Printer);
    if (!printer->PrinterOK() || found == names.end()) {
        // Another printer in its place in the list is not the one set up:
        // the default prints, with its own paper, and the button says so.
        PrinterSettings.MissingPrinter = kept->Printer;
        return;
    }
    PrinterSettings.PrinterIndex = static_cast<int>(found - names.begin());
    PrinterSettings.SheetPaper = kept->Paper;
    PrinterSettings.SheetOrientation = kept->Orientation;
    PrinterSettings.Copies = kept->Copies;
    PrinterSettings.OutputFileName = kept->OutputFileName;
    PrinterSettings.MissingPrinter.clear();
}

}  // namespace dw
