// SPDX-License-Identifier: MIT
#include "report/preview/preview_image.h"

#include "common/stop_request.h"

#include "report/emf/emf_player.h"
#include "report/emf/emf_reader.h"
#include "report/output/vp_printer.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <vector>

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
    // A reader gets the page's text as well as its picture.
    setAccessibleDescription(ReadingText());
}

QString TVpPreviewImage::ReadingText() const
{
    return m_hasPage && m_metafile ? PageReadingText(*m_metafile) : QString();
}

QString PageReadingText(const emf::EmfDocument& page)
{
    struct Piece {
        int X;
        int Y;
        QString Text;
    };
    std::vector<Piece> pieces;
    int height = 0;
    // Every record is looked at, which on a page of millions of them takes
    // seconds before the window shows; a request to end the program ends
    // the reading there (the window is about to close, unread).
    std::size_t seen = 0;
    for (const emf::EmfRecord& record : page.Records()) {
        if (seen++ % kStopCheckRecords == 0 && StopRequested()) {
            return QString();
        }
        if (const auto* font = std::get_if<emf::FontRecord>(&record)) {
            height = std::max(height, std::abs(font->Font.Height));
        } else if (const auto* text = std::get_if<emf::TextRecord>(&record)) {
            const QString shown = QString::fromStdU16String(text->Text).trimmed();
            if (!shown.isEmpty()) {
                pieces.push_back({text->Reference.X, text->Reference.Y, shown});
            }
        }
    }
    // Texts whose tops lie within half a line of each other stand on one
    // line, read from the left.
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.Y < b.Y; });
    const int tolerance = std::max(1, height / 2);
    QStringList lines;
    for (std::size_t first = 0; first < pieces.size();) {
        std::size_t last = first + 1;
        while (last < pieces.size() && pieces[last].Y - pieces[first].Y <= tolerance) {
            ++last;
        }
        std::stable_sort(pieces.begin() + static_cast<std::ptrdiff_t>(first),
                         pieces.begin() + static_cast<std::ptrdiff_t>(last),
                         [](const Piece& a, const Piece& b) { return a.X < b.X; });
        QStringList line;
        for (std::size_t i = first; i < last; ++i) {
            line << pieces[i].Text;
        }
        lines << line.join(QLatin1Char(' '));
        first = last;
    }
    return lines.join(QLatin1Char('\n'));
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
