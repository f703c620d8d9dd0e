// SPDX-License-Identifier: MIT
#pragma once

#include "numeric/core/date_time.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace dw {

// One formatting call writes at most this many characters; the rest is dropped.
inline constexpr std::size_t kDateTimeTextLimit = 256;

// Formats a point in time by a pattern of format letters (d, m, y, h, n, s, t,
// c, am/pm, a/p, ampm, quotes, "/" and ":" for the locale's marks), reading
// patterns, marks and names from LocaleFormats(). An empty pattern means "c".
// Any byte string is accepted: characters without meaning, including bytes
// that are not UTF-8, are copied one character at a time. Never throws
// anything but std::bad_alloc.
//
// Era tokens ("g", "e") write nothing: this platform offers no alternate
// calendars. Month- and day-name tokens write nothing for a value before
// 1 January of year 1, where there is no month and no day to name; the
// number tokens print 0 there.
std::string FormatDateTimePattern(std::string_view pattern, DateTimeValue value);

// The locale's short date.
std::string DateToText(DateTimeValue value);
// The locale's long time.
std::string TimeToText(DateTimeValue value);
// Short date, then a space and the long time unless the time is midnight to the second.
std::string DateTimeToText(DateTimeValue value);

// What the locale's calendar asks of its date patterns.
enum class DatePatternCalendar {
    Gregorian,           // patterns are used as they are
    GregorianEastAsian,  // a Chinese, Japanese or Korean language: era letters are dropped
    EraCalendar,         // a Japanese, Taiwanese or Korean era calendar: years become era years
};

// Rewrites a locale's date pattern for the formatter.
std::string TranslateDatePattern(std::string_view localePattern, DatePatternCalendar calendar);

}  // namespace dw
