// SPDX-License-Identifier: MIT
#include "report/elements/printable.h"

#include "common/scope_exit.h"
#include "report/output/vp_printer.h"

namespace dw {

TVpPrintable::TVpPrintable(const VpEnvironment& environment) : m_size(environment, this) {}

IVpElementReport* TVpPrintable::ParentReport() const noexcept
{
    if (m_report != nullptr)
        return m_report;
    return m_band != nullptr ? m_band->Report() : nullptr;
}

void TVpPrintable::PlaceOnReport(IVpElementReport& report)
{
    m_band = nullptr;
    m_report = &report;
    m_size.PlaceOnReport(&report, report.Units(), report.Zoom(), Loading());
    ParentChanged();
}

void TVpPrintable::PlaceOnBand(IVpElementBand& band)
{
    m_report = nullptr;
    m_band = &band;
    m_size.PlaceOnBand(band.BandSize());
    ParentChanged();
}

bool TVpPrintable::Loading() const noexcept
{
    if (m_loading)
        return true;
    const IVpElementReport* report = ParentReport();
    return report != nullptr && report->Loading();
}

void TVpPrintable::Loaded()
{
    m_loading = false;
    m_size.Loaded();
}

void TVpPrintable::SetAlignment(TAlignment alignment)
{
    m_alignment = alignment;
    AlignToParent();
}

void TVpPrintable::SetAlignToBand(bool align)
{
    m_alignToBand = align;
    AlignToParent();
}

void TVpPrintable::SetPixelBounds(const PixelRect& bounds)
{
    m_bounds = bounds;
    BoundsChanged();
}

void TVpPrintable::SetBounds(const PixelRect& bounds)
{
    m_bounds = bounds;
    m_size.OwnerBoundsSet(bounds, Loading());
    BoundsChanged();
}

void TVpPrintable::BoundsChanged()
{
    // Alignment follows every resize; the alignment's own move does not
    // start another one.
    if (m_alignToBand && !m_aligning)
        AlignToParent();
}

void TVpPrintable::ParentResized(int kind)
{
    if (kind == 2)
        AlignToParent();
}

void TVpPrintable::AlignToParent()
{
    if (!m_alignToBand || m_aligning)
        return;
    const auto aligning = RaiseForScope(m_aligning);
    PixelRect bounds = m_bounds;
    switch (m_alignment) {
        case TAlignment::taLeftJustify:
            bounds.Left = 0;
            break;
        case TAlignment::taRightJustify:
            if (m_band == nullptr)
                return;
            bounds.Left = m_band->PixelWidth() - bounds.Width;
            break;
        case TAlignment::taCenter:
            if (m_band == nullptr)
                return;
            bounds.Left = (m_band->PixelWidth() - bounds.Width) / 2;
            break;
    }
    if (bounds != m_bounds)
        SetBounds(bounds);
}

void TVpPrintable::BeforePrint()
{
    m_isPrinting = true;
    const IVpElementReport* report = ParentReport();
    m_vpPrinter = report != nullptr ? report->VpPrinter() : nullptr;
}

void TVpPrintable::Print(Extended offsetX, Extended offsetY)
{
    PrintFrame(offsetX, offsetY);
}

void TVpPrintable::AfterPrint()
{
    m_isPrinting = false;
    m_vpPrinter = nullptr;
}

bool TVpPrintable::StoringPages() const
{
    const IVpElementReport* report = ParentReport();
    return report != nullptr && report->StorePages() && m_vpPrinter != nullptr && m_vpPrinter->Canvas() != nullptr;
}

void TVpPrintable::PrintFrame(Extended offsetX, Extended offsetY)
{
    if (!StoringPages() || !m_frame.AnyFrame())
        return;
    const Extended left = m_size.NativeValue(TVpPrintableSize::kLeft) + offsetX;
    const Extended top = m_size.NativeValue(TVpPrintableSize::kTop) + offsetY;
    const Extended width = m_size.NativeValue(TVpPrintableSize::kWidth);
    const Extended height = m_size.NativeValue(TVpPrintableSize::kHeight);
    const TVpPrinter& printer = *m_vpPrinter;
    const TRect rect{printer.XPos(left), printer.YPos(top), printer.XPos(left + width), printer.YPos(top + height)};
    m_frame.Draw(*printer.Canvas(), rect, printer.XFactor(), printer.YFactor());
}

}  // namespace dw
