// SPDX-License-Identifier: MIT
#include "numeric/core/date_time_format.h"

#include "common/utf8.h"
#include "numeric/core/locale_formats.h"

#include <algorithm>
#include <optional>

namespace dw {

namespace {

// A pattern reached at a deeper level than this writes nothing; it stops a
// locale pattern that refers to itself ("ddddd" inside the short date).
constexpr int kDeepestLevel = 2;

bool IsAsciiLetter(char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char UpperAscii(char c) noexcept
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsQuote(char c) noexcept
{
    return c == '\'' || c == '"';
}

// Case-blind comparison of the pattern at pos with an upper-case ASCII word.
bool StartsWithWord(std::string_view pattern, std::size_t pos, std::string_view word) noexcept
{
    if (pattern.size() - pos < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (UpperAscii(pattern[pos + i]) != word[i])
            return false;
    }
    return true;
}

enum class AmPmToken { None, Long, Short, LocaleText };

// The morning/afternoon token starting at pos, if any ("AM/PM", "A/P", "AMPM" in any case).
AmPmToken AmPmTokenAt(std::string_view pattern, std::size_t pos) noexcept
{
    if (StartsWithWord(pattern, pos, "AM/PM"))
        return AmPmToken::Long;
    if (StartsWithWord(pattern, pos, "A/P"))
        return AmPmToken::Short;
    if (StartsWithWord(pattern, pos, "AMPM"))
        return AmPmToken::LocaleText;
    return AmPmToken::None;
}

// Index just past the quoted text that opens at pos; an unclosed quote runs to the end.
std::size_t QuoteEnd(std::string_view pattern, std::size_t pos) noexcept
{
    const std::size_t close = pattern.find(pattern[pos], pos + 1);
    return close == std::string_view::npos ? pattern.size() : close + 1;
}

// Whether an hour token ending at pos is on the 12-hour clock: the first "a"
// outside quotes, before any further hour letter, must begin a morning or
// afternoon token.
bool AmPmFollows(std::string_view pattern, std::size_t pos) noexcept
{
    while (pos < pattern.size()) {
        const char c = pattern[pos];
        if (IsQuote(c)) {
            pos = QuoteEnd(pattern, pos);
            continue;
        }
        if (c == 'h' || c == 'H')
            return false;
        if (c == 'a' || c == 'A')
            return AmPmTokenAt(pattern, pos) != AmPmToken::None;
        ++pos;
    }
    return false;
}

class DateTimeWriter {
public:
    explicit DateTimeWriter(DateTimeValue value) noexcept : m_clock(ToDayClock(value)) {}

    void Format(std::string_view pattern, int level);
    std::string Text() const { return std::string(m_buffer, m_size); }

private:
    bool Full() const noexcept { return m_chars >= kDateTimeTextLimit; }
    void Append(std::string_view text) noexcept;
    void AppendNumber(int value, int minDigits) noexcept;
    const CalendarDate& Date() noexcept;
    const ClockTime& Time() noexcept;
    void AppendDayName(bool full) noexcept;
    void AppendMonthName(bool full) noexcept;
    std::size_t AppendToken(std::string_view pattern, std::size_t pos, int level, char& lastLetter,
                            bool& twelveHourSeen);

    DayClock m_clock;
    std::optional<CalendarDate> m_date;
    std::optional<ClockTime> m_time;
    // Room for the character limit at the longest UTF-8 encoding; the result
    // is allocated once, at the end.
    char m_buffer[kDateTimeTextLimit * 4];
    std::size_t m_size = 0;
    std::size_t m_chars = 0;
};

void DateTimeWriter::Append(std::string_view text) noexcept
{
    std::size_t pos = 0;
    while (pos < text.size() && !Full()) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            m_buffer[m_size++] = text[pos++];
            ++m_chars;
            continue;
        }
        const std::size_t length = utf8::CharLength(text, pos);
        std::copy_n(text.data() + pos, length, m_buffer + m_size);
        m_size += length;
        pos += length;
        ++m_chars;
    }
}

void DateTimeWriter::AppendNumber(int value, int minDigits) noexcept
{
    char digits[16];
    int count = 0;
    unsigned rest = value < 0 ? 0u : static_cast<unsigned>(value);
    do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    while (count < minDigits) digits[count++] = '0';
    std::reverse(digits, digits + count);
    Append(std::string_view(digits, static_cast<std::size_t>(count)));
}

const CalendarDate& DateTimeWriter::Date() noexcept
{
    if (!m_date)
        m_date = DecodeDayNumber(m_clock.DayNumber);
    return *m_date;
}

const ClockTime& DateTimeWriter::Time() noexcept
{
    if (!m_time)
        m_time = DecodeMillisecondOfDay(m_clock.MillisecondOfDay);
    return *m_time;
}

void DateTimeWriter::AppendDayName(bool full) noexcept
{
    if (m_clock.DayNumber <= 0)
        return;  // before year 1: no day to name
    const auto& locale = LocaleFormats();
    const int index = WeekDayOfDayNumber(m_clock.DayNumber) - 1;
    Append(full ? locale.DayNames[index] : locale.DayAbbreviations[index]);
}

void DateTimeWriter::AppendMonthName(bool full) noexcept
{
    const int month = Date().Month;
    if (month < 1 || month > 12)
        return;  // before year 1: no month to name
    const auto& locale = LocaleFormats();
    Append(full ? locale.MonthNames[month - 1] : locale.MonthAbbreviations[month - 1]);
}

// Writes the letter token at pos and returns the index past it.
std::size_t DateTimeWriter::AppendToken(std::string_view pattern, std::size_t pos, int level, char& lastLetter,
                                        bool& twelveHourSeen)
{
    const char letter = pattern[pos];
    const char upper = UpperAscii(letter);
    const auto& locale = LocaleFormats();

    if (upper == 'A') {
        lastLetter = 'A';
        const bool afternoon = Time().Hour >= 12;
        switch (AmPmTokenAt(pattern, pos)) {
            case AmPmToken::Long:
                twelveHourSeen = true;
                Append(pattern.substr(afternoon ? pos + 3 : pos, 2));
                return pos + 5;
            case AmPmToken::Short:
                twelveHourSeen = true;
                Append(pattern.substr(afternoon ? pos + 2 : pos, 1));
                return pos + 3;
            case AmPmToken::LocaleText:
                twelveHourSeen = true;
                Append(afternoon ? locale.PmText : locale.AmText);
                return pos + 4;
            case AmPmToken::None:
                break;
        }
        if (StartsWithWord(pattern, pos, "AAAA")) {
            AppendDayName(true);
            return pos + 4;
        }
        if (StartsWithWord(pattern, pos, "AAA")) {
            AppendDayName(false);
            return pos + 3;
        }
        Append(pattern.substr(pos, 1));
        return pos + 1;
    }

    std::size_t count = 1;
    while (pos + count < pattern.size() && pattern[pos + count] == letter) ++count;
    const std::size_t end = pos + count;
    const int digits = count >= 2 ? 2 : 1;
    const char previous = lastLetter;
    lastLetter = upper;

    switch (upper) {
        case 'Y':
            if (count <= 2)
                AppendNumber(Date().Year % 100, 2);
            else
                AppendNumber(Date().Year, 4);
            break;
        case 'M':
            if (previous == 'H')
                AppendNumber(Time().Minute, digits);
            else if (count <= 2)
                AppendNumber(Date().Month, static_cast<int>(count));
            else
                AppendMonthName(count >= 4);
            break;
        case 'D':
            if (count <= 2)
                AppendNumber(Date().Day, static_cast<int>(count));
            else if (count <= 4)
                AppendDayName(count == 4);
            else
                Format(count == 5 ? locale.ShortDatePattern : locale.LongDatePattern, level + 1);
            break;
        case 'H': {
            int hour = Time().Hour;
            if (twelveHourSeen || AmPmFollows(pattern, end)) {
                if (hour == 0)
                    hour = 12;
                else if (hour > 12)
                    hour -= 12;
            }
            AppendNumber(hour, digits);
            break;
        }
        case 'N':
            AppendNumber(Time().Minute, digits);
            break;
        case 'S':
            AppendNumber(Time().Second, digits);
            break;
        case 'T':
            Format(count == 1 ? locale.ShortTimePattern : locale.LongTimePattern, level + 1);
            break;
        case 'C': {
            Format(locale.ShortDatePattern, level + 1);
            const ClockTime& time = Time();
            if (time.Hour != 0 || time.Minute != 0 || time.Second != 0) {
                Append(" ");
                Format(locale.LongTimePattern, level + 1);
            }
            break;
        }
        case 'G':
        case 'E':
            // Era names and era years exist only in alternate calendars, which
            // this platform does not provide: nothing is written, as when the
            // system cannot answer.
            break;
        default:
            Append(pattern.substr(pos, count));
            break;
    }
    return end;
}

void DateTimeWriter::Format(std::string_view pattern, int level)
{
    if (level > kDeepestLevel)
        return;
    char lastLetter = 0;
    bool twelveHourSeen = false;
    std::size_t pos = 0;
    const auto& locale = LocaleFormats();
    while (pos < pattern.size() && !Full()) {
        const char c = pattern[pos];
        if (IsAsciiLetter(c)) {
            pos = AppendToken(pattern, pos, level, lastLetter, twelveHourSeen);
        } else if (IsQuote(c)) {
            const std::size_t close = pattern.find(c, pos + 1);
            if (close == std::string_view::npos) {
                Append(pattern.substr(pos + 1));  // an unclosed quote runs to the end
                pos = pattern.size();
            } else {
                Append(pattern.substr(pos + 1, close - pos - 1));
                pos = close + 1;
            }
        } else if (c == '/') {
            Append(locale.DateMark);
            ++pos;
        } else if (c == ':') {
            Append(locale.TimeMark);
            ++pos;
        } else {
            const std::size_t length = utf8::CharLength(pattern, pos);
            Append(pattern.substr(pos, length));
            pos += length;
        }
    }
}

}  // namespace

std::string FormatDateTimePattern(std::string_view pattern, DateTimeValue value)
{
    DateTimeWriter writer(value);
    writer.Format(pattern.empty() ? std::string_view("C") : pattern, 1);
    return writer.Text();
}

std::string DateToText(DateTimeValue value)
{
    return FormatDateTimePattern(LocaleFormats().ShortDatePattern, value);
}

std::string TimeToText(DateTimeValue value)
{
    return FormatDateTimePattern(LocaleFormats().LongTimePattern, value);
}

std::string DateTimeToText(DateTimeValue value)
{
    return FormatDateTimePattern({}, value);
}

std::string TranslateDatePattern(std::string_view localePattern, DatePatternCalendar calendar)
{
    switch (calendar) {
        case DatePatternCalendar::Gregorian:
            return std::string(localePattern);
        case DatePatternCalendar::GregorianEastAsian: {
            std::string result;
            result.reserve(localePattern.size());
            // Bytes of 'g' and 'G' never occur inside a multi-byte UTF-8 character,
            // so they can be dropped byte by byte.
            for (const char c : localePattern) {
                if (c != 'g' && c != 'G')
                    result += c;
            }
            return result;
        }
        case DatePatternCalendar::EraCalendar:
            break;
    }
    std::string result;
    result.reserve(localePattern.size() + 8);
    std::size_t pos = 0;
    while (pos < localePattern.size()) {
        if (StartsWithWord(localePattern, pos, "GG")) {
            result += "ggg";
            pos += 2;
        } else if (StartsWithWord(localePattern, pos, "YYYY")) {
            result += "eeee";
            pos += 4;
        } else if (StartsWithWord(localePattern, pos, "YY")) {
            result += "ee";
            pos += 2;
        } else if (UpperAscii(localePattern[pos]) == 'Y') {
            result += 'e';
            pos += 1;
        } else {
            const std::size_t length = utf8::CharLength(localePattern, pos);
            result.append(localePattern.substr(pos, length));
            pos += length;
        }
    }
    return result;
}

}  // namespace dw
