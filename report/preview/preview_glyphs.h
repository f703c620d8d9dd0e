// SPDX-License-Identifier: MIT
#pragma once

// The pictures on the preview's buttons: 18 x 18 pixels in the sixteen
// colours of a plain display, drawn here rather than loaded, once for each
// pixel ratio a screen may have, so they stay sharp on a high-density screen.

#include <QIcon>
#include <QPixmap>

namespace dw {

enum class TVpGlyph {
    ZoomToFit,
    ZoomTo100,
    ZoomToWidth,
    FirstPage,
    PrevPage,
    NextPage,
    LastPage,
    PrintSetup,
    Print,
    Save,
    Load,
    Close,
    ZoomIn,
    ZoomOut,
};

inline constexpr int kGlyphSize = 18;

// The glyph at a pixel ratio; disabled gives the greyed, embossed image a
// button shows while it cannot be pressed.
QPixmap GlyphPixmap(TVpGlyph glyph, qreal devicePixelRatio, bool disabled = false);
// The glyph at ratios 1 and 2, with its disabled image.
QIcon GlyphIcon(TVpGlyph glyph);

}  // namespace dw
