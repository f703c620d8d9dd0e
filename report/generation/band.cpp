// SPDX-License-Identifier: MIT
#include "report/generation/band.h"

#include "report/generation/report.h"

namespace dw {

TVpCustomBand::TVpCustomBand(TVpReport& report, TVpBandType type, std::string name)
    : m_report(report), m_type(type), m_name(std::move(name)), m_size(report.Environment(), this)
{
}

TVpCustomBand::~TVpCustomBand() = default;

void TVpCustomBand::SetBandType(TVpBandType type)
{
    m_type = type;
    m_report.OrderBands();
}

void TVpCustomBand::SetChildBand(TVpCustomBand* child)
{
    m_child = child == this ? nullptr : child;
    m_report.OrderBands();
}

std::vector<TVpPrintableSize*> TVpCustomBand::ElementSizes()
{
    std::vector<TVpPrintableSize*> sizes;
    sizes.reserve(m_elements.size());
    for (const auto& element : m_elements) sizes.push_back(&element->Size());
    return sizes;
}

IVpElementReport* TVpCustomBand::Report() const
{
    return &m_report;
}

const VpEnvironment& TVpCustomBand::Environment() const
{
    return m_report.Environment();
}

TVpBandGrowth TVpCustomBand::GrowForLine(Extended h)
{
    return m_report.GrowBand(*this, h);
}

void TVpCustomBand::SetPixelBounds(const PixelRect& bounds)
{
    const bool widthChanged = bounds.Width != m_bounds.Width;
    m_bounds = bounds;
    if (widthChanged)
        for (const auto& element : m_elements) element->ParentResized(2);
}

void TVpCustomBand::AdoptElement(std::unique_ptr<TVpPrintable> element, std::string name)
{
    element->SetName(name);
    element->PlaceOnBand(*this);
    m_elements.push_back(std::move(element));
}

}  // namespace dw
