// SPDX-License-Identifier: MIT
#include "report/emf/painter_canvas.h"

#include "report/emf/emf_format.h"
#include "report/emf/emf_player.h"

#include <QPainter>

#include <cstdlib>

namespace dw {

GdiPen CanvasPen(const QColor& color, int width, TPenStyle style)
{
    GdiPen pen;
    pen.Color = color;
    pen.Width = std::max(width, 1);
    switch (style) {
        case TPenStyle::psSolid:
            pen.Style = emf::kPsSolid;
            break;
        case TPenStyle::psDash:
            pen.Style = emf::kPsDash;
            break;
        case TPenStyle::psDot:
            pen.Style = emf::kPsDot;
            break;
        case TPenStyle::psDashDot:
            pen.Style = emf::kPsDashDot;
            break;
        case TPenStyle::psDashDotDot:
            pen.Style = emf::kPsDashDotDot;
            break;
        case TPenStyle::psClear:
            pen.Null = true;
            pen.Style = emf::kPsNull;
            break;
        case TPenStyle::psInsideFrame:
            pen.Style = emf::kPsInsideFrame;
            pen.InsideFrame = true;
            break;
    }
    return pen;
}

TextFontSpec CanvasFontSpec(const TCanvasFont& font, int pixelsPerInch)
{
    TextFontSpec spec;
    spec.Family = font.Name;
    spec.PixelHeight = std::abs(FontPixelHeight(font.Size, pixelsPerInch));
    spec.Weight = font.Style.Bold ? emf::kFwBold : emf::kFwNormal;
    spec.Italic = font.Style.Italic;
    spec.Underline = font.Style.Underline;
    spec.StrikeOut = font.Style.StrikeOut;
    return spec;
}

TPainterCanvas::TPainterCanvas(QPainter& painter) : m_painter(painter), m_brush(Qt::white)
{
    SetFont(TCanvasFont{}, 96);
}

void TPainterCanvas::SetFont(const TCanvasFont& font, int pixelsPerInch)
{
    if (font.Name == m_canvasFont.Name && font.Size == m_canvasFont.Size && font.Style == m_canvasFont.Style &&
        pixelsPerInch == m_fontResolution && !m_font.Font().families().isEmpty()) {
        m_canvasFont.Color = font.Color;
        return;
    }
    m_canvasFont = font;
    m_fontResolution = pixelsPerInch;
    m_font = PlacedFont(CanvasFontSpec(font, pixelsPerInch));
}

void TPainterCanvas::SetBrush(TBrushStyle style, const QColor& color)
{
    m_brush = style == TBrushStyle::bsClear ? QBrush(Qt::NoBrush) : QBrush(color);
}

void TPainterCanvas::SetPen(const QColor& color, int width, TPenStyle style)
{
    m_pen = CanvasPen(color, width, style);
}

void TPainterCanvas::FillRect(const TRect& rect)
{
    GdiFill(m_painter, QRectF(QPointF(rect.Left, rect.Top), QPointF(rect.Right, rect.Bottom)), m_brush);
}

void TPainterCanvas::Rectangle(const TRect& rect)
{
    m_painter.setBackgroundMode(Qt::TransparentMode);
    GdiRectangle(m_painter, QRectF(QPointF(rect.Left, rect.Top), QPointF(rect.Right, rect.Bottom)), m_pen, m_brush);
}

void TPainterCanvas::MoveTo(int x, int y)
{
    m_position = QPoint(x, y);
}

void TPainterCanvas::LineTo(int x, int y)
{
    m_painter.setBackgroundMode(Qt::TransparentMode);
    GdiLine(m_painter, m_position, QPointF(x, y), m_pen);
    m_position = QPoint(x, y);
}

void TPainterCanvas::TextOut(int x, int y, const QString& text)
{
    if (text.isEmpty())
        return;
    const std::vector<std::int32_t> advances = m_font.Advances(text);
    const std::vector<QPointF> offsets = OffsetsFromAdvances(advances);
    double total = 0;
    for (std::int32_t a : advances) total += a;
    m_painter.setPen(m_canvasFont.Color);
    m_font.Draw(m_painter, QPointF(x, y + m_font.Ascent()), text, offsets, total);
}

QSize TPainterCanvas::TextExtent(const QString& text)
{
    return QSize(m_font.Width(text), m_font.Height());
}

void TPainterCanvas::StretchDraw(const TRect& rect, const emf::EmfDocument& metafile)
{
    // Whatever the picture draws beyond its frame stays out of the page.
    m_painter.save();
    m_painter.setClipRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), Qt::IntersectClip);
    PlayEmf(m_painter, metafile, QRectF(QPointF(rect.Left, rect.Top), QPointF(rect.Right, rect.Bottom)));
    m_painter.restore();
}

}  // namespace dw
