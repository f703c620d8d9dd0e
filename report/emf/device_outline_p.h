// SPDX-License-Identifier: MIT
#pragma once

// Internal to the player: a shape's outline brought onto the device with
// its cost to the rasteriser counted on the way. Qt fills a path (and the
// outline of a wide pen) from cells, about one for each row of the window
// an edge crosses, and its time grows with the square of a path's cells once
// they pass a few thousand: 120 edges the height of an A3 page, antialiased,
// take seconds, aliased a small part of that; a polyline of a hundred
// thousand points under a 40-pixel pen took seconds at every repaint and a
// million of them gigabytes. Lines of a one-pixel pen are drawn pixel by
// pixel, in time linear in their length. Points that fall on one device
// pixel draw as one, so they are merged first; a shape is measured before
// it is drawn, and the measuring stops as soon as it is past its limits.

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QTransform>

#include <cstddef>

namespace dw::emf {

// How a shape is about to be drawn, for counting its cost.
struct OutlineDrawing {
    QRectF Window;  // device pixels that are painted; only rows in it cost
    bool Fill = false;
    bool Stroke = false;
    double PenWidth = 1;      // device pixels; below 1.5 a one-pixel line
    bool MergePixels = true;  // false keeps every point (a path being recorded)
};

class DeviceOutline {
public:
    // Points given to it are mapped by toDevice; building stops (Exceeded)
    // once Cells passes cellLimit or LineCells passes lineLimit.
    DeviceOutline(const QTransform& toDevice, const OutlineDrawing& drawing, double cellLimit, double lineLimit);

    void MoveTo(const QPointF& logical);
    void LineTo(const QPointF& logical);
    void CubicTo(const QPointF& control1, const QPointF& control2, const QPointF& end);
    void CloseSubpath();
    // Every element of a path, in its coordinates before toDevice.
    void AddPath(const QPainterPath& logical);

    // Cells the rasteriser makes for the fill and a wide pen: one for every
    // point and every edge, and one for every row of the window that an
    // edge (a curve by its control points) crosses, twice for the two sides
    // of a wide pen grown by half its width.
    double Cells() const { return m_cells; }
    // Pixels of the lines a one-pixel pen draws within the window: the
    // longer of the rows and columns each edge crosses.
    double LineCells() const { return m_lineCells; }
    bool Exceeded() const { return m_exceeded; }
    // Box of the device points, control points included; not a number on
    // any side when a point was not.
    QRectF Bounds() const;
    // The outline, ended; empty once Exceeded.
    QPainterPath TakePath();

private:
    void Edge(const QPointF& from, const QPointF& to);
    void Count(double cells, double lineCells);
    void FlushPending();
    void EndSubpath();
    void StartAt(const QPointF& device);
    bool SamePixel(const QPointF& a, const QPointF& b) const;
    void Include(const QPointF& p);

    QTransform m_toDevice;
    OutlineDrawing m_drawing;
    double m_cellLimit;
    double m_lineLimit;
    double m_cells = 0;
    double m_lineCells = 0;
    bool m_exceeded = false;
    QPainterPath m_path;
    bool m_open = false;  // a subpath has been started
    QPointF m_start;      // its first point, device
    QPointF m_last;       // the last point put in the path, device
    QPointF m_pending;    // a later point on m_last's pixel, not yet put in
    bool m_hasPending = false;
    bool m_nonFinite = false;
    double m_left = 0, m_top = 0, m_right = -1, m_bottom = -1;
};

}  // namespace dw::emf
