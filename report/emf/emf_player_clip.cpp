// SPDX-License-Identifier: MIT
// The player's clipping and regions: clip regions built from rectangles,
// region records and paths (within the playing's bound on row crossings),
// combined as the records say and handed to the painter; and the region
// records that paint.
#include "report/emf/emf_player_p.h"

#include "report/emf/polygon_region_p.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dw::emf {

// --- clipping -------------------------------------------------------------

void EmfPlayer::ApplyClip()
{
    if (!m_clipDirty)
        return;
    m_clipDirty = false;
    std::optional<QRegion> effective = m_dc.Clip;
    if (m_baseClip)
        effective = effective ? effective->intersected(*m_baseClip) : *m_baseClip;
    if (effective)
        m_painter.setClipRegion(*effective);
    else
        m_painter.setClipping(false);
    m_drawWindow = effective ? m_visible & QRectF(effective->boundingRect()) : m_visible;
}

QRegion EmfPlayer::LogicalRectRegion(const RectL& rect) const
{
    if (m_axisAligned)
        return QRegion(GdiRect(QRectF(Map(QPointF(rect.Left, rect.Top)), Map(QPointF(rect.Right, rect.Bottom)))));
    const QPolygonF polygon = m_full.map(QPolygonF(ToRect(rect)));
    return PathRegion([&] {
        QPainterPath p;
        p.addPolygon(polygon);
        return p;
    }());
}

QRegion EmfPlayer::DeviceRectsRegion(const std::vector<RectL>& rects) const
{
    QList<QRect> mapped;
    mapped.reserve(static_cast<qsizetype>(rects.size()));
    for (const RectL& r : rects) {
        const QRect d = GdiRect(m_playback.mapRect(ToRect(r)));
        if (d.width() > 0 && d.height() > 0)
            mapped.append(d);
    }
    QRegion region;
    region.setRects(mapped.constData(), static_cast<int>(mapped.size()));
    return region;
}

QRegion EmfPlayer::PathRegion(const QPainterPath& path) const
{
    std::int64_t used = 0;
    QRegion region = PolygonRegion(FillPolygonWithin(path, m_clipWindow), path.fillRule(), m_clipWindow,
                                   m_regionCrossingsLeft, &used);
    m_regionCrossingsLeft = std::max<std::int64_t>(0, m_regionCrossingsLeft - used);
    return region;
}

void EmfPlayer::CombineClip(const QRegion& region, std::uint32_t mode)
{
    static const QRegion everything(QRect(-100000000, -100000000, 200000000, 200000000));
    auto& clip = m_dc.Clip;
    switch (mode) {
        case kRgnAnd:
            clip = clip ? clip->intersected(region) : region;
            break;
        case kRgnOr:
            if (clip)
                clip = clip->united(region);
            break;
        case kRgnXor:
            clip = (clip ? *clip : everything).xored(region);
            break;
        case kRgnDiff:
            clip = (clip ? *clip : everything).subtracted(region);
            break;
        case kRgnCopy:
            clip = region;
            break;
        default:
            return;
    }
    if (clip)
        clip = SimplifiedRegion(*clip);
    m_clipDirty = true;
}

// --- region records -------------------------------------------------------

void EmfPlayer::operator()(const ClipRegionRecord& r)
{
    if (r.Rects.empty()) {
        if (r.Mode == kRgnCopy) {
            m_dc.Clip.reset();
            m_clipDirty = true;
        }
        return;
    }
    CombineClip(DeviceRectsRegion(r.Rects), r.Mode);
}

void EmfPlayer::operator()(const RegionRecord& r)
{
    if (m_inPath || Suppressed() || r.Rects.empty())
        return;
    QBrush brush = CurrentBrush();
    if (r.Type == kEmrFillRgn || r.Type == kEmrFrameRgn) {
        const auto it = m_objects.find(r.BrushIndex);
        if ((r.BrushIndex & kStockObjectFlag) != 0) {
            const auto& stock = StockObjects();
            const auto s = stock.find(r.BrushIndex);
            if (s == stock.end())
                return;
            brush = BrushOf(s->second);
        } else if (it != m_objects.end()) {
            brush = BrushOf(it->second);
        } else {
            return;
        }
    }
    PrepareDraw();
    for (const RectL& rect : r.Rects) {
        const QRect d = GdiRect(m_playback.mapRect(ToRect(rect)));
        if (d.width() <= 0 || d.height() <= 0)
            continue;
        if (!Afford(QRectF(d)))
            return;
        switch (r.Type) {
            case kEmrInvertRgn:
                if (m_rasterOps) {
                    m_painter.setCompositionMode(QPainter::RasterOp_NotDestination);
                    m_painter.fillRect(d, Qt::black);
                    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
                }
                break;
            case kEmrFrameRgn: {
                const int w =
                    std::clamp(static_cast<int>(std::lround(std::abs(r.Stroke.Cx) * m_playback.m11())), 1, d.width());
                const int h =
                    std::clamp(static_cast<int>(std::lround(std::abs(r.Stroke.Cy) * m_playback.m22())), 1, d.height());
                m_painter.fillRect(QRect(d.x(), d.y(), d.width(), h), brush);
                m_painter.fillRect(QRect(d.x(), d.bottom() - h + 1, d.width(), h), brush);
                m_painter.fillRect(QRect(d.x(), d.y(), w, d.height()), brush);
                m_painter.fillRect(QRect(d.right() - w + 1, d.y(), w, d.height()), brush);
                break;
            }
            default:
                m_painter.fillRect(d, brush);
                break;
        }
    }
}

}  // namespace dw::emf
