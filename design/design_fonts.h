// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QString>

namespace dw {

// The windows and the report were designed with the fonts of another desktop
// ("MS Sans Serif", "Arial", "Times New Roman"...). Each is mapped to an
// installed family with the same metrics, so texts keep their widths and
// layouts their places. Unknown names are left as they are.
QString SubstituteFontFamily(const QString& faceName);

// A font of a designed family at a character height in pixels (96-dpi design).
// The substitutes carry every Latin and Cyrillic glyph the program shows, so
// the font system is told not to build per-script fallback lists for it.
QFont DesignFont(const QString& family, int pixelHeight, bool bold = false);

}  // namespace dw
