// SPDX-License-Identifier: MIT
#include "journal/widgets/journal_plot.h"

#include "journal/widgets/journal_model.h"

#include <QDateTime>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace dw {

namespace {

const QColor kHookLoadColour(0, 0, 160);
const QColor kIndicatorColour(200, 0, 0);
constexpr int kMargin = 8;
// How far from a point the pointer still names it, in pixels.
constexpr int kReach = 4;

// A step of 1, 2 or 5 times a power of ten giving about `count` ticks.
// Enough decimals that neighbouring ticks read apart (a lone record's scale
// steps in tenths or hundredths).
int StepDecimals(double step)
{
    if (!(step > 0) || step >= 1)
        return 0;
    return std::min(6, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
}

double TickStep(double span, int count)
{
    if (span <= 0)
        return 1;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (raw <= factor * power)
            return factor * power;
    return 10 * power;
}

}  // namespace

TJournalPlot::TJournalPlot(TJournalModel& model, QWidget* parent) : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("JournalPlot"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("History plot"));
    connect(&m_model, &TJournalModel::RowsShownChanged, this, &TJournalPlot::Invalidate);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &TJournalPlot::Invalidate);
}

QSize TJournalPlot::sizeHint() const
{
    return {520, 240};
}

QSize TJournalPlot::minimumSizeHint() const
{
    return {240, 140};
}

void TJournalPlot::SetXAxis(Axis axis)
{
    if (axis == m_axis)
        return;
    m_axis = axis;
    Invalidate();
}

void TJournalPlot::SetUnits(units::TUnitSystem system)
{
    if (system == m_units)
        return;
    m_units = system;
    Invalidate();
}

int TJournalPlot::ConvertedCount() const
{
    int count = 0;
    for (int r = 0; r < m_model.rowCount(); ++r)
        if (m_model.Summary(r).Units != m_units)
            ++count;
    return count;
}

QStringList TJournalPlot::Captions() const
{
    const QString weight = TJournalModel::UnitWord(units::TFieldKind::ResultWeight, m_units);
    QStringList captions{tr("Expected hook load, %1").arg(weight), tr("Indicator reading, %1").arg(weight)};
    if (const int converted = ConvertedCount(); converted > 0)
        captions << (m_units == units::TUnitSystem::Metric
                         ? tr("%n record(s) typed in oilfield units, converted", nullptr, converted)
                         : tr("%n record(s) typed in metric units, converted", nullptr, converted));
    captions << (m_axis == Axis::Date
                     ? TJournalModel::tr("Date")
                     : tr("Total length, %1").arg(TJournalModel::UnitWord(units::TFieldKind::ResultLength, m_units)));
    return captions;
}

void TJournalPlot::Invalidate()
{
    m_stale = true;
    m_hoverRow = -1;
    const int rows = m_model.rowCount();
    setAccessibleDescription(
        (m_axis == Axis::TotalLength
             ? tr("Expected hook load and indicator readings against the total length, %n record(s)", nullptr, rows)
             : tr("Expected hook load and indicator readings against the date, %n record(s)", nullptr, rows)) +
        QStringLiteral("; ") + Captions().join(QStringLiteral("; ")));
    update();
}

void TJournalPlot::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_stale = true;
}

QRect TJournalPlot::PlotRect() const
{
    const QFontMetrics metrics(font());
    const int left = metrics.horizontalAdvance(QStringLiteral("00000.0")) + kMargin;
    const int bottom = 2 * metrics.height() + kMargin;
    const int top = metrics.height() + kMargin;
    return QRect(left, top, std::max(10, width() - left - kMargin), std::max(10, height() - top - bottom));
}

double TJournalPlot::X(int row) const
{
    if (m_axis == Axis::Date)
        return m_model.Seconds(row);
    const JournalSummary& s = m_model.Summary(row);
    return static_cast<double>(units::ConvertExact(s.TotalLength, units::TFieldKind::ResultLength, s.Units, m_units));
}

double TJournalPlot::Weight(int row, double value) const
{
    return static_cast<double>(
        units::ConvertExact(value, units::TFieldKind::ResultWeight, m_model.Summary(row).Units, m_units));
}

void TJournalPlot::Render()
{
    m_stale = false;
    const qreal ratio = devicePixelRatioF();
    const QRect plot = PlotRect();
    const QSize pixels(std::max(1, qRound(plot.width() * ratio)), std::max(1, qRound(plot.height() * ratio)));
    if (m_points.size() != pixels) {
        m_points = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_owner.assign(static_cast<std::size_t>(pixels.width()) * static_cast<std::size_t>(pixels.height()), -1);
    } else {
        std::fill(m_owner.begin(), m_owner.end(), -1);
    }
    m_points.fill(Qt::white);
    const int rows = m_model.rowCount();
    if (rows == 0)
        return;
    m_xMin = m_yMin = HUGE_VAL;
    m_xMax = m_yMax = -HUGE_VAL;
    for (int r = 0; r < rows; ++r) {
        const JournalSummary& s = m_model.Summary(r);
        const double x = X(r);
        m_xMin = std::min(m_xMin, x);
        m_xMax = std::max(m_xMax, x);
        const double hook = Weight(r, s.HookLoad);
        m_yMin = std::min(m_yMin, hook);
        m_yMax = std::max(m_yMax, hook);
        if (s.Indicator) {
            const double reading = Weight(r, *s.Indicator);
            m_yMin = std::min(m_yMin, reading);
            m_yMax = std::max(m_yMax, reading);
        }
    }
    // A lone value still gets a scale around it.
    auto widen = [](double& low, double& high, double least) {
        if (high - low < least) {
            const double middle = (high + low) / 2;
            low = middle - least / 2;
            high = middle + least / 2;
        }
        const double pad = (high - low) * 0.05;
        low -= pad;
        high += pad;
    };
    widen(m_xMin, m_xMax, m_axis == Axis::Date ? 86400.0 : 1.0);
    widen(m_yMin, m_yMax, 1.0);

    const int w = pixels.width(), h = pixels.height();
    const double sx = (w - 1) / (m_xMax - m_xMin), sy = (h - 1) / (m_yMax - m_yMin);
    const int dot = std::max(1, qRound(ratio));  // half a dot's side
    auto put = [&](double x, double y, QRgb colour, int row) {
        const int px = static_cast<int>((x - m_xMin) * sx + 0.5);
        const int py = h - 1 - static_cast<int>((y - m_yMin) * sy + 0.5);
        for (int yy = std::max(0, py - dot); yy <= std::min(h - 1, py + dot); ++yy) {
            auto* line = reinterpret_cast<QRgb*>(m_points.scanLine(yy));
            for (int xx = std::max(0, px - dot); xx <= std::min(w - 1, px + dot); ++xx) {
                line[xx] = colour;
                m_owner[static_cast<std::size_t>(yy) * static_cast<std::size_t>(w) + static_cast<std::size_t>(xx)] =
                    row;
            }
        }
    };
    // Oldest drawn first, so where points meet the newest lies on top.
    const QRgb hook = kHookLoadColour.rgb(), reading = kIndicatorColour.rgb();
    for (int r = rows - 1; r >= 0; --r) {
        const JournalSummary& s = m_model.Summary(r);
        put(X(r), Weight(r, s.HookLoad), hook, r);
        if (s.Indicator)
            put(X(r), Weight(r, *s.Indicator), reading, r);
    }
}

void TJournalPlot::paintEvent(QPaintEvent* /*event*/)
{
    if (m_stale)
        Render();
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QRect plot = PlotRect();
    m_points.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(plot.topLeft(), m_points);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
    const QFontMetrics metrics(font());
    const QLocale locale;

    // The legend above the plot, with the note of converted records after it.
    const QStringList captions = Captions();
    int legendX = plot.left();
    for (const auto& [colour, text] :
         {std::pair{kHookLoadColour, captions[0]}, std::pair{kIndicatorColour, captions[1]}}) {
        painter.fillRect(legendX, kMargin / 2 + metrics.height() / 2 - 3, 7, 7, colour);
        painter.drawText(legendX + 12, kMargin / 2 + metrics.ascent(), text);
        legendX += 24 + metrics.horizontalAdvance(text);
    }
    // A narrow window shortens the note rather than cut it; the accessible
    // description carries it whole.
    if (captions.size() > 3)
        painter.drawText(legendX, kMargin / 2 + metrics.ascent(),
                         metrics.elidedText(captions[2], Qt::ElideRight, std::max(0, width() - kMargin - legendX)));
    if (m_model.rowCount() == 0) {
        painter.drawText(plot, Qt::AlignCenter, tr("No records"));
        return;
    }
    // Ticks and their values along both axes.
    const double yStep = TickStep(m_yMax - m_yMin, std::max(2, plot.height() / (2 * metrics.height())));
    for (double y = std::ceil(m_yMin / yStep) * yStep; y <= m_yMax; y += yStep) {
        const int py = plot.bottom() - qRound((y - m_yMin) / (m_yMax - m_yMin) * (plot.height() - 1));
        painter.drawLine(plot.left() - 4, py, plot.left(), py);
        const QString text = locale.toString(y, 'f', StepDecimals(yStep));
        painter.drawText(QRect(0, py - metrics.height() / 2, plot.left() - 6, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    }
    const bool byDate = m_axis == Axis::Date;
    double xStep = TickStep(m_xMax - m_xMin, std::max(2, plot.width() / (10 * metrics.averageCharWidth())));
    if (byDate)
        xStep = std::max(86400.0, std::ceil(xStep / 86400.0) * 86400.0);
    for (double x = std::ceil(m_xMin / xStep) * xStep; x <= m_xMax; x += xStep) {
        const int px = plot.left() + qRound((x - m_xMin) / (m_xMax - m_xMin) * (plot.width() - 1));
        painter.drawLine(px, plot.bottom(), px, plot.bottom() + 4);
        const QString text =
            byDate ? locale.toString(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(x)).date(), QLocale::ShortFormat)
                   : locale.toString(x, 'f', StepDecimals(xStep));
        painter.drawText(QRect(px - 60, plot.bottom() + 5, 120, metrics.height()), Qt::AlignHCenter, text);
    }
    painter.drawText(QRect(plot.left(), plot.bottom() + 5 + metrics.height(), plot.width(), metrics.height()),
                     Qt::AlignHCenter, captions.back());
    if (m_hoverRow >= 0 && m_hoverRow < m_model.rowCount()) {
        const QPoint at = PointOf(m_model.IdAt(m_hoverRow));
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(at, 6, 6);
    }
}

std::int64_t TJournalPlot::RecordAt(QPoint pos) const
{
    if (m_stale || m_points.isNull())
        const_cast<TJournalPlot*>(this)->Render();
    const QRect plot = PlotRect();
    const qreal ratio = devicePixelRatioF();
    const int w = m_points.width(), h = m_points.height();
    const int cx = qRound((pos.x() - plot.left()) * ratio), cy = qRound((pos.y() - plot.top()) * ratio);
    const int reach = qRound(kReach * ratio);
    int best = -1;
    int bestDistance = 0;
    for (int y = std::max(0, cy - reach); y <= std::min(h - 1, cy + reach); ++y) {
        for (int x = std::max(0, cx - reach); x <= std::min(w - 1, cx + reach); ++x) {
            const int row =
                m_owner[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)];
            const int distance = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (row >= 0 && (best < 0 || distance < bestDistance)) {
                best = row;
                bestDistance = distance;
            }
        }
    }
    return best >= 0 && best < m_model.rowCount() ? m_model.IdAt(best) : -1;
}

QPoint TJournalPlot::PointOf(std::int64_t id) const
{
    const int row = m_model.RowOf(id);
    if (row < 0)
        return {};
    if (m_stale)
        const_cast<TJournalPlot*>(this)->Render();
    const QRect plot = PlotRect();
    const double fx = (X(row) - m_xMin) / (m_xMax - m_xMin);
    const double fy = (Weight(row, m_model.Summary(row).HookLoad) - m_yMin) / (m_yMax - m_yMin);
    const qreal ratio = devicePixelRatioF();
    const int w = m_points.width(), h = m_points.height();
    return {plot.left() + qRound(std::round(fx * (w - 1)) / ratio),
            plot.top() + qRound((h - 1 - std::round(fy * (h - 1))) / ratio)};
}

void TJournalPlot::mouseMoveEvent(QMouseEvent* event)
{
    const std::int64_t id = RecordAt(event->position().toPoint());
    const int row = id < 0 ? -1 : m_model.RowOf(id);
    if (row != m_hoverRow) {
        m_hoverRow = row;
        update();
    }
    if (row < 0) {
        QToolTip::hideText();
        setCursor(Qt::ArrowCursor);
        return;
    }
    setCursor(Qt::PointingHandCursor);
    // The record as it was typed, in its own units.
    const JournalSummary& s = m_model.Summary(row);
    QString text = tr("%1 %2: length %3, hook load %4")
                       .arg(m_model.data(m_model.index(row, TJournalModel::Date)).toString(),
                            QString::fromStdString(s.DateTime.substr(11)),
                            TJournalModel::NumberText(s.TotalLength, units::TFieldKind::ResultLength, s.Units),
                            TJournalModel::NumberText(s.HookLoad, units::TFieldKind::ResultWeight, s.Units));
    if (s.Indicator)
        text += QLatin1Char('\n') +
                tr("indicator %1").arg(TJournalModel::NumberText(*s.Indicator, kIndicatorKind, s.Units));
    if (!s.Note.empty())
        text += QLatin1Char('\n') + QString::fromStdString(s.Note);
    QToolTip::showText(event->globalPosition().toPoint(), text, this);
}

void TJournalPlot::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const std::int64_t id = RecordAt(event->position().toPoint());
    if (id >= 0)
        emit RecordActivated(id);
}

void TJournalPlot::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (m_hoverRow >= 0) {
        m_hoverRow = -1;
        update();
    }
}

}  // namespace dw
