// SPDX-License-Identifier: MIT
// Arbitrary font sizes, page lengths and printed lines laid out on the text
// export's grid: nothing may be read or written outside the line table, a
// line that was placed must be found whole on the page, a line that was
// dropped must leave the page as it was, and the written page holds the
// table's non-empty counted lines and nothing else.
//
// Input: a font byte (below 0x80 the size itself, else 4 more bytes of a
// 32-bit size), 4 bytes of page length, then records of x, y, an alignment
// byte, a length byte and that many bytes of text. A coordinate starts with
// a tag byte: a multiple of 4 takes 10 raw bytes of extended (NaN, infinity,
// values the unit does not even accept), anything else 2 bytes of whole
// tenths of a millimetre and 1 byte of fraction, which keeps most lines on
// the sheet.

#include "common/errors.h"
#include "fuzz/fuzz_support.h"
#include "numeric/core/extended.h"
#include "report/core/text_grid.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using dw::fuzz::Check;

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::uint32_t U32()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v |= std::uint32_t{Byte()} << (8 * i);
        }
        return v;
    }
    std::string Bytes(std::size_t n)
    {
        std::string out;
        while (n-- > 0 && !Empty()) {
            out.push_back(static_cast<char>(Byte()));
        }
        return out;
    }
    dw::Extended Coordinate()
    {
        if (Byte() % 4 == 0) {
            std::uint64_t significand = 0;
            for (int i = 0; i < 8; ++i) {
                significand |= std::uint64_t{Byte()} << (8 * i);
            }
            const auto signExponent = static_cast<std::uint16_t>(Byte() | (Byte() << 8));
            return dw::ExtendedFromBits(significand, signExponent);
        }
        const auto whole = static_cast<std::int16_t>(Byte() | (Byte() << 8));
        return whole + Byte() / 256.0L;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

using Table = std::array<std::string, dw::TextGrid::kLineTableSize>;

Table Snapshot(const dw::TextGrid& grid)
{
    Table lines;
    for (int i = 0; i < dw::TextGrid::kLineTableSize; ++i) {
        lines[static_cast<std::size_t>(i)] = grid.Line(i);
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    const std::uint8_t fontByte = in.Byte();
    const int fontPoints = fontByte < 0x80 ? fontByte : static_cast<int>(in.U32());
    const auto pageLength = static_cast<std::int32_t>(in.U32());

    dw::TextGrid grid;
    try {
        grid.BeginExport(fontPoints, pageLength);
    } catch (const dw::EMathError&) {
        Check(fontPoints == 0, "a grid with cells was refused");
        return 0;
    }
    Check(fontPoints != 0, "a grid without cells was laid");

    for (int record = 0; !in.Empty() && record < 64; ++record) {
        const dw::Extended x = in.Coordinate();
        const dw::Extended y = in.Coordinate();
        const auto alignment = static_cast<dw::TAlignment>(in.Byte());
        const std::string text = in.Bytes(in.Byte());

        const Table before = Snapshot(grid);
        const bool placed = grid.PlaceText(x, y, alignment, text);
        const Table after = Snapshot(grid);
        if (placed) {
            bool found = false;
            for (const std::string& line : after) {
                found = found || line.find(text) != std::string::npos;
            }
            Check(found, "a placed text is not on the page");
        } else {
            Check(before == after, "a dropped text changed the page");
        }
    }

    Check(grid.Line(-1).empty() && grid.Line(dw::TextGrid::kLineTableSize).empty(),
          "a line outside the table has text");
    // The page is the table's non-empty lines among the counted ones, and
    // never more than the table, whatever the count says.
    std::string expected;
    const std::int32_t count = grid.LineCount();
    for (int i = 0; i < dw::TextGrid::kLineTableSize && i < count; ++i) {
        const std::string line = grid.Line(i);
        if (!line.empty()) {
            expected += line + "\r\n";
        }
    }
    std::string page;
    grid.AppendPage(page);
    Check(page == expected, "the page is not the table's non-empty lines");
    grid.OpenPage();
    page.clear();
    grid.AppendPage(page);
    Check(page.empty(), "a new page is not empty");
    return 0;
}
