// SPDX-License-Identifier: MIT
#include "app/app_icon.h"

#include <QPainter>
#include <QPainterPath>

namespace dw {

QPixmap DrawProgramIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Designed on a 32 x 32 grid, the icon's native size.
    painter.scale(size / 32.0, size / 32.0);

    // The hoisting line comes down from the top edge to the hook's eye.
    painter.setPen(QPen(QColor(0, 0, 255), 2.0, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(16, 0), QPointF(16, 7));

    // The pipe lies across the hook, dark red with a yellow outline.
    painter.setPen(QPen(QColor(255, 255, 0), 1.5));
    painter.setBrush(QColor(128, 0, 0));
    painter.drawRect(QRectF(3, 12.5, 26, 6));

    // The hook: an eye under the line, the shank on the right, the bend
    // carrying the pipe from below and the point coming up on the left.
    QPainterPath hook;
    hook.moveTo(16, 7);
    hook.lineTo(21.5, 10);
    hook.lineTo(21.5, 20);
    hook.arcTo(QRectF(11, 15, 10.5, 10), 0, -180);
    hook.lineTo(11, 16);
    painter.setPen(QPen(QColor(255, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(hook);
    return pixmap;
}

QIcon ProgramIcon()
{
    QIcon icon;
    // The desktop scales these for other sizes; drawing more costs start-up time.
    for (int size : {16, 32}) icon.addPixmap(DrawProgramIcon(size));
    return icon;
}

}  // namespace dw
