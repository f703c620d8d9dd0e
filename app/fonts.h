// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

namespace dw {

// The main window's font: "MS Sans Serif" (its metric-compatible stand-in) at
// a character height in pixels of the 96-dpi design.
QFont FormFont(int pixelHeight, bool bold = false);

}  // namespace dw
