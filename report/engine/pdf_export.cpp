// SPDX-License-Identifier: MIT
#include "report/engine/pdf_export.h"

#include "common/errors.h"
#include "common/message_text.h"
#include "report/emf/emf_player.h"
#include "report/emf/emf_reader.h"
#include "report/engine/replace_file_device.h"
#include "report/engine/vp_printer.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <memory>

namespace dw {

namespace {

// Vectors and text do not depend on it; it only sets how finely the player
// places them.
constexpr int kPdfResolution = 1200;
constexpr double kMillimetresPerInch = 25.4;

}  // namespace

void SavePagesAsPdf(TVpPrinter& printer, const std::string& fileName)
{
    if (printer.Status() != TVpPrinterStatus::Finished) {
        return;
    }
    if (printer.PageCount() < 1) {
        throw EVpError(DW_TEXT("Message", "The report has no page to save"));
    }
    TReplaceFileDevice file(fileName);
    QPdfWriter writer(&file);
    writer.setResolution(kPdfResolution);
    writer.setTitle(QString::fromStdString(printer.Title()));
    writer.setCreator(QStringLiteral("drillweight"));
    QPainter painter;
    for (std::int32_t n = 1; n <= printer.PageCount(); ++n) {
        const std::shared_ptr<const emf::EmfDocument> page = printer.GetPage(n);
        // The page's own paper; the printer's when a page cannot tell.
        double width = printer.PageWidth() / 10.0;
        double height = printer.PageHeight() / 10.0;
        if (page) {
            const emf::EmfDocument::PaperSize paper = page->PageMillimetres();
            if (paper.Width > 0 && paper.Height > 0) {
                width = paper.Width;
                height = paper.Height;
            }
        }
        if (!(width > 0 && height > 0)) {
            width = 210;
            height = 297;
        }
        const QPageLayout layout(QPageSize(QSizeF(width, height), QPageSize::Millimeter), QPageLayout::Portrait,
                                 QMarginsF());
        writer.setPageLayout(layout);
        if (n == 1) {
            if (!painter.begin(&writer)) {
                throw EFileError(CannotCreateFile(fileName));
            }
        } else {
            writer.newPage();
        }
        if (page) {
            const double perMm = kPdfResolution / kMillimetresPerInch;
            PlayEmf(painter, *page, QRectF(0, 0, width * perMm, height * perMm));
        }
    }
    painter.end();
    if (!file.Commit()) {
        throw EFileError(CannotWriteFile(fileName));
    }
}

}  // namespace dw
