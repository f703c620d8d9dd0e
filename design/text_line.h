// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QPointF>
#include <QString>
#include <QTextLayout>

class QPainter;

namespace dw {

// One line of text laid out once: measuring it and drawing it then cost a
// single shaping, where asking the font metrics for the width and then
// drawing the string shapes the same words twice. Draws exactly what
// QPainter::drawText draws for the same string, font and top-left corner.
class TTextLine {
public:
    TTextLine(const QString& text, const QFont& font);
    TTextLine(const TTextLine&) = delete;
    TTextLine& operator=(const TTextLine&) = delete;

    // The advance in whole pixels, as QFontMetrics::horizontalAdvance gives it.
    int Width() const;
    // The exact advance and line height (ascent + descent), for placing the
    // line as the painter's own aligned drawing does.
    qreal Advance() const;
    qreal Height() const;
    // Draws with the painter's pen, the line's top-left corner at `topLeft`.
    void Draw(QPainter& painter, const QPointF& topLeft) const;

private:
    QTextLayout m_layout;
    QTextLine m_line;
};

}  // namespace dw
