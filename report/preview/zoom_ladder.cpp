// SPDX-License-Identifier: MIT
#include "report/preview/zoom_ladder.h"

#include "report/preview/preview.h"

#include <algorithm>
#include <array>

namespace dw {

namespace {

// Ascending, first and last the preview's bounds.
constexpr std::array kLadder{
    TVpPreview::kMinZoom, 5, 10, 25, 50, 75, 100, 125, 150, 200, 300, 400, 600, 800, 1200, 1600, TVpPreview::kMaxZoom};
static_assert(std::ranges::is_sorted(kLadder));

}  // namespace

int ZoomStepIn(int zoom) noexcept
{
    const auto* next = std::ranges::upper_bound(kLadder, zoom);
    return next != kLadder.end() ? *next : zoom;
}

int ZoomStepOut(int zoom) noexcept
{
    const auto* next = std::ranges::lower_bound(kLadder, zoom);
    return next != kLadder.begin() ? *(next - 1) : zoom;
}

}  // namespace dw
