// SPDX-License-Identifier: MIT
#include "report/output/page_fit.h"

#include "report/emf/emf_reader.h"

#include <QRectF>

#include <algorithm>

namespace dw {

namespace {

constexpr double kMillimetresPerInch = 25.4;

}  // namespace

std::optional<TDrawnExtent> DrawnExtentMillimetres(const emf::EmfDocument& page)
{
    const emf::RectL& bounds = page.Header().Bounds;
    if (bounds.Right < bounds.Left || bounds.Bottom < bounds.Top) {
        return std::nullopt;
    }
    const emf::EmfDocument::FrameRect frame = page.FramePixels();
    const emf::EmfDocument::PaperSize paper = page.PageMillimetres();
    if (!(frame.Width > 0 && frame.Height > 0)) {
        return std::nullopt;
    }
    // Bounds are inclusive pixels of the reference device.
    TDrawnExtent extent;
    extent.Right = (static_cast<double>(bounds.Right) + 1 - frame.Left) / frame.Width * paper.Width;
    extent.Bottom = (static_cast<double>(bounds.Bottom) + 1 - frame.Top) / frame.Height * paper.Height;
    return extent;
}

double FitScale(const TDrawnExtent& extent, double width, double height)
{
    if (!(width > 0 && height > 0)) {
        return 1;
    }
    double scale = 1;
    if (extent.Right > width) {
        scale = std::min(scale, width / extent.Right);
    }
    if (extent.Bottom > height) {
        scale = std::min(scale, height / extent.Bottom);
    }
    return scale;
}

QRectF StoredPageTarget(const emf::EmfDocument& page, int pixelsPerInch, int offsetX, int offsetY, int printableWidth,
                        int printableHeight)
{
    const double perMm = pixelsPerInch / kMillimetresPerInch;
    const emf::EmfDocument::PaperSize paper = page.PageMillimetres();
    double scale = 1;
    if (const std::optional<TDrawnExtent> drawn = DrawnExtentMillimetres(page)) {
        scale = FitScale({drawn->Right * perMm - offsetX, drawn->Bottom * perMm - offsetY}, printableWidth,
                         printableHeight);
    }
    return {-offsetX * scale, -offsetY * scale, paper.Width * perMm * scale, paper.Height * perMm * scale};
}

}  // namespace dw
