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

    // The hoisting line comes down from the top edge.
    painter.setPen(QPen(QColor(0, 0, 255), 2.0, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(16, 0), QPointF(16, 11));

    // The hook: a red shank and an open bend that carries the pipe.
    QPainterPath hook;
    hook.moveTo(16, 10);
    hook.lineTo(16, 14);
    hook.arcTo(QRectF(10, 11, 12, 10), 90, -270);
    painter.setPen(QPen(QColor(255, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(hook);

    // The pipe hangs from the hook, dark red with a yellow outline.
    painter.setPen(QPen(QColor(255, 255, 0), 1.5));
    painter.setBrush(QColor(128, 0, 0));
    painter.drawRect(QRectF(13, 20, 6, 11));
    return pixmap;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(DrawProgramIcon(size));
    return icon;
}

}  // namespace dw
