#pragma once

#include <QFont>

namespace dw {

// The windows were designed in "MS Sans Serif" and "Arial"; both are mapped
// to an installed family with the same metrics so layouts keep their widths.
void InstallFontSubstitutes();

// "MS Sans Serif" at a character height in pixels (96 dpi design).
QFont FormFont(int pixelHeight, bool bold = false);

}  // namespace dw
