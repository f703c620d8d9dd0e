// SPDX-License-Identifier: MIT
// FormatNumberPattern and NumberToStyledText on any value and any pattern.
// Input: one byte choosing the marks (and, for the styled text, precision and
// digits), ten bytes of an 80-bit value (any bit pattern, unnormals and
// pseudo-NaNs included), then the pattern. Beyond "no crash, no leak, no read
// out of bounds" it checks the length limit, the output bound, that valid
// UTF-8 in gives valid UTF-8 out, that the cached plan of a pattern gives the
// same text as a fresh one, and the form of the decimal digits.

#include "common/errors.h"
#include "common/utf8.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"

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

// 224 characters of pattern write at most 1163 bytes (see the formatter).
constexpr std::size_t kOutputBound = 1163;

void CheckDigits(const dw::DecimalDigits& d)
{
    const std::size_t length = std::strlen(d.DigitText);
    if (length > 18)
        std::abort();
    for (std::size_t i = 0; i < length; ++i) {
        if (d.DigitText[i] < '0' || d.DigitText[i] > '9')
            std::abort();
    }
    if (length > 0 && (d.DigitText[0] == '0' || d.DigitText[length - 1] == '0'))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 11)
        return 0;
    const std::uint8_t selector = data[0];
    const MarkPair& marks = kMarks[selector % std::size(kMarks)];
    dw::LocaleFormatSettings& formats = dw::LocaleFormats();
    formats.DecimalMark = marks.decimal;
    formats.ThousandsMark = marks.thousands;
    formats.CurrencySymbol = "руб";
    formats.CurrencyPlacement = selector >> 4;
    formats.NegativeCurrencyPlacement = selector;

    std::uint64_t significand;
    std::uint16_t signExponent;
    std::memcpy(&significand, data + 1, 8);
    std::memcpy(&signExponent, data + 9, 2);
    const dw::Extended value = dw::ExtendedFromBits(significand, signExponent);
    const std::string_view pattern(reinterpret_cast<const char*>(data + 11), size - 11);

    const bool tooLong = dw::utf8::CodePointCount(pattern) > 224;
    try {
        const std::string text = dw::FormatNumberPattern(pattern, value);
        if (tooLong || text.size() > kOutputBound)
            std::abort();
        if (dw::utf8::IsValid(pattern) && !dw::utf8::IsValid(text))
            std::abort();
        // The same pattern from other memory, after other patterns went
        // through the cache, gives the same text.
        const std::string copy(pattern);
        for (int i = 0; i < 9; ++i) dw::FormatNumberPattern(std::string(1, static_cast<char>('0' + i)), value);
        if (dw::FormatNumberPattern(copy, value) != text)
            std::abort();
    } catch (const dw::EConvertError& e) {
        if (!tooLong || e.Message() != "Format string too long")
            std::abort();
    }

    const int precision = static_cast<int>(selector % 23) - 2;
    const int digits = static_cast<int>(selector / 8) - 4;
    for (int style = 0; style <= 4; ++style) {
        const std::string text = dw::NumberToStyledText(value, static_cast<dw::NumberStyle>(style), precision, digits);
        if (text.empty() || text.size() > 200)
            std::abort();
    }
    CheckDigits(dw::ToDecimalDigits(value, precision, digits));
    CheckDigits(dw::ToDecimalDigits(value, 18, 9999));
    return 0;
}
