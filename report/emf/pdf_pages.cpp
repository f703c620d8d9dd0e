// SPDX-License-Identifier: MIT
#include "report/emf/pdf_pages.h"

#include "common/stop_request.h"
#include "report/emf/emf_player.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace dw::emf {

namespace {

// Vectors and text do not depend on it; it only sets how finely the player
// places them.
constexpr int kPdfResolution = 1200;
constexpr double kMillimetresPerInch = 25.4;

}  // namespace

int WritePdfPages(QIODevice& device, const PdfPagesInfo& info, int pageCount,
                  const std::function<std::shared_ptr<const EmfDocument>(int)>& pageAt)
{
    QPdfWriter writer(&device);
    writer.setResolution(kPdfResolution);
    writer.setTitle(info.Title);
    writer.setCreator(info.Creator);
    QPainter painter;
    for (int n = 1; n <= pageCount; ++n) {
        const std::shared_ptr<const EmfDocument> page = pageAt(n);
        EmfDocument::PaperSize paper = page ? page->PageMillimetres() : info.FallbackPaper;
        if (!(paper.Width > 0 && paper.Height > 0)) {
            paper = info.FallbackPaper;
        }
        // A paper size is named upright; a page wider than high lies on it.
        // A page drawn for a standard paper (the sheet's A3) goes out as that
        // paper, so that printing the document picks the right tray.
        const bool landscape = paper.Width > paper.Height;
        const QPageSize size(QSizeF(std::min(paper.Width, paper.Height), std::max(paper.Width, paper.Height)),
                             QPageSize::Millimeter);
        const QPageLayout layout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
        if (!writer.setPageLayout(layout) || (n == 1 ? !painter.begin(&writer) : !writer.newPage())) {
            return n;
        }
        if (page) {
            const double perMm = kPdfResolution / kMillimetresPerInch;
            PlayEmf(painter, *page, QRectF(0, 0, paper.Width * perMm, paper.Height * perMm));
            // The player ends a page where it is when the program is asked
            // to end; a document with such a page must not be taken for
            // whole, so it is not finished at all.
            ThrowIfStopRequested();
        }
    }
    painter.end();
    return 0;
}

}  // namespace dw::emf
