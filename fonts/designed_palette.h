// SPDX-License-Identifier: MIT
#pragma once

#include <QPalette>

namespace dw {

// The colours the windows were designed against: the light desktop the
// toolkit gives when no theme speaks up. Windows that set their own colours
// take every other colour from here too, so a dark or high-contrast desktop
// theme cannot put the designed navy, maroon and silver on a background they
// were never meant for, nor turn the text of a silver field white.
QPalette DesignedPalette();

}  // namespace dw
