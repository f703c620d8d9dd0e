#pragma once

// Internal to the player: the device pixels a polygon covers, as a clip
// region. Qt's own conversion of a polygon to a region costs time growing
// with the square of the rows it spans, and refuses (losing memory on the
// way) a polygon taller than 100000 pixels; a sheared clip rectangle from a
// file easily spans millions of rows. This one builds the region row by row,
// in time linear in the rows, and only within a window around the page.

#include <QPolygonF>
#include <QRect>
#include <QRegion>

class QPainter;

namespace dw::emf {

// The pixels whose top-left corners lie inside the polygon (closed from its
// last point to its first), a point on a left or top edge being inside and
// one on a right or bottom edge outside, as Qt fills a polygon region;
// vertices are rounded to whole pixels first. Only the part inside window is
// kept, so the region has at most one band per row of the window.
QRegion PolygonRegion(const QPolygonF& polygon, Qt::FillRule rule, const QRect& window);

// The window clip regions made from shapes are kept to: what the painter can
// show, in its coordinates with no world transform, widened by its own size
// on each side so a clip moved by an offset still brings its shape along.
QRect ClipWindow(const QPainter& painter);

}  // namespace dw::emf
