// SPDX-License-Identifier: MIT
#include "report/emf/text_painting.h"

#include "design/design_fonts.h"

#include "report/emf/canvas.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dw {

int FontPixelHeight(int pointSize, int pixelsPerInch)
{
    const long long product = static_cast<long long>(pointSize) * pixelsPerInch;
    const long long half = 36;
    const long long magnitude = std::min<long long>((std::llabs(product) + half) / 72, kLargestFontPixels);
    return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

PlacedFont::PlacedFont(const TextFontSpec& spec) : m_spec(spec)
{
    // Sizes far beyond any page are clamped: Qt would try to rasterise them.
    const double height = std::isfinite(spec.PixelHeight) ? spec.PixelHeight : 13.0;
    const int pixels = static_cast<int>(std::clamp(std::round(height), 1.0, double{kLargestFontPixels}));
    m_font.setFamilies({SubstituteFontFamily(spec.Family)});
    m_font.setPixelSize(pixels);
    m_font.setWeight(static_cast<QFont::Weight>(std::clamp(spec.Weight, 1, 1000)));
    m_font.setItalic(spec.Italic);
    m_font.setKerning(false);
    if (spec.StretchPercent > 0)
        m_font.setStretch(static_cast<int>(std::clamp(std::round(spec.StretchPercent), 1.0, 4000.0)));
    m_raw = QRawFont::fromFont(m_font);
    const QFontMetricsF metrics(m_font);
    m_ascent = qRound(metrics.ascent());
    m_descent = qRound(metrics.descent());
    m_underlinePos = metrics.underlinePos();
    m_strikeOutPos = metrics.strikeOutPos();
    m_lineWidth = std::max(1.0, std::round(metrics.lineWidth()));
    if (m_raw.isValid()) {
        const QList<quint32> probe = m_raw.glyphIndexesForString(QStringLiteral(" A"));
        m_standardOrder = probe.size() == 2 && probe[0] == 3 && probe[1] == 36;
        // The number of glyphs, from the font's maximum-profile table.
        const QByteArray maxp = m_raw.fontTable("maxp");
        if (maxp.size() >= 6)
            m_glyphCount =
                (static_cast<quint32>(static_cast<unsigned char>(maxp[4])) << 8) | static_cast<unsigned char>(maxp[5]);
    }
}

std::vector<std::int32_t> PlacedFont::Advances(QStringView text) const
{
    const QFontMetricsF metrics(m_font);
    std::vector<std::int32_t> advances(static_cast<std::size_t>(text.size()), 0);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            advances[static_cast<std::size_t>(i)] = qRound(metrics.horizontalAdvance(text.mid(i, 2).toString()));
            ++i;
            continue;
        }
        advances[static_cast<std::size_t>(i)] = qRound(metrics.horizontalAdvance(c));
    }
    return advances;
}

std::int32_t PlacedFont::Width(QStringView text) const
{
    std::int32_t sum = 0;
    for (std::int32_t a : Advances(text)) sum += a;
    return sum;
}

namespace {

// Glyphs are rasterised by the font engine only at scales near their own,
// on axes near a right angle, and at sizes a glyph cache is meant for; a
// page that stretches, shears or enlarges text far beyond that has it
// filled as outlines instead (the engine fails on such transforms). Vector
// output (PDF, printers) rasterises nothing, so there text stays text at any
// scale, searchable and sharp, and only a degenerate transform is outlined.
bool NeedsOutlines(const QPainter& painter, int pixelSize)
{
    const QTransform t = painter.worldTransform();
    const double a = std::hypot(t.m11(), t.m12());
    const double b = std::hypot(t.m21(), t.m22());
    const double det = t.m11() * t.m22() - t.m12() * t.m21();
    const bool rightAngled = a > 0 && b > 0 && std::fabs(det) >= 0.5 * a * b;
    const QPaintEngine* engine = painter.paintEngine();
    if (engine && engine->type() != QPaintEngine::Raster)
        return !rightAngled;
    const bool usable =
        rightAngled && a >= 0.25 && a <= 4.0 && b >= 0.25 && b <= 4.0 && pixelSize * std::max(a, b) <= 256.0;
    return !usable;
}

}  // namespace

void PlacedFont::DrawRun(QPainter& painter, const QList<quint32>& glyphs, const QList<QPointF>& positions,
                         const std::vector<std::pair<QPointF, QString>>& fallbacks) const
{
    if (NeedsOutlines(painter, m_font.pixelSize())) {
        QPainterPath path;
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            path.addPath(m_raw.pathForGlyph(glyphs[i]).translated(positions[i]));
        for (const auto& [at, text] : fallbacks) path.addText(at, m_font, text);
        // Outlines are smoothed as glyphs would be.
        const bool smooth = painter.testRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::Antialiasing, painter.testRenderHint(QPainter::TextAntialiasing));
        painter.fillPath(path, painter.pen().color());
        painter.setRenderHint(QPainter::Antialiasing, smooth);
        return;
    }
    if (!glyphs.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(m_raw);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    if (!fallbacks.empty()) {
        painter.setFont(m_font);
        for (const auto& [at, text] : fallbacks) painter.drawText(at, text);
    }
}

void PlacedFont::Draw(QPainter& painter, const QPointF& origin, QStringView text, std::span<const QPointF> offsets,
                      double totalAdvance) const
{
    if (text.isEmpty() || offsets.size() < static_cast<std::size_t>(text.size()))
        return;
    QVarLengthArray<quint32, 64> glyphs(text.size());
    int glyphCount = static_cast<int>(text.size());
    const bool haveGlyphs = m_raw.isValid() && m_raw.glyphIndexesForChars(text.data(), static_cast<int>(text.size()),
                                                                          glyphs.data(), &glyphCount);
    QList<quint32> runGlyphs;
    QList<QPointF> runPositions;
    std::vector<std::pair<QPointF, QString>> fallbacks;
    runGlyphs.reserve(glyphCount);
    runPositions.reserve(glyphCount);
    int glyph = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        char32_t codePoint = c.unicode();
        const qsizetype first = i;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
        }
        const quint32 index = haveGlyphs && glyph < glyphCount ? glyphs[glyph] : 0;
        ++glyph;
        if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0))
            continue;
        const QPointF at = origin + offsets[static_cast<std::size_t>(first)];
        if (index != 0) {
            runGlyphs.append(index);
            runPositions.append(at);
        } else if (codePoint != U' ') {
            // Not in this font: Qt finds a font that has it.
            fallbacks.emplace_back(at, text.mid(first, i - first + 1).toString());
        }
    }
    // In opaque mode Qt paints each glyph's box with the background, which
    // hides the glyphs; any text background is drawn by the caller.
    const Qt::BGMode mode = painter.backgroundMode();
    painter.setBackgroundMode(Qt::TransparentMode);
    DrawRun(painter, runGlyphs, runPositions, fallbacks);
    DrawDecorations(painter, origin, totalAdvance);
    painter.setBackgroundMode(mode);
}

void PlacedFont::DrawGlyphIndices(QPainter& painter, const QPointF& origin, std::span<const quint32> glyphs,
                                  std::span<const QPointF> offsets, double totalAdvance) const
{
    if (glyphs.empty() || offsets.size() < glyphs.size() || !m_raw.isValid())
        return;
    QList<quint32> runGlyphs;
    QList<QPointF> runPositions;
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        if (glyphs[i] == 0 || glyphs[i] >= m_glyphCount)
            continue;
        runGlyphs.append(glyphs[i]);
        runPositions.append(origin + offsets[i]);
    }
    const Qt::BGMode mode = painter.backgroundMode();
    painter.setBackgroundMode(Qt::TransparentMode);
    DrawRun(painter, runGlyphs, runPositions, {});
    DrawDecorations(painter, origin, totalAdvance);
    painter.setBackgroundMode(mode);
}

std::vector<double> PlacedFont::GlyphAdvances(std::span<const quint32> glyphs) const
{
    std::vector<double> advances(glyphs.size(), 0.0);
    if (!m_raw.isValid() || glyphs.empty())
        return advances;
    const QList<quint32> list(glyphs.begin(), glyphs.end());
    const QList<QPointF> points = m_raw.advancesForGlyphIndexes(list);
    for (qsizetype i = 0; i < points.size() && i < static_cast<qsizetype>(advances.size()); ++i)
        advances[static_cast<std::size_t>(i)] = std::round(points[i].x());
    return advances;
}

void PlacedFont::DrawDecorations(QPainter& painter, const QPointF& origin, double totalAdvance) const
{
    if ((m_spec.Underline || m_spec.StrikeOut) && totalAdvance != 0) {
        const QColor color = painter.pen().color();
        const double left = std::min(origin.x(), origin.x() + totalAdvance);
        const double width = std::fabs(totalAdvance);
        if (m_spec.Underline)
            painter.fillRect(QRectF(left, origin.y() + std::round(m_underlinePos), width, m_lineWidth), color);
        if (m_spec.StrikeOut)
            painter.fillRect(QRectF(left, origin.y() - std::round(m_strikeOutPos), width, m_lineWidth), color);
    }
}

void PlacedFont::AppendOutline(QPainterPath& path, const QTransform& toDevice, const QPointF& origin, QStringView text,
                               std::span<const QPointF> offsets) const
{
    if (text.isEmpty() || !m_raw.isValid() || offsets.size() < static_cast<std::size_t>(text.size()))
        return;
    QVarLengthArray<quint32, 64> glyphs(text.size());
    int glyphCount = static_cast<int>(text.size());
    if (!m_raw.glyphIndexesForChars(text.data(), static_cast<int>(text.size()), glyphs.data(), &glyphCount))
        return;
    int glyph = 0;
    for (qsizetype i = 0; i < text.size() && glyph < glyphCount; ++i, ++glyph) {
        const qsizetype first = i;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        if (glyphs[glyph] == 0)
            continue;
        const QPointF at = origin + offsets[static_cast<std::size_t>(first)];
        const QPainterPath outline = m_raw.pathForGlyph(glyphs[glyph]).translated(at);
        path.addPath(toDevice.map(outline));
    }
}

double PlacedFont::AverageCharWidth() const
{
    return QFontMetricsF(m_font).averageCharWidth();
}

std::vector<QPointF> OffsetsFromAdvances(std::span<const std::int32_t> advances, double scale)
{
    std::vector<QPointF> offsets;
    offsets.reserve(advances.size());
    double x = 0;
    for (std::int32_t a : advances) {
        offsets.emplace_back(x, 0.0);
        x += a * scale;
    }
    return offsets;
}

}  // namespace dw
