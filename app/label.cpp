// SPDX-License-Identifier: MIT
#include "app/label.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextOption>

#include <cmath>

namespace dw {

TLabel::TLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    m_layout.setCacheEnabled(true);
}

void TLabel::EnsureLayout() const
{
    const QString caption = text();
    if (m_laidOut && caption == m_laidOutText)
        return;
    m_laidOut = true;
    m_laidOutText = caption;

    // The same line placement as the painter's own text drawing: lines on
    // whole pixels, the font's leading between them, left to right.
    QString lines = caption;
    lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
    m_layout.clearLayout();
    m_layout.setText(lines);
    m_layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    option.setTextDirection(Qt::LeftToRight);
    m_layout.setTextOption(option);

    const qreal leading = QFontMetricsF(font()).leading();
    qreal height = -leading;
    qreal width = 0;
    m_layout.beginLayout();
    for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
        line.setLineWidth(0x01000000);
        height = std::ceil(height + leading);
        line.setPosition(QPointF(0, height));
        height += line.ascent() + line.descent();
        width = std::max(width, line.naturalTextWidth());
    }
    m_layout.endLayout();
    m_textHeight = height;
    m_textSize = QSize(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
}

QSize TLabel::sizeHint() const
{
    EnsureLayout();
    const QMargins margins = contentsMargins();
    return m_textSize.grownBy(margins) + QSize(2 * margin(), 2 * margin());
}

QSize TLabel::minimumSizeHint() const
{
    return sizeHint();
}

void TLabel::paintEvent(QPaintEvent*)
{
    EnsureLayout();
    if (m_laidOutText.isEmpty())
        return;
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::Alignment align = alignment();
    qreal x = 0;
    if (align & Qt::AlignRight)
        x = area.width() - m_textSize.width();
    else if (align & Qt::AlignHCenter)
        x = (area.width() - m_textSize.width()) / 2;
    qreal y = 0;
    if (align & Qt::AlignBottom)
        y = area.height() - m_textHeight;
    else if (align & Qt::AlignVCenter)
        y = (area.height() - m_textHeight) / 2;

    QPainter painter(this);
    const QPalette::ColorGroup group =
        !isEnabled() ? QPalette::Disabled : (isActiveWindow() ? QPalette::Active : QPalette::Inactive);
    painter.setPen(palette().color(group, foregroundRole()));
    m_layout.draw(&painter, QPointF(area.left() + x, area.top() + y));
}

void TLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        m_laidOut = false;
    QLabel::changeEvent(event);
}

}  // namespace dw
