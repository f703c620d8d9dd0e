// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QPixmap>

namespace dw {

// The program's icon: a blue hoisting line ending in a red hook that holds a
// dark-red pipe outlined in yellow. Drawn rather than stored so it stays sharp
// at every size the desktop asks for.
QPixmap DrawProgramIcon(int size);
QIcon ProgramIcon();

}  // namespace dw
