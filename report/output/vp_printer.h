// SPDX-License-Identifier: MIT
#pragma once

// The output end of a report command. A run's pages either go into a page
// store, where the preview shows them and from where they are saved, or
// straight to a printer, of which only the requested range is printed.
// The printer object converts report geometry (tenths of a millimetre)
// into pixels of its destination, hands each page a canvas to draw on, and
// tells its status window (a preview or the progress window) how far the
// run has got by posting notices.

#include "report/core/page.h"
#include "report/core/page_store.h"
#include "report/emf/canvas.h"
#include "report/output/page_fit.h"
#include "report/output/printer.h"
#include "report/output/printer_settings.h"
#include "report/output/progress_form.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace dw {

namespace emf {
class EmfDocument;
}

class TEmfCanvas;
class TPainterCanvas;
class TVpExportFilter;
class TVpPageList;
class TVpStream;

enum class TVpDestination : std::uint8_t { PageStore = 0, Printer = 1 };

// Where and how the print button prints, so nobody prints blind.
struct TVpPrintPlan {
    std::string Printer;        // as the printer list names it; empty without printers
    std::string OutputFile;     // set: the job is written there as a PDF file
    bool AsksFileName = false;  // the built-in PDF printer, no file set up yet
    TVpPaperSize Paper = TVpPaperSize::Default;
    int PaperWidth = 0;  // native units, portrait
    int PaperLength = 0;
    bool Landscape = false;
    int Copies = 1;
    // The printer kept from an earlier set-up when it is not there any
    // more, and the default printer prints instead; empty otherwise.
    std::string MissingPrinter;
};

// The screen's logical pixels per inch; 96 without a screen.
int ScreenPixelsPerInch();

class TVpPrinter final : public IVpProgressSource {
public:
    using TNotifyHook = std::function<void(TVpPrinter& sender)>;
    using TExportHook = std::function<void(TVpPrinter& sender, TVpExportFilter& filter)>;

    // The printers of this machine; the new printer object starts on the
    // printer the system print dialog has selected.
    explicit TVpPrinter(int screenPixelsPerInch = ScreenPixelsPerInch());
    // Printers from backend; the new object starts on the printer that
    // currentPrinter has selected, or on backend's default printer when none
    // is given. When the system names no default printer the first listed
    // one is taken, so that reports still print.
    TVpPrinter(std::shared_ptr<TPrinterBackend> backend, int screenPixelsPerInch, TPrinter* currentPrinter = nullptr);
    // A run still producing pages is cancelled; a print job it left open is
    // dropped, so a cancelled run prints nothing.
    ~TVpPrinter();
    TVpPrinter(const TVpPrinter&) = delete;
    TVpPrinter& operator=(const TVpPrinter&) = delete;

    // --- the printer and its settings -------------------------------------
    TPrinter& Printer() noexcept { return *m_printer; }
    TPrinterSettings& PrinterSettings() noexcept { return *m_printerSettings; }
    const TPrinterSettings& PrinterSettings() const noexcept { return *m_printerSettings; }
    // At least one printer is listed (the built-in PDF printer counts).
    bool PrinterOK() const noexcept { return m_printerOK; }

    int PrinterIndex();
    // Selects a printer and reads its settings again; ignored without printers.
    // −1 is the system's default printer, or the first one when the system
    // names none.
    void SetPrinterIndex(int index);
    TVpPaperSize PaperSize() const { return m_printerSettings->PaperSize(); }
    void SetPaperSize(TVpPaperSize size) { m_printerSettings->SetPaperSize(size); }
    // Native units.
    int PaperWidth() const { return m_printerSettings->PaperWidth(); }
    void SetPaperWidth(int width) { m_printerSettings->SetPaperWidth(width); }
    int PaperLength() const { return m_printerSettings->PaperLength(); }
    void SetPaperLength(int length) { m_printerSettings->SetPaperLength(length); }
    // The paper as it lies for the orientation, native units.
    int PageWidth() const { return m_printerSettings->PageWidth(); }
    int PageHeight() const { return m_printerSettings->PageHeight(); }
    TPrinterOrientation Orientation() const { return m_printerSettings->Orientation(); }
    void SetOrientation(TPrinterOrientation orientation) { m_printerSettings->SetOrientation(orientation); }
    int Copies() const { return m_printerSettings->Copies(); }
    void SetCopies(int copies) { m_printerSettings->SetCopies(copies); }
    TVpBin OutputBin() const { return m_printerSettings->OutputBin(); }
    void SetOutputBin(TVpBin bin) { m_printerSettings->SetOutputBin(bin); }

    // --- what a run is asked to do ----------------------------------------
    TVpDestination Destination() const noexcept { return m_destination; }
    // Takes effect at the next BeginDoc; a run keeps the destination it began with.
    void SetDestination(TVpDestination destination) noexcept { m_destination = destination; }
    // Print range, 0 = no limit; applies to the printer only.
    std::int32_t FirstPage() const noexcept { return m_firstPage; }
    void SetFirstPage(std::int32_t page) noexcept { m_firstPage = page; }
    std::int32_t LastPage() const noexcept { return m_lastPage; }
    void SetLastPage(std::int32_t page) noexcept { m_lastPage = page; }
    bool InRange(std::int32_t page) const noexcept;
    // The print job's name, also the PDF's title and the preview's caption.
    const std::string& Title() const noexcept { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }
    // What a file saved from these pages is called unless the user says
    // otherwise (no folder, no extension); empty when there is no suggestion.
    const std::string& FileNameStem() const noexcept { return m_fileNameStem; }
    // Also the name the PDF printer suggests for a job's file.
    void SetFileNameStem(std::string stem);
    // Pages of the store are compressed; read at BeginDoc.
    bool Compression() const noexcept { return m_compression; }
    void SetCompression(bool compression) noexcept { m_compression = compression; }

    // --- the run ------------------------------------------------------------
    TVpPrinterStatus Status() const noexcept { return m_status; }
    // Opens a document. EVpError "VpPrinter not ready" unless ready.
    void BeginDoc();
    // Finishes the open page, if any, and opens the next. EVpError "Illegal
    // call to NewPage" unless a document is open.
    void NewPage();
    // Finishes the last page and the document.
    void EndDoc();
    // Ends the document, dropping the open page.
    void AbortDoc();
    // Drops the stored pages (and a run still going) and makes the object
    // ready for a new document, keeping its printer, hooks and preview.
    void DiscardPages();
    // Asks the report to stop before its next record.
    void Cancel() override;
    bool Cancelled() const noexcept { return m_cancelled; }

    // The canvas of the page being drawn; none outside a page.
    TVpCanvas* Canvas() const noexcept { return m_canvas; }
    // The resolution fonts are realised at on Canvas().
    int CanvasPixelsPerInch() const noexcept { return m_canvasPixelsPerInch; }

    std::int32_t PageCount() const noexcept { return m_pageCount; }
    std::int32_t PagesDone() const noexcept { return m_pagesDone; }

    // --- geometry: native units to pixels of the destination --------------
    // Native units at the left and top of the paper that the printer cannot
    // reach; positions are measured from there. 0 for the page store.
    std::int32_t LeftOffset() const noexcept { return m_leftOffset; }
    std::int32_t TopOffset() const noexcept { return m_topOffset; }
    Extended XFactor() const noexcept { return m_xFactor; }
    Extended YFactor() const noexcept { return m_yFactor; }
    int XPos(Extended x) const;
    int YPos(Extended y) const;
    int XSize(Extended x) const;
    int YSize(Extended y) const;
    int ScreenResolution() const noexcept { return m_screenPixelsPerInch; }

    // --- the stored pages ---------------------------------------------------
    // Page n while a run is going or has ended, 1 <= n <= PageCount, and the
    // page is already stored; none otherwise. EInvalidGraphic "Metafile is
    // not valid" for a damaged page, emf::EPageTooLarge for one larger than
    // any paper.
    std::shared_ptr<const emf::EmfDocument> GetPage(std::int32_t n);
    // The page GetPage returned last.
    std::shared_ptr<const emf::EmfDocument> CurrentPageMetafile() const { return m_currentPageMetafile; }
    // Writes the stored pages to a report file once the run has finished;
    // does nothing before.
    void Save(const std::string& fileName);
    // Replaces the stored pages by a report file's. Hooks that would run the
    // report again are cleared: printing prints the loaded pages. The file's
    // name becomes the title, and the stem of names suggested for saving.
    void Load(const std::string& fileName);
    TVpStream* PageStream() const { return m_pageStore.PageStream(); }

    // --- the preview and the progress window --------------------------------
    QObject* StatusWindow() const { return m_statusWindow.data(); }
    // Not owned; a window that goes away stops receiving notices.
    void SetStatusWindow(QObject* window) { m_statusWindow = window; }
    bool ShowingPreview() const noexcept { return m_showingPreview; }
    // A preview that detaches cancels a run still producing pages and
    // triggers AfterPreview.
    void SetShowingPreview(bool flag);
    int Progress() const override { return m_progress; }
    void SetProgress(int percent);

    // Shows the pages: OnPreview when set, else the standard preview window.
    void Preview();
    // OnPrint when set (the report prints itself again); else the stored
    // pages, each stretched over the printable area of a sheet.
    void Print();
    void PrintSetup();
    void ExportToFilter(TVpExportFilter& filter);
    // Export filters can run: there is a report behind the pages.
    bool CanExport() const noexcept { return static_cast<bool>(OnExport); }
    // OnPrintPlan when set (the report's own settings); else this object's
    // printer and settings, with which the stored pages print.
    TVpPrintPlan PrintPlan();
    // This object's own printer and settings, whatever OnPrintPlan says.
    TVpPrintPlan OwnPrintPlan();
    // The job this object's printer has just done: its plan, with the PDF
    // file it was written to when it was asked for.
    TVpPrintPlan JobDone();
    // What the last Print of these pages handed over: the printer, sheet
    // and copies, or the PDF file written. None when nothing went out
    // (no printer, the file name declined, the run cancelled or failed).
    const std::optional<TVpPrintPlan>& LastJob() const noexcept { return m_lastJob; }
    void SetLastJob(std::optional<TVpPrintPlan> job) { m_lastJob = std::move(job); }

    // The drawn extent (millimetres) of page n as shown, for printing: a
    // page reaching beyond the printable area is scaled down to fit. None
    // (or no hook) prints at full size.
    std::function<std::optional<TDrawnExtent>(std::int32_t page)> ContentExtent;
    // The factor the last sheet was drawn at (1: full size).
    double SheetScale() const noexcept { return m_sheetScale; }

    TNotifyHook AfterPrint;
    TNotifyHook AfterPreview;
    TNotifyHook OnPrint;
    TExportHook OnExport;
    TNotifyHook OnPreview;
    TNotifyHook OnPrintSetup;
    std::function<TVpPrintPlan(TVpPrinter& sender)> OnPrintPlan;

private:
    void Initialise(TPrinter* currentPrinter);
    void SelectFirstWithoutDefault();
    void PostNotice(int type, int value);
    void OpenPage();
    void FinishPage();
    void DropPage();
    void PrintStoredPages();
    void CleanUp();

    std::unique_ptr<TPrinter> m_printer;
    std::unique_ptr<TPrinterSettings> m_printerSettings;
    TVpPageStore m_pageStore;
    std::int32_t m_pagesDone = 0;
    bool m_cancelled = false;
    TVpCanvas* m_canvas = nullptr;
    int m_canvasPixelsPerInch = 0;
    TVpDestination m_destination = TVpDestination::PageStore;
    TVpDestination m_runDestination = TVpDestination::PageStore;
    std::int32_t m_firstPage = 0;
    std::int32_t m_lastPage = 0;
    std::int32_t m_leftOffset = 0;
    QPointer<QObject> m_statusWindow;
    // The page being recorded for the store, or a page outside the print
    // range being drawn into nothing.
    std::unique_ptr<TEmfCanvas> m_pageMetafile;
    // The canvas on the printer's sheet while an in-range page is open.
    std::unique_ptr<TPainterCanvas> m_sheetCanvas;
    std::shared_ptr<const emf::EmfDocument> m_currentPageMetafile;
    std::int32_t m_currentPageNumber = 0;  // of m_currentPageMetafile
    std::int32_t m_pageCount = 0;
    std::int32_t m_pageNumber = 0;
    bool m_printerOK = false;
    int m_progress = 0;
    std::string m_title;
    std::string m_fileNameStem;
    double m_sheetScale = 1;
    std::optional<TVpPrintPlan> m_lastJob;
    std::string m_loadedFile;  // the report file the pages came from, if any
    std::int32_t m_topOffset = 0;
    bool m_showingPreview = false;
    TVpPrinterStatus m_status = TVpPrinterStatus::Ready;
    Extended m_xFactor = 0;
    Extended m_yFactor = 0;
    bool m_compression = false;
    int m_screenPixelsPerInch = 96;
};

// The standard preview window lives in a higher layer; it registers how to
// open one for a printer object. Without one, Preview without an OnPreview
// hook shows nothing.
using TVpStandardPreviewFactory = std::function<void(TVpPrinter& printer)>;
void SetStandardPreviewFactory(TVpStandardPreviewFactory factory);

}  // namespace dw
