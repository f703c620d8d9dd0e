// SPDX-License-Identifier: MIT
#include "report/core/page.h"

#include <array>

#include "common/errors.h"

namespace dw {

namespace {

constexpr std::array<TVpDirection, TVpPage::kValueCount> kPageDirections{
    TVpDirection::Vertical,    // BottomMargin
    TVpDirection::Vertical,    // Length
    TVpDirection::Vertical,    // TopMargin
    TVpDirection::Horizontal,  // Width
    TVpDirection::Horizontal,  // LeftMargin
    TVpDirection::Horizontal,  // RightMargin
    TVpDirection::Horizontal,  // ColumnSpace
};

constexpr std::array<Extended, TVpPage::kValueCount> kPageStart{};

struct PaperEntry {
    std::string_view Name;
    std::string_view DisplayName;
    bool HasDimensions;
    TVpPaperDimension Dimensions;
};

// Widths and lengths exactly as the program has always listed them, including
// its oddities: Note is 279.0 mm long, the C, D and E sheets are 100 mm
// placeholders, and Env14 shows the Env12 name.
const std::array<PaperEntry, kPaperSizeCount> kPapers{{
    {"Default", "Default size", false, {0.0L, 0.0L}},
    {"Letter", "Letter 8 1/2 x 11 in", true, {215.9L, 279.4L}},
    {"LetterSmall", "Letter Small 8 1/2 x 11 in", true, {215.9L, 279.4L}},
    {"Tabloid", "Tabloid 11 x 17 in", true, {279.4L, 431.8L}},
    {"Ledger", "Ledger 17 x 11 in", true, {431.8L, 279.4L}},
    {"Legal", "Legal 8 1/2 x 14 in", true, {215.9L, 355.6L}},
    {"Statement", "Statement 5 1/2 x 8 1/2 in", true, {139.7L, 215.9L}},
    {"Executive", "Executive7 1/2 x 10 in", true, {190.5L, 254.0L}},
    {"A3", "A3 297 x 420 mm", true, {297.0L, 420.0L}},
    {"A4", "A4 210 x 297 mm", true, {210.0L, 297.0L}},
    {"A4Small", "A4 Small 210 x 297 mm", true, {210.0L, 297.0L}},
    {"A5", "A5 148 x 210 mm", true, {148.0L, 210.0L}},
    {"B4", "B4 250 x 354 mm", true, {250.0L, 354.0L}},
    {"B5", "B5 182 x 257 mm", true, {182.0L, 257.0L}},
    {"Folio", "Folio 8 1/2 x 13 in", true, {215.9L, 330.2L}},
    {"Quarto", "Quarto 215 x 275 mm", true, {215.0L, 275.0L}},
    {"vp10X14", "10x14 in", true, {254.0L, 355.6L}},
    {"vp11X17", "11x17 in", true, {279.4L, 431.8L}},
    {"Note", "Note 8 1/2 x 11 in", true, {215.9L, 279.0L}},
    {"Env9", "Envelope #9 3 7/8 x 8 7/8", true, {98.43L, 225.4L}},
    {"Env10", "Envelope #10 4 1/8 x 9 1/2", true, {104.8L, 241.3L}},
    {"Env11", "Envelope #11 4 1/2 x 10 3/8", true, {114.3L, 263.5L}},
    {"Env12", "Envelope #12 4 \u00BE x 11", true, {101.6L, 279.4L}},
    {"Env14", "Envelope #12 4 \u00BE x 11", true, {127.0L, 292.1L}},
    {"CSheet", "C size sheet", true, {100.0L, 100.0L}},
    {"DSheet", "D size sheet", true, {100.0L, 100.0L}},
    {"ESheet", "E size sheet", true, {100.0L, 100.0L}},
    {"Custom", "Custom Size", false, {0.0L, 0.0L}},
}};

constexpr std::array<std::string_view, 2> kOrientationNames{"poPortrait", "poLandscape"};

const PaperEntry* EntryOf(TVpPaperSize size) noexcept
{
    const auto index = static_cast<std::size_t>(size);
    return index < kPapers.size() ? &kPapers[index] : nullptr;
}

}  // namespace

std::optional<TVpPaperDimension> PaperDimensions(TVpPaperSize size) noexcept
{
    const PaperEntry* entry = EntryOf(size);
    if (entry == nullptr || !entry->HasDimensions) {
        return std::nullopt;
    }
    return entry->Dimensions;
}

std::string_view PaperSizeDisplayName(TVpPaperSize size) noexcept
{
    const PaperEntry* entry = EntryOf(size);
    return entry != nullptr ? entry->DisplayName : std::string_view();
}

std::string_view PaperSizeName(TVpPaperSize size) noexcept
{
    const PaperEntry* entry = EntryOf(size);
    return entry != nullptr ? entry->Name : std::string_view();
}

std::optional<TVpPaperSize> PaperSizeFromName(std::string_view name) noexcept
{
    for (std::size_t i = 0; i < kPapers.size(); ++i) {
        if (kPapers[i].Name == name) {
            return static_cast<TVpPaperSize>(i);
        }
    }
    return std::nullopt;
}

std::string_view OrientationName(TVpOrientation orientation) noexcept
{
    const auto index = static_cast<std::size_t>(orientation);
    return index < kOrientationNames.size() ? kOrientationNames[index] : std::string_view();
}

std::optional<TVpOrientation> OrientationFromName(std::string_view name) noexcept
{
    for (std::size_t i = 0; i < kOrientationNames.size(); ++i) {
        if (kOrientationNames[i] == name) {
            return static_cast<TVpOrientation>(i);
        }
    }
    return std::nullopt;
}

TVpPage::TVpPage(const VpEnvironment& environment, IVpPageOwner* owner)
    : TVpUnitBase(environment, kPageDirections, kPageStart), m_owner(owner)
{
    SetBottomMargin(0.0L);
    // The base has already chosen inches or millimetres by the same flag.
    const Extended margin = environment.UsMeasurement ? 0.5L : 10.0L;
    SetPaperSize(environment.UsMeasurement ? TVpPaperSize::Letter : TVpPaperSize::A4);
    SetTopMargin(margin);
    SetBottomMargin(margin);
    SetLeftMargin(margin);
    SetRightMargin(margin);
    SetRuler(true);
    m_columns = 1;
}

void TVpPage::SetValue(std::size_t index, Extended value)
{
    CheckIndex(index);
    if ((index == kLength || index == kWidth) && m_paperSize != TVpPaperSize::Custom) {
        return;
    }
    TVpUnitBase::SetValue(index, value);
    if (m_owner != nullptr) {
        m_owner->LayoutBands();
    }
    if (index == kBottomMargin || index == kLength || index == kWidth) {
        UpdateOwnerBounds();
    }
}

void TVpPage::ReadValues(std::span<const Extended> values)
{
    TVpUnitBase::ReadValues(values);
    UpdateOwnerBounds();
}

void TVpPage::UpdateOwnerBounds()
{
    if (ParentUpdating() || m_owner == nullptr) {
        return;
    }
    // Both sizes are worked out before the control is touched, so a value
    // that cannot be shown leaves the control as it was.
    const int width = PixelValue(kWidth);
    const int height = PixelValue(kLength);
    UpdatingScope updating(*this);
    PixelRect bounds = m_owner->PixelBounds();
    bounds.Width = width;
    bounds.Height = height;
    m_owner->SetPixelBounds(bounds);
}

void TVpPage::SetColumns(int columns)
{
    if (columns <= 0 || columns == m_columns) {
        return;
    }
    m_columns = columns;
    if (m_owner != nullptr) {
        m_owner->LayoutBands();
        m_owner->Repaint();
    }
}

void TVpPage::SetOrientation(TVpOrientation orientation)
{
    if (OrientationName(orientation).empty()) {
        throw ERangeError(DW_TEXT("Message", "Range check error"));
    }
    m_orientation = orientation;
    SetPaperSize(m_paperSize);
}

void TVpPage::SetPaperSize(TVpPaperSize size)
{
    const PaperEntry* entry = EntryOf(size);
    if (entry == nullptr) {
        throw ERangeError(DW_TEXT("Message", "Range check error"));
    }
    if (entry->HasDimensions) {
        const TVpPaperDimension paper = entry->Dimensions;
        {
            PixelUnitsScope restore(*this);
            SetUnits(TVpUnit::MM);
            // Custom for the moment, so that the two writes below are taken.
            m_paperSize = TVpPaperSize::Custom;
            const bool portrait = m_orientation == TVpOrientation::poPortrait;
            SetWidth(portrait ? paper.Width : paper.Length);
            SetLength(portrait ? paper.Length : paper.Width);
        }
        if (m_owner != nullptr) {
            m_owner->LayoutBands();
        }
    }
    m_paperSize = size;
}

void TVpPage::SetRuler(bool ruler)
{
    m_ruler = ruler;
    if (m_owner != nullptr) {
        m_owner->Repaint();
    }
}

void TVpPage::OwnerResized(int pixelWidth, int pixelHeight)
{
    if (ParentUpdating() || m_paperSize != TVpPaperSize::Custom) {
        return;
    }
    {
        UpdatingScope updating(*this);
        PixelUnitsScope restore(*this);
        SetWidth(pixelWidth);
        SetLength(pixelHeight);
    }
    if (m_owner != nullptr) {
        m_owner->LayoutBands();
    }
}

}  // namespace dw
