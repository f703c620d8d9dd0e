// SPDX-License-Identifier: MIT
#pragma once

// Printable elements: controls placed on a report or on one of its bands
// that draw themselves onto the page of the running report printer. They are
// plain objects, not widgets: the sheet is never shown on screen, and the
// report only needs their geometry and their drawing.

#include "report/core/alignment.h"
#include "report/core/sizes.h"
#include "report/elements/frame.h"
#include "report/emf/canvas.h"

#include <QColor>

#include <string>

namespace dw {

class TVpExportFilter;
class TVpMeasuringDevice;
class TVpPrinter;

// The report as its elements see it while they are laid out and printed.
class IVpElementReport : public IVpReportFont {
public:
    // The printer of the command being run; none outside a command.
    virtual TVpPrinter* VpPrinter() const = 0;
    // False while the report runs for an export filter only.
    virtual bool StorePages() const = 0;
    // The filter of an export run; none otherwise.
    virtual TVpExportFilter* ExportFilter() const = 0;
    virtual const TCanvasFont& Font() const = 0;
    virtual TVpMeasuringDevice& MeasuringDevice() = 0;
    virtual const VpEnvironment& Environment() const = 0;
    virtual TVpUnit Units() const = 0;
    virtual int Zoom() const = 0;
    virtual bool Loading() const = 0;

protected:
    ~IVpElementReport() = default;
};

// Where a growing label continues after its band asked for more room.
struct TVpBandGrowth {
    // The band went on in a new column or on a new page.
    bool Moved = false;
    // Native units: the line's new top, and how far the band's left moved.
    Extended NewY = 0;
    Extended DeltaX = 0;
};

// A band as the elements on it see it.
class IVpElementBand {
public:
    virtual IVpElementReport* Report() const = 0;
    virtual const TVpBandSize& BandSize() const = 0;
    // Pixel width, for aligning elements to the band.
    virtual int PixelWidth() const = 0;
    // A label printing on the band needs one more line of h native units.
    virtual TVpBandGrowth GrowForLine(Extended h) = 0;

protected:
    ~IVpElementBand() = default;
};

class TVpPrintable : public IPixelBounds {
public:
    explicit TVpPrintable(const VpEnvironment& environment);
    virtual ~TVpPrintable() = default;
    TVpPrintable(const TVpPrintable&) = delete;
    TVpPrintable& operator=(const TVpPrintable&) = delete;

    const std::string& Name() const noexcept { return m_name; }
    virtual void SetName(const std::string& name) { m_name = name; }

    // --- where it sits ------------------------------------------------------
    // Placed directly on the report (band none) or on a band of it.
    void PlaceOnReport(IVpElementReport& report);
    void PlaceOnBand(IVpElementBand& band);
    bool HasParent() const noexcept { return m_report != nullptr || m_band != nullptr; }
    IVpElementReport* ParentReport() const noexcept;
    IVpElementBand* ParentBand() const noexcept { return m_band; }

    TVpPrintableSize& Size() noexcept { return m_size; }
    const TVpPrintableSize& Size() const noexcept { return m_size; }
    TVpFrame& Frame() noexcept { return m_frame; }
    const TVpFrame& Frame() const noexcept { return m_frame; }

    bool Enabled() const noexcept { return m_enabled; }
    void SetEnabled(bool enabled) noexcept { m_enabled = enabled; }
    const QColor& Color() const noexcept { return m_color; }
    void SetColor(const QColor& color) { m_color = color; }

    TAlignment Alignment() const noexcept { return m_alignment; }
    virtual void SetAlignment(TAlignment alignment);
    bool AlignToBand() const noexcept { return m_alignToBand; }
    void SetAlignToBand(bool align);

    // --- loading from a form description ------------------------------------
    // Between the two, bounds are remembered instead of stored.
    void BeginLoading() noexcept { m_loading = true; }
    virtual void Loaded();
    bool Loading() const noexcept;

    // --- a report run -------------------------------------------------------
    bool IsPrinting() const noexcept { return m_isPrinting; }
    TVpPrinter* VpPrinter() const noexcept { return m_vpPrinter; }
    virtual void BeforePrint();
    // Offsets in native units: (0, 0) on the report, the band's current left
    // edge and line on a band.
    virtual void Print(Extended offsetX, Extended offsetY);
    virtual void AfterPrint();
    // A band reports a resize; kind 2 is a change of its width.
    virtual void ParentResized(int kind);
    virtual void AlignToParent();
    // The element was put on a new parent.
    virtual void ParentChanged() {}

    // --- the control's pixel rectangle --------------------------------------
    PixelRect PixelBounds() const override { return m_bounds; }
    // From the size record: the stored geometry moves the control.
    void SetPixelBounds(const PixelRect& bounds) override;
    // The element changes its own bounds (sizing itself, aligning): the
    // change is written into the size record.
    void SetBounds(const PixelRect& bounds);

protected:
    // Draws the element's frame around its size rectangle on the page.
    void PrintFrame(Extended offsetX, Extended offsetY);
    bool StoringPages() const;

private:
    void BoundsChanged();

    std::string m_name;
    IVpElementReport* m_report = nullptr;
    IVpElementBand* m_band = nullptr;
    TVpPrintableSize m_size;
    TVpFrame m_frame;
    PixelRect m_bounds{0, 0, 10, 10};
    QColor m_color = Qt::white;
    TAlignment m_alignment = TAlignment::taLeftJustify;
    bool m_alignToBand = false;
    bool m_aligning = false;
    bool m_enabled = true;
    bool m_loading = false;
    bool m_isPrinting = false;
    TVpPrinter* m_vpPrinter = nullptr;
};

}  // namespace dw
