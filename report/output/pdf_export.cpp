// SPDX-License-Identifier: MIT
#include "report/output/pdf_export.h"

#include "common/errors.h"
#include "common/message_text.h"
#include "report/emf/pdf_pages.h"
#include "report/output/replace_file_device.h"
#include "report/output/vp_printer.h"

namespace dw {

void SavePagesAsPdf(TVpPrinter& printer, const std::string& fileName)
{
    if (printer.Status() != TVpPrinterStatus::Finished) {
        return;
    }
    if (printer.PageCount() < 1) {
        throw EVpError(DW_TEXT("Message", "The report has no page to save"));
    }
    TReplaceFileDevice file(fileName);
    emf::PdfPagesInfo info;
    info.Title = QString::fromStdString(printer.Title());
    info.Creator = QStringLiteral("drillweight");
    // The printer's paper for a page that cannot tell its own.
    if (printer.PageWidth() > 0 && printer.PageHeight() > 0) {
        info.FallbackPaper = {printer.PageWidth() / 10.0, printer.PageHeight() / 10.0};
    }
    if (emf::WritePdfPages(file, info, printer.PageCount(), [&](int n) { return printer.GetPage(n); }) != 0) {
        throw EFileError(CannotCreateFile(fileName));
    }
    if (!file.Commit()) {
        throw EFileError(CannotWriteFile(fileName));
    }
}

}  // namespace dw
