// SPDX-License-Identifier: MIT
#pragma once

// The character grid of the text export: every printed line of a page is put
// into a table of text lines at the cell its position falls in, and the
// table's lines are written out once the page is complete.

#include "numeric/core/extended.h"
#include "report/core/alignment.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dw {

class TextGrid {
public:
    // Lines 0 to 200: a page holds no more. Texts on a row outside the table
    // are dropped, and so are the lines of a page counted beyond it; the
    // table never grows.
    static constexpr int kLineTableSize = 201;
    // No sheet a printer takes is anywhere near this many cells wide, even in
    // a one-point font; a text whose column lies further out on either side
    // is dropped instead of padding a line with millions of spaces.
    static constexpr int kMaxColumn = 32767;

    // Lays the grid for a run: square cells of fontPoints points
    // (fontPoints x 254 / 72 tenths of a millimetre) and as many lines as
    // fit on pageLength (tenths of a millimetre), rounded half to even.
    // A font of size 0 has no cell size: EZeroDivide, or EInvalidOp when the
    // page length is 0 too. A negative size gives a grid with no line count,
    // so nothing is written. The table is emptied.
    void BeginExport(int fontPoints, std::int32_t pageLength);

    // A new page: every line of the table becomes empty.
    void OpenPage();

    // Puts one printed line into the table. x is the line's left edge, right
    // edge or centre as alignment says, y its top edge, both in tenths of a
    // millimetre; the text (UTF-8) overwrites the line from its cell on and
    // lengthens it where it reaches beyond. Returns false when the text was
    // dropped: its row is outside the table, or x or y is not a finite number
    // or puts the text more than kMaxColumn cells out.
    bool PlaceText(Extended x, Extended y, TAlignment alignment, std::string_view text);

    // The page's non-empty lines among the first LineCount() ones (at most
    // the whole table), in order, each followed by CR LF, appended to out.
    void AppendPage(std::string& out) const;

    // Line index of the table in UTF-8; empty outside the table.
    std::string Line(int index) const;

    // As computed from the page length; it may exceed the table.
    std::int32_t LineCount() const noexcept { return m_lineCount; }

private:
    Extended m_charWidth = 0;
    Extended m_lineHeight = 0;
    std::int32_t m_lineCount = 0;
    // Characters are code points, so lines are kept decoded: overwriting
    // from a character position is then plain indexing.
    std::array<std::u32string, kLineTableSize> m_lines;
};

// Nearest integer, halfway cases to the even one, whatever rounding mode the
// floating-point unit is in. value must be finite.
Extended RoundHalfEven(Extended value) noexcept;

}  // namespace dw
