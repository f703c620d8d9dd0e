// SPDX-License-Identifier: MIT
#include "report/core/report_geometry.h"

#include <climits>

#include "common/errors.h"

namespace dw {

namespace {

bool SpansFullWidth(TVpBandType type)
{
    switch (type) {
        case TVpBandType::rbTitle:
        case TVpBandType::rbPageHeader:
        case TVpBandType::rbPageFooter:
        case TVpBandType::rbSummary:
        case TVpBandType::rbOverlay:
            return true;
        default:
            return false;
    }
}

int ToPixelCoordinate(long long value)
{
    if (value < INT_MIN || value > INT_MAX) {
        throw ERangeError(DW_TEXT("Message", "Range check error"));
    }
    return static_cast<int>(value);
}

void ZoomElements(const std::vector<TVpPrintableSize*>& elements, int zoom)
{
    for (TVpPrintableSize* element : elements) {
        if (element != nullptr) {
            element->SetZoom(zoom);
            element->UpdateOwnerBounds();
        }
    }
}

void SetElementUnits(const std::vector<TVpPrintableSize*>& elements, TVpUnit unit)
{
    for (TVpPrintableSize* element : elements) {
        if (element != nullptr) {
            element->SetUnits(unit);
        }
    }
}

}  // namespace

TVpReportGeometry::TVpReportGeometry(IVpReportHost& host, const VpEnvironment& environment)
    : m_host(host), m_page(environment)
{
    m_page.SetParentReport(&m_host);
    m_page.SetOwner(this);
}

void TVpReportGeometry::SetUnits(TVpUnit unit)
{
    // The page refuses a unit outside the enumeration before anything changed.
    m_page.SetUnits(unit);
    for (IVpBand* band : m_host.Bands()) {
        if (band != nullptr) {
            band->Size().SetUnits(unit);
            SetElementUnits(band->ElementSizes(), unit);
        }
    }
    SetElementUnits(m_host.ElementSizes(), unit);
    m_host.Repaint();
}

void TVpReportGeometry::SetZoom(int zoom)
{
    if (zoom < kMinZoom || zoom > kMaxZoom) {
        return;
    }
    m_zoom = zoom;
    ZoomElements(m_host.ElementSizes(), zoom);
    for (IVpBand* band : m_host.Bands()) {
        if (band != nullptr) {
            band->Size().SetZoom(zoom);
            band->Size().UpdateOwnerBounds();
            ZoomElements(band->ElementSizes(), zoom);
        }
    }
    m_page.SetZoom(zoom);
    m_page.UpdateOwnerBounds();
    LayoutBands();
}

void TVpReportGeometry::LayoutBands()
{
    if (m_host.Loading() || m_host.Destroying()) {
        return;
    }
    const std::vector<IVpBand*> bands = m_host.Bands();
    // Not SetPixelUnits: the page may be inside such a pair already (setting
    // a paper size is), and a second one would make it forget its unit.
    ScopedUnits pagePixels(m_page, TVpUnit::Pixels);
    const int left = RoundPixel(m_page.LeftMargin());
    long long y = RoundPixel(m_page.TopMargin());
    const long long sideMargins = RoundPixel(m_page.LeftMargin() + m_page.RightMargin());
    const long long reportWidth = m_host.PixelBounds().Width;
    const long long columns = m_page.Columns();
    const long long fullWidth = reportWidth - sideMargins;
    const long long columnWidth =
        (reportWidth - sideMargins - static_cast<long long>(RoundPixel(m_page.ColumnSpace())) * (columns - 1)) /
        columns;

    bool followsBand = false;
    TVpBandType layoutType = TVpBandType::rbDetail;
    for (IVpBand* band : bands) {
        if (band == nullptr) {
            continue;
        }
        // A child band is as wide as the band it follows.
        const TVpBandType type = band->BandType();
        if (type != TVpBandType::rbChild || !followsBand) {
            layoutType = type;
        }
        followsBand = true;

        PixelRect bounds = band->PixelBounds();
        bounds.Left = left;
        bounds.Top = ToPixelCoordinate(y);
        band->SetPixelBounds(bounds);

        TVpBandSize& size = band->Size();
        {
            ScopedUnits bandPixels(size, TVpUnit::Pixels);
            size.SetWidth(static_cast<Extended>(SpansFullWidth(layoutType) ? fullWidth : columnWidth));
        }
        y += band->PixelBounds().Height;
    }
}

void TVpReportGeometry::PlaceElement(TVpPrintableSize& size, bool formLoading)
{
    size.PlaceOnReport(&m_host, Units(), m_zoom, formLoading);
}

void TVpReportGeometry::PlaceBand(TVpBandSize& size)
{
    size.PlaceOnReport(&m_host, Units(), m_zoom);
}

}  // namespace dw
