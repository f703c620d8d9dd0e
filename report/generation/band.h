// SPDX-License-Identifier: MIT
#pragma once

#include "report/core/report_geometry.h"
#include "report/elements/printable.h"

#include <QColor>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dw {

class TVpReport;

// A horizontal strip of the report printed as a whole: a title, a page
// header, one detail per record... Its elements are placed relative to the
// band's top-left corner where the band is printed.
class TVpCustomBand final : public IVpBand, public IVpElementBand {
public:
    using TBeforePrint = std::function<void(TVpCustomBand& sender, bool& printIt)>;
    using TAfterPrint = std::function<void(TVpCustomBand& sender, bool printed)>;
    using TGroupKey = std::function<std::string()>;

    TVpCustomBand(TVpReport& report, TVpBandType type, std::string name = {});
    ~TVpCustomBand();
    TVpCustomBand(const TVpCustomBand&) = delete;
    TVpCustomBand& operator=(const TVpCustomBand&) = delete;

    const std::string& Name() const noexcept { return m_name; }
    TVpBandType BandType() const override { return m_type; }
    // The report orders its bands again.
    void SetBandType(TVpBandType type);

    TVpBandSize& Size() override { return m_size; }
    const TVpBandSize& BandSize() const override { return m_size; }
    std::vector<TVpPrintableSize*> ElementSizes() override;

    QColor Color = Qt::white;
    TVpFrame Frame;
    bool Enabled = true;
    bool ForceNewPage = false;
    bool ForceNewColumn = false;
    bool AlignToBottom = false;
    // Sub-details: printed before the detail band instead of after it.
    bool PrintBeforeDetail = false;
    // Group headers: the group's key for the current record; a new key starts
    // a new group. GroupFooter is the band that closes the group.
    TGroupKey GroupKey;
    TVpCustomBand* GroupFooter = nullptr;

    TBeforePrint BeforePrint;
    TAfterPrint AfterPrint;

    // The band printed right after this one, with it.
    TVpCustomBand* ChildBand() const noexcept { return m_child; }
    void SetChildBand(TVpCustomBand* child);

    // Elements on the band, owned, in the order they print.
    template <class Element>
    Element& AddElement(std::string name = {})
    {
        auto element = std::make_unique<Element>(Environment());
        Element& added = *element;
        AdoptElement(std::move(element), std::move(name));
        return added;
    }
    const std::vector<std::unique_ptr<TVpPrintable>>& Elements() const noexcept { return m_elements; }

    // How far the band's elements are moved down by elements above them that
    // grew; native units, reset whenever the band prints.
    Extended StretchOffset() const noexcept { return m_stretchOffset; }
    void SetStretchOffset(Extended offset) noexcept { m_stretchOffset = offset; }

    // --- IVpElementBand / IPixelBounds --------------------------------------
    IVpElementReport* Report() const override;
    int PixelWidth() const override { return m_bounds.Width; }
    TVpBandGrowth GrowForLine(Extended h) override;
    PixelRect PixelBounds() const override { return m_bounds; }
    void SetPixelBounds(const PixelRect& bounds) override;

private:
    const VpEnvironment& Environment() const;
    void AdoptElement(std::unique_ptr<TVpPrintable> element, std::string name);

    TVpReport& m_report;
    TVpBandType m_type;
    std::string m_name;
    TVpBandSize m_size;
    PixelRect m_bounds{0, 0, 100, 20};
    TVpCustomBand* m_child = nullptr;
    std::vector<std::unique_ptr<TVpPrintable>> m_elements;
    Extended m_stretchOffset = 0;
};

}  // namespace dw
