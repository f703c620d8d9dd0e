// SPDX-License-Identifier: MIT
#pragma once

#include "numeric/core/extended.h"
#include "report/emf/canvas.h"

#include <QColor>

namespace dw {

// The lines drawn around an element, a band or the report's margins. Sides
// are off by default; Width is in points.
class TVpFrame {
public:
    QColor Color = Qt::black;
    bool DrawTop = false;
    bool DrawBottom = false;
    bool DrawLeft = false;
    bool DrawRight = false;
    TPenStyle Style = TPenStyle::psSolid;
    int Width = 1;

    bool AnyFrame() const noexcept { return DrawTop || DrawBottom || DrawLeft || DrawRight; }

    // Native units a top or left line moves the content by: the line's
    // width in tenths of a millimetre.
    int ContentOffset() const;

    // Draws the switched-on sides on the pixel rectangle of a device with fx
    // and fy pixels per native unit. The lines are one-pixel strokes laid
    // side by side, so a wide frame stays inside a printer's exact pixels.
    void Draw(TVpCanvas& canvas, const TRect& rect, Extended fx, Extended fy) const;

    // Thickness in pixels of the left and right lines (from fy) and of the
    // top and bottom lines (from fx), as the device lays them.
    struct Thickness {
        int Vertical = 0;
        int Horizontal = 0;
    };
    Thickness LineThickness(Extended fx, Extended fy) const;
};

}  // namespace dw
