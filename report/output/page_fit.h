// SPDX-License-Identifier: MIT
#pragma once

// A report page is never cut silently by a smaller paper: what it draws is
// printed at full size when it lies within the printable area (the sheet
// of this program, A3 by design, has all of its texts within A4) and
// scaled down to fit otherwise.

#include <optional>

class QRectF;

namespace dw {

namespace emf {
class EmfDocument;
}

// Far edges of what a page draws, measured from the page's top-left corner.
struct TDrawnExtent {
    double Right = 0;
    double Bottom = 0;
};

// In millimetres, from the page's own bounds and frame; none when the page
// draws nothing.
std::optional<TDrawnExtent> DrawnExtentMillimetres(const emf::EmfDocument& page);

// The factor (at most 1) that brings a drawing reaching to extent (device
// pixels from the printable area's corner) within a printable area of
// width x height; 1 when it fits or there is no area to fit into.
double FitScale(const TDrawnExtent& extent, double width, double height);

// Where a stored page is played on a sheet: at its own size on paper
// (pageWidthMm x pageHeightMm at pixelsPerInch), its corner offset by
// (−offsetX, −offsetY) device pixels as the printable area starts there,
// all of it scaled by FitScale of its drawn extent.
QRectF StoredPageTarget(const emf::EmfDocument& page, int pixelsPerInch, int offsetX, int offsetY, int printableWidth,
                        int printableHeight);

}  // namespace dw
