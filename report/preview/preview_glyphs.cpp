// SPDX-License-Identifier: MIT
#include "report/preview/preview_glyphs.h"

#include "design/designed_palette.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <initializer_list>
#include <map>
#include <tuple>

namespace dw {

namespace {

// Glyphs are drawn in the named colours only, without smoothing.

// Drawing on the 18 x 18 grid, whatever the pixel ratio underneath.
class GlyphPen {
public:
    explicit GlyphPen(QPainter& painter) : m_painter(painter) {}

    void Fill(int x, int y, int w, int h, const QColor& color) { m_painter.fillRect(x, y, w, h, color); }
    // A one-pixel outline on the rectangle's own outermost pixels.
    void Frame(int x, int y, int w, int h, const QColor& color)
    {
        Fill(x, y, w, 1, color);
        Fill(x, y + h - 1, w, 1, color);
        Fill(x, y, 1, h, color);
        Fill(x + w - 1, y, 1, h, color);
    }
    void Box(int x, int y, int w, int h, const QColor& inside, const QColor& outline = colour::Black)
    {
        Fill(x, y, w, h, inside);
        Frame(x, y, w, h, outline);
    }
    // A filled shape with corners on the grid's lines.
    void Shape(std::initializer_list<QPointF> points, const QColor& color)
    {
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(color);
        m_painter.drawPolygon(QPolygonF(QList<QPointF>(points)));
    }
    // The outline of a shape, one pixel inside its edges.
    void ShapeOutline(std::initializer_list<QPointF> points, const QColor& color)
    {
        QPolygonF polygon{QList<QPointF>(points)};
        m_painter.setPen(QPen(color, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawPolygon(polygon.translated(0.5, 0.5));
    }
    void Disc(qreal cx, qreal cy, qreal r, const QColor& color)
    {
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(color);
        m_painter.drawEllipse(QPointF(cx, cy), r, r);
    }
    void Ring(qreal cx, qreal cy, qreal r, const QColor& color)
    {
        m_painter.setPen(QPen(color, 1));
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawEllipse(QPointF(cx, cy), r, r);
    }

private:
    QPainter& m_painter;
};

// A magnifying glass over whatever content draws inside its lens.
template <class Content>
void Magnifier(GlyphPen& pen, Content content)
{
    pen.Disc(7.5, 7.5, 5.5, colour::White);
    content();
    pen.Ring(7.5, 7.5, 5.5, colour::Black);
    pen.Shape({{11.5, 12.8}, {12.8, 11.5}, {17.3, 16}, {16, 17.3}}, colour::Maroon);
}

void DrawZoomToFit(GlyphPen& pen)
{
    Magnifier(pen, [&] {
        pen.Box(5, 4, 6, 8, colour::White, colour::Navy);
        pen.Fill(6, 6, 4, 1, colour::Gray);
        pen.Fill(6, 8, 3, 1, colour::Gray);
    });
}

void DrawZoomTo100(GlyphPen& pen)
{
    Magnifier(pen, [&] {
        // "1:1" in pixels.
        pen.Fill(5, 5, 1, 6, colour::Navy);
        pen.Fill(4, 6, 1, 1, colour::Navy);
        pen.Fill(7, 6, 1, 1, colour::Navy);
        pen.Fill(7, 9, 1, 1, colour::Navy);
        pen.Fill(10, 5, 1, 6, colour::Navy);
        pen.Fill(9, 6, 1, 1, colour::Navy);
    });
}

void DrawZoomToWidth(GlyphPen& pen)
{
    Magnifier(pen, [&] {
        pen.Fill(5, 7, 6, 2, colour::Navy);
        pen.Shape({{3, 8}, {6, 5}, {6, 11}}, colour::Navy);
        pen.Shape({{13, 8}, {10, 5}, {10, 11}}, colour::Navy);
    });
}

// A plus in the lens for more, a minus for less.
void DrawZoomStep(GlyphPen& pen, bool in)
{
    Magnifier(pen, [&] {
        pen.Fill(4, 7, 7, 1, colour::Navy);
        if (in) {
            pen.Fill(7, 4, 1, 7, colour::Navy);
        }
    });
}

void TriangleLeft(GlyphPen& pen, qreal tip)
{
    pen.Shape({{tip, 9}, {tip + 6, 3}, {tip + 6, 15}}, colour::Navy);
}

void TriangleRight(GlyphPen& pen, qreal tip)
{
    pen.Shape({{tip, 9}, {tip - 6, 3}, {tip - 6, 15}}, colour::Navy);
}

void DrawPrinterBody(GlyphPen& pen, int x, int y)
{
    // A 16 x 8 printer whose top-left corner is at (x, y).
    pen.Box(x, y, 16, 6, colour::Silver);
    pen.Fill(x + 3, y + 3, 10, 1, colour::Black);
    pen.Fill(x + 13, y + 1, 2, 1, colour::Lime);
    pen.Box(x + 1, y + 5, 14, 3, colour::Gray);
}

void DrawPrint(GlyphPen& pen)
{
    pen.Box(4, 1, 10, 8, colour::White);
    pen.Fill(6, 3, 6, 1, colour::Gray);
    pen.Fill(6, 5, 5, 1, colour::Gray);
    DrawPrinterBody(pen, 1, 8);
}

void DrawPrintSetup(GlyphPen& pen)
{
    // The settings sheet: ticked lines.
    pen.Box(1, 0, 11, 12, colour::White);
    for (int row = 0; row < 3; ++row) {
        const int y = 2 + 3 * row;
        pen.Fill(3, y, 2, 2, row == 1 ? colour::Gray : colour::Green);
        pen.Fill(6, y, 4, 1, colour::Navy);
    }
    // A small printer in front of it.
    pen.Box(8, 9, 6, 3, colour::White);
    pen.Box(5, 11, 12, 5, colour::Silver);
    pen.Fill(7, 13, 8, 1, colour::Black);
    pen.Fill(14, 12, 1, 1, colour::Lime);
    pen.Box(6, 15, 10, 2, colour::Gray);
}

void DrawSave(GlyphPen& pen)
{
    pen.Shape({{1, 1}, {15, 1}, {17, 3}, {17, 17}, {1, 17}}, colour::Navy);
    pen.ShapeOutline({{1, 1}, {15, 1}, {16, 2}, {16, 16}, {1, 16}}, colour::Black);
    pen.Box(4, 2, 10, 7, colour::White, colour::White);
    pen.Fill(5, 4, 8, 1, colour::Gray);
    pen.Fill(5, 6, 8, 1, colour::Gray);
    pen.Box(5, 11, 8, 6, colour::Silver, colour::Silver);
    pen.Fill(10, 12, 2, 4, colour::Navy);
}

void DrawLoad(GlyphPen& pen)
{
    // Back of the folder with its tab, then the front flap opened towards us.
    pen.Shape({{1, 3}, {6, 3}, {7, 4}, {14, 4}, {14, 16}, {1, 16}}, colour::Olive);
    pen.ShapeOutline({{1, 3}, {6, 3}, {7, 4}, {13, 4}, {13, 15}, {1, 15}}, colour::Black);
    pen.Shape({{1, 16}, {4.5, 8}, {18, 8}, {14.5, 16}}, colour::Yellow);
    pen.ShapeOutline({{1, 15}, {4.5, 8}, {17, 8}, {13.5, 15}}, colour::Black);
}

void DrawClose(GlyphPen& pen)
{
    // A doorway with the door swung open, and the way out.
    pen.Box(3, 1, 9, 16, colour::Black);
    pen.Shape({{3, 1}, {8, 3}, {8, 18}, {3, 17}}, colour::Maroon);
    pen.ShapeOutline({{3, 1}, {7, 3}, {7, 17}, {3, 16}}, colour::Black);
    pen.Fill(6, 9, 1, 2, colour::Yellow);
    pen.Fill(9, 8, 5, 3, colour::Green);
    pen.Shape({{13, 4.5}, {17.5, 9.5}, {13, 14.5}}, colour::Green);
}

void DrawGlyph(QPainter& painter, TVpGlyph glyph)
{
    GlyphPen pen(painter);
    switch (glyph) {
        case TVpGlyph::ZoomToFit:
            DrawZoomToFit(pen);
            break;
        case TVpGlyph::ZoomTo100:
            DrawZoomTo100(pen);
            break;
        case TVpGlyph::ZoomToWidth:
            DrawZoomToWidth(pen);
            break;
        case TVpGlyph::FirstPage:
            pen.Fill(4, 3, 2, 12, colour::Navy);
            TriangleLeft(pen, 6);
            break;
        case TVpGlyph::PrevPage:
            TriangleLeft(pen, 6);
            break;
        case TVpGlyph::NextPage:
            TriangleRight(pen, 12);
            break;
        case TVpGlyph::LastPage:
            TriangleRight(pen, 12);
            pen.Fill(12, 3, 2, 12, colour::Navy);
            break;
        case TVpGlyph::PrintSetup:
            DrawPrintSetup(pen);
            break;
        case TVpGlyph::Print:
            DrawPrint(pen);
            break;
        case TVpGlyph::Save:
            DrawSave(pen);
            break;
        case TVpGlyph::Load:
            DrawLoad(pen);
            break;
        case TVpGlyph::Close:
            DrawClose(pen);
            break;
        case TVpGlyph::ZoomIn:
            DrawZoomStep(pen, true);
            break;
        case TVpGlyph::ZoomOut:
            DrawZoomStep(pen, false);
            break;
    }
}

// The classic greyed picture: every dark pixel in grey with a white one
// beside it a pixel further right and down, as if pressed into the face.
QImage Embossed(const QImage& image, int shift)
{
    QImage out(image.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    auto dark = [&](int x, int y) {
        const QRgb pixel = image.pixel(x, y);
        return qAlpha(pixel) > 128 && qGray(pixel) < 192;
    };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (dark(x, y) && x + shift < out.width() && y + shift < out.height()) {
                out.setPixel(x + shift, y + shift, colour::White.rgb());
            }
        }
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (dark(x, y)) {
                out.setPixel(x, y, colour::Gray.rgb());
            }
        }
    }
    return out;
}

}  // namespace

namespace {

QImage DrawGlyphImage(TVpGlyph glyph, qreal devicePixelRatio, bool disabled)
{
    const int side = static_cast<int>(std::ceil(kGlyphSize * devicePixelRatio));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.scale(devicePixelRatio, devicePixelRatio);
        DrawGlyph(painter, glyph);
    }
    if (disabled) {
        image = Embossed(image, std::max(1, static_cast<int>(std::lround(devicePixelRatio))));
    }
    return image;
}

}  // namespace

QPixmap GlyphPixmap(TVpGlyph glyph, qreal devicePixelRatio, bool disabled)
{
    // Glyphs are drawn point by point; every preview window shows the same
    // ones, so each is drawn once per size and kept (as an image, which
    // outlives the application object safely, unlike a pixmap).
    static std::map<std::tuple<int, qreal, bool>, QImage> drawn;
    const auto key = std::make_tuple(static_cast<int>(glyph), devicePixelRatio, disabled);
    auto it = drawn.find(key);
    if (it == drawn.end())
        it = drawn.emplace(key, DrawGlyphImage(glyph, devicePixelRatio, disabled)).first;
    QPixmap pixmap = QPixmap::fromImage(it->second);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon GlyphIcon(TVpGlyph glyph)
{
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        icon.addPixmap(GlyphPixmap(glyph, ratio), QIcon::Normal);
        icon.addPixmap(GlyphPixmap(glyph, ratio, true), QIcon::Disabled);
    }
    return icon;
}

}  // namespace dw
