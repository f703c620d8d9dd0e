// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

#include "report/core/units.h"

namespace dw {

// A band's height and width. The band's position is not its own: the report
// lays the bands out one below the other (LayoutBands).
class TVpBandSize : public TVpUnitBase {
public:
    static constexpr std::size_t kHeight = 0;
    static constexpr std::size_t kWidth = 1;
    static constexpr std::size_t kValueCount = 2;

    // owner is the band control; it may be null (a record with no control).
    explicit TVpBandSize(const VpEnvironment& environment, IPixelBounds* owner = nullptr);

    void SetValue(std::size_t index, Extended value) override;
    // Gives the band control its pixel width and height; its left and top stay.
    void UpdateOwnerBounds() override;

    Extended Height() const { return GetValue(kHeight); }
    void SetHeight(Extended value) { SetValue(kHeight, value); }
    Extended Width() const { return GetValue(kWidth); }
    void SetWidth(Extended value) { SetValue(kWidth, value); }

    // The band was put on a report: it reads and writes in the report's unit
    // and shows at the report's zoom.
    void PlaceOnReport(IVpReportFont* report, TVpUnit units, int zoom);

private:
    IPixelBounds* m_owner;
};

// Where a printable element (a label) stands and how large it is, measured
// from the top-left corner of its container: the sheet for an element placed
// on the report, the band otherwise. The stored values decide; the control's
// pixel rectangle follows them and, when moved by someone else, is written
// back into them.
class TVpPrintableSize : public TVpUnitBase {
public:
    static constexpr std::size_t kHeight = 0;
    static constexpr std::size_t kLeft = 1;
    static constexpr std::size_t kTop = 2;
    static constexpr std::size_t kWidth = 3;
    static constexpr std::size_t kValueCount = 4;

    explicit TVpPrintableSize(const VpEnvironment& environment, IPixelBounds* owner = nullptr);

    // Each write pushes the bounds to the control again.
    void SetValue(std::size_t index, Extended value) override;
    void UpdateOwnerBounds() override;
    // The stored values place the control; a pixel value that comes out as 0
    // falls back to the non-zero one the form gave while loading.
    void Loaded() override;

    Extended Height() const { return GetValue(kHeight); }
    void SetHeight(Extended value) { SetValue(kHeight, value); }
    Extended Left() const { return GetValue(kLeft); }
    void SetLeft(Extended value) { SetValue(kLeft, value); }
    Extended Top() const { return GetValue(kTop); }
    void SetTop(Extended value) { SetValue(kTop, value); }
    Extended Width() const { return GetValue(kWidth); }
    void SetWidth(Extended value) { SetValue(kWidth, value); }

    // The control calls this whenever its pixel rectangle was set. Ignored
    // while the record itself is pushing (ParentUpdating). While the form is
    // loading the non-zero parts are only remembered (LoadedBounds); after
    // that each part that differs from the stored value is stored. The control
    // applies its band alignment afterwards, if it has one.
    void OwnerBoundsSet(const PixelRect& bounds, bool formLoading);
    // The pixel rectangle the form gave while loading (0 where none was given).
    const PixelRect& LoadedBounds() const noexcept { return m_loadedBounds; }

    // The element was put on a report: it takes the report's unit, report and
    // zoom, and its previous pixel position is stored again under that zoom.
    void PlaceOnReport(IVpReportFont* report, TVpUnit units, int zoom, bool formLoading);
    // The element was put on a band: it takes the band's unit and, when the
    // band belongs to a report, that report and its zoom.
    void PlaceOnBand(const TVpBandSize& band);

private:
    void StorePixel(std::size_t index, int pixels);

    IPixelBounds* m_owner;
    PixelRect m_loadedBounds;
};

}  // namespace dw
