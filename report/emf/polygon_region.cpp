// SPDX-License-Identifier: MIT
#include "report/emf/polygon_region_p.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace dw::emf {

namespace {

// Vertices further out than this are pulled in: no page comes near it, and
// products of two coordinates stay well inside 64 bits.
constexpr double kFarthest = 1.0e8;

std::int64_t Whole(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<std::int64_t>(std::clamp(std::round(v), -kFarthest, kFarthest));
}

// The smallest whole number not below a / b, for b > 0.
std::int64_t CeilDiv(std::int64_t a, std::int64_t b)
{
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// One edge that is not horizontal, from its upper end down; Dir is +1 for an
// edge drawn downwards, -1 for one drawn upwards (for the winding count).
struct Edge {
    std::int64_t X0, Y0, X1, Y1;
    int Dir;
};

// A row's covered runs, [first, second) in pixels.
using Runs = std::vector<std::pair<int, int>>;

// The rectangles of the rows from top to bottom (edges sorted by their upper
// ends); with hull each row is one run from its first pixel to its last.
// False, with the rectangles left incomplete, once there would be more than
// kMaxClipRects of them.
bool BuildRows(const std::vector<Edge>& edges, Qt::FillRule rule, const QRect& window, std::int64_t top,
               std::int64_t bottom, bool hull, std::vector<QRect>& rects)
{
    const std::int64_t left = window.left(), right = static_cast<std::int64_t>(window.right()) + 1;
    // Rows with the same runs share one band, as a region keeps them.
    Runs band, row;
    std::int64_t bandTop = top;
    auto closeBand = [&](std::int64_t bandBottom) {
        for (const auto& [from, to] : band)
            rects.emplace_back(QPoint(from, static_cast<int>(bandTop)),
                               QPoint(to - 1, static_cast<int>(bandBottom - 1)));
        return rects.size() <= static_cast<std::size_t>(kMaxClipRects);
    };

    std::vector<const Edge*> active;
    std::vector<std::pair<std::int64_t, int>> crossings;
    std::size_t next = 0;
    for (std::int64_t y = top; y < bottom; ++y) {
        while (next < edges.size() && edges[next].Y0 <= y) active.push_back(&edges[next++]);
        std::erase_if(active, [y](const Edge* e) { return e->Y1 <= y; });
        crossings.clear();
        for (const Edge* e : active) {
            const std::int64_t dy = e->Y1 - e->Y0;
            // The first whole pixel at or right of where the edge crosses the row.
            crossings.emplace_back(CeilDiv(e->X0 * dy + (y - e->Y0) * (e->X1 - e->X0), dy), e->Dir);
        }
        std::sort(crossings.begin(), crossings.end());

        row.clear();
        int count = 0;
        std::int64_t start = 0;
        for (const auto& [x, dir] : crossings) {
            const bool was = rule == Qt::WindingFill ? count != 0 : (count & 1) != 0;
            count += rule == Qt::WindingFill ? dir : 1;
            const bool now = rule == Qt::WindingFill ? count != 0 : (count & 1) != 0;
            if (!was && now) {
                start = x;
            } else if (was && !now) {
                const std::int64_t from = std::max(start, left), to = std::min(x, right);
                if (from >= to)
                    continue;
                if (!row.empty() && (hull || row.back().second >= from))
                    row.back().second = std::max(row.back().second, static_cast<int>(to));
                else
                    row.emplace_back(static_cast<int>(from), static_cast<int>(to));
            }
        }
        if (row != band) {
            if (!closeBand(y))
                return false;
            std::swap(band, row);
            bandTop = y;
        }
    }
    return closeBand(bottom);
}

}  // namespace

QRegion PolygonRegion(const QPolygonF& polygon, Qt::FillRule rule, const QRect& window, std::int64_t maxCrossings,
                      std::int64_t* used)
{
    const qsizetype n = polygon.size();
    if (n < 3 || window.isEmpty())
        return {};
    std::vector<Edge> edges;
    std::int64_t top = INT64_MAX, bottom = INT64_MIN;
    for (qsizetype i = 0; i < n; ++i) {
        std::int64_t x0 = Whole(polygon[i].x()), y0 = Whole(polygon[i].y());
        std::int64_t x1 = Whole(polygon[(i + 1) % n].x()), y1 = Whole(polygon[(i + 1) % n].y());
        if (y0 == y1 || std::max(y0, y1) <= window.top() || std::min(y0, y1) > window.bottom())
            continue;  // crosses no row of the window
        int dir = 1;
        if (y0 > y1) {
            std::swap(x0, x1);
            std::swap(y0, y1);
            dir = -1;
        }
        edges.push_back({x0, y0, x1, y1, dir});
        top = std::min(top, y0);
        bottom = std::max(bottom, y1);
    }
    if (edges.empty())
        return {};
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.Y0 < b.Y0; });
    top = std::max<std::int64_t>(top, window.top());
    bottom = std::min<std::int64_t>(bottom, static_cast<std::int64_t>(window.bottom()) + 1);

    if (top >= bottom)
        return {};

    std::int64_t crossings = 0, left = INT64_MAX, right = INT64_MIN;
    for (const Edge& e : edges) {
        crossings += std::max<std::int64_t>(0, std::min(e.Y1, bottom) - std::max(e.Y0, top));
        left = std::min({left, e.X0, e.X1});
        right = std::max({right, e.X0, e.X1});
    }
    if (crossings > std::min(maxCrossings, kMaxRegionCrossings)) {
        const QRect box(QPoint(static_cast<int>(std::max<std::int64_t>(left, window.left())), static_cast<int>(top)),
                        QPoint(static_cast<int>(std::min<std::int64_t>(right, window.right() + std::int64_t{1})) - 1,
                               static_cast<int>(bottom) - 1));
        return box.isValid() ? QRegion(box) : QRegion();
    }

    if (used != nullptr)
        *used += crossings;
    std::vector<QRect> rects;
    if (!BuildRows(edges, rule, window, top, bottom, false, rects)) {
        rects.clear();
        BuildRows(edges, rule, window, top, bottom, true, rects);
    }
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

QRegion SimplifiedRegion(const QRegion& region)
{
    if (region.rectCount() <= kMaxClipRects)
        return region;
    // A region keeps its rectangles band by band, top to bottom, and the
    // rectangles of one band share their top and bottom.
    std::vector<QRect> rects;
    for (auto it = region.begin(); it != region.end();) {
        const int top = it->top(), bottom = it->bottom();
        int left = it->left(), right = it->right();
        for (++it; it != region.end() && it->top() == top; ++it) {
            left = std::min(left, it->left());
            right = std::max(right, it->right());
        }
        QRect* last = rects.empty() ? nullptr : &rects.back();
        if (last && last->left() == left && last->right() == right && last->bottom() + 1 == top)
            last->setBottom(bottom);
        else
            rects.emplace_back(QPoint(left, top), QPoint(right, bottom));
    }
    QRegion simplified;
    simplified.setRects(rects.data(), static_cast<int>(rects.size()));
    return simplified;
}

QPolygonF FillPolygonWithin(const QPainterPath& path, const QRect& window)
{
    const QRectF near = QRectF(window).adjusted(-1, -1, 1, 1);
    QPainterPath within;
    within.setFillRule(path.fillRule());
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            within.moveTo(e);
        } else if (e.isLineTo() || i + 2 >= path.elementCount()) {
            within.lineTo(e);
        } else {
            // A curve lies within the box of its four points.
            const QPointF from = within.currentPosition(), c1 = e, c2 = path.elementAt(i + 1),
                          to = path.elementAt(i + 2);
            const QRectF box(
                QPointF(std::min({from.x(), c1.x(), c2.x(), to.x()}), std::min({from.y(), c1.y(), c2.y(), to.y()})),
                QPointF(std::max({from.x(), c1.x(), c2.x(), to.x()}), std::max({from.y(), c1.y(), c2.y(), to.y()})));
            if (box.intersects(near))
                within.cubicTo(c1, c2, to);
            else
                within.lineTo(to);
            i += 2;
        }
    }
    return within.toFillPolygon();
}

QRectF VisibleWindow(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    const int width = device ? device->width() : 0;
    const int height = device ? device->height() : 0;
    if (width <= 0 || height <= 0)
        return QRectF(-32768 / 3.0, -32768 / 3.0, 65536 / 3.0, 65536 / 3.0);
    QRectF visible(0, 0, width, height);
    if (painter.viewTransformEnabled()) {
        const QRect from = painter.window(), to = painter.viewport();
        if (from.width() != 0 && from.height() != 0 && to.width() != 0 && to.height() != 0) {
            const double sx = static_cast<double>(to.width()) / from.width();
            const double sy = static_cast<double>(to.height()) / from.height();
            const QTransform view(sx, 0, 0, sy, to.x() - from.x() * sx, to.y() - from.y() * sy);
            visible = view.inverted().mapRect(visible);
        }
    }
    if (painter.hasClipping())
        visible &= painter.worldTransform().mapRect(painter.clipBoundingRect());
    return visible;
}

QRect ClipWindow(const QPainter& painter)
{
    QRectF visible = VisibleWindow(painter);
    visible.adjust(-visible.width(), -visible.height(), visible.width(), visible.height());
    const double l = std::clamp(std::floor(visible.left()), -kFarthest, kFarthest);
    const double t = std::clamp(std::floor(visible.top()), -kFarthest, kFarthest);
    const double r = std::clamp(std::ceil(visible.right()), -kFarthest, kFarthest);
    const double b = std::clamp(std::ceil(visible.bottom()), -kFarthest, kFarthest);
    return QRect(QPoint(static_cast<int>(l), static_cast<int>(t)), QPoint(static_cast<int>(r), static_cast<int>(b)));
}

}  // namespace dw::emf
