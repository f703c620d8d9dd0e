// SPDX-License-Identifier: MIT
#include "report/preview/print_hint.h"

#include "report/engine/vp_printer.h"

#include <QCoreApplication>
#include <QPageSize>

namespace dw {

namespace {

QString PaperText(const TVpPrintPlan& plan)
{
    if (const std::optional<int> code = PaperCode(plan.Paper);
        code && plan.Paper != TVpPaperSize::Custom && plan.Paper != TVpPaperSize::Default) {
        const QPageSize paper(QPageSize::id(*code));
        if (paper.isValid()) {
            return paper.name();
        }
    }
    if (plan.PaperWidth > 0 && plan.PaperLength > 0) {
        return QCoreApplication::translate("dw::TVpPrinterSetupDialog", "%1 × %2 mm")
            .arg(plan.PaperWidth / 10.0)
            .arg(plan.PaperLength / 10.0);
    }
    return QCoreApplication::translate("dw::TVpStandardPreview", "the printer's paper");
}

}  // namespace

QString PrintHint(const TVpPrintPlan& plan)
{
    if (plan.Printer.empty()) {
        return QCoreApplication::translate("dw::TVpStandardPreview", "Print (no printer is installed)");
    }
    const QString sheet =
        QCoreApplication::translate("dw::TVpStandardPreview", "%1, %2")
            .arg(PaperText(plan), plan.Landscape ? QCoreApplication::translate("dw::TVpStandardPreview", "landscape")
                                                 : QCoreApplication::translate("dw::TVpStandardPreview", "portrait"));
    if (!plan.OutputFile.empty()) {
        return QCoreApplication::translate("dw::TVpStandardPreview", "Print to the PDF file %1: %2")
            .arg(QString::fromStdString(plan.OutputFile), sheet);
    }
    if (plan.AsksFileName) {
        return QCoreApplication::translate("dw::TVpStandardPreview", "Print to a PDF file (its name is asked): %1")
            .arg(sheet);
    }
    const QString copies = plan.Copies == 1
                               ? QCoreApplication::translate("dw::TVpStandardPreview", "1 copy")
                               : QCoreApplication::translate("dw::TVpStandardPreview", "%1 copies").arg(plan.Copies);
    return QCoreApplication::translate("dw::TVpStandardPreview", "Print on %1: %2, %3")
        .arg(QString::fromStdString(plan.Printer), sheet, copies);
}

}  // namespace dw
