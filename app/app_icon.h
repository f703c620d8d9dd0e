// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace dw {

// The program's icon: a blue hoisting line ending in a red hook that holds a
// dark-red pipe outlined in yellow, filling its square.
//
// The image the desktop gets at `size`: drawn pixel by pixel for 16, 22, 24
// and 32, from the one drawing for every other size.
QPixmap DrawProgramIcon(int size);
// The image drawn for that grid, or a null image when there is none.
QImage TunedIconImage(int size);
// The one drawing at any size.
QImage DrawIconDrawing(int size);
// The one drawing as an SVG document, for the icon theme's scalable icon.
QString IconSvg();
QIcon ProgramIcon();

}  // namespace dw
