// SPDX-License-Identifier: MIT
#include "app/window_zoom.h"

#include <QLabel>

#include <algorithm>
#include <cmath>

namespace dw {

namespace {

int Scaled(int value, int percent)
{
    return static_cast<int>(std::lround(static_cast<double>(value) * percent / 100.0));
}

}  // namespace

TWindowZoom::TWindowZoom(QWidget* clientArea) : m_clientArea(clientArea) {}

int TWindowZoom::Normalized(int percent)
{
    const int clamped = std::clamp(percent, kMinimum, kMaximum);
    return kMinimum + (clamped - kMinimum + kStep / 2) / kStep * kStep;
}

QSize TWindowZoom::ClientSize(QSize designed) const
{
    return {Scaled(designed.width(), m_percent), Scaled(designed.height(), m_percent)};
}

void TWindowZoom::RecordDesign()
{
    // Taken the first time the window leaves 100 %, when every control
    // still stands as designed.
    if (!m_designed.empty() || !m_clientArea)
        return;
    const auto record = [this](QWidget* widget) {
        m_designed.push_back({widget, widget->geometry(), widget->font(), widget->testAttribute(Qt::WA_SetFont)});
    };
    record(m_clientArea);
    // The client area passes the window's font on to every control without
    // one of its own: it scales as if it were its own.
    m_designed.front().OwnFont = true;
    for (QWidget* widget : m_clientArea->findChildren<QWidget*>()) record(widget);
}

void TWindowZoom::Redesign(const std::function<void()>& change)
{
    const int percent = m_percent;
    Apply(kMinimum);
    change();
    // What was recorded is the design before the change.
    m_designed.clear();
    Apply(percent);
}

void TWindowZoom::Apply(int percent)
{
    percent = Normalized(percent);
    if (percent == m_percent)
        return;
    RecordDesign();
    m_percent = percent;
    // Fonts first, so a label measured for its new size measures new text.
    for (const TDesigned& designed : m_designed) {
        if (!designed.Widget || !designed.OwnFont)
            continue;
        QFont font = designed.Font;
        if (font.pixelSize() > 0)
            font.setPixelSize(Scaled(font.pixelSize(), percent));
        else
            font.setPointSizeF(designed.Font.pointSizeF() * percent / 100.0);
        designed.Widget->setFont(font);
    }
    for (const TDesigned& designed : m_designed) {
        // The window places its client area inside its frame itself.
        if (!designed.Widget || designed.Widget == m_clientArea)
            continue;
        const QRect& r = designed.Geometry;
        // Edges scale, not sizes, so controls that touch keep touching.
        const int left = Scaled(r.left(), percent);
        const int top = Scaled(r.top(), percent);
        const int right = Scaled(r.left() + r.width(), percent);
        const int bottom = Scaled(r.top() + r.height(), percent);
        QSize size(right - left, bottom - top);
        // A label takes the size of its caption, as it was designed to,
        // laid out anew at the new size (hinting does not scale exactly).
        if (qobject_cast<QLabel*>(designed.Widget.data()))
            size = designed.Widget->sizeHint();
        designed.Widget->setGeometry(QRect(QPoint(left, top), size));
    }
}

}  // namespace dw
