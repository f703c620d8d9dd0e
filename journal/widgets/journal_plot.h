// SPDX-License-Identifier: MIT
#pragma once

#include "units/unit_table.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace dw {

class TJournalModel;

// The history as a picture: the expected hook load (blue dots) and the
// indicator's readings (red) against the total length or the date, for the
// records the journal window's filter shows. The point under the pointer
// names its record; a click opens it.
//
// A journal may hold records typed in either unit system: the plot draws
// every record in one, the window's (converted with the defined factors,
// not rounded), and its legend and axis name that system's units, so feet
// and metres never share an axis unconverted. It says how many records it
// converted.
//
// The points are drawn straight into an image of the widget's device pixels,
// and a second map of the same size remembers which record each pixel
// shows: a long journal then repaints and answers the pointer at once.
class TJournalPlot : public QWidget {
    Q_OBJECT

public:
    enum class Axis { TotalLength, Date };

    explicit TJournalPlot(TJournalModel& model, QWidget* parent = nullptr);

    Axis XAxis() const { return m_axis; }
    void SetXAxis(Axis axis);
    // The system the plot draws in.
    units::TUnitSystem Units() const { return m_units; }
    void SetUnits(units::TUnitSystem system);
    // What the legend and the axes say, in the order drawn: the two series
    // with their unit, the note of converted records (when there are
    // any) and the horizontal axis.
    QStringList Captions() const;
    // The record drawn at a point of the widget (within a few pixels), -1 for none.
    std::int64_t RecordAt(QPoint pos) const;
    // Where the record's hook load is drawn, for tests; null when it is not.
    QPoint PointOf(std::int64_t id) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void RecordActivated(std::int64_t id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Invalidate();
    void Render();
    QRect PlotRect() const;
    double X(int row) const;
    // A record's weight in the plot's units.
    double Weight(int row, double value) const;
    // How many of the rows shown are in the other system.
    int ConvertedCount() const;

    TJournalModel& m_model;
    Axis m_axis = Axis::TotalLength;
    units::TUnitSystem m_units = units::TUnitSystem::Metric;
    bool m_stale = true;
    QImage m_points;
    // Per device pixel of the plot image: the model row drawn there, -1 for none.
    std::vector<std::int32_t> m_owner;
    double m_xMin = 0, m_xMax = 1, m_yMin = 0, m_yMax = 1;
    int m_hoverRow = -1;
};

}  // namespace dw
