// The machine's printers: Qt's printer list describes them, and finished
// jobs go to the spooler as PDF files. Qt's own printing path cannot take a
// job back once painting has started, so the program paints every job into
// a file first and sends it only when the job ends.

#include "report/engine/printer.h"

#include "common/errors.h"

#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

#include <memory>
#include <string>

namespace dw {

namespace {

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
        cups_option_t* options = nullptr;
        int count = 0;
        count = cupsAddOption("copies", std::to_string(std::max(1, job.Copies)).c_str(), count, &options);
        // The pages carry their size and orientation; the paper option makes
        // the printer pick the matching sheet.
        const QByteArray media = job.Paper.key().toUtf8();
        if (!media.isEmpty()) {
            count = cupsAddOption("media", media.constData(), count, &options);
        }
        if (job.Duplex) {
            const char* sides = *job.Duplex == kDmDuplexVertical     ? "two-sided-long-edge"
                                : *job.Duplex == kDmDuplexHorizontal ? "two-sided-short-edge"
                                                                     : "one-sided";
            count = cupsAddOption("sides", sides, count, &options);
        }
        const int id = cupsPrintFile(device.c_str(), pdf.c_str(), job.Title.c_str(), count, options);
        cupsFreeOptions(count, options);
        if (id == 0) {
            const char* reason = cupsLastErrorString();
            throw EPrinter(std::string("The print job could not be sent to ") + device +
                           (reason != nullptr && *reason != '\0' ? std::string(": ") + reason : std::string()));
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
