// SPDX-License-Identifier: MIT
// TryParseNumber and ParseNumber on any bytes. The first byte picks the
// locale's marks, the rest is the text. Beyond "no crash, no leak, no read
// out of bounds" it checks that the two functions agree, that a success is a
// finite number, that the caller's floating-point control words come back,
// and that what the formatter writes for a success reads back.

#include "common/errors.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"
#include "numeric/core/number_parse.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

struct MarkPair {
    const char* decimal;
    const char* thousands;
};
constexpr MarkPair kMarks[] = {{".", ","}, {",", " "}, {",", "\u00A0"}, {"\u066B", "\u066C"}};

std::uint16_t X87Control()
{
    std::uint16_t word;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const MarkPair& marks = kMarks[data[0] % std::size(kMarks)];
    dw::LocaleFormats().DecimalMark = marks.decimal;
    dw::LocaleFormats().ThousandsMark = marks.thousands;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::uint16_t controlBefore = X87Control();
    const int roundingBefore = std::fegetround();
    dw::Extended value = 0;
    const bool ok = dw::TryParseNumber(text, value);
    if (X87Control() != controlBefore || std::fegetround() != roundingBefore)
        std::abort();
    if (ok && !std::isfinite(value))
        std::abort();

    try {
        const dw::Extended again = dw::ParseNumber(text);
        if (!ok || std::memcmp(&again, &value, 10) != 0)
            std::abort();
    } catch (const dw::EConvertError& e) {
        if (ok || e.Message() != "'" + std::string(text) + "' is not a valid floating point value")
            std::abort();
    }

    // The stored form of a value (general text, 18 digits) must read back;
    // only values within a rounding of the largest one may overflow.
    if (ok && std::fabs(value) < 1e4932L) {
        const std::string written = dw::NumberToStyledText(value, dw::NumberStyle::General, 18, 0);
        dw::Extended reread = 0;
        if (!dw::TryParseNumber(written, reread))
            std::abort();
    }
    return 0;
}
