// SPDX-License-Identifier: MIT
#include "report/emf/gdi_painting.h"

#include "report/emf/emf_format.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace dw {

namespace {

// On/off lengths of the dashed styles for a one-pixel pen, in pixels.
QList<qreal> ThinDashes(std::uint32_t style)
{
    switch (style) {
        case emf::kPsDash:
            return {18, 6};
        case emf::kPsDot:
            return {3, 3};
        case emf::kPsDashDot:
            return {9, 6, 3, 6};
        case emf::kPsDashDotDot:
            return {9, 3, 3, 3, 3, 3};
        case emf::kPsAlternate:
            return {1, 1};
        default:
            return {};
    }
}

// The same for a wide geometric pen, in multiples of its width.
QList<qreal> WideDashes(std::uint32_t style)
{
    switch (style) {
        case emf::kPsDash:
            return {3, 1};
        case emf::kPsDot:
            return {1, 1};
        case emf::kPsDashDot:
            return {3, 1, 1, 1};
        case emf::kPsDashDotDot:
            return {3, 1, 1, 1, 1, 1};
        case emf::kPsAlternate:
            return {1, 1};
        default:
            return {};
    }
}

// A pattern Qt can stroke: an even number of non-negative, finite lengths
// with a positive sum, each at least a hundredth of the total so that a
// long line never turns into millions of dashes.
QList<qreal> UsableDashes(QList<qreal> dashes)
{
    if (dashes.isEmpty())
        return dashes;
    if (dashes.size() % 2 != 0)
        dashes += dashes;
    qreal sum = 0;
    for (qreal& d : dashes) {
        if (!std::isfinite(d) || d < 0)
            d = 0;
        sum += d;
    }
    if (!(sum > 0) || !std::isfinite(sum))
        return {};
    for (qreal& d : dashes) d = std::max(d, sum / 100.0);
    return dashes;
}

QPoint Rounded(const QPointF& p)
{
    auto clampRound = [](double v) {
        if (!std::isfinite(v))
            return 0;
        return static_cast<int>(std::clamp(std::round(v), -1.0e8, 1.0e8));
    };
    return {clampRound(p.x()), clampRound(p.y())};
}

}  // namespace

QPen MakeQPen(const GdiPen& pen)
{
    if (pen.Null)
        return QPen(Qt::NoPen);
    QPen q(pen.Color);
    if (pen.Thin()) {
        q.setWidth(1);
        q.setCosmetic(true);
        q.setCapStyle(Qt::SquareCap);
        q.setJoinStyle(Qt::MiterJoin);
        const QList<qreal> dashes =
            UsableDashes(pen.UserDashes.empty() ? ThinDashes(pen.Style)
                                                : QList<qreal>(pen.UserDashes.begin(), pen.UserDashes.end()));
        if (!dashes.isEmpty())
            q.setDashPattern(dashes);
        return q;
    }
    // Qt refuses very wide pens (100000 is too wide); no page needs more.
    q.setWidthF(std::min(pen.Width, 10000.0));
    q.setCapStyle(pen.Cap);
    q.setJoinStyle(pen.Join);
    QList<qreal> dashes;
    if (!pen.UserDashes.empty()) {
        for (double d : pen.UserDashes) dashes.append(d / pen.Width);
    } else if (pen.Geometric) {
        dashes = WideDashes(pen.Style);
    }
    dashes = UsableDashes(dashes);
    if (!dashes.isEmpty())
        q.setDashPattern(dashes);
    return q;
}

QRect GdiRect(const QRectF& ltrb)
{
    const QPoint topLeft = Rounded(ltrb.topLeft());
    const QPoint bottomRight = Rounded(ltrb.bottomRight());
    const int left = std::min(topLeft.x(), bottomRight.x());
    const int right = std::max(topLeft.x(), bottomRight.x());
    const int top = std::min(topLeft.y(), bottomRight.y());
    const int bottom = std::max(topLeft.y(), bottomRight.y());
    return QRect(left, top, right - left, bottom - top);
}

void GdiLine(QPainter& painter, const QPointF& from, const QPointF& to, const GdiPen& pen)
{
    if (pen.Null)
        return;
    if (!pen.Thin()) {
        painter.setPen(MakeQPen(pen));
        painter.drawLine(from, to);
        return;
    }
    const QPoint a = Rounded(from);
    const QPoint b = Rounded(to);
    if (a == b)
        return;
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double major = std::max(std::fabs(dx), std::fabs(dy));
    const QPoint end = Rounded(QPointF(b.x() - dx / major, b.y() - dy / major));
    painter.setPen(MakeQPen(pen));
    if (end == a)
        painter.drawPoint(a);
    else
        painter.drawLine(a, end);
}

void GdiRectangle(QPainter& painter, const QRectF& ltrb, const GdiPen& pen, const QBrush& brush)
{
    QRect r = GdiRect(ltrb);
    if (r.width() < 1 || r.height() < 1)
        return;
    const bool fill = brush.style() != Qt::NoBrush;
    if (pen.Null) {
        if (fill && r.width() > 1 && r.height() > 1)
            painter.fillRect(QRect(r.x(), r.y(), r.width() - 1, r.height() - 1), brush);
        return;
    }
    if (pen.Thin()) {
        if (fill && r.width() > 2 && r.height() > 2)
            painter.fillRect(r.adjusted(1, 1, -1, -1), brush);
        if (pen.Style == emf::kPsSolid || pen.Style == emf::kPsInsideFrame) {
            painter.fillRect(QRect(r.x(), r.y(), r.width(), 1), pen.Color);
            painter.fillRect(QRect(r.x(), r.bottom(), r.width(), 1), pen.Color);
            painter.fillRect(QRect(r.x(), r.y(), 1, r.height()), pen.Color);
            painter.fillRect(QRect(r.right(), r.y(), 1, r.height()), pen.Color);
        } else {
            painter.setPen(MakeQPen(pen));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(r.x(), r.y(), r.width() - 1, r.height() - 1));
        }
        return;
    }
    QRectF box(r.x(), r.y(), r.width() - 1, r.height() - 1);
    if (pen.InsideFrame) {
        const double half = pen.Width / 2;
        box.adjust(half, half, -half, -half);
    }
    painter.setPen(MakeQPen(pen));
    painter.setBrush(brush);
    painter.drawRect(box);
}

void GdiFill(QPainter& painter, const QRectF& ltrb, const QBrush& brush)
{
    const QRect r = GdiRect(ltrb);
    if (r.width() < 1 || r.height() < 1 || brush.style() == Qt::NoBrush)
        return;
    painter.fillRect(r, brush);
}

void GdiPath(QPainter& painter, const QPainterPath& path, const GdiPen* pen, const QBrush* brush)
{
    painter.setPen(pen ? MakeQPen(*pen) : QPen(Qt::NoPen));
    painter.setBrush(brush ? *brush : QBrush(Qt::NoBrush));
    painter.drawPath(path);
}

}  // namespace dw
