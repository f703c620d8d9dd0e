// SPDX-License-Identifier: MIT
#pragma once

// Internal to the player: the device pixels a polygon covers, as a clip
// region. Qt's own conversion of a polygon to a region costs time growing
// with the square of the rows it spans, and refuses (losing memory on the
// way) a polygon taller than 100000 pixels; a sheared clip rectangle from a
// file easily spans millions of rows. This one builds the region row by row,
// in time linear in the rows, and only within a window around the page.

#include <QPainterPath>
#include <QPolygonF>
#include <QRect>
#include <QRegion>

#include <cstdint>

class QPainter;

namespace dw::emf {

// Past this many rectangles a clip region is simplified: the Qt calls made
// with it, and a printer's page that writes it out rectangle by rectangle,
// take time growing with its rectangles. A clip of real pages has one or
// two runs a row (a circle, a ring) and stays far below it; a zigzag of a
// thousand points over a page printed finely would reach tens of millions.
inline constexpr int kMaxClipRects = 1 << 18;

// Past this many crossings of a row with an edge (the work of building a
// region row by row) a shape's region is its bounding box within the window:
// the outlines of a page of text made a clip and magnified cross millions of
// edges in each of thousands of rows. A circle crosses two a row.
inline constexpr std::int64_t kMaxRegionCrossings = std::int64_t{1} << 23;

// The region with each of its bands (rows sharing their runs) reduced to one
// rectangle from its leftmost to its rightmost pixel, once it has more than
// kMaxClipRects rectangles; as it is otherwise.
QRegion SimplifiedRegion(const QRegion& region);

// The pixels whose top-left corners lie inside the polygon (closed from its
// last point to its first), a point on a left or top edge being inside and
// one on a right or bottom edge outside, as Qt fills a polygon region;
// vertices are rounded to whole pixels first. Only the part inside window is
// kept, so the region has at most one band per row of the window; a shape
// that would need more than kMaxClipRects rectangles is simplified as
// SimplifiedRegion does, and one past kMaxRegionCrossings is its box.
// A caller with a bound of its own passes it as maxCrossings; the crossings
// the region took (none for one that became its box) are added to *used.
QRegion PolygonRegion(const QPolygonF& polygon, Qt::FillRule rule, const QRect& window,
                      std::int64_t maxCrossings = kMaxRegionCrossings, std::int64_t* used = nullptr);

// The polygon toFillPolygon gives for path, with each curve that lies wholly
// outside window taken as the straight line between its ends: within the
// window the pixels are the same, but the outlines of a page of text
// magnified far would flatten into millions of points.
QPolygonF FillPolygonWithin(const QPainterPath& path, const QRect& window);

// What the painter can show: its device, and of that only what its own clip
// lets through, in its coordinates with no world transform.
QRectF VisibleWindow(const QPainter& painter);

// The window clip regions made from shapes are kept to: what the painter can
// show (its device, and of that only what its own clip lets through), in its
// coordinates with no world transform, widened by its own size on each side
// so a clip moved by an offset still brings its shape along. A preview zoomed
// far paints on a device of tens of thousands of rows but shows a few hundred.
QRect ClipWindow(const QPainter& painter);

}  // namespace dw::emf
