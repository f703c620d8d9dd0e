// SPDX-License-Identifier: MIT
#pragma once

// The printer layer: the list of printers, the current printer and its
// device mode, what the device can do, and print jobs painted with a
// QPainter. The system's printers come through a TPrinterBackend, so the
// same code runs against the real spooler and against printers a test
// describes. When the system lists no printer at all, the list holds one
// built-in PDF printer, so that printing always has a destination.

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPainter;

namespace dw {

enum class TPrinterOrientation : std::uint8_t { poPortrait = 0, poLandscape = 1 };

// Device-mode fields a device lets the program set.
inline constexpr std::uint32_t kDmOrientation = 0x0001;
inline constexpr std::uint32_t kDmPaperSize = 0x0002;
inline constexpr std::uint32_t kDmPaperLength = 0x0004;
inline constexpr std::uint32_t kDmPaperWidth = 0x0008;
inline constexpr std::uint32_t kDmCopies = 0x0100;
inline constexpr std::uint32_t kDmDefaultSource = 0x0200;
inline constexpr std::uint32_t kDmDuplex = 0x1000;

// Device codes, numbered as the platform's standard tables number them.
inline constexpr int kDmOrientPortrait = 1;
inline constexpr int kDmOrientLandscape = 2;
inline constexpr int kDmPaperUser = 256;  // a paper of the size in PaperWidth x PaperLength
inline constexpr int kDmDuplexSimplex = 1;
inline constexpr int kDmDuplexVertical = 2;    // turned over the long edge
inline constexpr int kDmDuplexHorizontal = 3;  // turned over the short edge

// The settings a printer prints the next job with.
struct TDeviceMode {
    std::uint32_t Fields = 0;  // the fields this device supports
    int Orientation = kDmOrientPortrait;
    int PaperSize = 0;    // paper code
    int PaperLength = 0;  // tenths of a millimetre, for kDmPaperUser
    int PaperWidth = 0;
    int Copies = 1;
    int DefaultSource = 0;  // bin code
    int Duplex = kDmDuplexSimplex;

    bool Supports(std::uint32_t field) const noexcept { return (Fields & field) != 0; }
    friend bool operator==(const TDeviceMode&, const TDeviceMode&) = default;
};

// One printer as the system lists it. Port is where the printer is, when
// the system says so (empty otherwise).
struct TPrinterEntry {
    std::string Device;
    std::string Driver;
    std::string Port;
};

// What a device reports about itself, whatever its current settings.
struct TDeviceCapabilities {
    std::vector<QPageSize> Papers;  // in the device's own order
    QPageSize DefaultPaper;
    bool CustomPaper = false;  // takes paper of any size
    int Resolution = 300;      // pixels per inch, both ways
    bool Copies = true;        // prints several copies of a job itself
    std::vector<int> Bins;     // bin codes; empty when the bin cannot be chosen
    int DefaultBin = 0;
    bool Duplex = false;
    int DefaultDuplex = kDmDuplexSimplex;
};

// What goes to the spooler with the finished pages.
struct TPrintJob {
    std::string Title;  // already cut to the job-name limit
    int Copies = 1;
    QPageSize Paper;
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    std::optional<int> Bin;     // bin code, when the device lets it be chosen
    std::optional<int> Duplex;  // duplex code, when the device does duplex
};

// The system's printers. The layer asks it for the list once and keeps
// the answer, as it does with each device's capabilities.
class TPrinterBackend {
public:
    virtual ~TPrinterBackend() = default;

    virtual std::vector<TPrinterEntry> EnumPrinters() = 0;
    // Device name of the system's default printer; empty when there is none.
    virtual std::string DefaultPrinter() = 0;
    // None when the device cannot be opened.
    virtual std::optional<TDeviceCapabilities> Capabilities(const std::string& device) = 0;
    // The unprintable border of the paper in this orientation, in points.
    virtual QMarginsF PrintableMargins(const std::string& device, const QPageSize& paper,
                                       QPageLayout::Orientation orientation) = 0;
    // Hands a finished job (a PDF file) to the device; EPrinter when the
    // spooler refuses it.
    virtual void PrintFile(const std::string& device, const std::filesystem::path& pdf, const TPrintJob& job) = 0;
};

// The printers of this machine, through Qt's printer list and the spooler.
std::shared_ptr<TPrinterBackend> SystemPrinterBackend();

// Device, driver, port and device mode of the current printer.
struct TPrinterDevice {
    std::string Device;
    std::string Driver;
    std::string Port;
    TDeviceMode DeviceMode;
};

// Sizes of the current paper in device pixels, for the current device mode.
struct TPageGeometry {
    int PixelsPerInchX = 0;
    int PixelsPerInchY = 0;
    int PhysicalWidth = 0;  // the whole sheet
    int PhysicalHeight = 0;
    int OffsetX = 0;  // from the sheet's corner to the printable area's
    int OffsetY = 0;
    int PageWidth = 0;  // the printable area
    int PageHeight = 0;
};

// Job names longer than this (in characters) are cut. The print spooler
// takes names of up to 255 bytes; the title of a report with its date and
// time must reach a queue's list whole, so that one sheet is told from another.
inline constexpr std::size_t kJobNameLength = 80;

// The built-in PDF printer, listed only when the system has no printer.
inline constexpr const char* kPdfPrinterName = "PDF file";

class TPrinter {
public:
    explicit TPrinter(std::shared_ptr<TPrinterBackend> backend = SystemPrinterBackend());
    // A job still running is ended, so its pages are not lost.
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // The entries' names: "<device> on <port>" where the port is known,
    // else the device name. Built on first use and kept.
    const std::vector<std::string>& Printers();
    // False when the list holds only the built-in PDF printer.
    bool HasSystemPrinters();
    // The current printer is the built-in PDF printer.
    bool IsPdfPrinter();

    // The index in Printers(). −1 stands for the system's default printer
    // until something needs the real index: then EPrinter "There is no
    // default printer currently selected" if the default is not listed.
    int PrinterIndex();
    // −1 selects the default printer again. EPrinter "Printer index out of
    // range" outside the list, "Printing in progress" during a job. The
    // new printer starts with its own default device mode.
    void SetPrinterIndex(int index);

    // The current printer with its device mode. EPrinter "Printer selected
    // is not valid" when the device cannot be opened.
    TPrinterDevice GetPrinter();
    // Selects the printer given by device and port (appending it to the list
    // if it is not there) with this device mode, or with its default one.
    // EPrinter "Printing in progress" during a job.
    void SetPrinter(const std::string& device, const std::string& driver, const std::string& port,
                    const std::optional<TDeviceMode>& deviceMode = std::nullopt);

    // What the current device can do. EPrinter "Printer selected is not
    // valid" when it cannot be opened.
    const TDeviceCapabilities& Capabilities();
    // Paper codes the device lists, in its order.
    std::vector<int> PaperCodes();
    // The sheet as the current device mode sets it; all zero (but the
    // resolution) when the device cannot tell the paper's size.
    TPageGeometry Geometry();
    int PixelsPerInchX() { return Geometry().PixelsPerInchX; }
    int PixelsPerInchY() { return Geometry().PixelsPerInchY; }
    int PageWidth() { return Geometry().PageWidth; }
    int PageHeight() { return Geometry().PageHeight; }

    // Print jobs.
    const std::string& Title() const noexcept { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }
    // Where the job is written as a PDF file instead of being printed: the
    // built-in PDF printer always writes one, any other printer when this is
    // set. Set, no dialog is shown.
    const std::string& OutputFileName() const noexcept { return m_outputFileName; }
    void SetOutputFileName(std::string fileName) { m_outputFileName = std::move(fileName); }
    // Asked for a file name when the PDF printer starts a job without one;
    // an empty answer declines. The default shows a save dialog.
    using FileNameRequest = std::function<std::string(const std::string& suggestedName)>;
    void SetFileNameRequest(FileNameRequest request) { m_fileNameRequest = std::move(request); }
    // The name (without extension) suggested for the PDF printer's file;
    // empty: the job's title.
    void SetFileNameStem(std::string stem) { m_fileNameStem = std::move(stem); }

    // Asks for the PDF printer's file now, before anything of the job is
    // shown, unless it is known; false when the user declines (nothing is
    // to be printed then). Other printers need nothing: true.
    bool PrepareOutput();

    // Starts a job on the current printer with its device mode and its
    // first sheet. EPrinter "Printing in progress" when one runs. When the
    // user declines to name the PDF printer's file, the job runs into
    // nothing and Aborted() is true.
    void BeginDoc();
    // Ends the sheet and starts the next; EPrinter "Printer is not
    // currently printing" without a job.
    void NewPage();
    // Ends the last sheet and hands the job over. EPrinter "Printer is not
    // currently printing" without a job.
    void EndDoc();
    // Drops the job: nothing reaches the printer or the PDF file. EPrinter
    // "Printer is not currently printing" without a job.
    void Abort();

    bool Printing() const noexcept { return m_job != nullptr; }
    bool Aborted() const noexcept { return m_aborted; }
    // The PDF file the last job was written to; empty when it went to a
    // printer.
    const std::string& JobFileName() const noexcept { return m_jobFileName; }
    int PageNumber() const noexcept { return m_pageNumber; }
    // The painter of the current sheet; none outside a job. Its origin is
    // the corner of the printable area, its unit the device pixel.
    QPainter* Canvas();

private:
    struct Entry;
    struct Job;

    void BuildList();
    Entry& Current();
    const TDeviceCapabilities* CapabilitiesOf(Entry& entry);
    TDeviceMode DefaultDeviceMode(const TDeviceCapabilities& capabilities) const;
    std::optional<QPageSize> PaperOf(const TDeviceCapabilities& capabilities, const TDeviceMode& mode) const;
    QMarginsF MarginsOf(Entry& entry, const QPageSize& paper, QPageLayout::Orientation orientation);
    void CheckPrinting(bool printing) const;
    std::string AskFileName(const std::string& title);
    void FinishJob();

    std::shared_ptr<TPrinterBackend> m_backend;
    bool m_listBuilt = false;
    bool m_systemPrinters = false;
    std::vector<Entry> m_entries;
    std::vector<std::string> m_names;
    int m_index = -1;
    std::optional<TDeviceMode> m_deviceMode;  // of the current printer, once asked for
    std::string m_title;
    std::string m_outputFileName;
    FileNameRequest m_fileNameRequest;
    std::string m_fileNameStem;
    std::string m_jobFileName;
    std::unique_ptr<Job> m_job;
    bool m_aborted = false;
    int m_pageNumber = 0;
};

// The printer the system print dialog works on.
TPrinter& GlobalPrinter();

}  // namespace dw
