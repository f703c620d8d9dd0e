// SPDX-License-Identifier: MIT
#pragma once

// The drawing operations the report engine puts on a page. Two canvases
// implement them: one paints on a QPainter (printer pages, the screen,
// images), the other records an enhanced metafile. Both lay text out with
// the same whole-pixel advance for every character, so a page looks the
// same recorded and played as drawn directly.

#include <QColor>
#include <QSize>
#include <QString>

#include <cstdint>

namespace dw {

namespace emf {
class EmfDocument;
}

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TBrushStyle { bsSolid, bsClear };

struct TFontStyles {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    friend bool operator==(const TFontStyles&, const TFontStyles&) = default;
};

struct TCanvasFont {
    QString Name = QStringLiteral("Arial");
    int Size = 10;  // points
    TFontStyles Style;
    QColor Color = Qt::black;
    friend bool operator==(const TCanvasFont&, const TCanvasFont&) = default;
};

// A rectangle in device pixels; Right and Bottom are exclusive, as the
// engine computes them: XPos(x), YPos(y), XPos(x + W), YPos(y + H).
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Character height in pixels of a font of pointSize points at
// pixelsPerInch, rounded half away from zero: 10 pt at 96 -> 13, 8 -> 11;
// at most kLargestFontPixels either way.
int FontPixelHeight(int pointSize, int pixelsPerInch);

class TVpCanvas {
public:
    virtual ~TVpCanvas() = default;

    // The font for text and measuring, realised for a device of
    // pixelsPerInch: its character height is FontPixelHeight(Size, ppi).
    virtual void SetFont(const TCanvasFont& font, int pixelsPerInch) = 0;
    virtual void SetBrush(TBrushStyle style, const QColor& color) = 0;
    // width in pixels; 0 draws one pixel wide.
    virtual void SetPen(const QColor& color, int width, TPenStyle style) = 0;

    // Fills the rectangle with the brush, without outline.
    virtual void FillRect(const TRect& rect) = 0;
    // Outlines the rectangle with the pen (on its inner edge for a one-pixel
    // pen) and fills the inside with the brush.
    virtual void Rectangle(const TRect& rect) = 0;
    virtual void MoveTo(int x, int y) = 0;
    // A line with the pen from the current position up to, not including,
    // (x, y), which becomes the current position.
    virtual void LineTo(int x, int y) = 0;
    // Text in the font's colour with its character cell's top-left corner
    // at (x, y), on a transparent background.
    virtual void TextOut(int x, int y, const QString& text) = 0;
    // Width (sum of the character advances) and height (ascent + descent).
    virtual QSize TextExtent(const QString& text) = 0;
    // Plays a metafile stretched onto rect; nothing of it lands outside.
    virtual void StretchDraw(const TRect& rect, const emf::EmfDocument& metafile) = 0;
};

}  // namespace dw
