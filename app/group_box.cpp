// SPDX-License-Identifier: MIT
#include "app/group_box.h"

#include "design/text_line.h"

#include <QPainter>

namespace dw {

namespace {

// The one-pixel outline a cosmetic pen draws for `r`: its right and bottom
// lines lie on r.right() + 1 and r.bottom() + 1.
void DrawOutline(QPainter& painter, const QRect& r, const QColor& colour)
{
    const int right = r.left() + r.width();
    const int bottom = r.top() + r.height();
    painter.fillRect(QRect(r.left(), r.top(), r.width() + 1, 1), colour);
    painter.fillRect(QRect(r.left(), bottom, r.width() + 1, 1), colour);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height() + 1), colour);
    painter.fillRect(QRect(right, r.top(), 1, r.height() + 1), colour);
}

}  // namespace

TGroupBox::TGroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void TGroupBox::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int top = metrics.height() / 2 - 1;
    const QRect frame(0, top, width() - 1, height() - top - 1);
    const QPalette& colours = palette();

    // Etched: a dark line with a light one just inside and below it. Plain
    // fills: outlining a rectangle with a pen goes through the stroker.
    DrawOutline(painter, frame.adjusted(0, 0, -1, -1), colours.color(QPalette::Mid));
    DrawOutline(painter, frame.adjusted(1, 1, 0, 0), colours.color(QPalette::Light));

    if (title().isEmpty())
        return;
    const TTextLine text(title(), font());
    const QRect textRect(8, 0, text.Width() + 1, metrics.height());
    painter.fillRect(textRect, colours.color(QPalette::Window));
    painter.setPen(colours.color(QPalette::WindowText));
    text.Draw(painter, textRect.topLeft());
}

}  // namespace dw
