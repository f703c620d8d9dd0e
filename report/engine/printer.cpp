// SPDX-License-Identifier: MIT
#include "report/engine/printer.h"

#include "common/errors.h"
#include "common/file_names.h"
#include "common/replace_file.h"
#include "common/utf8.h"
#include "report/engine/file_folder.h"
#include "report/engine/replace_file_device.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include <unistd.h>

namespace dw {

namespace {

constexpr SourceText kNoDefaultPrinter = DW_TEXT("Message", "There is no default printer currently selected");
constexpr SourceText kIndexOutOfRange = DW_TEXT("Message", "Printer index out of range");
constexpr SourceText kPrintingInProgress = DW_TEXT("Message", "Printing in progress");
constexpr SourceText kNotPrinting = DW_TEXT("Message", "Printer is not currently printing");
constexpr SourceText kInvalidPrinter = DW_TEXT("Message", "Printer selected is not valid");

// A PDF is drawn with vectors; the resolution only sets how finely the
// program places things on it.
constexpr int kPdfResolution = 1200;

QString ToQt(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text)
{
    return text.toStdString();
}

std::string EntryName(const TPrinterEntry& entry)
{
    return entry.Port.empty() ? entry.Device : entry.Device + " on " + entry.Port;
}

// The PDF printer can make a page of any size the program knows.
const TDeviceCapabilities& PdfCapabilities()
{
    static const TDeviceCapabilities capabilities = [] {
        TDeviceCapabilities c;
        for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
            const QPageSize paper(static_cast<QPageSize::PageSizeId>(id));
            if (paper.isValid()) {
                c.Papers.push_back(paper);
            }
        }
        c.DefaultPaper = QPageSize(
            QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
        c.CustomPaper = true;
        c.Resolution = kPdfResolution;
        c.Copies = false;  // a file holds one copy
        c.Duplex = false;
        return c;
    }();
    return capabilities;
}

int TenthsOfMillimetre(qreal millimetres)
{
    return static_cast<int>(std::lround(millimetres * 10.0));
}

// The job's pages go nowhere: the user declined to name the PDF file.
class NullDevice : public QIODevice {
public:
    NullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override { return length; }
};

std::string AskPdfFileName(const std::string& suggestedName)
{
    // Without a widget application there is nobody to ask.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return {};
    }
    // Opens where files were last saved; a name typed bare is a PDF's.
    const QString chosen = QFileDialog::getSaveFileName(
        nullptr, QCoreApplication::translate("dw::TPrinter", "Print to file"), InRememberedFolder(ToQt(suggestedName)),
        QCoreApplication::translate("dw::TPrinter", "PDF files (*.pdf)"));
    if (chosen.isEmpty()) {
        return {};
    }
    RememberFolderOf(chosen);
    return WithDefaultExtension(FromQt(chosen), "pdf");
}

}  // namespace

struct TPrinter::Entry {
    TPrinterEntry Printer;
    bool BuiltInPdf = false;
    std::optional<TDeviceCapabilities> Capabilities;
    // The last margins asked for, as the spooler may take a while to answer.
    std::optional<std::tuple<QPageSize, QPageLayout::Orientation, QMarginsF>> LastMargins;
};

struct TPrinter::Job {
    bool ToPdfFile = false;
    bool Discard = false;
    std::string Device;
    std::string FileName;
    TPrintJob Options;
    // Destroyed in reverse order: the painter ends before its writer goes,
    // the writer before the file it writes.
    std::unique_ptr<QIODevice> Output;
    std::unique_ptr<QPdfWriter> Writer;
    QPainter Painter;
};

TPrinter::TPrinter(std::shared_ptr<TPrinterBackend> backend)
    : m_backend(std::move(backend)), m_fileNameRequest(AskPdfFileName)
{
}

TPrinter::~TPrinter()
{
    if (m_job) {
        try {
            FinishJob();
        } catch (...) {
            // A destructor has nobody to report to; the job is gone either way.
        }
    }
}

void TPrinter::BuildList()
{
    if (m_listBuilt) {
        return;
    }
    m_listBuilt = true;
    for (TPrinterEntry& printer : m_backend->EnumPrinters()) {
        m_names.push_back(EntryName(printer));
        m_entries.push_back(Entry{std::move(printer), false, std::nullopt, std::nullopt});
    }
    m_systemPrinters = !m_entries.empty();
    if (!m_systemPrinters) {
        TPrinterEntry pdf{kPdfPrinterName, kPdfPrinterName, {}};
        m_names.push_back(EntryName(pdf));
        m_entries.push_back(Entry{std::move(pdf), true, std::nullopt, std::nullopt});
    }
}

const std::vector<std::string>& TPrinter::Printers()
{
    BuildList();
    return m_names;
}

bool TPrinter::HasSystemPrinters()
{
    BuildList();
    return m_systemPrinters;
}

bool TPrinter::IsPdfPrinter()
{
    return Current().BuiltInPdf;
}

int TPrinter::PrinterIndex()
{
    BuildList();
    if (m_index == -1) {
        const std::string device = m_systemPrinters ? m_backend->DefaultPrinter() : std::string(kPdfPrinterName);
        const auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
            return !device.empty() && entry.Printer.Device == device;
        });
        if (found == m_entries.end()) {
            throw EPrinter(kNoDefaultPrinter);
        }
        m_index = static_cast<int>(found - m_entries.begin());
    }
    return m_index;
}

void TPrinter::SetPrinterIndex(int index)
{
    CheckPrinting(false);
    BuildList();
    if (index != -1 && (index < 0 || index >= static_cast<int>(m_entries.size()))) {
        throw EPrinter(kIndexOutOfRange);
    }
    if (index != -1 && index == m_index) {
        return;  // the same printer keeps the settings made for it
    }
    m_index = index;
    m_deviceMode.reset();
}

TPrinter::Entry& TPrinter::Current()
{
    return m_entries[static_cast<std::size_t>(PrinterIndex())];
}

const TDeviceCapabilities* TPrinter::CapabilitiesOf(Entry& entry)
{
    if (entry.BuiltInPdf) {
        return &PdfCapabilities();
    }
    // A device that could not be opened is asked again next time: it may
    // have come back.
    if (!entry.Capabilities) {
        entry.Capabilities = m_backend->Capabilities(entry.Printer.Device);
    }
    return entry.Capabilities ? &*entry.Capabilities : nullptr;
}

const TDeviceCapabilities& TPrinter::Capabilities()
{
    const TDeviceCapabilities* capabilities = CapabilitiesOf(Current());
    if (capabilities == nullptr) {
        throw EPrinter(kInvalidPrinter);
    }
    return *capabilities;
}

TDeviceMode TPrinter::DefaultDeviceMode(const TDeviceCapabilities& capabilities) const
{
    TDeviceMode mode;
    mode.Fields = kDmOrientation | kDmPaperSize;
    if (capabilities.CustomPaper) {
        mode.Fields |= kDmPaperLength | kDmPaperWidth;
    }
    if (capabilities.Copies) {
        mode.Fields |= kDmCopies;
    }
    if (!capabilities.Bins.empty()) {
        mode.Fields |= kDmDefaultSource;
        mode.DefaultSource = capabilities.DefaultBin;
    }
    if (capabilities.Duplex) {
        mode.Fields |= kDmDuplex;
        mode.Duplex = capabilities.DefaultDuplex;
    }
    const QPageSize& paper = capabilities.DefaultPaper;
    const int code = paper.isValid() ? paper.windowsId() : 0;
    if (code != 0 && code != kDmPaperUser) {
        mode.PaperSize = code;
    } else if (paper.isValid()) {
        // A paper without a standard code is given by its size.
        const QSizeF size = paper.size(QPageSize::Millimeter);
        mode.PaperSize = kDmPaperUser;
        mode.PaperWidth = TenthsOfMillimetre(size.width());
        mode.PaperLength = TenthsOfMillimetre(size.height());
    }
    return mode;
}

std::optional<QPageSize> TPrinter::PaperOf(const TDeviceCapabilities& capabilities, const TDeviceMode& mode) const
{
    const int code = mode.PaperSize;
    if (code == kDmPaperUser) {
        if (mode.PaperWidth <= 0 || mode.PaperLength <= 0) {
            return std::nullopt;
        }
        return QPageSize(QSizeF(mode.PaperWidth / 10.0, mode.PaperLength / 10.0), QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    }
    if (code <= 0) {
        return std::nullopt;
    }
    // The device's own paper first: its idea of the size is what it prints.
    for (const QPageSize& paper : capabilities.Papers) {
        if (paper.windowsId() == code) {
            return paper;
        }
    }
    const QPageSize standard(QPageSize::id(code));
    if (standard.isValid()) {
        return standard;
    }
    return std::nullopt;
}

QMarginsF TPrinter::MarginsOf(Entry& entry, const QPageSize& paper, QPageLayout::Orientation orientation)
{
    if (entry.BuiltInPdf) {
        return {};
    }
    auto& cached = entry.LastMargins;
    if (cached && std::get<0>(*cached).isEquivalentTo(paper) && std::get<1>(*cached) == orientation) {
        return std::get<2>(*cached);
    }
    QMarginsF margins = m_backend->PrintableMargins(entry.Printer.Device, paper, orientation);
    // A border the sheet cannot hold is a device's mistake; print on all of it.
    QSizeF size = paper.size(QPageSize::Point);
    if (orientation == QPageLayout::Landscape) {
        size.transpose();
    }
    const bool sane = margins.left() >= 0 && margins.top() >= 0 && margins.right() >= 0 && margins.bottom() >= 0 &&
                      margins.left() + margins.right() < size.width() &&
                      margins.top() + margins.bottom() < size.height();
    if (!sane) {
        margins = QMarginsF();
    }
    cached.emplace(paper, orientation, margins);
    return margins;
}

TPrinterDevice TPrinter::GetPrinter()
{
    Entry& entry = Current();
    if (!m_deviceMode) {
        const TDeviceCapabilities* capabilities = CapabilitiesOf(entry);
        if (capabilities == nullptr) {
            throw EPrinter(kInvalidPrinter);
        }
        m_deviceMode = DefaultDeviceMode(*capabilities);
    }
    return TPrinterDevice{entry.Printer.Device, entry.Printer.Driver, entry.Printer.Port, *m_deviceMode};
}

void TPrinter::SetPrinter(const std::string& device, const std::string& driver, const std::string& port,
                          const std::optional<TDeviceMode>& deviceMode)
{
    CheckPrinting(false);
    BuildList();
    // The driver is not compared: callers may hand back a shortened name.
    auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
        return entry.Printer.Device == device && entry.Printer.Port == port;
    });
    if (found == m_entries.end()) {
        TPrinterEntry printer{device, driver, port};
        m_names.push_back(EntryName(printer));
        m_entries.push_back(Entry{std::move(printer), false, std::nullopt, std::nullopt});
        found = m_entries.end() - 1;
    }
    m_index = static_cast<int>(found - m_entries.begin());
    m_deviceMode = deviceMode;
}

std::vector<int> TPrinter::PaperCodes()
{
    const TDeviceCapabilities& capabilities = Capabilities();
    std::vector<int> codes;
    for (const QPageSize& paper : capabilities.Papers) {
        const int code = paper.windowsId();
        // Papers without a standard code are reachable as a custom size only.
        if (code != 0 && code != kDmPaperUser) {
            codes.push_back(code);
        }
    }
    if (capabilities.CustomPaper) {
        codes.push_back(kDmPaperUser);
    }
    return codes;
}

TPageGeometry TPrinter::Geometry()
{
    const TPrinterDevice device = GetPrinter();
    Entry& entry = Current();
    const TDeviceCapabilities& capabilities = *CapabilitiesOf(entry);
    TPageGeometry geometry;
    geometry.PixelsPerInchX = capabilities.Resolution;
    geometry.PixelsPerInchY = capabilities.Resolution;
    const std::optional<QPageSize> paper = PaperOf(capabilities, device.DeviceMode);
    if (!paper || capabilities.Resolution <= 0) {
        return geometry;
    }
    const auto orientation =
        device.DeviceMode.Orientation == kDmOrientLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    const QPageLayout layout(*paper, orientation, MarginsOf(entry, *paper, orientation), QPageLayout::Point,
                             QMarginsF());
    const QRect full = layout.fullRectPixels(capabilities.Resolution);
    const QRect paint = layout.paintRectPixels(capabilities.Resolution);
    geometry.PhysicalWidth = full.width();
    geometry.PhysicalHeight = full.height();
    geometry.OffsetX = paint.left();
    geometry.OffsetY = paint.top();
    geometry.PageWidth = paint.width();
    geometry.PageHeight = paint.height();
    return geometry;
}

void TPrinter::CheckPrinting(bool printing) const
{
    if (Printing() != printing) {
        throw EPrinter(printing ? kNotPrinting : kPrintingInProgress);
    }
}

void TPrinter::BeginDoc()
{
    CheckPrinting(false);
    const TPrinterDevice device = GetPrinter();
    Entry& entry = Current();
    const TDeviceCapabilities& capabilities = *CapabilitiesOf(entry);
    const TDeviceMode& mode = device.DeviceMode;

    auto job = std::make_unique<Job>();
    job->Device = device.Device;
    // An output file set up for the job makes any printer print to it.
    job->ToPdfFile = entry.BuiltInPdf || !m_outputFileName.empty();
    TPrintJob& options = job->Options;
    options.Title = std::string(utf8::Left(m_title, kJobNameLength));
    options.Copies = mode.Supports(kDmCopies) ? std::max(1, mode.Copies) : 1;
    // A paper the device cannot name falls back to its own default, so a
    // job always has a sheet to print on.
    QPageSize paper = PaperOf(capabilities, mode).value_or(capabilities.DefaultPaper);
    if (!paper.isValid()) {
        paper = QPageSize(QPageSize::A4);
    }
    options.Paper = paper;
    options.Orientation = mode.Orientation == kDmOrientLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (mode.Supports(kDmDefaultSource)) {
        options.Bin = mode.DefaultSource;
    }
    if (mode.Supports(kDmDuplex)) {
        options.Duplex = mode.Duplex;
    }

    if (job->ToPdfFile) {
        job->FileName = m_outputFileName;
        if (job->FileName.empty()) {
            job->FileName = AskFileName(options.Title);
        }
        if (job->FileName.empty()) {
            job->Discard = true;
            job->Output = std::make_unique<NullDevice>();
        } else {
            job->Output = std::make_unique<TReplaceFileDevice>(job->FileName);
        }
    } else {
        auto file = std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("VPRXXXXXX.pdf")));
        if (!file->open()) {
            throw EInOutError(CannotCreateFile(FromQt(file->fileTemplate())));
        }
        // The job's file loses its name at once, so a program killed while it
        // spools leaves nothing in the temporary folder; the spooler is handed
        // the open file itself (it reads the file in this process).
        if (::unlink(QFile::encodeName(file->fileName()).constData()) == 0) {
            file->setAutoRemove(false);
            job->FileName = "/proc/self/fd/" + std::to_string(file->handle());
        } else {
            job->FileName = FromQt(file->fileName());
        }
        job->Output = std::move(file);
    }

    job->Writer = std::make_unique<QPdfWriter>(job->Output.get());
    job->Writer->setResolution(capabilities.Resolution > 0 ? capabilities.Resolution : kPdfResolution);
    job->Writer->setTitle(ToQt(options.Title));
    job->Writer->setCreator(QStringLiteral("drillweight"));
    const QPageLayout layout(paper, options.Orientation, MarginsOf(entry, paper, options.Orientation),
                             QPageLayout::Point, QMarginsF());
    if (!job->Writer->setPageLayout(layout)) {
        throw EPrinter(kInvalidPrinter);
    }
    if (!job->Painter.begin(job->Writer.get())) {
        throw EPrinter(kInvalidPrinter);
    }
    m_aborted = job->Discard;
    m_pageNumber = 1;
    m_job = std::move(job);
}

std::string TPrinter::AskFileName(const std::string& title)
{
    if (!m_fileNameRequest) {
        return {};
    }
    return m_fileNameRequest((title.empty() ? std::string("report") : title) + ".pdf");
}

bool TPrinter::PrepareOutput()
{
    if (!m_outputFileName.empty() || !IsPdfPrinter()) {
        return true;
    }
    m_outputFileName = AskFileName(std::string(utf8::Left(m_title, kJobNameLength)));
    return !m_outputFileName.empty();
}

void TPrinter::NewPage()
{
    CheckPrinting(true);
    m_job->Writer->newPage();
    ++m_pageNumber;
    // The platform lets the window system breathe while a job spools; a
    // Cancel button must be able to get its click through.
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

void TPrinter::EndDoc()
{
    CheckPrinting(true);
    FinishJob();
}

void TPrinter::FinishJob()
{
    // The printer is free again whatever happens below.
    std::unique_ptr<Job> job = std::move(m_job);
    m_pageNumber = 0;
    job->Painter.end();
    if (job->Discard) {
        return;
    }
    if (job->ToPdfFile) {
        if (!static_cast<TReplaceFileDevice&>(*job->Output).Commit()) {
            throw EFileError(CannotCreateFile(job->FileName));
        }
        return;
    }
    auto& file = static_cast<QTemporaryFile&>(*job->Output);
    file.flush();
    m_backend->PrintFile(job->Device, std::filesystem::path(job->FileName), job->Options);
}

void TPrinter::Abort()
{
    CheckPrinting(true);
    std::unique_ptr<Job> job = std::move(m_job);
    m_pageNumber = 0;
    m_aborted = true;
    job->Painter.end();
    // A file being printed to is left as it was, and the temporary file of a
    // system job goes with the job, unsent.
}

QPainter* TPrinter::Canvas()
{
    return m_job ? &m_job->Painter : nullptr;
}

TPrinter& GlobalPrinter()
{
    static std::unique_ptr<TPrinter> printer;
    if (!printer) {
        printer = std::make_unique<TPrinter>();
        // Gone with the application, before Qt's print support is.
        qAddPostRoutine([] { printer.reset(); });
    }
    return *printer;
}

}  // namespace dw
