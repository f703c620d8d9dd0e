// SPDX-License-Identifier: MIT
#include "report/emf/device_outline_p.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dw::emf {

namespace {

// The part of lo..hi inside from..to; the whole of from..to when the ends
// are not numbers, as the rasteriser may then cross every row.
double Span(double lo, double hi, double from, double to)
{
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return std::max(0.0, to - from);
    return std::max(0.0, std::min(hi, to) - std::max(lo, from));
}

}  // namespace

DeviceOutline::DeviceOutline(const QTransform& toDevice, const OutlineDrawing& drawing, double cellLimit,
                             double lineLimit)
    : m_toDevice(toDevice), m_drawing(drawing), m_cellLimit(cellLimit), m_lineLimit(lineLimit)
{
}

void DeviceOutline::Include(const QPointF& p)
{
    if (!std::isfinite(p.x()) || !std::isfinite(p.y())) {
        m_nonFinite = true;
        return;
    }
    if (m_right < m_left) {
        m_left = m_right = p.x();
        m_top = m_bottom = p.y();
        return;
    }
    m_left = std::min(m_left, p.x());
    m_right = std::max(m_right, p.x());
    m_top = std::min(m_top, p.y());
    m_bottom = std::max(m_bottom, p.y());
}

QRectF DeviceOutline::Bounds() const
{
    if (m_nonFinite) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return QRectF(nan, nan, nan, nan);
    }
    if (m_right < m_left)
        return {};
    return QRectF(QPointF(m_left, m_top), QPointF(m_right, m_bottom));
}

bool DeviceOutline::SamePixel(const QPointF& a, const QPointF& b) const
{
    return std::floor(a.x()) == std::floor(b.x()) && std::floor(a.y()) == std::floor(b.y());
}

void DeviceOutline::Count(double cells, double lineCells)
{
    m_cells += cells;
    m_lineCells += lineCells;
    if (m_cells > m_cellLimit || m_lineCells > m_lineLimit) {
        m_exceeded = true;
        m_path = QPainterPath();
    }
}

void DeviceOutline::Edge(const QPointF& from, const QPointF& to)
{
    const QRectF& w = m_drawing.Window;
    const double top = std::min(from.y(), to.y());
    const double bottom = std::max(from.y(), to.y());
    double cells = 1, lineCells = 0;
    if (m_drawing.Fill)
        cells += Span(top, bottom, w.top(), w.bottom());
    if (m_drawing.Stroke) {
        if (m_drawing.PenWidth >= 1.5) {
            const double pad = std::isfinite(m_drawing.PenWidth) ? m_drawing.PenWidth / 2 : 1.0e9;
            cells += 2 * Span(top - pad, bottom + pad, w.top(), w.bottom());
        } else {
            const double left = std::min(from.x(), to.x());
            const double right = std::max(from.x(), to.x());
            lineCells += 1 + std::max(Span(top, bottom, w.top(), w.bottom()), Span(left, right, w.left(), w.right()));
        }
    }
    Count(cells, lineCells);
}

void DeviceOutline::FlushPending()
{
    if (!m_hasPending)
        return;
    m_hasPending = false;
    Edge(m_last, m_pending);
    if (m_exceeded)
        return;
    m_path.lineTo(m_pending);
    m_last = m_pending;
}

// A fill closes every figure, so its closing edge costs as the others do;
// a stroke draws it only when the figure is closed on purpose.
void DeviceOutline::EndSubpath()
{
    FlushPending();
    if (m_open && m_drawing.Fill && !m_exceeded && m_last != m_start) {
        OutlineDrawing fillOnly = m_drawing;
        fillOnly.Stroke = false;
        std::swap(fillOnly, m_drawing);
        Edge(m_last, m_start);
        std::swap(fillOnly, m_drawing);
    }
    m_open = false;
}

void DeviceOutline::MoveTo(const QPointF& logical)
{
    if (m_exceeded)
        return;
    EndSubpath();
    if (!m_exceeded)
        StartAt(m_toDevice.map(logical));
}

void DeviceOutline::StartAt(const QPointF& p)
{
    Include(p);
    Count(1, 0);
    if (m_exceeded)
        return;
    m_path.moveTo(p);
    m_start = m_last = p;
    m_open = true;
}

void DeviceOutline::LineTo(const QPointF& logical)
{
    if (m_exceeded)
        return;
    const QPointF p = m_toDevice.map(logical);
    if (!m_open) {
        // After a closed figure the next one starts where that one did.
        StartAt(m_path.elementCount() > 0 ? m_last : p);
        if (m_exceeded)
            return;
    }
    Include(p);
    // Points on the pixel the path is at draw as that pixel: only the last
    // of them is kept, so the path still ends where it was meant to.
    if (m_drawing.MergePixels && SamePixel(p, m_last)) {
        m_pending = p;
        m_hasPending = true;
        return;
    }
    m_hasPending = false;
    Edge(m_last, p);
    if (m_exceeded)
        return;
    m_path.lineTo(p);
    m_last = p;
}

void DeviceOutline::CubicTo(const QPointF& control1, const QPointF& control2, const QPointF& end)
{
    if (m_exceeded)
        return;
    FlushPending();
    if (m_exceeded)
        return;
    if (!m_open) {
        StartAt(m_last);
        if (m_exceeded)
            return;
    }
    const QPointF c1 = m_toDevice.map(control1), c2 = m_toDevice.map(control2), e = m_toDevice.map(end);
    Include(c1);
    Include(c2);
    Include(e);
    Edge(m_last, c1);
    Edge(c1, c2);
    Edge(c2, e);
    if (m_exceeded)
        return;
    m_path.cubicTo(c1, c2, e);
    m_last = e;
}

void DeviceOutline::CloseSubpath()
{
    if (m_exceeded || !m_open)
        return;
    FlushPending();
    if (m_exceeded)
        return;
    if (m_last != m_start)
        Edge(m_last, m_start);
    if (m_exceeded)
        return;
    m_path.closeSubpath();
    m_last = m_start;
    // Qt starts the next figure at the closed one's start, and so does the
    // count; nothing more is owed for this figure.
    m_open = false;
}

void DeviceOutline::AddPath(const QPainterPath& logical)
{
    const int n = logical.elementCount();
    for (int i = 0; i < n && !m_exceeded; ++i) {
        const QPainterPath::Element e = logical.elementAt(i);
        switch (e.type) {
            case QPainterPath::MoveToElement:
                MoveTo(e);
                break;
            case QPainterPath::LineToElement:
                LineTo(e);
                break;
            case QPainterPath::CurveToElement:
                if (i + 2 < n) {
                    CubicTo(e, logical.elementAt(i + 1), logical.elementAt(i + 2));
                    i += 2;
                }
                break;
            default:
                break;
        }
    }
}

QPainterPath DeviceOutline::TakePath()
{
    if (!m_exceeded)
        EndSubpath();
    if (m_exceeded)
        return {};
    return std::move(m_path);
}

}  // namespace dw::emf
