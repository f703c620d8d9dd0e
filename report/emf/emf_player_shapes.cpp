// SPDX-License-Identifier: MIT
// The player's shapes: lines, rectangles, arcs, polygons, paths, gradients
// and pixels, each measured against the playing's budgets on area and on
// outline work before the painter sees it.
#include "report/emf/emf_player_p.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <vector>

namespace dw::emf {

// --- shapes ---------------------------------------------------------------

// Counts a drawing's device box (grown by the pen that strokes it) within
// the window, and tells whether the page is still within its bound. Only the
// box is looked at, so the count costs nothing like the drawing; a box that
// is not finite counts as the whole window.
bool EmfPlayer::Afford(QRectF device, const GdiPen* pen)
{
    if (pen && !pen->Null) {
        const double grow = pen->Thin() ? 1.0 : std::isfinite(pen->Width) ? std::min(pen->Width, 10000.0) : 10000.0;
        device = device.normalized().adjusted(-grow, -grow, grow, grow);
    }
    double area = Area(m_drawWindow);
    if (std::isfinite(device.left()) && std::isfinite(device.top()) && std::isfinite(device.right()) &&
        std::isfinite(device.bottom()))
        area = Area(device.normalized() & m_drawWindow);
    m_painted += area;
    if (m_painted <= m_paintBudget)
        return true;
    ++m_skippedDrawings;
    return false;
}

void EmfPlayer::Shape(const QPainterPath& logical, bool stroke, bool fill)
{
    Shape([&](DeviceOutline& outline) { outline.AddPath(logical); }, stroke, fill);
}

void EmfPlayer::Shape(const std::function<void(DeviceOutline&)>& feed, bool stroke, bool fill)
{
    if (m_inPath) {
        // A path being recorded keeps every point: it may become a clip.
        OutlineDrawing recording;
        recording.MergePixels = false;
        DeviceOutline outline(m_full, recording, std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::infinity());
        feed(outline);
        m_path.addPath(outline.TakePath());
        return;
    }
    if (Suppressed())
        return;
    const GdiPen pen = CurrentPen();
    const QBrush brush = CurrentBrush();
    const bool drawPen = stroke && !pen.Null;
    const bool drawBrush = fill && brush.style() != Qt::NoBrush;
    if (!drawPen && !drawBrush)
        return;
    DrawOutline(feed, m_full, drawPen ? &pen : nullptr, drawBrush ? &brush : nullptr);
}

// Measures the shape before drawing it: one that would take the page past
// its outline budget is left out (and counted) without ever being stroked
// or filled, which is where the time and the memory would go.
void EmfPlayer::DrawOutline(const std::function<void(DeviceOutline&)>& feed, const QTransform& toDevice,
                            const GdiPen* pen, const QBrush* brush)
{
    PrepareDraw();
    OutlineDrawing drawing;
    drawing.Window = m_drawWindow;
    drawing.Fill = brush != nullptr;
    drawing.Stroke = pen != nullptr;
    drawing.PenWidth = pen ? pen->Width : 1;
    const double left = std::max(0.0, kOutlineBudget - m_outlineWork);
    DeviceOutline outline(toDevice, drawing, std::sqrt(left * kAliasedSaving), left / kLineCellCost);
    feed(outline);
    QPainterPath device = outline.TakePath();
    const bool smooth = m_painter.testRenderHint(QPainter::Antialiasing);
    const double cells = outline.Cells();
    const bool alias = smooth && (cells > kMaxSmoothCells || cells * cells > left);
    const double cost = cells * cells / (smooth && !alias ? 1.0 : kAliasedSaving) + outline.LineCells() * kLineCellCost;
    if (outline.Exceeded() || cost > left) {
        ++m_skippedDrawings;
        return;
    }
    if (device.isEmpty() || !Afford(outline.Bounds(), pen))
        return;
    m_outlineWork += cost;
    device.setFillRule(m_dc.PolyFillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
    if (alias)
        m_painter.setRenderHint(QPainter::Antialiasing, false);
    GdiPath(m_painter, device, pen, brush);
    if (alias)
        m_painter.setRenderHint(QPainter::Antialiasing, true);
}

// A polyline drawn segment by segment with a solid one-pixel pen leaves out
// only its last pixel, as the platform does; other pens stroke the path.
void EmfPlayer::StrokeSegments(const std::vector<QPointF>& points)
{
    if (points.size() < 2)
        return;
    const GdiPen pen = CurrentPen();
    if (m_inPath || !pen.Thin() || pen.Style != kPsSolid) {
        Shape(
            [&](DeviceOutline& outline) {
                outline.MoveTo(points.front());
                for (std::size_t i = 1; i < points.size() && !outline.Exceeded(); ++i) outline.LineTo(points[i]);
            },
            true, false);
        return;
    }
    if (pen.Null || Suppressed())
        return;
    PrepareDraw();
    for (std::size_t i = 1; i < points.size(); ++i) {
        const QPointF from = Map(points[i - 1]), to = Map(points[i]);
        if (Afford(QRectF(from, to), &pen))
            GdiLine(m_painter, from, to, pen);
    }
}

void EmfPlayer::FillDeviceRect(const QRectF& logical, const QBrush& brush)
{
    if (Suppressed())
        return;
    PrepareDraw();
    if (m_axisAligned) {
        const QRectF device(Map(logical.topLeft()), Map(logical.bottomRight()));
        if (Afford(device))
            GdiFill(m_painter, device, brush);
        return;
    }
    QPainterPath path;
    path.addRect(logical);
    path = m_full.map(path);
    if (Afford(path.controlPointRect()))
        GdiPath(m_painter, path, nullptr, &brush);
}

void EmfPlayer::LineToLogical(const QPointF& to)
{
    if (m_inPath) {
        if (m_path.elementCount() == 0)
            m_path.moveTo(Map(m_dc.Position));
        m_path.lineTo(Map(to));
    } else if (!Suppressed()) {
        const GdiPen pen = CurrentPen();
        if (!pen.Null) {
            PrepareDraw();
            if (Afford(QRectF(Map(m_dc.Position), Map(to)), &pen))
                GdiLine(m_painter, Map(m_dc.Position), Map(to), pen);
        }
    }
    m_dc.Position = to;
}

QPainterPath EmfPlayer::ArcPath(const ArcRecord& r, bool& ok, QPointF& arcStart, QPointF& arcEnd) const
{
    const QRectF box = ToRect(r.Box).normalized();
    ok = box.width() > 0 && box.height() > 0;
    if (!ok)
        return {};
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    // Angles in Qt's sense (counter-clockwise on a y-down surface, as the
    // platform counts them) of the radials through the two points.
    auto angleOf = [&](const PointL& p) {
        const double a = std::atan2(-(p.Y - c.y()) / ry, (p.X - c.x()) / rx) * 180.0 / std::numbers::pi;
        return a < 0 ? a + 360.0 : a;
    };
    const double start = angleOf(r.Start);
    const double end = angleOf(r.End);
    double sweep = 0;
    if (m_dc.ArcDirection == kAdClockwise) {
        sweep = end - start;
        if (sweep >= 0)
            sweep -= 360;
    } else {
        sweep = end - start;
        if (sweep <= 0)
            sweep += 360;
    }
    auto pointAt = [&](double degrees) {
        const double rad = degrees * std::numbers::pi / 180.0;
        return QPointF(c.x() + rx * std::cos(rad), c.y() - ry * std::sin(rad));
    };
    arcStart = pointAt(start);
    arcEnd = pointAt(start + sweep);
    QPainterPath path;
    if (r.Type == kEmrPie)
        path.moveTo(c), path.lineTo(arcStart);
    else
        path.moveTo(arcStart);
    path.arcTo(box, start, sweep);
    if (r.Type == kEmrPie || r.Type == kEmrChord)
        path.closeSubpath();
    return path;
}

// --- shape records --------------------------------------------------------

void EmfPlayer::operator()(const RectRecord& r)
{
    switch (r.Type) {
        case kEmrIntersectClipRect:
            CombineClip(LogicalRectRegion(r.Box), kRgnAnd);
            break;
        case kEmrExcludeClipRect:
            CombineClip(LogicalRectRegion(r.Box), kRgnDiff);
            break;
        case kEmrRectangle:
            if (m_axisAligned && !m_inPath) {
                if (Suppressed())
                    return;
                PrepareDraw();
                const QRectF device(Map(QPointF(r.Box.Left, r.Box.Top)), Map(QPointF(r.Box.Right, r.Box.Bottom)));
                const GdiPen pen = CurrentPen();
                if (Afford(device, &pen))
                    GdiRectangle(m_painter, device, pen, CurrentBrush());
            } else {
                QPainterPath path;
                path.addRect(ToRect(r.Box));
                Shape(path, true, true);
            }
            break;
        case kEmrEllipse: {
            QPainterPath path;
            path.addEllipse(ToRect(r.Box).normalized());
            Shape(path, true, true);
            break;
        }
        default:
            break;
    }
}

void EmfPlayer::operator()(const RoundRectRecord& r)
{
    QPainterPath path;
    path.addRoundedRect(ToRect(r.Box).normalized(), std::fabs(r.Corner.Cx) / 2.0, std::fabs(r.Corner.Cy) / 2.0);
    Shape(path, true, true);
}

void EmfPlayer::operator()(const ArcRecord& r)
{
    bool ok = false;
    QPointF arcStart, arcEnd;
    QPainterPath path = ArcPath(r, ok, arcStart, arcEnd);
    if (!ok)
        return;
    if (r.Type == kEmrArcTo) {
        QPainterPath withLine(m_dc.Position);
        withLine.lineTo(arcStart);
        withLine.connectPath(path);
        if (m_inPath) {
            if (m_path.elementCount() == 0)
                m_path.moveTo(Map(m_dc.Position));
            m_path.connectPath(m_full.map(path));
        } else {
            Shape(withLine, true, false);
        }
        m_dc.Position = arcEnd;
        return;
    }
    Shape(path, true, r.Type != kEmrArc);
}

void EmfPlayer::operator()(const AngleArcRecord& r)
{
    if (!std::isfinite(r.StartAngle) || !std::isfinite(r.SweepAngle))
        return;
    const double radius = r.Radius;
    const QPointF c = ToPoint(r.Center);
    const QRectF box(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
    const double sweep = std::clamp<double>(r.SweepAngle, -3600.0, 3600.0);
    auto pointAt = [&](double degrees) {
        const double rad = degrees * std::numbers::pi / 180.0;
        return QPointF(c.x() + radius * std::cos(rad), c.y() - radius * std::sin(rad));
    };
    QPainterPath path(m_dc.Position);
    path.lineTo(pointAt(r.StartAngle));
    path.arcTo(box, r.StartAngle, sweep);
    if (m_inPath)
        m_path.connectPath(m_full.map(path));
    else
        Shape(path, true, false);
    m_dc.Position = pointAt(r.StartAngle + sweep);
}

void EmfPlayer::operator()(const PolyRecord& r)
{
    const auto& pts = r.Points;
    switch (r.Type) {
        case kEmrPolygon: {
            if (pts.size() < 2)
                return;
            Shape(
                [&](DeviceOutline& outline) {
                    outline.MoveTo(ToPoint(pts.front()));
                    for (std::size_t i = 1; i < pts.size() && !outline.Exceeded(); ++i) outline.LineTo(ToPoint(pts[i]));
                    outline.CloseSubpath();
                },
                true, true);
            break;
        }
        case kEmrPolyline: {
            std::vector<QPointF> points;
            points.reserve(pts.size());
            for (const PointL& p : pts) points.push_back(ToPoint(p));
            StrokeSegments(points);
            break;
        }
        case kEmrPolylineTo: {
            if (pts.empty())
                return;
            std::vector<QPointF> points{m_dc.Position};
            for (const PointL& p : pts) points.push_back(ToPoint(p));
            if (m_inPath) {
                if (m_path.elementCount() == 0)
                    m_path.moveTo(Map(m_dc.Position));
                for (std::size_t i = 1; i < points.size(); ++i) m_path.lineTo(Map(points[i]));
            } else {
                StrokeSegments(points);
            }
            m_dc.Position = points.back();
            break;
        }
        case kEmrPolyBezier:
        case kEmrPolyBezierTo: {
            const bool to = r.Type == kEmrPolyBezierTo;
            if (pts.empty() || (!to && pts.size() < 4))
                return;
            QPainterPath path(to ? m_dc.Position : ToPoint(pts[0]));
            std::size_t i = to ? 0 : 1;
            for (; i + 2 < pts.size(); i += 3) path.cubicTo(ToPoint(pts[i]), ToPoint(pts[i + 1]), ToPoint(pts[i + 2]));
            if (to && m_inPath) {
                if (m_path.elementCount() == 0)
                    m_path.moveTo(Map(m_dc.Position));
                m_path.connectPath(m_full.map(path));
            } else {
                Shape(path, true, false);
            }
            if (to)
                m_dc.Position = path.currentPosition();
            break;
        }
        default:
            break;
    }
}

void EmfPlayer::operator()(const PolyPolyRecord& r)
{
    const bool polygon = r.Type == kEmrPolyPolygon;
    Shape(
        [&](DeviceOutline& outline) {
            std::size_t at = 0;
            for (std::uint32_t count : r.Counts) {
                if (count > r.Points.size() - at || outline.Exceeded())
                    break;
                if (count >= 2) {
                    outline.MoveTo(ToPoint(r.Points[at]));
                    for (std::uint32_t k = 1; k < count; ++k) outline.LineTo(ToPoint(r.Points[at + k]));
                    if (polygon)
                        outline.CloseSubpath();
                }
                at += count;
            }
        },
        true, polygon);
}

void EmfPlayer::operator()(const PolyDrawRecord& r)
{
    QPainterPath path(m_dc.Position);
    const std::size_t n = std::min(r.Points.size(), r.Kinds.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t kind = r.Kinds[i] & ~kPtCloseFigure;
        const QPointF p = ToPoint(r.Points[i]);
        if (kind == kPtMoveTo) {
            path.moveTo(p);
        } else if (kind == kPtLineTo) {
            path.lineTo(p);
        } else if (kind == kPtBezierTo && i + 2 < n) {
            path.cubicTo(p, ToPoint(r.Points[i + 1]), ToPoint(r.Points[i + 2]));
            i += 2;
        }
        if ((r.Kinds[i] & kPtCloseFigure) != 0)
            path.closeSubpath();
    }
    if (m_inPath)
        m_path.addPath(m_full.map(path));
    else
        Shape(path, true, false);
    m_dc.Position = path.currentPosition();
}

void EmfPlayer::operator()(const PlainRecord& r)
{
    switch (r.Type) {
        case kEmrSaveDc:
            if (m_saved.size() < kMaxSavedStates)
                m_saved.push_back(m_dc);
            break;
        case kEmrBeginPath:
            m_path = QPainterPath();
            m_inPath = true;
            break;
        case kEmrEndPath:
            m_inPath = false;
            break;
        case kEmrCloseFigure:
            if (m_inPath)
                m_path.closeSubpath();
            break;
        case kEmrAbortPath:
            m_path = QPainterPath();
            m_inPath = false;
            break;
        case kEmrFillPath:
        case kEmrStrokePath:
        case kEmrStrokeAndFillPath: {
            m_inPath = false;
            QPainterPath path = m_path;
            m_path = QPainterPath();
            if (path.isEmpty() || Suppressed())
                return;
            const GdiPen pen = CurrentPen();
            const QBrush brush = CurrentBrush();
            const bool stroke = r.Type != kEmrFillPath && !pen.Null;
            const bool fill = r.Type != kEmrStrokePath && brush.style() != Qt::NoBrush;
            if (!stroke && !fill)
                return;
            DrawOutline([&](DeviceOutline& outline) { outline.AddPath(path); }, QTransform(), stroke ? &pen : nullptr,
                        fill ? &brush : nullptr);
            break;
        }
        default:
            break;
    }
}

void EmfPlayer::operator()(const GradientRecord& r)
{
    if (m_inPath || Suppressed())
        return;
    auto colorOf = [](const TriVertex& v) { return QColor(v.Red >> 8, v.Green >> 8, v.Blue >> 8); };
    PrepareDraw();
    for (const auto& item : r.Items) {
        const TriVertex& a = r.Vertices[item[0]];
        const TriVertex& b = r.Vertices[item[1]];
        if (r.Mode == 2) {
            const TriVertex& c = r.Vertices[item[2]];
            QPolygonF triangle;
            triangle << QPointF(a.X, a.Y) << QPointF(b.X, b.Y) << QPointF(c.X, c.Y);
            QPainterPath path;
            path.addPolygon(m_full.map(triangle));
            path.closeSubpath();
            // A three-colour blend is shown as its mean colour.
            const QColor mean((colorOf(a).red() + colorOf(b).red() + colorOf(c).red()) / 3,
                              (colorOf(a).green() + colorOf(b).green() + colorOf(c).green()) / 3,
                              (colorOf(a).blue() + colorOf(b).blue() + colorOf(c).blue()) / 3);
            const QBrush brush(mean);
            if (Afford(path.controlPointRect()))
                GdiPath(m_painter, path, nullptr, &brush);
            continue;
        }
        const QRectF logical(QPointF(a.X, a.Y), QPointF(b.X, b.Y));
        const QPointF p1 = Map(logical.topLeft());
        const QPointF p2 =
            r.Mode == 0 ? Map(QPointF(logical.right(), logical.top())) : Map(QPointF(logical.left(), logical.bottom()));
        QLinearGradient gradient(p1, p2);
        gradient.setColorAt(0, colorOf(a));
        gradient.setColorAt(1, colorOf(b));
        QPainterPath path;
        path.addRect(logical.normalized());
        path = m_full.map(path);
        const QBrush brush(gradient);
        if (Afford(path.controlPointRect()))
            GdiPath(m_painter, path, nullptr, &brush);
    }
}

void EmfPlayer::operator()(const PixelRecord& r)
{
    if (m_inPath || Suppressed())
        return;
    PrepareDraw();
    const QPointF p = Map(r.Point);
    if (Afford(QRectF(p, QSizeF(1, 1))))
        GdiFill(m_painter, QRectF(p, QSizeF(1, 1)), QBrush(ToColor(r.Color)));
}

}  // namespace dw::emf
