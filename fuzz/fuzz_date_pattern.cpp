// SPDX-License-Identifier: MIT
// Arbitrary bytes as a date-time pattern and as the locale's own patterns, with
// any double as the value: formatting must end, stay within the character
// limit, never split a character, and keep well-formed input well-formed.
//
// Input: 8 bytes of the value (missing bytes are zero), then the pattern, then
// after a NUL byte the text every locale pattern is set to (so nesting sees
// arbitrary bytes too).

#include "common/utf8.h"
#include "numeric/core/date_time.h"
#include "numeric/core/date_time_format.h"
#include "numeric/core/locale_formats.h"

#include "fuzz/fuzz_support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using dw::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    double value = 0;
    const std::size_t valueBytes = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, valueBytes);
    const std::string_view rest(reinterpret_cast<const char*>(data) + valueBytes, size - valueBytes);
    const std::size_t split = rest.find('\0');
    const std::string_view pattern = rest.substr(0, split);
    const std::string_view nested = split == std::string_view::npos ? std::string_view{} : rest.substr(split + 1);

    dw::LocaleFormatSettings settings;
    settings.DateMark = "\xC2\xA0";
    settings.TimeMark = "ч";
    settings.AmText = "до полудня";
    settings.ShortDatePattern = std::string(nested);
    settings.LongDatePattern = std::string(nested);
    settings.ShortTimePattern = std::string(nested);
    settings.LongTimePattern = std::string(nested);
    settings.MonthNames[11] = "декабря";
    const dw::ScopedLocaleFormats scoped(settings);

    const std::string text = dw::FormatDateTimePattern(pattern, value);
    Check(dw::utf8::CodePointCount(text) <= dw::kDateTimeTextLimit, "more than 256 characters");
    if (dw::utf8::IsValid(pattern) && dw::utf8::IsValid(nested))
        Check(dw::utf8::IsValid(text), "well-formed input gave ill-formed text");

    const dw::CalendarDate date = dw::DecodeDateValue(value);
    Check(date.Month >= 0 && date.Month <= 12 && date.Day >= 0 && date.Day <= 31, "date out of range");
    const dw::ClockTime time = dw::DecodeTimeValue(value);
    Check(time.Hour >= 0 && time.Hour < 24 && time.Minute >= 0 && time.Minute < 60 && time.Second >= 0 &&
              time.Second < 60 && time.Millisecond >= 0 && time.Millisecond < 1000,
          "time out of range");
    const int weekDay = dw::WeekDayOf(value);
    Check(weekDay >= 1 && weekDay <= 7, "week day out of range");

    for (const auto calendar : {dw::DatePatternCalendar::Gregorian, dw::DatePatternCalendar::GregorianEastAsian,
                                dw::DatePatternCalendar::EraCalendar}) {
        const std::string translated = dw::TranslateDatePattern(pattern, calendar);
        if (dw::utf8::IsValid(pattern))
            Check(dw::utf8::IsValid(translated), "translation broke a character");
    }
    return 0;
}
