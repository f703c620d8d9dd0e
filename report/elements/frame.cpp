// SPDX-License-Identifier: MIT
#include "report/elements/frame.h"

#include "common/errors.h"
#include "report/core/units.h"

#include <algorithm>

namespace dw {

namespace {

constexpr Extended kNativePerPoint = 254.0L / 72.0L;

int Thick(Extended factor, int width)
{
    if (width == 0)
        return 0;
    if (width == -1)
        return 1;
    int n = 0;
    try {
        n = RoundPixel(factor * (1.0L / 72.0L) * 254.0L * width);
    } catch (const EMathError&) {
        // A width no device can draw: as thick as a coordinate allows.
        n = width > 0 ? 1 << 20 : 0;
    }
    if (n <= 0 && width > 0)
        n = 1;
    return std::max(n, 0);
}

}  // namespace

int TVpFrame::ContentOffset() const
{
    try {
        return RoundPixel(Width * kNativePerPoint);
    } catch (const EMathError&) {
        return 0;
    }
}

TVpFrame::Thickness TVpFrame::LineThickness(Extended fx, Extended fy) const
{
    return {Thick(fy, Width), Thick(fx, Width)};
}

void TVpFrame::Draw(TVpCanvas& canvas, const TRect& rect, Extended fx, Extended fy) const
{
    if (!AnyFrame())
        return;
    const Thickness thickness = LineThickness(fx, fy);
    // No line is thicker than the rectangle it frames (and a huge width
    // cannot make the loop below run for ever).
    const int nV = std::min(thickness.Vertical - 1, std::max(rect.Width(), 0)) + 1;
    const int nH = std::min(thickness.Horizontal - 1, std::max(rect.Height(), 0)) + 1;
    canvas.SetPen(Color, 1, Style);
    canvas.SetBrush(TBrushStyle::bsSolid, Color);
    for (int i = 0; DrawTop && i < nH; ++i) {
        canvas.MoveTo(rect.Left, rect.Top + i);
        canvas.LineTo(rect.Right, rect.Top + i);
    }
    for (int i = 0; DrawBottom && i < nH; ++i) {
        canvas.MoveTo(rect.Left, rect.Bottom - i);
        canvas.LineTo(rect.Right, rect.Bottom - i);
    }
    for (int i = 0; DrawLeft && i < nV; ++i) {
        canvas.MoveTo(rect.Left + i, rect.Top);
        canvas.LineTo(rect.Left + i, rect.Bottom);
    }
    for (int i = 0; DrawRight && i < nV; ++i) {
        canvas.MoveTo(rect.Right - i, rect.Top);
        canvas.LineTo(rect.Right - i, rect.Bottom);
    }
    canvas.SetBrush(TBrushStyle::bsClear, Color);
}

}  // namespace dw
