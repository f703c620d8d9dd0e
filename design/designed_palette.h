// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPalette>

namespace dw {

// The colours the windows were designed against: the light desktop the
// toolkit gives when no theme speaks up. Windows that set their own colours
// take every other colour from here too, so a dark or high-contrast desktop
// theme cannot put the designed navy, maroon and silver on a background they
// were never meant for, nor turn the text of a silver field white.
QPalette DesignedPalette();

// The named colours the designs are drawn in: those of a plain sixteen-colour
// display, which the windows, the preview's glyphs and the icon all use.
namespace colour {
inline const QColor Black(0x00, 0x00, 0x00);
inline const QColor Maroon(0x80, 0x00, 0x00);
inline const QColor Green(0x00, 0x80, 0x00);
inline const QColor Olive(0x80, 0x80, 0x00);
inline const QColor Navy(0x00, 0x00, 0x80);
inline const QColor Gray(0x80, 0x80, 0x80);
inline const QColor Silver(0xC0, 0xC0, 0xC0);
inline const QColor Red(0xFF, 0x00, 0x00);
inline const QColor Lime(0x00, 0xFF, 0x00);
inline const QColor Yellow(0xFF, 0xFF, 0x00);
inline const QColor Blue(0x00, 0x00, 0xFF);
inline const QColor White(0xFF, 0xFF, 0xFF);
}  // namespace colour

}  // namespace dw
