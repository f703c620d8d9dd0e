// SPDX-License-Identifier: MIT
#pragma once

// The canvas on a QPainter: printer pages, the screen and images. Its
// coordinates are the painter's current ones (device pixels of a printer,
// pixels of an image).

#include "report/emf/canvas.h"
#include "report/emf/gdi_painting.h"
#include "report/emf/text_painting.h"

#include <QBrush>
#include <QPoint>

class QPainter;

namespace dw {

class TPainterCanvas : public TVpCanvas {
public:
    // The painter stays the caller's and must outlive the canvas.
    explicit TPainterCanvas(QPainter& painter);

    void SetFont(const TCanvasFont& font, int pixelsPerInch) override;
    void SetBrush(TBrushStyle style, const QColor& color) override;
    void SetPen(const QColor& color, int width, TPenStyle style) override;
    void FillRect(const TRect& rect) override;
    void Rectangle(const TRect& rect) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void TextOut(int x, int y, const QString& text) override;
    QSize TextExtent(const QString& text) override;
    void StretchDraw(const TRect& rect, const emf::EmfDocument& metafile) override;

private:
    QPainter& m_painter;
    TCanvasFont m_canvasFont;
    int m_fontResolution = 0;
    PlacedFont m_font;
    GdiPen m_pen;
    QBrush m_brush;
    QPoint m_position;
};

// The pen a canvas pen stands for.
GdiPen CanvasPen(const QColor& color, int width, TPenStyle style);
// The text font a canvas font stands for at pixelsPerInch.
TextFontSpec CanvasFontSpec(const TCanvasFont& font, int pixelsPerInch);

}  // namespace dw
