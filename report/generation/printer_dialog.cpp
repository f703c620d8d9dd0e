// SPDX-License-Identifier: MIT
#include "report/generation/printer_dialog.h"

#include "common/errors.h"
#include "report/engine/printer.h"
#include "report/engine/vp_printer.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace dw {

namespace {

// Our list names a printer "<device> on <port>" where the port is known.
int IndexOfDevice(TPrinter& printers, const std::string& device, int fallback)
{
    const std::vector<std::string>& names = printers.Printers();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == device || names[i].rfind(device + " on ", 0) == 0)
            return static_cast<int>(i);
    return fallback;
}

}  // namespace

std::optional<TVpPrinterDialogChoice> RunSystemPrinterDialog(const TVpPrinterDialogRequest& request)
{
    if (request.VpPrinter == nullptr)
        return std::nullopt;
    TPrinter& printers = request.VpPrinter->Printer();
    int current = -1;
    try {
        current = printers.PrinterIndex();
    } catch (const EPrinter&) {
        current = -1;
    }
    QPrinter printer(QPrinter::ScreenResolution);
    if (current >= 0 && static_cast<std::size_t>(current) < printers.Printers().size()) {
        std::string device = printers.Printers()[static_cast<std::size_t>(current)];
        if (const auto on = device.find(" on "); on != std::string::npos)
            device.resize(on);
        const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(device));
        if (!info.isNull())
            printer.setPrinterName(info.printerName());
    }
    printer.setCopyCount(request.Copies);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintSelection |
                      QAbstractPrintDialog::PrintToFile);
    if (request.MaxPage > 0)
        dialog.setMinMax(1, request.MaxPage);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;

    TVpPrinterDialogChoice choice;
    choice.Copies = printer.copyCount();
    choice.PrinterIndex = printer.outputFormat() == QPrinter::PdfFormat
                              ? current
                              : IndexOfDevice(printers, printer.printerName().toStdString(), current);
    if (dialog.printRange() == QAbstractPrintDialog::PageRange) {
        choice.FromPage = dialog.fromPage();
        choice.ToPage = dialog.toPage();
    }
    // Later report commands start on the printer chosen here.
    try {
        GlobalPrinter().SetPrinterIndex(choice.PrinterIndex);
    } catch (const EPrinter&) {
        // The two lists differ; the report keeps its own index.
    }
    return choice;
}

}  // namespace dw
