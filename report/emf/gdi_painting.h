// SPDX-License-Identifier: MIT
#pragma once

// Lines, rectangles and fills with the pixel rules pages were designed
// for: a one-pixel line leaves out its end point, a rectangle's right and
// bottom edges are exclusive (its outline lies on the inner edge of a
// one-pixel pen, and without a pen the fill is one pixel smaller), and a
// fill covers left..right-1 x top..bottom-1. Coordinates are the painter's
// current ones; the painter canvas and the metafile player both draw
// through these, so a page looks the same drawn directly or played back.

#include <QBrush>
#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <vector>

class QPainter;

namespace dw {

struct GdiPen {
    bool Null = false;
    QColor Color = Qt::black;
    double Width = 1;          // in the painter's units; below 1.5 is a one-pixel pen
    std::uint32_t Style = 0;   // dash style: the low byte of the platform's pen style
    bool InsideFrame = false;  // shapes are stroked inside their box
    bool Geometric = false;    // dash lengths scale with the width
    Qt::PenCapStyle Cap = Qt::RoundCap;
    Qt::PenJoinStyle Join = Qt::RoundJoin;
    std::vector<double> UserDashes;  // alternate on/off lengths in the painter's units
    bool Thin() const { return Width < 1.5; }
};

QPen MakeQPen(const GdiPen& pen);

// The whole-pixel rectangle of a box given by its corners (QRectF from
// left-top to right-bottom, in either order): corners rounded, right and
// bottom exclusive.
QRect GdiRect(const QRectF& ltrb);

// From `from` to `to`, leaving out the last pixel of a one-pixel line.
void GdiLine(QPainter& painter, const QPointF& from, const QPointF& to, const GdiPen& pen);
// ltrb spans left-top to right-bottom, right and bottom exclusive.
void GdiRectangle(QPainter& painter, const QRectF& ltrb, const GdiPen& pen, const QBrush& brush);
void GdiFill(QPainter& painter, const QRectF& ltrb, const QBrush& brush);
// Strokes and/or fills a path; a one-pixel pen strokes it aliased.
void GdiPath(QPainter& painter, const QPainterPath& path, const GdiPen* pen, const QBrush* brush);

}  // namespace dw
