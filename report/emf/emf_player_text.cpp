// SPDX-License-Identifier: MIT
// The player's text: realising the record's font at the device's size,
// placing the characters as the alignment and the advances say, and drawing
// them or adding their outlines to the path being recorded.
#include "report/emf/emf_player_p.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <tuple>
#include <variant>

namespace dw::emf {

namespace {

// --- 8-bit text -----------------------------------------------------------

// The upper halves of the two code pages 8-bit page text arrives in:
// Cyrillic for fonts with the Russian character set, Western otherwise.
constexpr char16_t kCp1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410,
    0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A,
    0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444,
    0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeAnsi(const std::string& bytes, std::uint8_t charSet)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) {
        if (b < 0x80)
            text.append(QChar(b));
        else if (charSet == kRussianCharset)
            text.append(QChar(kCp1251[b - 0x80]));
        else if (b < 0xA0)
            text.append(QChar(kCp1252High[b - 0x80]));
        else
            text.append(QChar(b));
    }
    return text;
}

}  // namespace

// --- text ---------------------------------------------------------------------

std::shared_ptr<PlacedFont> EmfPlayer::FontFor(const LogFontW& font, int pixels, double stretch)
{
    const auto key = std::make_tuple(font.FaceName, pixels, font.Weight, font.Italic != 0, font.Underline != 0,
                                     font.StrikeOut != 0, static_cast<int>(std::lround(stretch)));
    auto& slot = m_fonts[key];
    if (!slot) {
        TextFontSpec spec;
        spec.Family = QString::fromStdU16String(font.FaceName);
        spec.PixelHeight = pixels;
        spec.Weight = font.Weight <= 0 ? kFwNormal : font.Weight;
        spec.Italic = font.Italic != 0;
        spec.Underline = font.Underline != 0;
        spec.StrikeOut = font.StrikeOut != 0;
        spec.StretchPercent = stretch;
        slot = std::make_shared<PlacedFont>(spec);
    }
    return slot;
}

std::optional<EmfPlayer::TextFont> EmfPlayer::RealiseTextFont(const LogFontW& lf)
{
    // How the logical space is scaled along the text's axes.
    const QTransform linear(m_full.m11(), m_full.m12(), m_full.m21(), m_full.m22(), 0, 0);
    const QPointF ex = linear.map(QPointF(1, 0));
    const QPointF ey = linear.map(QPointF(0, 1));
    const double sx = std::hypot(ex.x(), ex.y());
    const double sy = std::hypot(ey.x(), ey.y());
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy))
        return std::nullopt;

    // Em height in logical units: a positive height is the cell height.
    std::int64_t height = std::llabs(static_cast<std::int64_t>(lf.Height));
    double emLogical = height == 0 ? 12.0 / sy : static_cast<double>(height);
    int pixels = static_cast<int>(std::clamp(std::round(emLogical * sy), 1.0, double{kLargestFontPixels}));
    if (lf.Height > 0) {
        const auto cell = FontFor(lf, pixels, 0);
        if (cell->Height() > 0) {
            emLogical = emLogical * pixels / cell->Height();
            pixels = static_cast<int>(std::clamp(std::round(emLogical * sy), 1.0, double{kLargestFontPixels}));
        }
    }
    double stretch = 0;
    if (lf.Width != 0) {
        const double average = FontFor(lf, pixels, 0)->AverageCharWidth();
        if (average > 0)
            stretch = std::fabs(static_cast<double>(lf.Width)) * sx / average * 100.0;
    }
    return TextFont{FontFor(lf, pixels, stretch), emLogical / pixels};
}

// Advances in logical units: the recorded ones, or measured.
EmfPlayer::TextAdvances EmfPlayer::MeasureText(const TextRecord& r, const QString& text, const TextFont& font) const
{
    const auto count = static_cast<std::size_t>(text.size());
    TextAdvances advances;
    advances.Dx.assign(count, 0.0);
    advances.Dy.assign(count, 0.0);
    if (r.Dx.size() == count) {
        for (std::size_t i = 0; i < count; ++i) advances.Dx[i] = r.Dx[i];
        for (std::size_t i = 0; i < r.Dy.size() && i < count; ++i) advances.Dy[i] = r.Dy[i];
    } else if ((r.Options & kEtoGlyphIndex) == 0) {
        const std::vector<std::int32_t> measured = font.Font->Advances(text);
        for (std::size_t i = 0; i < count; ++i) advances.Dx[i] = measured[i] * font.GlyphToLogical;
    } else {
        const std::vector<quint32> glyphs(r.Text.begin(), r.Text.end());
        const std::vector<double> measured = font.Font->GlyphAdvances(glyphs);
        for (std::size_t i = 0; i < count && i < measured.size(); ++i)
            advances.Dx[i] = measured[i] * font.GlyphToLogical;
    }
    for (double dx : advances.Dx) advances.Width += dx;
    return advances;
}

// Where the first character's baseline starts, in glyph units from the
// reference point, as the text alignment places the text.
QPointF EmfPlayer::TextOrigin(const PlacedFont& font, double width, double glyphToLogical) const
{
    double start = 0;
    switch (m_dc.TextAlign & kTaHorizontalMask) {
        case kTaRight:
            start = -width;
            break;
        case kTaCenter:
            start = -width / 2;
            break;
        default:
            break;
    }
    double baseline = 0;  // glyph units below the reference
    switch (m_dc.TextAlign & kTaVerticalMask) {
        case kTaBaseline:
            break;
        case kTaBottom:
            baseline = -font.Descent();
            break;
        default:
            baseline = font.Ascent();
            break;
    }
    return QPointF(start / glyphToLogical, baseline);
}

// Glyph space: x along the baseline, y down, in the realised font's
// pixels; turned by the escapement and kept upright on the page.
QTransform EmfPlayer::GlyphToLogical(const LogFontW& lf, double glyphToLogical, const QPointF& reference) const
{
    const double angle = lf.Escapement / 10.0;
    double flipX = 1, flipY = 1;
    const double det = m_full.m11() * m_full.m22() - m_full.m12() * m_full.m21();
    if (m_axisAligned) {
        flipX = m_full.m11() < 0 ? -1 : 1;
        flipY = m_full.m22() < 0 ? -1 : 1;
    } else if (det < 0) {
        flipY = -1;
    }
    QTransform orient;
    orient.rotate(-angle);
    return QTransform::fromScale(glyphToLogical, glyphToLogical) * orient * QTransform::fromScale(flipX, flipY) *
           QTransform::fromTranslate(reference.x(), reference.y());
}

void EmfPlayer::DrawText(const TextRecord& r, const QString& text, const PlacedFont& font, const QTransform& toDevice,
                         const QPointF& origin, const std::vector<QPointF>& offsets, double widthGlyph)
{
    PrepareDraw();
    if ((r.Options & kEtoOpaque) != 0 && r.Rect)
        FillDeviceRect(ToRect(*r.Rect), QBrush(ToColor(m_dc.BkColor)));
    const bool clipped = (r.Options & kEtoClipped) != 0 && r.Rect.has_value();
    {
        // The glyphs lie around their offsets, and none reaches further than
        // an em beyond them.
        double left = std::min(0.0, widthGlyph), right = std::max(0.0, widthGlyph), top = 0, bottom = 0;
        for (const QPointF& o : offsets) {
            left = std::min(left, o.x()), right = std::max(right, o.x());
            top = std::min(top, o.y()), bottom = std::max(bottom, o.y());
        }
        const double em = font.Height();
        QRectF device = toDevice.mapRect(
            QRectF(origin + QPointF(left, top), origin + QPointF(right, bottom)).adjusted(-em, -em, em, em));
        if (clipped)
            device &= m_full.mapRect(ToRect(*r.Rect).normalized());
        if (!Afford(device))
            return;
    }
    const std::optional<QRegion> previousClip = m_dc.Clip;
    if (clipped) {
        CombineClip(LogicalRectRegion(*r.Rect), kRgnAnd);
        ApplyClip();
    }
    const bool simple = toDevice.type() <= QTransform::TxTranslate;
    if (!simple)
        m_painter.setWorldTransform(toDevice);
    const QPointF shift = simple ? QPointF(toDevice.dx(), toDevice.dy()) : QPointF();
    if (m_dc.BkMode == kOpaque && (r.Options & kEtoOpaque) == 0 && widthGlyph != 0)
        m_painter.fillRect(
            QRectF(origin.x() + shift.x(), origin.y() - font.Ascent() + shift.y(), widthGlyph, font.Height())
                .normalized(),
            ToColor(m_dc.BkColor));
    m_painter.setPen(ToColor(m_dc.TextColor));
    const bool glyphIndices = (r.Options & kEtoGlyphIndex) != 0;
    if (!glyphIndices && !text.isEmpty()) {
        font.Draw(m_painter, origin + shift, text, offsets, widthGlyph);
    } else if (glyphIndices && font.StandardGlyphOrder()) {
        const std::vector<quint32> glyphs(r.Text.begin(), r.Text.end());
        font.DrawGlyphIndices(m_painter, origin + shift, glyphs, offsets, widthGlyph);
    }
    if (!simple)
        m_painter.setWorldTransform(QTransform());
    if (clipped) {
        m_dc.Clip = previousClip;
        m_clipDirty = true;
    }
}

// With the current position in use, the text moves it along its baseline.
void EmfPlayer::MoveAfterText(const QPointF& reference, const QTransform& toLogical, double width)
{
    const QPointF along = toLogical.map(QPointF(1, 0)) - toLogical.map(QPointF(0, 0));
    const double length = std::hypot(along.x(), along.y());
    const QPointF unit = length > 0 ? along / length : QPointF(1, 0);
    switch (m_dc.TextAlign & kTaHorizontalMask) {
        case kTaRight:
            m_dc.Position = reference - unit * width;
            break;
        case kTaCenter:
            break;
        default:
            m_dc.Position = reference + unit * width;
            break;
    }
}

void EmfPlayer::operator()(const TextRecord& r)
{
    const auto* fontObject = std::get_if<FontObject>(m_dc.Font.get());
    if (!fontObject)
        return;
    const LogFontW& lf = fontObject->Font;
    const QString text = r.IsAnsi ? DecodeAnsi(r.Ansi, lf.CharSet)
                                  : QString::fromUtf16(r.Text.data(), static_cast<qsizetype>(r.Text.size()));
    const std::optional<TextFont> font = RealiseTextFont(lf);
    if (!font)
        return;
    const double glyphToLogical = font->GlyphToLogical;
    const TextAdvances advances = MeasureText(r, text, *font);

    const bool updateCp = (m_dc.TextAlign & kTaUpdateCp) != 0;
    const QPointF reference = updateCp ? m_dc.Position : ToPoint(r.Reference);
    const QPointF origin = TextOrigin(*font->Font, advances.Width, glyphToLogical);
    const QTransform toLogical = GlyphToLogical(lf, glyphToLogical, reference);
    const QTransform toDevice = toLogical * m_full;

    std::vector<QPointF> offsets(advances.Dx.size());
    {
        double x = 0, y = 0;
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            offsets[i] = QPointF(x / glyphToLogical, -y / glyphToLogical);
            x += advances.Dx[i];
            y += advances.Dy[i];
        }
    }
    const double widthGlyph = advances.Width / glyphToLogical;

    if (m_inPath) {
        if ((r.Options & kEtoGlyphIndex) == 0)
            font->Font->AppendOutline(m_path, toDevice, origin, text, offsets);
    } else if (!Suppressed()) {
        DrawText(r, text, *font->Font, toDevice, origin, offsets, widthGlyph);
    }

    if (updateCp)
        MoveAfterText(reference, toLogical, advances.Width);
}

}  // namespace dw::emf
