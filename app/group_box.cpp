#include "app/group_box.h"

#include "fonts/text_line.h"

#include <QPainter>

namespace dw {

TGroupBox::TGroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void TGroupBox::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int top = metrics.height() / 2 - 1;
    const QRect frame(0, top, width() - 1, height() - top - 1);
    const QPalette& colours = palette();

    // Etched: a dark line with a light one just inside and below it.
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(colours.color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));

    if (title().isEmpty())
        return;
    const TTextLine text(title(), font());
    const QRect textRect(8, 0, text.Width() + 1, metrics.height());
    painter.fillRect(textRect, colours.color(QPalette::Window));
    painter.setPen(colours.color(QPalette::WindowText));
    text.Draw(painter, textRect.topLeft());
}

}  // namespace dw
