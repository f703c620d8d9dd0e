// SPDX-License-Identifier: MIT
#include "numeric/core/num_edit_rules.h"

#include "common/errors.h"
#include "common/utf8.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"
#include "numeric/core/number_parse.h"

#include <algorithm>
#include <vector>

namespace dw {

namespace {

// The characters of a text, each as its own bytes; the marks are compared as
// whole characters so a multi-byte mark never matches half of another one.
std::vector<std::string_view> Characters(std::string_view text)
{
    std::vector<std::string_view> chars;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = utf8::CharLength(text, pos);
        chars.push_back(text.substr(pos, length));
        pos += length;
    }
    return chars;
}

std::string Join(const std::vector<std::string_view>& chars)
{
    std::string text;
    for (std::string_view c : chars) text += c;
    return text;
}

bool IsDigit(std::string_view c)
{
    return c.size() == 1 && c[0] >= '0' && c[0] <= '9';
}
bool IsExponentLetter(std::string_view c)
{
    return c == "E" || c == "e";
}
bool IsSign(std::string_view c)
{
    return c == "+" || c == "-";
}

// A bound as a C fixed-point conversion writes it: the pattern formatter gives
// the digits, and its decimal mark (the locale's) is put back to ".".
std::string FixedText(Extended value, unsigned decimals)
{
    const std::string pattern =
        decimals == 0 ? std::string("0") : "0." + std::string(std::min(decimals, kMaxPatternDecimals), '0');
    std::string text = FormatNumberPattern(pattern, value);
    const std::string& mark = LocaleFormats().DecimalMark;
    if (!mark.empty() && mark != ".") {
        const std::size_t from = !text.empty() && text[0] == '-' ? 1 : 0;
        const std::size_t at = text.find(mark, from);
        if (at != std::string::npos)
            text.replace(at, mark.size(), ".");
    }
    return text;
}

}  // namespace

std::string NormalizeNumberText(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    text = first == std::string_view::npos ? std::string_view()
                                           : text.substr(first, text.find_last_not_of(' ') - first + 1);

    const std::string& decimalMark = LocaleFormats().DecimalMark;
    const std::string& thousandsMark = LocaleFormats().ThousandsMark;
    const bool dropThousands = decimalMark != thousandsMark;
    const bool pointIsDecimal = decimalMark != "." && thousandsMark != ".";
    const bool commaIsDecimal = decimalMark != "," && thousandsMark != ",";

    std::string result;
    result.reserve(text.size());
    for (std::string_view c : Characters(text)) {
        if (dropThousands && c == thousandsMark)
            continue;
        if ((c == "." && pointIsDecimal) || (c == "," && commaIsDecimal))
            result += decimalMark;
        else
            result += c;
    }
    if (result.empty())
        return "0";
    if (result == "-")
        return "-0";
    return result;
}

bool IsNumberText(std::string_view text, Extended& value)
{
    if (text.empty())
        return false;
    const std::string& decimalMark = LocaleFormats().DecimalMark;
    for (std::string_view c : Characters(text)) {
        if (!IsDigit(c) && !IsSign(c) && !IsExponentLetter(c) && c != decimalMark)
            return false;
    }
    return TryParseNumber(utf8::Left(text, 63), value);
}

Extended ClampToRange(Extended x, const NumEditSettings& settings, bool raise)
{
    const Extended minValue = settings.MinValue;
    const Extended maxValue = settings.MaxValue;
    Extended result = x;
    bool moved = false;
    const auto moveTo = [&](Extended bound) {
        result = bound;
        moved = true;
    };
    if (minValue < maxValue) {
        if (x < minValue)
            moveTo(minValue);
        else if (x > maxValue)
            moveTo(maxValue);
    } else if (minValue > maxValue) {
        // Only one bound is in use: the one that is not zero.
        if (maxValue == 0) {
            if (x < minValue)
                moveTo(minValue);
        } else if (minValue == 0) {
            if (x > maxValue)
                moveTo(maxValue);
        }
    }
    if (raise && moved)
        throw ERangeError(RangeErrorText(settings));
    return result;
}

MessageText RangeErrorText(const NumEditSettings& settings)
{
    return MessageText(DW_TEXT("Message", "Value must be between %1 and %2"),
                       {MessageText::Verbatim(FixedText(settings.MinValue, settings.DecimalPlaces)),
                        MessageText::Verbatim(FixedText(settings.MaxValue, settings.DecimalPlaces))});
}

std::string RangeErrorMessage(const NumEditSettings& settings)
{
    return RangeErrorText(settings).English();
}

std::string EditPattern(unsigned decimalPlaces)
{
    if (decimalPlaces == 0)
        return "0";
    return "0." + std::string(std::min(decimalPlaces, kMaxPatternDecimals), '#');
}

std::string EditTextFor(Extended value, unsigned decimalPlaces, bool zeroEmpty)
{
    if (value == 0 && zeroEmpty)
        return {};
    return FormatNumberPattern(EditPattern(decimalPlaces), value);
}

std::string MapDecimalKey(std::string_view key)
{
    if (key == "." || key == ",")
        return LocaleFormats().DecimalMark;
    return std::string(key);
}

bool AcceptsKey(std::string_view editText, std::size_t selectionStart, std::size_t selectionLength, std::size_t caret,
                std::string_view key, const NumEditSettings& settings)
{
    std::vector<std::string_view> chars = Characters(editText);
    std::size_t at = std::min(caret, chars.size());
    if (selectionLength > 0) {
        at = std::min(selectionStart, chars.size());
        const std::size_t end = std::min(chars.size(), at + std::min(selectionLength, chars.size() - at));
        chars.erase(chars.begin() + static_cast<std::ptrdiff_t>(at), chars.begin() + static_cast<std::ptrdiff_t>(end));
    }
    chars.insert(chars.begin() + static_cast<std::ptrdiff_t>(at), key);
    const std::string candidate = NormalizeNumberText(Join(chars));

    // Decimals are counted from the mark to the exponent letter, the letter
    // included, so an exponent leaves room for one decimal fewer.
    const std::vector<std::string_view> normalized = Characters(candidate);
    const std::string& decimalMark = LocaleFormats().DecimalMark;
    const auto mark = std::find(normalized.begin(), normalized.end(), std::string_view(decimalMark));
    if (mark != normalized.end()) {
        const auto letter = std::find_if(normalized.begin(), normalized.end(), IsExponentLetter);
        const auto decimalsEnd = letter != normalized.end() && letter > mark ? letter : normalized.end() - 1;
        if (decimalsEnd - mark > static_cast<std::ptrdiff_t>(settings.DecimalPlaces))
            return false;
    }

    Extended value = 0;
    if (!IsNumberText(candidate, value))
        return false;
    // A range of positive numbers has no room for a minus sign.
    if (settings.MinValue >= 0 && settings.MaxValue > 0 && value < 0)
        return false;
    return true;
}

std::string GroupIntegerDigits(std::string_view text, bool grouping)
{
    const std::vector<std::string_view> chars = Characters(text);
    const std::string& decimalMark = LocaleFormats().DecimalMark;
    const std::string& thousandsMark = LocaleFormats().ThousandsMark;

    std::size_t begin = 0;
    if (!chars.empty() && IsSign(chars[0]))
        begin = 1;
    std::size_t end = begin;
    while (end < chars.size() && chars[end] != decimalMark && !IsExponentLetter(chars[end])) ++end;

    std::string digits;
    for (std::size_t i = begin; i < end; ++i) {
        if (IsDigit(chars[i]))
            digits += chars[i];
        else if (chars[i] != thousandsMark)
            return std::string(text);  // not a number's integer part: nothing to regroup
    }

    std::string result(begin == 1 ? chars[0] : std::string_view());
    for (std::size_t i = 0; i < digits.size(); ++i) {
        result += digits[i];
        const std::size_t following = digits.size() - 1 - i;
        if (grouping && following > 0 && following % 3 == 0)
            result += thousandsMark;
    }
    for (std::size_t i = end; i < chars.size(); ++i) result += chars[i];
    return result;
}

std::string ReformattedEditText(std::string_view text, bool grouping)
{
    if (text.empty() || text == "-")
        return GroupIntegerDigits(text, grouping);
    return GroupIntegerDigits(NormalizeNumberText(text), grouping);
}

}  // namespace dw
