// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "report/core/units.h"

namespace dw {

enum class TVpOrientation : std::uint8_t { poPortrait = 0, poLandscape = 1 };

enum class TVpPaperSize : std::uint8_t {
    Default,
    Letter,
    LetterSmall,
    Tabloid,
    Ledger,
    Legal,
    Statement,
    Executive,
    A3,
    A4,
    A4Small,
    A5,
    B4,
    B5,
    Folio,
    Quarto,
    vp10X14,
    vp11X17,
    Note,
    Env9,
    Env10,
    Env11,
    Env12,
    Env14,
    CSheet,
    DSheet,
    ESheet,
    Custom
};

inline constexpr std::size_t kPaperSizeCount = 28;

// Portrait width and length in millimetres.
struct TVpPaperDimension {
    Extended Width;
    Extended Length;
};

// The built-in paper table, as the program has always had it (Note at 279 mm,
// the C, D and E sheets as 100 mm placeholders). Default and Custom have no
// entry: their size comes from the printer or the user.
std::optional<TVpPaperDimension> PaperDimensions(TVpPaperSize size) noexcept;

// The name shown to the user ("A3 297 x 420 mm"); empty for a value outside the enumeration.
std::string_view PaperSizeDisplayName(TVpPaperSize size) noexcept;

// Paper sizes and orientations are stored by name in forms.
std::string_view PaperSizeName(TVpPaperSize size) noexcept;
std::optional<TVpPaperSize> PaperSizeFromName(std::string_view name) noexcept;
std::string_view OrientationName(TVpOrientation orientation) noexcept;
std::optional<TVpOrientation> OrientationFromName(std::string_view name) noexcept;

// What the page needs of its report: the report control's pixel size, and
// the chance to lay the bands out again and repaint after a change.
class IVpPageOwner : public IPixelBounds {
public:
    virtual void LayoutBands() = 0;
    virtual void Repaint() = 0;

protected:
    ~IVpPageOwner() = default;
};

// The paper, its margins and its columns. A new page starts with the
// defaults of the locale's measurement system: Letter with half-inch margins
// in inches for the US system, A4 with 10 mm margins in millimetres otherwise.
class TVpPage : public TVpUnitBase {
public:
    static constexpr std::size_t kBottomMargin = 0;
    static constexpr std::size_t kLength = 1;
    static constexpr std::size_t kTopMargin = 2;
    static constexpr std::size_t kWidth = 3;
    static constexpr std::size_t kLeftMargin = 4;
    static constexpr std::size_t kRightMargin = 5;
    static constexpr std::size_t kColumnSpace = 6;
    static constexpr std::size_t kValueCount = 7;

    // The owner may be attached later (SetOwner), so that a report can create
    // its page before it is ready to be resized.
    explicit TVpPage(const VpEnvironment& environment, IVpPageOwner* owner = nullptr);

    void SetOwner(IVpPageOwner* owner) noexcept { m_owner = owner; }

    // Length and Width are taken only while PaperSize is Custom: a table size
    // decides them otherwise. Every accepted write lays the bands out again.
    void SetValue(std::size_t index, Extended value) override;
    // Reading the list resizes the report at once, not at the end of loading.
    void ReadValues(std::span<const Extended> values) override;
    // Gives the report control the paper's size in pixels.
    void UpdateOwnerBounds() override;

    Extended BottomMargin() const { return GetValue(kBottomMargin); }
    void SetBottomMargin(Extended value) { SetValue(kBottomMargin, value); }
    Extended Length() const { return GetValue(kLength); }
    void SetLength(Extended value) { SetValue(kLength, value); }
    Extended TopMargin() const { return GetValue(kTopMargin); }
    void SetTopMargin(Extended value) { SetValue(kTopMargin, value); }
    Extended Width() const { return GetValue(kWidth); }
    void SetWidth(Extended value) { SetValue(kWidth, value); }
    Extended LeftMargin() const { return GetValue(kLeftMargin); }
    void SetLeftMargin(Extended value) { SetValue(kLeftMargin, value); }
    Extended RightMargin() const { return GetValue(kRightMargin); }
    void SetRightMargin(Extended value) { SetValue(kRightMargin, value); }
    Extended ColumnSpace() const { return GetValue(kColumnSpace); }
    void SetColumnSpace(Extended value) { SetValue(kColumnSpace, value); }

    int Columns() const noexcept { return m_columns; }
    // Only values above 0 that differ from the current one are taken.
    void SetColumns(int columns);
    TVpOrientation Orientation() const noexcept { return m_orientation; }
    // A table size swaps its width and length; Default and Custom pages keep theirs.
    void SetOrientation(TVpOrientation orientation);
    TVpPaperSize PaperSize() const noexcept { return m_paperSize; }
    // A table size sets Width and Length from the table (swapped in
    // landscape); Default and Custom only change the name.
    void SetPaperSize(TVpPaperSize size);
    // Rulers show in the design view only.
    bool Ruler() const noexcept { return m_ruler; }
    void SetRuler(bool ruler);

    // The report control was resized by someone other than the page (the
    // designer dragging it): a Custom page takes the new size, any other keeps
    // its table size.
    void OwnerResized(int pixelWidth, int pixelHeight);

private:
    IVpPageOwner* m_owner;
    int m_columns = 1;
    TVpOrientation m_orientation = TVpOrientation::poPortrait;
    TVpPaperSize m_paperSize = TVpPaperSize::Default;
    bool m_ruler = true;
};

}  // namespace dw
