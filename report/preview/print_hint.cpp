#include "report/preview/print_hint.h"

#include "report/engine/vp_printer.h"

#include <QCoreApplication>
#include <QPageSize>

namespace dw {

namespace {

QString Translate(const char* text)
{
    return QCoreApplication::translate("dw::TVpStandardPreview", text);
}

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
        return Translate("%1 × %2 mm").arg(plan.PaperWidth / 10.0).arg(plan.PaperLength / 10.0);
    }
    return Translate("the printer's paper");
}

}  // namespace

QString PrintHint(const TVpPrintPlan& plan)
{
    if (plan.Printer.empty()) {
        return Translate("Print (no printer is installed)");
    }
    const QString sheet =
        Translate("%1, %2").arg(PaperText(plan), plan.Landscape ? Translate("landscape") : Translate("portrait"));
    if (!plan.OutputFile.empty()) {
        return Translate("Print to the PDF file %1: %2").arg(QString::fromStdString(plan.OutputFile), sheet);
    }
    if (plan.AsksFileName) {
        return Translate("Print to a PDF file (its name is asked): %1").arg(sheet);
    }
    const QString copies = plan.Copies == 1 ? Translate("1 copy") : Translate("%1 copies").arg(plan.Copies);
    return Translate("Print on %1: %2, %3").arg(QString::fromStdString(plan.Printer), sheet, copies);
}

}  // namespace dw
