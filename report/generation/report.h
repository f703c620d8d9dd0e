// SPDX-License-Identifier: MIT
#pragma once

// The report: a page-sized container of bands and printable elements that
// turns itself into pages on a report printer, either into the page store a
// preview shows, straight onto a printer, or into an export filter.

#include "report/core/report_geometry.h"
#include "report/elements/printable.h"
#include "report/elements/text_measure.h"
#include "report/generation/band.h"
#include "report/output/printer_dialog.h"
#include "report/output/printer_settings.h"
#include "report/output/vp_printer.h"

#include <QColor>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dw {

class IVpRecordSource;
class ReportRun;
class TVpExportFilter;
class TVpPrinter;
class TVpProgressForm;

struct TVpReportOptions {
    bool FirstPageHeader = true;
    bool LastPageFooter = true;
    bool Compression = false;
};

struct TVpReportPrinterSettings {
    int Copies = 1;
    bool Duplex = false;
    std::int32_t FirstPage = 0;
    std::int32_t LastPage = 0;
    TVpBin OutputBin = TVpBin::First;
    // -1: the system's default printer.
    int PrinterIndex = -1;
    TVpPaperSize PaperSize = TVpPaperSize::Letter;
    std::string Title;
    // Chosen in the set-up for printing (the preview keeps the report's own
    // page): the sheet's paper and orientation, none for the report's page;
    // a file the job is written to as PDF instead of being printed.
    std::optional<TVpPaperSize> SheetPaper;
    std::optional<TVpOrientation> SheetOrientation;
    std::string OutputFileName;
    // The printer of the set-up kept in the profile when it is not there
    // now: the default printer prints instead, and the print button says so.
    std::string MissingPrinter;
};

// What a run's output is called: the print job, the PDF's title and the
// preview's caption; and the stem of the file names suggested for saving.
struct TVpReportNames {
    std::string Title;
    std::string FileNameStem;
};

class TVpReport : public IVpReportHost, public IVpElementReport {
public:
    using TNotify = std::function<void(TVpReport& sender)>;
    using TBeforePrint = std::function<void(TVpReport& sender, bool& printIt)>;
    using TNeedData = std::function<void(TVpReport& sender, bool& moreData)>;
    using TPrinterFactory = std::function<std::unique_ptr<TVpPrinter>()>;
    using TPrinterDialog = std::function<std::optional<TVpPrinterDialogChoice>(const TVpPrinterDialogRequest&)>;

    explicit TVpReport(const VpEnvironment& environment);
    ~TVpReport();
    TVpReport(const TVpReport&) = delete;
    TVpReport& operator=(const TVpReport&) = delete;

    // --- settings -----------------------------------------------------------
    TVpPage& Page() noexcept { return m_geometry.Page(); }
    const TVpPage& Page() const noexcept { return m_geometry.Page(); }
    TVpUnit Units() const override { return m_geometry.Units(); }
    void SetUnits(TVpUnit unit) { m_geometry.SetUnits(unit); }
    int Zoom() const override { return m_geometry.Zoom(); }
    void SetZoom(int zoom) { m_geometry.SetZoom(zoom); }
    const TCanvasFont& Font() const override { return m_font; }
    void SetFont(const TCanvasFont& font);
    int FontPointSize() const override { return m_font.Size; }

    TVpReportOptions Options;
    bool PrintIfEmpty = false;
    bool ShowProgress = true;
    bool SnapToGrid = true;
    std::string ReportTitle;
    QColor Color = Qt::white;
    TVpFrame Frame;
    TVpReportPrinterSettings PrinterSettings;
    // The report's own records; not owned.
    IVpRecordSource* DataSet = nullptr;

    TBeforePrint BeforePrint;
    TNotify AfterPrint;
    TNotify AfterPreview;
    TNotify OnStartPage;
    TNotify OnEndPage;
    TNeedData OnNeedData;
    TNotify OnPreview;
    // Names the output from what the report holds at the time; without it
    // the title is ReportTitle and no file name is suggested.
    std::function<TVpReportNames(const TVpReport& sender)> OnNames;
    TVpReportNames Names() const;
    // Where and how Print would print now, from PrinterSettings.
    TVpPrintPlan PrintPlan();

    // --- bands and elements -------------------------------------------------
    TVpCustomBand& AddBand(TVpBandType type, std::string name = {});
    // Print order: page headers, title, column headers, group headers,
    // sub-details before the detail, detail, sub-details after it, group
    // footers innermost first, summary, page footers, then the rest; each
    // band followed by its chain of child bands.
    const std::vector<TVpCustomBand*>& PrintOrder() const noexcept { return m_printOrder; }
    void OrderBands();
    // The first band of the type in print order; none without one.
    TVpCustomBand* StandardBand(TVpBandType type) const;

    // Elements placed on the report itself, owned, in control order.
    template <class Element>
    Element& AddElement(std::string name = {})
    {
        auto element = std::make_unique<Element>(m_environment);
        Element& added = *element;
        AdoptElement(std::move(element), std::move(name));
        return added;
    }
    const std::vector<std::unique_ptr<TVpPrintable>>& Elements() const noexcept { return m_elements; }
    TVpPrintable* FindElement(std::string_view name) const;

    // A form description is being read: elements keep their stored sizes.
    void BeginLoading() noexcept { m_loading = true; }
    void Loaded();

    // --- commands -----------------------------------------------------------
    // Produces the pages into a preview and returns once the preview is
    // closed or the application ends. Ignored while a run is going. While
    // this report's preview is still open the new pages replace the ones it
    // shows and the window comes to the front; the call then returns at
    // once, the first call still waiting for the window.
    void Preview();
    // Produces the report again straight onto the printer, with a progress window.
    void Print();
    void PrinterSetup();
    // Takes up the printer set-up kept in the profile (printer_profile.h)
    // when its printer is still there; otherwise the default printer stays
    // and MissingPrinter names the one kept.
    void UseKeptPrinterSetup();
    // Runs the report once more for an export filter, its pages not stored.
    void ExportToFilter(TVpExportFilter& filter);

    // --- the run, for bands, elements and handlers -------------------------
    // No run is going.
    bool Available() const noexcept { return m_run == nullptr; }
    // The run's printer object; outside a run the one of the preview a
    // Preview call is waiting for.
    TVpPrinter* VpPrinter() const override;
    bool StorePages() const override;
    TVpExportFilter* ExportFilter() const override;
    TVpMeasuringDevice& MeasuringDevice() override { return m_measuringDevice; }
    const VpEnvironment& Environment() const override { return m_environment; }
    bool Loading() const override { return m_loading; }
    // The page the run is making, counted from 1, for handlers that print
    // it; 0 outside a run.
    std::int32_t PageNumber() const noexcept;

    // --- seams: where printer objects and the printer dialog come from ------
    void SetPrinterFactory(TPrinterFactory factory) { m_printerFactory = std::move(factory); }
    void SetPrinterDialog(TPrinterDialog dialog) { m_printerDialog = std::move(dialog); }

    // --- IVpReportHost ------------------------------------------------------
    PixelRect PixelBounds() const override { return m_bounds; }
    void SetPixelBounds(const PixelRect& bounds) override { m_bounds = bounds; }
    bool Destroying() const override { return m_destroying; }
    std::vector<IVpBand*> Bands() override;
    std::vector<TVpPrintableSize*> ElementSizes() override;
    void Repaint() override {}

private:
    friend class TVpCustomBand;
    friend class ReportRun;
    void AdoptElement(std::unique_ptr<TVpPrintable> element, std::string name);
    std::unique_ptr<TVpPrinter> NewVpPrinter();
    // Destination, hooks and title of a printer object showing a preview.
    void SetUpPreview(TVpPrinter& printer);
    void PreviewAgain(TVpPrinter& printer);
    // One run on a printer object of its own, with the progress window.
    void RunWithProgress(TVpPrinter& printer, TVpExportFilter* filter);
    // One generation run onto printer, for filter alone when one is given;
    // ignored while a run is going.
    void CreateReport(TVpPrinter& printer, TVpExportFilter* filter = nullptr);
    void ApplyPrinterSettings(TVpPrinter& printer);
    // Growth of an AutoStretch label's band (see TVpCustomBand::GrowForLine).
    TVpBandGrowth GrowBand(TVpCustomBand& band, Extended h);
    void ForEachElement(const std::function<void(TVpPrintable&)>& action);

    VpEnvironment m_environment;
    TVpReportGeometry m_geometry;
    TVpMeasuringDevice m_measuringDevice;
    PixelRect m_bounds;
    TCanvasFont m_font;
    std::vector<std::unique_ptr<TVpCustomBand>> m_bands;
    std::vector<TVpCustomBand*> m_printOrder;
    std::vector<std::unique_ptr<TVpPrintable>> m_elements;
    bool m_loading = false;
    bool m_destroying = false;

    TPrinterFactory m_printerFactory;
    TPrinterDialog m_printerDialog;

    // The printer object of the preview a Preview call is waiting for.
    TVpPrinter* m_previewPrinter = nullptr;
    // The run going on, made and dropped by CreateReport; none while idle.
    ReportRun* m_run = nullptr;
};

}  // namespace dw
