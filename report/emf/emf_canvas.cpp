// SPDX-License-Identifier: MIT
#include "report/emf/emf_canvas.h"

#include "report/emf/emf_player.h"
#include "report/emf/painter_canvas.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace dw {

emf::ColorRef ToColorRef(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return emf::MakeColorRef(static_cast<std::uint8_t>(rgb.red()), static_cast<std::uint8_t>(rgb.green()),
                             static_cast<std::uint8_t>(rgb.blue()));
}

bool TEmfCanvas::FontSpec::operator==(const FontSpec& other) const
{
    const auto& a = Font;
    const auto& b = other.Font;
    return a.Height == b.Height && a.Weight == b.Weight && a.Italic == b.Italic && a.Underline == b.Underline &&
           a.StrikeOut == b.StrikeOut && a.CharSet == b.CharSet && a.FaceName == b.FaceName;
}

TEmfCanvas::TEmfCanvas(int width, int height, int pixelsPerInch) : m_writer(width, height, pixelsPerInch)
{
    // What a fresh canvas draws with until told otherwise: a black
    // one-pixel pen, a white brush and the default font.
    m_pen.Wanted = {emf::kPsSolid, 1, 0};
    m_brush.Wanted = {emf::kBsSolid, emf::MakeColorRef(255, 255, 255)};
    SetFont(TCanvasFont{}, m_writer.PixelsPerInch());
    // Text is drawn on a transparent background and from the top-left of
    // its cell; set once for the page, so dashed lines show what lies
    // under their gaps on every device alike.
    m_writer.SetBkMode(emf::kTransparent);
    m_writer.SetTextAlign(0);
}

void TEmfCanvas::SetFont(const TCanvasFont& font, int pixelsPerInch)
{
    const TextFontSpec spec = CanvasFontSpec(font, pixelsPerInch);
    emf::LogFontW lf;
    lf.Height = -static_cast<std::int32_t>(spec.PixelHeight);
    lf.Weight = spec.Weight;
    lf.Italic = spec.Italic ? 1 : 0;
    lf.Underline = spec.Underline ? 1 : 0;
    lf.StrikeOut = spec.StrikeOut ? 1 : 0;
    lf.CharSet = emf::kDefaultCharset;
    lf.FaceName = font.Name.left(static_cast<qsizetype>(emf::kLfFaceSize - 1)).toStdU16String();
    const FontSpec wanted{lf};
    if (!(wanted == m_font.Wanted) || m_measure.Font().families().isEmpty()) {
        m_font.Wanted = wanted;
        m_measure = PlacedFont(spec);
    }
    m_textColor = font.Color;
}

void TEmfCanvas::SetBrush(TBrushStyle style, const QColor& color)
{
    m_brushClear = style == TBrushStyle::bsClear;
    m_brush.Wanted = {m_brushClear ? emf::kBsNull : emf::kBsSolid, m_brushClear ? 0 : ToColorRef(color)};
}

void TEmfCanvas::SetPen(const QColor& color, int width, TPenStyle style)
{
    const GdiPen pen = CanvasPen(color, width, style);
    m_pen.Wanted = {pen.Style, std::max(width, 0), pen.Null ? 0 : ToColorRef(color)};
}

template <typename Spec, typename Create>
void TEmfCanvas::Realize(Selected<Spec>& selected, Create create)
{
    if (selected.Recorded && *selected.Recorded == selected.Wanted)
        return;
    const std::uint32_t previous = selected.Handle;
    selected.Handle = create(selected.Wanted);
    m_writer.SelectObject(selected.Handle);
    if (previous != 0)
        m_writer.DeleteObject(previous);
    selected.Recorded = selected.Wanted;
}

void TEmfCanvas::RealizePen()
{
    Realize(m_pen, [this](const PenSpec& p) { return m_writer.CreatePen(p.Style, p.Width, p.Color); });
}

void TEmfCanvas::RealizeBrush()
{
    Realize(m_brush, [this](const BrushSpec& b) { return m_writer.CreateBrush(b.Style, b.Color); });
}

void TEmfCanvas::RealizeFont()
{
    Realize(m_font, [this](const FontSpec& f) { return m_writer.CreateFont(f.Font); });
}

void TEmfCanvas::FillRect(const TRect& rect)
{
    if (m_brushClear || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    RealizeBrush();
    m_writer.PatBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), emf::kPatCopy);
}

void TEmfCanvas::Rectangle(const TRect& rect)
{
    RealizePen();
    RealizeBrush();
    m_writer.Rectangle({rect.Left, rect.Top, rect.Right, rect.Bottom});
}

void TEmfCanvas::MoveTo(int x, int y)
{
    m_writer.MoveTo({x, y});
}

void TEmfCanvas::LineTo(int x, int y)
{
    RealizePen();
    m_writer.LineTo({x, y});
}

void TEmfCanvas::TextOut(int x, int y, const QString& text)
{
    if (text.isEmpty())
        return;
    RealizeFont();
    const emf::ColorRef color = ToColorRef(m_textColor);
    if (m_recordedTextColor != color) {
        m_writer.SetTextColor(color);
        m_recordedTextColor = color;
    }
    const std::vector<std::int32_t> advances = m_measure.Advances(text);
    std::int64_t width = 0;
    for (std::int32_t a : advances) width += a;
    // A text placed at the edge of the coordinate range keeps its box inside it.
    const auto edge = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    const emf::RectL box{x, y, edge(std::int64_t{x} + width - 1), edge(std::int64_t{y} + m_measure.Height() - 1)};
    const std::u16string units = text.toStdU16String();
    m_writer.ExtTextOutW({x, y}, units, advances, box);
}

QSize TEmfCanvas::TextExtent(const QString& text)
{
    return QSize(m_measure.Width(text), m_measure.Height());
}

void TEmfCanvas::StretchDraw(const TRect& rect, const emf::EmfDocument& metafile)
{
    if (rect.Width() <= 0 || rect.Height() <= 0 || metafile.Empty())
        return;
    QImage image(rect.Width(), rect.Height(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return;
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        PlayEmf(painter, metafile, QRectF(0, 0, rect.Width(), rect.Height()));
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(rect.Width()) * static_cast<std::size_t>(rect.Height()));
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(pixels.data() + static_cast<std::size_t>(y) * rect.Width(), image.constScanLine(y),
                    static_cast<std::size_t>(rect.Width()) * 4);
    m_writer.AlphaBlend({rect.Left, rect.Top, rect.Right, rect.Bottom}, rect.Width(), rect.Height(), pixels);
}

std::vector<std::uint8_t> TEmfCanvas::Finish()
{
    // Our objects go back to the stock ones before they are deleted.
    if (m_pen.Handle != 0) {
        m_writer.SelectObject(emf::kBlackPen);
        m_writer.DeleteObject(m_pen.Handle);
    }
    if (m_brush.Handle != 0) {
        m_writer.SelectObject(emf::kWhiteBrush);
        m_writer.DeleteObject(m_brush.Handle);
    }
    if (m_font.Handle != 0) {
        m_writer.SelectObject(emf::kDeviceDefaultFont);
        m_writer.DeleteObject(m_font.Handle);
    }
    m_pen = {m_pen.Wanted, std::nullopt, 0};
    m_brush = {m_brush.Wanted, std::nullopt, 0};
    m_font = {m_font.Wanted, std::nullopt, 0};
    return m_writer.Finish();
}

}  // namespace dw
