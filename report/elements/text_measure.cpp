// SPDX-License-Identifier: MIT
#include "report/elements/text_measure.h"

#include "report/emf/painter_canvas.h"

namespace dw {

TVpMeasuringDevice::TVpMeasuringDevice(int pixelsPerInch) : m_pixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : 96) {}

void TVpMeasuringDevice::SetFont(const TCanvasFont& font)
{
    if (m_placed && font.Name == m_font.Name && font.Size == m_font.Size && font.Style == m_font.Style)
        return;
    m_font = font;
    m_placed = std::make_unique<PlacedFont>(CanvasFontSpec(font, m_pixelsPerInch));
}

QSize TVpMeasuringDevice::TextExtent(const QString& text)
{
    if (!m_placed)
        SetFont(TCanvasFont{});
    return {m_placed->Width(text), m_placed->Height()};
}

}  // namespace dw
