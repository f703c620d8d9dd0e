// SPDX-License-Identifier: MIT
#pragma once

// Fonts and text as pages lay them out: every character gets a whole-pixel
// advance measured with the font at the page's resolution, and glyphs are
// placed at those advances instead of where a text shaper would put them.
// The recorded page stores the advances, so any player (ours or another)
// puts every character exactly where the page was laid out.

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

class QPainter;
class QPainterPath;
class QTransform;

namespace dw {

// The largest em height a font is realised at, in pixels: larger sizes (a
// font size from a saved report or a caption can be anything) are held here,
// where Qt still renders glyphs and no size computation overflows.
inline constexpr int kLargestFontPixels = 8000;

struct TextFontSpec {
    QString Family;           // face name as written on the page
    double PixelHeight = 13;  // em height in pixels
    int Weight = 400;         // 1..1000
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    double StretchPercent = 0;  // 0: natural width
};

// A font ready for placing glyphs: the Qt font, its raw font and the
// integer metrics the layout uses.
class PlacedFont {
public:
    PlacedFont() = default;
    explicit PlacedFont(const TextFontSpec& spec);

    const QFont& Font() const { return m_font; }
    int Ascent() const { return m_ascent; }
    int Descent() const { return m_descent; }
    int Height() const { return m_ascent + m_descent; }

    // One whole-pixel advance per UTF-16 unit; the second unit of a
    // surrogate pair gets 0.
    std::vector<std::int32_t> Advances(QStringView text) const;
    std::int32_t Width(QStringView text) const;

    // Draws text with its baseline starting at origin (painter
    // coordinates), character i at origin + offsets[i] (x along the
    // baseline, y downwards), in the painter's pen colour. Missing glyphs
    // are drawn through Qt's font fallback; control characters are skipped.
    // The underline and strike-out lines span totalAdvance.
    void Draw(QPainter& painter, const QPointF& origin, QStringView text, std::span<const QPointF> offsets,
              double totalAdvance) const;

    // Glyph numbers written by another system name glyphs of the font it
    // had. The usual faces and their stand-ins number the basic Latin
    // glyphs alike (space 3, "A" 36); only then are such numbers drawn.
    bool StandardGlyphOrder() const { return m_standardOrder; }
    void DrawGlyphIndices(QPainter& painter, const QPointF& origin, std::span<const quint32> glyphs,
                          std::span<const QPointF> offsets, double totalAdvance) const;
    // Advances of glyphs by number, in pixels.
    std::vector<double> GlyphAdvances(std::span<const quint32> glyphs) const;

    // Adds the outlines of the glyphs, placed as Draw places them and then
    // mapped through toDevice, to path (text inside a path bracket).
    void AppendOutline(QPainterPath& path, const QTransform& toDevice, const QPointF& origin, QStringView text,
                       std::span<const QPointF> offsets) const;

    // The average character width, for fonts asked for by width.
    double AverageCharWidth() const;

private:
    TextFontSpec m_spec;
    QFont m_font;
    QRawFont m_raw;
    int m_ascent = 0;
    int m_descent = 0;
    double m_underlinePos = 0;
    double m_strikeOutPos = 0;
    double m_lineWidth = 1;
    bool m_standardOrder = false;
    quint32 m_glyphCount = 0;

    void DrawDecorations(QPainter& painter, const QPointF& origin, double totalAdvance) const;
    void DrawRun(QPainter& painter, const QList<quint32>& glyphs, const QList<QPointF>& positions,
                 const std::vector<std::pair<QPointF, QString>>& fallbacks) const;
};

// Offsets of each character from the running sum of advances.
std::vector<QPointF> OffsetsFromAdvances(std::span<const std::int32_t> advances, double scale = 1.0);

}  // namespace dw
