// SPDX-License-Identifier: MIT
#include "report/core/sizes.h"

#include "common/errors.h"

#include <array>
#include <optional>
#include <utility>

namespace dw {

namespace {

constexpr std::array<TVpDirection, TVpBandSize::kValueCount> kBandDirections{
    TVpDirection::Vertical,    // Height
    TVpDirection::Horizontal,  // Width
};
constexpr std::array<Extended, TVpBandSize::kValueCount> kBandDefaults{20.0L, 40.0L};

constexpr std::array<TVpDirection, TVpPrintableSize::kValueCount> kPrintableDirections{
    TVpDirection::Vertical,    // Height
    TVpDirection::Horizontal,  // Left
    TVpDirection::Vertical,    // Top
    TVpDirection::Horizontal,  // Width
};
constexpr std::array<Extended, TVpPrintableSize::kValueCount> kPrintableDefaults{20.0L, 20.0L, 20.0L, 20.0L};

// A stored value that already shows as this pixel is left alone: rewriting
// it from the pixel would lose the exact value it was stored with (a
// designed 400 pixels is 1058.33... tenths, which reads back as 399.999...).
bool Differs(int pixels, Extended current)
{
    if (static_cast<Extended>(pixels) == current)
        return false;
    try {
        return RoundPixel(current) != pixels;
    } catch (const EMathError&) {
        return true;
    }
}

}  // namespace

TVpBandSize::TVpBandSize(const VpEnvironment& environment, IPixelBounds* owner)
    : TVpUnitBase(environment, kBandDirections, kBandDefaults), m_owner(owner)
{
}

void TVpBandSize::SetValue(std::size_t index, Extended value)
{
    TVpUnitBase::SetValue(index, value);
    UpdateOwnerBounds();
}

void TVpBandSize::UpdateOwnerBounds()
{
    if (m_owner == nullptr) {
        return;
    }
    const int width = PixelValue(kWidth);
    const int height = PixelValue(kHeight);
    UpdatingScope updating(*this);
    PixelRect bounds = m_owner->PixelBounds();
    bounds.Width = width;
    bounds.Height = height;
    m_owner->SetPixelBounds(bounds);
}

void TVpBandSize::PlaceOnReport(IVpReportFont* report, TVpUnit units, int zoom)
{
    SetUnits(units);
    SetParentReport(report);
    SetZoom(zoom);
    UpdateOwnerBounds();
}

TVpPrintableSize::TVpPrintableSize(const VpEnvironment& environment, IPixelBounds* owner)
    : TVpUnitBase(environment, kPrintableDirections, kPrintableDefaults), m_owner(owner)
{
}

void TVpPrintableSize::SetValue(std::size_t index, Extended value)
{
    TVpUnitBase::SetValue(index, value);
    UpdateOwnerBounds();
}

void TVpPrintableSize::UpdateOwnerBounds()
{
    if (m_owner == nullptr) {
        return;
    }
    // All four are worked out first: a value that cannot be shown must not
    // leave the control half moved.
    const PixelRect bounds{PixelValue(kLeft), PixelValue(kTop), PixelValue(kWidth), PixelValue(kHeight)};
    UpdatingScope updating(*this);
    m_owner->SetPixelBounds(bounds);
}

void TVpPrintableSize::Loaded()
{
    UpdateOwnerBounds();
    // Forms written before the sizes were stored carry only pixel
    // properties; those stand in where the stored values give nothing.
    const std::array<std::pair<std::size_t, int>, 4> fallback{{
        {kLeft, m_loadedBounds.Left},
        {kTop, m_loadedBounds.Top},
        {kWidth, m_loadedBounds.Width},
        {kHeight, m_loadedBounds.Height},
    }};
    for (const auto& [index, loaded] : fallback) {
        if (loaded != 0 && PixelValue(index) == 0) {
            StorePixel(index, loaded);
        }
    }
}

void TVpPrintableSize::StorePixel(std::size_t index, int pixels)
{
    PixelUnitsScope restore(*this);
    SetValue(index, pixels);
}

void TVpPrintableSize::OwnerBoundsSet(const PixelRect& bounds, bool formLoading)
{
    if (ParentUpdating()) {
        return;
    }
    if (formLoading) {
        if (bounds.Left != 0) {
            m_loadedBounds.Left = bounds.Left;
        }
        if (bounds.Top != 0) {
            m_loadedBounds.Top = bounds.Top;
        }
        if (bounds.Width != 0) {
            m_loadedBounds.Width = bounds.Width;
        }
        if (bounds.Height != 0) {
            m_loadedBounds.Height = bounds.Height;
        }
        return;
    }
    // Writing only what changed keeps the stored value exact for the parts
    // the user did not touch (a pixel is coarser than a tenth of a millimetre).
    PixelUnitsScope restore(*this);
    if (Differs(bounds.Height, GetValue(kHeight))) {
        SetValue(kHeight, bounds.Height);
    }
    if (Differs(bounds.Width, GetValue(kWidth))) {
        SetValue(kWidth, bounds.Width);
    }
    if (Differs(bounds.Top, GetValue(kTop))) {
        SetValue(kTop, bounds.Top);
    }
    if (Differs(bounds.Left, GetValue(kLeft))) {
        SetValue(kLeft, bounds.Left);
    }
}

void TVpPrintableSize::PlaceOnReport(IVpReportFont* report, TVpUnit units, int zoom, bool formLoading)
{
    const std::optional<PixelRect> previous =
        m_owner != nullptr ? std::optional<PixelRect>(m_owner->PixelBounds()) : std::nullopt;
    SetUnits(units);
    SetParentReport(report);
    SetZoom(zoom);
    UpdateOwnerBounds();
    if (!previous) {
        return;
    }
    // The element keeps the place on screen where it was put; that place is
    // stored under the report's zoom.
    if (formLoading) {
        OwnerBoundsSet({previous->Left, previous->Top, 0, 0}, true);
        return;
    }
    PixelUnitsScope restore(*this);
    if (Differs(previous->Top, GetValue(kTop))) {
        SetValue(kTop, previous->Top);
    }
    if (Differs(previous->Left, GetValue(kLeft))) {
        SetValue(kLeft, previous->Left);
    }
}

void TVpPrintableSize::PlaceOnBand(const TVpBandSize& band)
{
    SetUnits(band.GetUnits());
    if (band.ParentReport() != nullptr) {
        SetParentReport(band.ParentReport());
        SetZoom(band.Zoom());
    }
    UpdateOwnerBounds();
}

}  // namespace dw
