// SPDX-License-Identifier: MIT
// The machine's printers: Qt's printer list describes them, and finished
// jobs go to the spooler as PDF files. Qt's own printing path cannot take a
// job back once painting has started, so the program paints every job into
// a file first and sends it only when the job ends.

#include "report/output/printer.h"

#include "common/errors.h"

#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>
#include <dlfcn.h>

#include <memory>
#include <string>

namespace dw {

namespace {

// The print spooler's library is opened when the first job is handed over,
// not when the program starts: it brings some twenty libraries of its own,
// and loading them all at every start-up would cost more than the rest of
// the report engine together.
class SpoolerLibrary {
public:
    using AddOptionFn = int (*)(const char*, const char*, int, cups_option_t**);
    using FreeOptionsFn = void (*)(int, cups_option_t*);
    using PrintFileFn = int (*)(const char*, const char*, const char*, int, cups_option_t*);
    using LastErrorStringFn = const char* (*)();

    AddOptionFn AddOption = nullptr;
    FreeOptionsFn FreeOptions = nullptr;
    PrintFileFn PrintFile = nullptr;
    LastErrorStringFn LastErrorString = nullptr;

    // EPrinter when the library or one of its functions is missing.
    static const SpoolerLibrary& Get()
    {
        static const SpoolerLibrary library;
        if (library.PrintFile == nullptr)
            throw EPrinter(MessageText(DW_TEXT("Message", "The print spooler's library (%1) is not installed"),
                                       {MessageText::Verbatim("libcups.so.2")}));
        return library;
    }

private:
    SpoolerLibrary()
    {
        // Kept open for the life of the process, as a linked library would be.
        void* handle = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            return;
        AddOption = reinterpret_cast<AddOptionFn>(::dlsym(handle, "cupsAddOption"));
        FreeOptions = reinterpret_cast<FreeOptionsFn>(::dlsym(handle, "cupsFreeOptions"));
        LastErrorString = reinterpret_cast<LastErrorStringFn>(::dlsym(handle, "cupsLastErrorString"));
        PrintFile = reinterpret_cast<PrintFileFn>(::dlsym(handle, "cupsPrintFile"));
        if (AddOption == nullptr || FreeOptions == nullptr || LastErrorString == nullptr)
            PrintFile = nullptr;
    }
};


class SystemPrinters : public TPrinterBackend {
public:
    std::vector<TPrinterEntry> EnumPrinters() override
    {
        std::vector<TPrinterEntry> printers;
        for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
            // The location is what the system knows of where the printer is.
            printers.push_back(TPrinterEntry{info.printerName().toStdString(), info.makeAndModel().toStdString(),
                                             info.location().toStdString()});
        }
        return printers;
    }

    std::string DefaultPrinter() override { return QPrinterInfo::defaultPrinterName().toStdString(); }

    std::optional<TDeviceCapabilities> Capabilities(const std::string& device) override
    {
        const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(device));
        if (info.isNull()) {
            return std::nullopt;
        }
        TDeviceCapabilities capabilities;
        const QList<QPageSize> papers = info.supportedPageSizes();
        capabilities.Papers.assign(papers.begin(), papers.end());
        capabilities.DefaultPaper = info.defaultPageSize();
        capabilities.CustomPaper = info.supportsCustomPageSizes();
        QPrinter& probe = Probe(device);
        capabilities.Resolution = probe.resolution();
        capabilities.Copies = probe.supportsMultipleCopies();
        // Qt names the input trays of no printer here, so the bin stays the
        // printer's own choice.
        const QList<QPrinter::DuplexMode> duplexModes = info.supportedDuplexModes();
        capabilities.Duplex =
            duplexModes.contains(QPrinter::DuplexLongSide) || duplexModes.contains(QPrinter::DuplexShortSide);
        switch (info.defaultDuplexMode()) {
            case QPrinter::DuplexLongSide:
                capabilities.DefaultDuplex = kDmDuplexVertical;
                break;
            case QPrinter::DuplexShortSide:
                capabilities.DefaultDuplex = kDmDuplexHorizontal;
                break;
            default:
                capabilities.DefaultDuplex = kDmDuplexSimplex;
                break;
        }
        return capabilities;
    }

    QMarginsF PrintableMargins(const std::string& device, const QPageSize& paper,
                               QPageLayout::Orientation orientation) override
    {
        QPrinter& probe = Probe(device);
        probe.setPageSize(paper);
        probe.setPageOrientation(orientation);
        QPageLayout layout = probe.pageLayout();
        layout.setUnits(QPageLayout::Point);
        return layout.minimumMargins();
    }

    void PrintFile(const std::string& device, const std::filesystem::path& pdf, const TPrintJob& job) override
    {
        const SpoolerLibrary& cups = SpoolerLibrary::Get();
        cups_option_t* options = nullptr;
        int count = 0;
        count = cups.AddOption("copies", std::to_string(std::max(1, job.Copies)).c_str(), count, &options);
        // The pages carry their size and orientation; the paper option makes
        // the printer pick the matching sheet.
        const QByteArray media = job.Paper.key().toUtf8();
        if (!media.isEmpty()) {
            count = cups.AddOption("media", media.constData(), count, &options);
        }
        if (job.Duplex) {
            const char* sides = *job.Duplex == kDmDuplexVertical     ? "two-sided-long-edge"
                                : *job.Duplex == kDmDuplexHorizontal ? "two-sided-short-edge"
                                                                     : "one-sided";
            count = cups.AddOption("sides", sides, count, &options);
        }
        const int id = cups.PrintFile(device.c_str(), pdf.c_str(), job.Title.c_str(), count, options);
        cups.FreeOptions(count, options);
        if (id == 0) {
            const char* reason = cups.LastErrorString();
            // The spooler's own reason is its words, not the program's.
            if (reason != nullptr && *reason != '\0')
                throw EPrinter(MessageText(DW_TEXT("Message", "The print job could not be sent to %1: %2"),
                                           {MessageText::Verbatim(device), MessageText::Verbatim(reason)}));
            throw EPrinter(MessageText(DW_TEXT("Message", "The print job could not be sent to %1"),
                                       {MessageText::Verbatim(device)}));
        }
    }

private:
    // Qt answers resolution and margins only through a printer object set
    // to the device; one is kept for the device asked about last.
    QPrinter& Probe(const std::string& device)
    {
        if (!m_probe || m_probeDevice != device) {
            m_probe = std::make_unique<QPrinter>(QPrinter::HighResolution);
            m_probe->setPrinterName(QString::fromStdString(device));
            m_probeDevice = device;
        }
        return *m_probe;
    }

    std::unique_ptr<QPrinter> m_probe;
    std::string m_probeDevice;
};

}  // namespace

std::shared_ptr<TPrinterBackend> SystemPrinterBackend()
{
    return std::make_shared<SystemPrinters>();
}

}  // namespace dw
