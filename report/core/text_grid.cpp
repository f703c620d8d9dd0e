// SPDX-License-Identifier: MIT
#include "report/core/text_grid.h"

#include "common/errors.h"
#include "common/utf8.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dw {

namespace {

// Tenths of a millimetre per point, as the cell size is defined.
constexpr Extended kNativePerInch = 254.0L;
constexpr Extended kPointsPerInch = 72.0L;
// A cell is narrower on the grid than a character is tall: columns are
// counted at this many per character width.
constexpr Extended kColumnsPerCharWidth = 1.7L;

std::u32string Decode(std::string_view text)
{
    std::u32string chars;
    chars.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        chars.push_back(utf8::Next(text, pos));
    }
    return chars;
}

void AppendEncoded(std::string& out, const std::u32string& line)
{
    for (const char32_t ch : line) {
        utf8::Append(out, ch);
    }
}

}  // namespace

Extended RoundHalfEven(Extended value) noexcept
{
    // By hand rather than with nearbyint, which follows whatever rounding
    // mode is current; value - floor(value) is exact.
    Extended whole = std::floor(value);
    const Extended fraction = value - whole;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0.0L)) {
        whole += 1.0L;
    }
    return whole;
}

void TextGrid::BeginExport(int fontPoints, std::int32_t pageLength)
{
    if (fontPoints == 0) {
        // The page length would be divided by a cell of no size.
        if (pageLength == 0) {
            throw EInvalidOp();
        }
        throw EZeroDivide();
    }
    m_charWidth = static_cast<Extended>(fontPoints) * kNativePerInch / kPointsPerInch;
    m_lineHeight = m_charWidth;
    // At least one point per cell keeps the quotient well inside 32 bits;
    // the clamp only states it.
    const Extended count = RoundHalfEven(static_cast<Extended>(pageLength) / m_lineHeight);
    m_lineCount = static_cast<std::int32_t>(
        std::clamp(count, static_cast<Extended>(INT32_MIN), static_cast<Extended>(INT32_MAX)));
    OpenPage();
}

void TextGrid::OpenPage()
{
    for (auto& line : m_lines) {
        line.clear();
    }
}

bool TextGrid::PlaceText(Extended x, Extended y, TAlignment alignment, std::string_view text)
{
    // Before the grid is laid there are no cells to put anything in.
    if (m_charWidth == 0 || !std::isfinite(x) || !std::isfinite(y)) {
        return false;
    }
    Extended column = x / m_charWidth * kColumnsPerCharWidth;
    const Extended row = y / m_lineHeight;
    if (!(std::fabs(column) <= kMaxColumn) || !(row > -1.0L && row < kLineTableSize + 1.0L)) {
        return false;
    }
    const Extended lineIndex = RoundHalfEven(row);
    if (lineIndex < 0 || lineIndex >= kLineTableSize) {
        return false;
    }
    const std::u32string chars = Decode(text);
    if (alignment == TAlignment::taRightJustify) {
        // Centred text is not moved: it starts at its element's centre.
        column -= static_cast<Extended>(chars.size());
    }
    // Anything further left than the limit lands at the line's start anyway.
    const std::int64_t k = column < -kMaxColumn ? 0 : static_cast<std::int64_t>(RoundHalfEven(column));
    std::u32string& line = m_lines[static_cast<std::size_t>(lineIndex)];
    // The unrounded column decides whether the line is padded; k never lies
    // below the length then, as column > length makes k >= length.
    if (column > static_cast<Extended>(line.size()) && k > static_cast<std::int64_t>(line.size())) {
        line.append(static_cast<std::size_t>(k) - line.size(), U' ');
    }
    // k counts from 1. Below 1 the text goes in front of everything and
    // overwrites nothing, so what was on the line moves to the right.
    if (k < 1) {
        line.insert(0, chars);
        return true;
    }
    const auto at = static_cast<std::size_t>(k - 1);
    if (at < line.size()) {
        line.erase(at, chars.size());
    }
    line.insert(std::min(at, line.size()), chars);
    return true;
}

void TextGrid::AppendPage(std::string& out) const
{
    const int count = std::clamp<std::int32_t>(m_lineCount, 0, kLineTableSize);
    for (int i = 0; i < count; ++i) {
        const std::u32string& line = m_lines[static_cast<std::size_t>(i)];
        if (!line.empty()) {
            AppendEncoded(out, line);
            out += "\r\n";
        }
    }
}

std::string TextGrid::Line(int index) const
{
    std::string out;
    if (index >= 0 && index < kLineTableSize) {
        AppendEncoded(out, m_lines[static_cast<std::size_t>(index)]);
    }
    return out;
}

}  // namespace dw
