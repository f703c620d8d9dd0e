// SPDX-License-Identifier: MIT
#include "design/text_line.h"

#include <QTextOption>

#include <cmath>

namespace dw {

TTextLine::TTextLine(const QString& text, const QFont& font) : m_layout(text, font)
{
    // Keeps the shaped glyphs after the layout for the drawing.
    m_layout.setCacheEnabled(true);
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    m_layout.setTextOption(option);
    m_layout.beginLayout();
    m_line = m_layout.createLine();
    m_layout.endLayout();
}

int TTextLine::Width() const
{
    return m_line.isValid() ? static_cast<int>(std::lround(m_line.horizontalAdvance())) : 0;
}

qreal TTextLine::Advance() const
{
    return m_line.isValid() ? m_line.horizontalAdvance() : 0;
}

qreal TTextLine::Height() const
{
    return m_line.isValid() ? m_line.ascent() + m_line.descent() : 0;
}

void TTextLine::Draw(QPainter& painter, const QPointF& topLeft) const
{
    if (m_line.isValid())
        m_layout.draw(&painter, topLeft);
}

}  // namespace dw
