// SPDX-License-Identifier: MIT
#include "report/preview/preview_image.h"

#include "report/emf/emf_player.h"
#include "report/emf/emf_reader.h"
#include "report/output/vp_printer.h"

#include <QPaintEvent>
#include <QPainter>

namespace dw {

TVpPreviewImage::TVpPreviewImage(QWidget* parent) : QWidget(parent)
{
    resize(100, 50);
    // Clicks, drags and the wheel on the page act as on the area around it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TVpPreviewImage::ShowPage(std::int32_t n)
{
    m_pageNumber = n;
    m_metafile.reset();
    m_hasPage = false;
    update();
    if (m_vpPrinter != nullptr) {
        m_metafile = m_vpPrinter->GetPage(n);
        m_hasPage = m_metafile != nullptr;
    }
}

void TVpPreviewImage::paintEvent(QPaintEvent* event)
{
    if (!m_hasPage || !m_metafile) {
        return;
    }
    const int w = width();
    const int h = height();
    QPainter painter(this);
    // The painter is clipped to what is exposed: of a page zoomed far beyond
    // the window only the visible part is drawn.
    painter.setClipRegion(event->region());
    painter.fillRect(QRect(1, 1, w - 4, h - 4), Qt::white);
    try {
        PlayEmf(painter, *m_metafile, QRectF(0, 0, w, h));
    } catch (...) {
        // The page was read and checked when it was fetched; a paint event
        // has nobody to report to, and the frame is drawn regardless.
    }
    // Frame on the outermost pixels, shadow two pixels wide to the right and
    // below, filled as rectangles so they stay exact on any pixel ratio.
    const QColor black(Qt::black);
    painter.fillRect(QRect(0, 0, w - 2, 1), black);
    painter.fillRect(QRect(0, 0, 1, h - 2), black);
    painter.fillRect(QRect(w - 3, 0, 1, h - 2), black);
    painter.fillRect(QRect(0, h - 3, w - 2, 1), black);
    painter.fillRect(QRect(w - 2, 2, 2, h - 2), black);
    painter.fillRect(QRect(2, h - 2, w - 2, 2), black);
}

}  // namespace dw
