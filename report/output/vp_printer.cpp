// SPDX-License-Identifier: MIT
#include "report/output/vp_printer.h"

#include "common/stop_request.h"

#include "common/errors.h"
#include "report/core/page_list.h"
#include "report/core/page_stream.h"
#include "report/emf/emf_canvas.h"
#include "report/emf/emf_player.h"
#include "report/emf/emf_reader.h"
#include "report/emf/painter_canvas.h"
#include "report/output/page_fit.h"
#include "report/output/printer_notices.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTransform>

#include <filesystem>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace dw {

namespace {

constexpr SourceText kNotReady = DW_TEXT("Message", "VpPrinter not ready");
constexpr SourceText kIllegalNewPage = DW_TEXT("Message", "Illegal call to NewPage");

// Native units per inch.
constexpr int kNativePerInch = 254;

TVpStandardPreviewFactory& StandardPreviewFactory()
{
    static TVpStandardPreviewFactory factory;
    return factory;
}

}  // namespace

void SetStandardPreviewFactory(TVpStandardPreviewFactory factory)
{
    StandardPreviewFactory() = std::move(factory);
}

int ScreenPixelsPerInch()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const int dpi = qRound(screen->logicalDotsPerInchY());
            if (dpi > 0) {
                return dpi;
            }
        }
    }
    return 96;
}

TVpPrinter::TVpPrinter(int screenPixelsPerInch)
    : m_screenPixelsPerInch(screenPixelsPerInch > 0 ? screenPixelsPerInch : 96)
{
    m_printer = std::make_unique<TPrinter>(SystemPrinterBackend());
    Initialise(&GlobalPrinter());
}

TVpPrinter::TVpPrinter(std::shared_ptr<TPrinterBackend> backend, int screenPixelsPerInch, TPrinter* currentPrinter)
    : m_screenPixelsPerInch(screenPixelsPerInch > 0 ? screenPixelsPerInch : 96)
{
    m_printer = std::make_unique<TPrinter>(std::move(backend));
    Initialise(currentPrinter);
}

void TVpPrinter::Initialise(TPrinter* currentPrinter)
{
    m_printerSettings = std::make_unique<TPrinterSettings>();
    m_printerOK = !m_printer->Printers().empty();
    if (m_printerOK) {
        int index = -1;
        if (currentPrinter != nullptr) {
            try {
                index = currentPrinter->PrinterIndex();
            } catch (const EPrinter&) {
                index = -1;  // it has no default either; decided below
            }
        }
        // The two lists come from the same enumeration, but one may be older.
        if (index >= static_cast<int>(m_printer->Printers().size())) {
            index = -1;
        }
        m_printer->SetPrinterIndex(index);
        if (index == -1) {
            SelectFirstWithoutDefault();
        }
        m_printerSettings->SetPrinter(m_printer.get());
    }
    m_topOffset = m_printerSettings->TopOffset();
    m_leftOffset = m_printerSettings->LeftOffset();
}

void TVpPrinter::SelectFirstWithoutDefault()
{
    // A machine whose printers are listed but none marked as the default
    // would otherwise fail every report command before it could start.
    try {
        m_printer->PrinterIndex();
    } catch (const EPrinter&) {
        m_printer->SetPrinterIndex(0);
    }
}

TVpPrinter::~TVpPrinter()
{
    try {
        if (m_status != TVpPrinterStatus::Ready || m_printer->Printing()) {
            CleanUp();
        }
    } catch (...) {
        // Nobody to report to; the pages and the job are gone either way.
    }
}

void TVpPrinter::CleanUp()
{
    if (m_status == TVpPrinterStatus::Busy) {
        Cancel();
    }
    m_canvas = nullptr;
    m_sheetCanvas.reset();
    m_pageMetafile.reset();
    // A run that was cancelled never ended its job; what it printed so far
    // must not reach the printer after the user said Cancel.
    if (m_printer->Printing()) {
        m_printer->Abort();
    }
    m_currentPageMetafile.reset();
    m_currentPageNumber = 0;
    m_pageStore.CleanUp();
    m_loadedFile.clear();
    m_pageCount = 0;
    m_pageNumber = 0;
    m_status = TVpPrinterStatus::Ready;
}

int TVpPrinter::PrinterIndex()
{
    return m_printer->PrinterIndex();
}

void TVpPrinter::SetPrinterIndex(int index)
{
    if (!m_printerOK) {
        return;
    }
    m_printer->SetPrinterIndex(index);
    if (index == -1) {
        SelectFirstWithoutDefault();
    }
    m_printerSettings->ReadSettings();
}

bool TVpPrinter::InRange(std::int32_t page) const noexcept
{
    return (m_firstPage <= 0 || page >= m_firstPage) && (m_lastPage <= 0 || page <= m_lastPage);
}

int TVpPrinter::XPos(Extended x) const
{
    return RoundPixel((x - m_leftOffset) * m_xFactor);
}

int TVpPrinter::YPos(Extended y) const
{
    return RoundPixel((y - m_topOffset) * m_yFactor);
}

int TVpPrinter::XSize(Extended x) const
{
    return RoundPixel(x * m_xFactor);
}

int TVpPrinter::YSize(Extended y) const
{
    return RoundPixel(y * m_yFactor);
}

void TVpPrinter::BeginDoc()
{
    m_pagesDone = 0;
    m_cancelled = false;
    const bool printing = m_destination == TVpDestination::Printer;
    m_topOffset = printing ? m_printerSettings->TopOffset() : 0;
    m_leftOffset = printing ? m_printerSettings->LeftOffset() : 0;
    if (printing && m_printerOK) {
        m_printerSettings->ApplySettings();
    }
    if (m_status != TVpPrinterStatus::Ready) {
        throw EVpError(kNotReady);
    }

    // Everything that can fail comes before the state changes, so a failed
    // start leaves the object ready for another try.
    if (printing) {
        const TPageGeometry geometry = m_printer->Geometry();
        m_xFactor = static_cast<Extended>(geometry.PixelsPerInchX) / kNativePerInch;
        m_yFactor = static_cast<Extended>(geometry.PixelsPerInchY) / kNativePerInch;
        m_canvasPixelsPerInch = geometry.PixelsPerInchY;
    } else {
        m_pageStore.BeginDoc(m_compression, TVpStream::kPageStoreSpillThreshold);
        m_xFactor = m_yFactor = static_cast<Extended>(m_screenPixelsPerInch) / kNativePerInch;
        m_canvasPixelsPerInch = m_screenPixelsPerInch;
    }
    m_runDestination = m_destination;
    m_pageNumber = 0;
    m_pageCount = 0;
    m_currentPageMetafile.reset();
    m_currentPageNumber = 0;
    m_status = TVpPrinterStatus::Busy;
}

void TVpPrinter::NewPage()
{
    if (m_status != TVpPrinterStatus::Busy) {
        throw EVpError(kIllegalNewPage);
    }
    if (m_pageNumber > 0) {
        FinishPage();
        ++m_pagesDone;
        PostNotice(TVpPrinterNotice::kPagesDone, m_pagesDone);
    }
    ++m_pageCount;
    ++m_pageNumber;
    OpenPage();
}

void TVpPrinter::OpenPage()
{
    const int width = XSize(PageWidth());
    const int height = YSize(PageHeight());
    if (m_runDestination == TVpDestination::PageStore) {
        m_pageMetafile = std::make_unique<TEmfCanvas>(width, height, m_screenPixelsPerInch);
        m_canvas = m_pageMetafile.get();
        return;
    }
    if (InRange(m_pageNumber)) {
        if (!m_printer->Printing()) {
            m_printer->SetTitle(m_title);
            m_printer->BeginDoc();
        } else {
            m_printer->NewPage();
        }
        QPainter& sheet = *m_printer->Canvas();
        m_sheetScale = 1;
        if (ContentExtent) {
            if (const std::optional<TDrawnExtent> drawn = ContentExtent(m_pageNumber)) {
                const TPageGeometry geometry = m_printer->Geometry();
                constexpr Extended kNativePerMm = 10;
                const TDrawnExtent onSheet{
                    static_cast<double>((drawn->Right * kNativePerMm - m_leftOffset) * m_xFactor),
                    static_cast<double>((drawn->Bottom * kNativePerMm - m_topOffset) * m_yFactor)};
                m_sheetScale = FitScale(onSheet, geometry.PageWidth, geometry.PageHeight);
            }
        }
        sheet.setWorldTransform(QTransform::fromScale(m_sheetScale, m_sheetScale));
        m_sheetCanvas = std::make_unique<TPainterCanvas>(sheet);
        m_canvas = m_sheetCanvas.get();
    } else {
        // A page outside the range is still drawn, so that the report runs
        // exactly as when it prints every page; the drawing goes nowhere.
        m_pageMetafile = std::make_unique<TEmfCanvas>(width, height, m_canvasPixelsPerInch);
        m_canvas = m_pageMetafile.get();
    }
}

void TVpPrinter::FinishPage()
{
    m_canvas = nullptr;
    if (m_runDestination == TVpDestination::PageStore) {
        if (!m_pageMetafile) {
            return;
        }
        const std::unique_ptr<TEmfCanvas> page = std::move(m_pageMetafile);
        const std::vector<std::uint8_t> bytes = page->Finish();
        m_pageStore.AppendPage(bytes);
        return;
    }
    // The printer's sheet ends when the next one starts or the job ends.
    m_sheetCanvas.reset();
    m_pageMetafile.reset();
}

void TVpPrinter::DropPage()
{
    m_canvas = nullptr;
    m_sheetCanvas.reset();
    m_pageMetafile.reset();
}

void TVpPrinter::EndDoc()
{
    if (m_runDestination == TVpDestination::Printer) {
        DropPage();
        // A range that selects no page of the report never started a job,
        // and there is nothing to end.
        if (m_printer->Printing()) {
            m_printer->EndDoc();
        }
    } else if (m_pageCount > 0) {
        FinishPage();
    }
    ++m_pagesDone;
    PostNotice(TVpPrinterNotice::kPagesDone, m_pagesDone);
    m_status = TVpPrinterStatus::Finished;
    if (m_runDestination == TVpDestination::PageStore) {
        m_pageStore.EndDoc();
    } else if (AfterPrint) {
        AfterPrint(*this);
    }
}

void TVpPrinter::AbortDoc()
{
    DropPage();
    if (m_runDestination == TVpDestination::Printer) {
        if (m_printer->Printing()) {
            m_printer->Abort();
        }
    } else {
        m_pageStore.AbortDoc();
    }
    m_status = TVpPrinterStatus::Finished;
}

void TVpPrinter::DiscardPages()
{
    CleanUp();
    m_pagesDone = 0;
    m_cancelled = false;
}

void TVpPrinter::Cancel()
{
    m_cancelled = true;
}

std::shared_ptr<const emf::EmfDocument> TVpPrinter::GetPage(std::int32_t n)
{
    if (m_status == TVpPrinterStatus::Ready || n < 1 || n > m_pageCount) {
        return nullptr;
    }
    // A page of a report loaded from a file that turns out damaged is said
    // with the file and the page, as the command-line tool says it.
    const auto where = [&](const MessageText& what) {
        return MessageText(DW_TEXT("Message", "%1: page %2: %3"),
                           {MessageText::Verbatim(m_loadedFile), MessageText::Verbatim(std::to_string(n)), what});
    };
    // A page once stored does not change until the pages are replaced, and
    // the preview asks for the page it shows more than once as it opens: a
    // page of a large compressed report is expanded and checked once.
    if (m_currentPageMetafile && m_currentPageNumber == n) {
        return m_currentPageMetafile;
    }
    try {
        std::optional<TVpPageBytes> bytes = m_pageStore.GetPage(n);
        if (!bytes) {
            return nullptr;
        }
        auto page = std::make_shared<const emf::EmfDocument>(std::move(*bytes));
        // A loaded report may hold a page larger than any paper: the preview
        // and the printer refuse it, as every other reader of pages does.
        emf::RequirePageFits(*page);
        m_currentPageMetafile = std::move(page);
        m_currentPageNumber = n;
        return m_currentPageMetafile;
    } catch (const EInvalidGraphic& e) {
        if (m_loadedFile.empty()) {
            throw;
        }
        throw EInvalidGraphic(where(e.Text()));
    } catch (const emf::EPageTooLarge& e) {
        if (m_loadedFile.empty()) {
            throw;
        }
        throw emf::EPageTooLarge(where(e.Text()));
    } catch (const std::bad_alloc&) {
        const MessageText page = MessageText::Verbatim(std::to_string(n));
        throw EOutOfMemory(NotEnoughMemoryTo(
            m_loadedFile.empty()
                ? MessageText(DW_TEXT("Message", "read page %1 of the report"), {page})
                : MessageText(DW_TEXT("Message", "read page %1 of %2"), {page, MessageText::Verbatim(m_loadedFile)})));
    }
}

void TVpPrinter::Save(const std::string& fileName)
{
    if (m_status == TVpPrinterStatus::Finished) {
        m_pageStore.Save(fileName);
    }
}

void TVpPrinter::Load(const std::string& fileName)
{
    if (m_status != TVpPrinterStatus::Ready) {
        CleanUp();
    }
    m_loadedFile.clear();
    m_currentPageMetafile.reset();
    m_currentPageNumber = 0;
    try {
        m_pageStore.Load(fileName);
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(MessageText(DW_TEXT3("Message", "%1: %2", "a file and what is wrong with it"),
                                          {MessageText::Verbatim(fileName), e.Text()}));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(NotEnoughMemoryTo(
            MessageText(DW_TEXT("Message", "open the report file %1"), {MessageText::Verbatim(fileName)})));
    }
    m_loadedFile = fileName;
    m_pageCount = m_pageStore.PageCount();
    m_status = TVpPrinterStatus::Finished;
    const std::filesystem::path name = std::filesystem::path(fileName).filename();
    m_title = name.string();
    SetFileNameStem(name.stem().string());
    // The loaded pages are all there is: no report behind them to run again.
    OnPrint = nullptr;
    OnPrintSetup = nullptr;
    OnExport = nullptr;
}

void TVpPrinter::PostNotice(int type, int value)
{
    if (m_statusWindow.isNull() || QCoreApplication::instance() == nullptr) {
        return;
    }
    QCoreApplication::postEvent(m_statusWindow.data(), new TVpPrinterNotice(static_cast<QEvent::Type>(type), value));
}

void TVpPrinter::SetShowingPreview(bool flag)
{
    const bool detaching = m_showingPreview && !flag;
    // Detached before the hook runs: a hook that fails must not leave a
    // waiting Preview believing the window is still there.
    m_showingPreview = flag;
    if (detaching) {
        if (m_status == TVpPrinterStatus::Busy) {
            Cancel();
        }
        if (AfterPreview) {
            AfterPreview(*this);
        }
    }
}

void TVpPrinter::SetProgress(int percent)
{
    m_progress = percent;
    PostNotice(TVpPrinterNotice::kProgress, percent);
}

void TVpPrinter::Preview()
{
    if (OnPreview) {
        OnPreview(*this);
    } else if (const TVpStandardPreviewFactory& factory = StandardPreviewFactory()) {
        factory(*this);
    }
}

void TVpPrinter::Print()
{
    m_lastJob.reset();
    if (OnPrint) {
        OnPrint(*this);
    } else if (m_status == TVpPrinterStatus::Finished && m_printerOK) {
        PrintStoredPages();
    }
}

void TVpPrinter::PrintStoredPages()
{
    m_printer->SetTitle(m_title);
    if (m_printer->Printing()) {
        m_printer->Abort();
    }
    // The paper, orientation and copies set for these pages reach the job,
    // as they do when a report prints itself.
    m_printerSettings->ApplySettings();
    // Only the pages of the range set up are printed; none of them, no job.
    bool anyInRange = false;
    for (std::int32_t n = 1; n <= m_pageCount && !anyInRange; ++n) {
        anyInRange = InRange(n);
    }
    if (!anyInRange) {
        return;
    }
    m_printer->BeginDoc();
    try {
        const TPageGeometry geometry = m_printer->Geometry();
        bool first = true;
        for (std::int32_t n = 1; n <= m_pageCount; ++n) {
            if (!InRange(n)) {
                continue;
            }
            if (QCoreApplication::instance() != nullptr) {
                QCoreApplication::processEvents();
            }
            if (!first) {
                m_printer->NewPage();
            }
            first = false;
            const std::shared_ptr<const emf::EmfDocument> page = GetPage(n);
            QPainter* painter = m_printer->Canvas();
            if (page && painter != nullptr) {
                // At the page's own size, as a printed report is, and scaled
                // down only when what it draws would not fit the sheet.
                const QRectF target = StoredPageTarget(*page, geometry.PixelsPerInchX, geometry.OffsetX,
                                                       geometry.OffsetY, geometry.PageWidth, geometry.PageHeight);
                m_sheetScale = geometry.PixelsPerInchX > 0 && page->PageMillimetres().Width > 0
                                   ? target.width() / (page->PageMillimetres().Width * geometry.PixelsPerInchX / 25.4)
                                   : 1;
                PlayEmf(*painter, *page, target);
                // A page cut short because the program is asked to end
                // must not reach paper as if it were whole.
                ThrowIfStopRequested();
            }
        }
        if (m_printer->Printing()) {
            m_printer->EndDoc();
        }
        if (!m_printer->Aborted()) {
            m_lastJob = JobDone();
        }
    } catch (...) {
        // Half a report must not reach the printer.
        if (m_printer->Printing()) {
            m_printer->Abort();
        }
        throw;
    }
}

TVpPrintPlan TVpPrinter::PrintPlan()
{
    return OnPrintPlan ? OnPrintPlan(*this) : OwnPrintPlan();
}

TVpPrintPlan TVpPrinter::JobDone()
{
    TVpPrintPlan job = OwnPrintPlan();
    if (!m_printer->JobFileName().empty()) {
        job.OutputFile = m_printer->JobFileName();
    }
    return job;
}

TVpPrintPlan TVpPrinter::OwnPrintPlan()
{
    TVpPrintPlan plan;
    if (!m_printerOK) {
        return plan;
    }
    const std::vector<std::string>& names = m_printer->Printers();
    const int index = m_printer->PrinterIndex();
    if (index >= 0 && static_cast<std::size_t>(index) < names.size()) {
        plan.Printer = names[static_cast<std::size_t>(index)];
    }
    plan.OutputFile = m_printer->OutputFileName();
    plan.AsksFileName = plan.OutputFile.empty() && m_printer->IsPdfPrinter();
    plan.Paper = m_printerSettings->PaperSize();
    plan.PaperWidth = m_printerSettings->PaperWidth();
    plan.PaperLength = m_printerSettings->PaperLength();
    plan.Landscape = m_printerSettings->Orientation() == TPrinterOrientation::poLandscape;
    plan.Copies = m_printerSettings->Copies();
    return plan;
}

void TVpPrinter::PrintSetup()
{
    if (OnPrintSetup) {
        OnPrintSetup(*this);
    }
}

void TVpPrinter::ExportToFilter(TVpExportFilter& filter)
{
    if (OnExport) {
        OnExport(*this, filter);
    }
}

void TVpPrinter::SetFileNameStem(std::string stem)
{
    m_printer->SetFileNameStem(stem);
    m_fileNameStem = std::move(stem);
}

}  // namespace dw
