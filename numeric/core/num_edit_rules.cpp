// SPDX-License-Identifier: MIT
#include "numeric/core/num_edit_rules.h"

#include "common/errors.h"
#include "common/utf8.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"
#include "numeric/core/number_parse.h"

#include <algorithm>
#include <cctype>
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

// Blanks a copied number may carry: spaces of every width and line ends.
bool IsBlank(std::string_view c)
{
    return c == " " || c == "\t" || c == "\n" || c == "\r" || c == "\xC2\xA0" || c == "\xE2\x80\xAF" ||
           c == "\xE2\x80\x89" || c == "\xE2\x80\x87";
}
// Blanks that stand between groups of thousands.
bool IsSpaceLike(std::string_view c)
{
    return c == " " || c == "\xC2\xA0" || c == "\xE2\x80\xAF" || c == "\xE2\x80\x89" || c == "\xE2\x80\x87";
}

std::vector<std::string_view> WithoutSelection(std::string_view editText, std::size_t selectionStart,
                                               std::size_t selectionLength, std::size_t caret, std::size_t& at)
{
    std::vector<std::string_view> chars = Characters(editText);
    at = std::min(caret, chars.size());
    if (selectionLength > 0) {
        at = std::min(selectionStart, chars.size());
        const std::size_t end = std::min(chars.size(), at + std::min(selectionLength, chars.size() - at));
        chars.erase(chars.begin() + static_cast<std::ptrdiff_t>(at), chars.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return chars;
}

// Thousands marks typed into the integer part stand between groups of three
// digits: one to three digits first, three after each mark, and three
// before a decimal mark or an exponent that follows. An integer part
// without marks has nothing to check.
bool GroupsOfThree(const std::vector<std::string_view>& chars, std::string_view thousandsMark,
                   std::string_view decimalMark)
{
    std::size_t i = !chars.empty() && IsSign(chars[0]) ? 1 : 0;
    std::vector<std::size_t> groups{0};
    bool closed = false;
    for (; i < chars.size(); ++i) {
        if (chars[i] == decimalMark || IsExponentLetter(chars[i])) {
            closed = true;
            break;
        }
        if (chars[i] == thousandsMark)
            groups.push_back(0);
        else if (IsDigit(chars[i]))
            ++groups.back();
    }
    if (groups.size() == 1)
        return true;
    if (groups.front() < 1 || groups.front() > 3)
        return false;
    for (std::size_t g = 1; g + 1 < groups.size(); ++g)
        if (groups[g] != 3)
            return false;
    return closed ? groups.back() == 3 : groups.back() <= 3;
}

// Decimals are counted from the mark to the exponent letter, the letter
// included, so an exponent leaves room for one decimal fewer.
bool TooManyDecimals(const std::vector<std::string_view>& normalized, unsigned decimalPlaces)
{
    const std::string& decimalMark = LocaleFormats().DecimalMark;
    const auto mark = std::find(normalized.begin(), normalized.end(), std::string_view(decimalMark));
    if (mark == normalized.end())
        return false;
    const auto letter = std::find_if(normalized.begin(), normalized.end(), IsExponentLetter);
    const auto decimalsEnd = letter != normalized.end() && letter > mark ? letter : normalized.end() - 1;
    return decimalsEnd - mark > static_cast<std::ptrdiff_t>(decimalPlaces);
}

std::string_view TrimBlanks(std::string_view text)
{
    std::vector<std::string_view> chars = Characters(text);
    std::size_t from = 0;
    std::size_t to = chars.size();
    while (from < to && IsBlank(chars[from])) ++from;
    while (to > from && IsBlank(chars[to - 1])) --to;
    if (from == to)
        return {};
    const std::size_t begin = static_cast<std::size_t>(chars[from].data() - text.data());
    const std::size_t end = static_cast<std::size_t>(chars[to - 1].data() - text.data()) + chars[to - 1].size();
    return text.substr(begin, end - begin);
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return !end.empty() && text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}
bool StartsWith(std::string_view text, std::string_view start)
{
    return !start.empty() && text.substr(0, start.size()) == start;
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
    std::size_t at = 0;
    std::vector<std::string_view> chars = WithoutSelection(editText, selectionStart, selectionLength, caret, at);
    chars.insert(chars.begin() + static_cast<std::ptrdiff_t>(at), key);
    const std::string candidate = NormalizeNumberText(Join(chars));

    if (TooManyDecimals(Characters(candidate), settings.DecimalPlaces))
        return false;
    Extended value = 0;
    if (!IsNumberText(candidate, value))
        return false;
    // A range of positive numbers has no room for a minus sign.
    if (settings.MinValue >= 0 && settings.MaxValue > 0 && value < 0)
        return false;
    return true;
}

TypedKey TypeKey(std::string_view editText, std::size_t selectionStart, std::size_t selectionLength, std::size_t caret,
                 std::string_view character, const NumEditSettings& settings)
{
    const std::string& decimalMark = LocaleFormats().DecimalMark;
    const std::string& thousandsMark = LocaleFormats().ThousandsMark;
    std::size_t at = 0;
    const std::vector<std::string_view> chars = WithoutSelection(editText, selectionStart, selectionLength, caret, at);
    const auto inserted = [&](std::string_view key) {
        std::vector<std::string_view> candidate = chars;
        candidate.insert(candidate.begin() + static_cast<std::ptrdiff_t>(at), key);
        return candidate;
    };

    const bool thousandsKey = !thousandsMark.empty() && thousandsMark != decimalMark &&
                              (character == thousandsMark || (IsSpaceLike(thousandsMark) && IsSpaceLike(character)));
    if (thousandsKey && at > 0 && IsDigit(chars[at - 1])) {
        const bool inIntegerPart =
            std::none_of(chars.begin(), chars.begin() + static_cast<std::ptrdiff_t>(at),
                         [&](std::string_view c) { return c == decimalMark || IsExponentLetter(c); });
        if (inIntegerPart && GroupsOfThree(inserted(thousandsMark), thousandsMark, decimalMark) &&
            AcceptsKey(editText, selectionStart, selectionLength, caret, thousandsMark, settings))
            return {true, thousandsMark, {}};
    }

    const std::string key = MapDecimalKey(character);
    if (AcceptsKey(editText, selectionStart, selectionLength, caret, key, settings)) {
        // Digits may stand anywhere while typing (a field that groups as it
        // goes regroups after each); the decimal mark or an exponent ends the
        // integer part, whose groups must then be whole.
        const bool endsIntegerPart = key == decimalMark || IsExponentLetter(key);
        if (!endsIntegerPart || GroupsOfThree(inserted(key), thousandsMark, decimalMark))
            return {true, key, {}};
        return {false, {}, MessageText(DW_TEXT("Message", "Thousands go in groups of three digits"))};
    }
    return {false, {}, KeyRefusal(editText, selectionStart, selectionLength, caret, key, settings)};
}

bool ThousandsInGroupsOfThree(std::string_view editText)
{
    const std::string& decimalMark = LocaleFormats().DecimalMark;
    const std::string& thousandsMark = LocaleFormats().ThousandsMark;
    if (thousandsMark.empty() || thousandsMark == decimalMark)
        return true;
    std::vector<std::string_view> chars = Characters(TrimBlanks(editText));
    // The text is whole: its integer part ends with it at the latest.
    if (std::none_of(chars.begin(), chars.end(),
                     [&](std::string_view c) { return c == decimalMark || IsExponentLetter(c); }))
        chars.push_back(decimalMark);
    return GroupsOfThree(chars, thousandsMark, decimalMark);
}

MessageText KeyRefusal(std::string_view editText, std::size_t selectionStart, std::size_t selectionLength,
                       std::size_t caret, std::string_view key, const NumEditSettings& settings)
{
    if (AcceptsKey(editText, selectionStart, selectionLength, caret, key, settings))
        return {};
    const std::string& decimalMark = LocaleFormats().DecimalMark;
    std::size_t at = 0;
    std::vector<std::string_view> chars = WithoutSelection(editText, selectionStart, selectionLength, caret, at);
    chars.insert(chars.begin() + static_cast<std::ptrdiff_t>(at), key);
    const std::vector<std::string_view> keyChars = Characters(key);
    const std::string_view typed = keyChars.empty() ? std::string_view() : keyChars.front();

    if (IsBlank(typed))
        return MessageText(
            DW_TEXT("Message", "A space separates thousands only: after the first one to three digits of a number"));
    if (!IsDigit(typed) && !IsSign(typed) && !IsExponentLetter(typed) && typed != decimalMark)
        return MessageText(DW_TEXT("Message",
                                   "Only digits, a minus sign, the decimal mark %1 and an exponent E can "
                                   "be typed here"),
                           {MessageText::Verbatim(decimalMark)});
    const std::string candidate = NormalizeNumberText(Join(chars));
    const std::vector<std::string_view> normalized = Characters(candidate);
    if (std::any_of(normalized.begin(), normalized.end(), IsBlank))
        return MessageText(
            DW_TEXT("Message", "A space separates thousands only: after the first one to three digits of a number"));
    if (typed == decimalMark && std::count(normalized.begin(), normalized.end(), std::string_view(decimalMark)) > 1)
        return MessageText(DW_TEXT("Message", "The number has its decimal mark already"));
    if (TooManyDecimals(normalized, settings.DecimalPlaces))
        return MessageText(DW_TEXT("Message", "No more than %1 decimal places"),
                           {MessageText::Verbatim(std::to_string(settings.DecimalPlaces))});
    if (IsSign(typed) && at > 0 && !IsExponentLetter(chars[at - 1]))
        return MessageText(DW_TEXT("Message", "A minus sign stands only at the start of the number"));
    Extended value = 0;
    if (IsNumberText(candidate, value) && value < 0)
        return MessageText(DW_TEXT("Message", "This field takes no negative numbers"));
    return MessageText(DW_TEXT("Message", "This key would not leave a number here"));
}

void DisplayAffixes(std::string_view displayed, std::string& prefix, std::string& suffix)
{
    const std::vector<std::string_view> chars = Characters(displayed);
    const auto first = std::find_if(chars.begin(), chars.end(), IsDigit);
    if (first == chars.end()) {
        prefix.clear();
        suffix.clear();
        return;
    }
    const auto last = std::find_if(chars.rbegin(), chars.rend(), IsDigit).base();
    prefix = std::string(TrimBlanks(Join({chars.begin(), first})));
    suffix = std::string(TrimBlanks(Join({last, chars.end()})));
}

PastedNumber ReadPastedNumber(std::string_view pasted, std::string_view prefix, std::string_view suffix)
{
    const std::string& decimalMark = LocaleFormats().DecimalMark;
    const std::string& thousandsMark = LocaleFormats().ThousandsMark;
    const auto refuse = [](MessageText why) { return PastedNumber{false, {}, std::move(why)}; };
    const MessageText notANumber(DW_TEXT("Message", "The pasted text %1 is not a number"),
                                 {MessageText::Verbatim(std::string(TrimBlanks(pasted)))});

    std::string_view text = TrimBlanks(pasted);
    if (text.empty())
        return refuse(MessageText(DW_TEXT("Message", "The clipboard holds no number")));
    // The field's own unit, with or without its full stop.
    if (StartsWith(text, prefix))
        text = TrimBlanks(text.substr(prefix.size()));
    const std::string_view bareSuffix = EndsWith(suffix, ".") ? suffix.substr(0, suffix.size() - 1) : suffix;
    if (EndsWith(text, suffix))
        text = TrimBlanks(text.substr(0, text.size() - suffix.size()));
    else if (EndsWith(text, bareSuffix))
        text = TrimBlanks(text.substr(0, text.size() - bareSuffix.size()));

    std::vector<std::string_view> chars = Characters(text);
    std::string sign;
    if (!chars.empty() && (chars[0] == "-" || chars[0] == "\xE2\x88\x92" || chars[0] == "+")) {
        sign = chars[0] == "+" ? "" : "-";
        chars.erase(chars.begin());
    }
    // The mantissa ends at an exponent letter; what follows is the exponent.
    const auto letter = std::find_if(chars.begin(), chars.end(), IsExponentLetter);
    const std::vector<std::string_view> mantissa(chars.begin(), letter);
    const std::vector<std::string_view> exponent(letter, chars.end());

    // A word left over is another unit, or no number at all.
    const auto isMark = [&](std::string_view c) {
        return c == "." || c == "," || c == decimalMark || c == thousandsMark || IsSpaceLike(c) || c == "'";
    };
    for (std::string_view c : mantissa) {
        if (IsDigit(c) || isMark(c))
            continue;
        if (!suffix.empty() && std::any_of(mantissa.begin(), mantissa.end(), IsDigit) &&
            std::any_of(text.begin(), text.end(), [](char b) {
                return static_cast<unsigned char>(b) >= 0x80 || std::isalpha(static_cast<unsigned char>(b));
            }))
            return refuse(MessageText(
                DW_TEXT("Message", "The pasted text %1 is not in this field's unit, %2"),
                {MessageText::Verbatim(std::string(TrimBlanks(pasted))), MessageText::Verbatim(std::string(suffix))}));
        return refuse(notANumber);
    }
    if (std::none_of(mantissa.begin(), mantissa.end(), IsDigit))
        return refuse(notANumber);

    // Which mark is the decimal one: the locale's where it appears; else the
    // other of "." and "," when it appears once and cannot be a thousands
    // mark (the locale does not use it as one, or fewer or more than three
    // digits follow it).
    const std::string other = decimalMark == "," ? "." : ",";
    const auto count = [&](std::string_view mark) { return std::count(mantissa.begin(), mantissa.end(), mark); };
    std::string_view decimal;
    if (!decimalMark.empty() && count(decimalMark) > 0 && !IsSpaceLike(decimalMark)) {
        decimal = decimalMark;
    } else if (count(other) == 1) {
        const auto at = std::find(mantissa.begin(), mantissa.end(), std::string_view(other));
        const auto digitsAfter = std::count_if(at + 1, mantissa.end(), IsDigit);
        const bool onlyDigitsAfter = std::all_of(at + 1, mantissa.end(), IsDigit);
        if (other != thousandsMark || !onlyDigitsAfter || digitsAfter != 3)
            decimal = other;
    }
    if (!decimal.empty() && count(decimal) > 1)
        return refuse(notANumber);

    std::vector<std::string_view> integer;
    std::vector<std::string_view> fraction;
    bool inFraction = false;
    for (std::string_view c : mantissa) {
        if (!decimal.empty() && c == decimal) {
            inFraction = true;
            continue;
        }
        if (inFraction) {
            if (!IsDigit(c))
                return refuse(notANumber);
            fraction.push_back(c);
        } else {
            integer.push_back(IsDigit(c) ? c : std::string_view(thousandsMark.empty() ? " " : "|"));
        }
    }
    // Every other mark separates thousands, in groups of three.
    // A pasted text is whole: its last group is closed as well.
    std::vector<std::string_view> closedInteger = integer;
    closedInteger.push_back(decimalMark);
    if (!GroupsOfThree(closedInteger, thousandsMark.empty() ? " " : "|", decimalMark))
        return refuse(MessageText(DW_TEXT("Message", "The thousands in the pasted text %1 are not in groups of three"),
                                  {MessageText::Verbatim(std::string(TrimBlanks(pasted)))}));
    if (!integer.empty() && !IsDigit(integer.front()))
        return refuse(notANumber);

    std::string edit = sign;
    for (std::string_view c : integer)
        if (IsDigit(c))
            edit += c;
    if (!fraction.empty()) {
        edit += decimalMark;
        edit += Join(fraction);
    }
    edit += Join(exponent);
    Extended value = 0;
    if (!IsNumberText(edit, value))
        return refuse(notANumber);
    return {true, edit, {}};
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
