// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

#include "report/core/page.h"
#include "report/core/sizes.h"
#include "report/core/units.h"

namespace dw {

enum class TVpBandType : std::uint8_t {
    rbTitle,
    rbPageHeader,
    rbDetail,
    rbPageFooter,
    rbSummary,
    rbGroupHeader,
    rbGroupFooter,
    rbSubDetail,
    rbColumnHeader,
    rbOverlay,
    rbChild
};

// A band as the report's geometry sees it: its control (pixel bounds), its
// type, its size record and the size records of the elements on it.
class IVpBand : public IPixelBounds {
public:
    virtual TVpBandType BandType() const = 0;
    virtual TVpBandSize& Size() = 0;
    virtual std::vector<TVpPrintableSize*> ElementSizes() = 0;

protected:
    ~IVpBand() = default;
};

// The report control that owns a TVpReportGeometry: its pixel bounds, its
// font (for the character unit), its bands and the elements placed directly
// on it, and whether it is being loaded or destroyed.
class IVpReportHost : public IPixelBounds, public IVpReportFont {
public:
    virtual bool Loading() const = 0;
    virtual bool Destroying() const = 0;
    // Every band, in print order, each child band right after the band it follows.
    virtual std::vector<IVpBand*> Bands() = 0;
    // Elements placed on the report itself, outside any band.
    virtual std::vector<TVpPrintableSize*> ElementSizes() = 0;
    // Report and bands are drawn again.
    virtual void Repaint() = 0;

protected:
    ~IVpReportHost() = default;
};

// The geometry of one report: its page, its zoom and its unit, and the layout
// of its bands in the design view. The report control holds one and calls
// ControlResized from its resize handler.
class TVpReportGeometry final : private IVpPageOwner {
public:
    // The page starts with the defaults of environment's measurement system.
    // Nothing is asked of the host here, so a control can hold the geometry
    // as a member; it gives itself the paper's size by setting PaperSize (or
    // calling Page().UpdateOwnerBounds()) once it is ready.
    TVpReportGeometry(IVpReportHost& host, const VpEnvironment& environment);
    TVpReportGeometry(const TVpReportGeometry&) = delete;
    TVpReportGeometry& operator=(const TVpReportGeometry&) = delete;

    TVpPage& Page() noexcept { return m_page; }
    const TVpPage& Page() const noexcept { return m_page; }

    // The page's unit. Setting it sets the unit of the page, every band and
    // every element; no stored value changes.
    TVpUnit Units() const { return m_page.GetUnits(); }
    void SetUnits(TVpUnit unit);

    // Percent, 1..300; anything else is ignored. Changes the pixel bounds of
    // the report, its bands and its elements, never a stored value.
    int Zoom() const noexcept { return m_zoom; }
    void SetZoom(int zoom);

    // Stacks the bands below the top margin and gives each its width: the
    // full printable width for title, page header, page footer, summary and
    // overlay bands (and the child bands that follow them), one column's
    // width for the others. Skipped while the report loads or is destroyed.
    void LayoutBands() override;

    // The report control was given a new size by someone other than the page.
    void ControlResized(int pixelWidth, int pixelHeight) { m_page.OwnerResized(pixelWidth, pixelHeight); }

    // An element or a band was put on this report.
    void PlaceElement(TVpPrintableSize& size, bool formLoading);
    void PlaceBand(TVpBandSize& size);

private:
    PixelRect PixelBounds() const override { return m_host.PixelBounds(); }
    void SetPixelBounds(const PixelRect& bounds) override { m_host.SetPixelBounds(bounds); }
    void Repaint() override { m_host.Repaint(); }

    IVpReportHost& m_host;
    TVpPage m_page;
    int m_zoom = 100;
};

}  // namespace dw
