// SPDX-License-Identifier: MIT
#pragma once

// Stand-ins for the report's controls that behave as the widgets will: every
// change of bounds, whoever makes it, goes through SetPixelBounds and is
// reported back to the size record, so a write-back loop would show here.

#include <vector>

#include "report/core/report_geometry.h"

namespace dw::geometry_test {

inline constexpr VpEnvironment kScreen96{96, false};

struct FakeElement final : IPixelBounds {
    explicit FakeElement(const VpEnvironment& environment = kScreen96) : Size(environment, this) {}
    PixelRect PixelBounds() const override { return Bounds; }
    void SetPixelBounds(const PixelRect& bounds) override
    {
        Bounds = bounds;
        Size.OwnerBoundsSet(bounds, FormLoading);
    }

    PixelRect Bounds;
    bool FormLoading = false;
    TVpPrintableSize Size;
};

struct FakeBand final : IVpBand {
    FakeBand(TVpBandType type, Extended heightNative) : Type(type), SizeRecord(kScreen96, this)
    {
        ScopedUnits native(SizeRecord, TVpUnit::Native);
        SizeRecord.SetHeight(heightNative);
    }
    PixelRect PixelBounds() const override { return Bounds; }
    void SetPixelBounds(const PixelRect& bounds) override { Bounds = bounds; }
    TVpBandType BandType() const override { return Type; }
    TVpBandSize& Size() override { return SizeRecord; }
    std::vector<TVpPrintableSize*> ElementSizes() override
    {
        std::vector<TVpPrintableSize*> sizes;
        for (FakeElement* element : Elements) {
            sizes.push_back(&element->Size);
        }
        return sizes;
    }

    TVpBandType Type;
    PixelRect Bounds;
    TVpBandSize SizeRecord;
    std::vector<FakeElement*> Elements;
};

struct FakeHost final : IVpReportHost {
    PixelRect PixelBounds() const override { return Bounds; }
    void SetPixelBounds(const PixelRect& bounds) override
    {
        Bounds = bounds;
        if (Geometry != nullptr) {
            Geometry->ControlResized(bounds.Width, bounds.Height);
        }
    }
    int FontPointSize() const override { return FontSize; }
    bool Loading() const override { return IsLoading; }
    bool Destroying() const override { return false; }
    std::vector<IVpBand*> Bands() override { return {BandList.begin(), BandList.end()}; }
    std::vector<TVpPrintableSize*> ElementSizes() override
    {
        std::vector<TVpPrintableSize*> sizes;
        for (FakeElement* element : Elements) {
            sizes.push_back(&element->Size);
        }
        return sizes;
    }
    void Repaint() override { ++Repaints; }

    PixelRect Bounds;
    int FontSize = 10;
    bool IsLoading = false;
    int Repaints = 0;
    TVpReportGeometry* Geometry = nullptr;
    std::vector<FakeBand*> BandList;
    std::vector<FakeElement*> Elements;
};

// A report set up as the program's sheet: A3 portrait, millimetres, 10 mm margins.
struct FakeReport {
    explicit FakeReport(const VpEnvironment& environment = kScreen96) : Geometry(Host, environment)
    {
        Host.Geometry = &Geometry;
        Geometry.SetUnits(TVpUnit::MM);
        Geometry.Page().SetPaperSize(TVpPaperSize::A3);
        const Extended values[] = {100, 4200, 100, 2970, 100, 100, 0};
        Geometry.Page().ReadValues(values);
    }
    TVpPage& Page() { return Geometry.Page(); }

    FakeHost Host;
    TVpReportGeometry Geometry;
};

// The title label of the sheet as stored in the form.
inline constexpr Extended kTitleValues[] = {52.916666666666664L, 338.6666666666667L, 127.0L, 994.8333333333334L};

}  // namespace dw::geometry_test
