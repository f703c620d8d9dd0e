// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace dw {

// The locale's conventions for numbers, money, dates and times. One record for
// the whole process (LocaleFormats()), read by every formatter call without
// copies and rewritten only on the GUI thread when the locale is (re)loaded.
// Marks are one character each, held as its UTF-8 text (a no-break space is
// two bytes). The defaults are those used when the locale supplies nothing.
struct LocaleFormatSettings {
    std::string CurrencySymbol;
    std::uint8_t CurrencyPlacement = 0;          // 0..3
    std::uint8_t NegativeCurrencyPlacement = 0;  // 0..15
    std::string ThousandsMark = ",";
    std::string DecimalMark = ".";
    std::uint8_t CurrencyDigits = 0;
    std::string DateMark = "/";
    std::string ShortDatePattern = "m/d/yy";
    std::string LongDatePattern = "mmmm d, yyyy";
    std::string TimeMark = ":";
    std::string AmText = "am";
    std::string PmText = "pm";
    std::string ShortTimePattern = "h:mm AMPM";
    std::string LongTimePattern = "h:mm:ss AMPM";
    // Index 0 is January / Sunday: MonthNames[month - 1], DayNames[WeekDayOf(v) - 1].
    std::array<std::string, 12> MonthAbbreviations{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> MonthNames{"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
    std::array<std::string, 7> DayAbbreviations{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> DayNames{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    // Alternate (era) calendars; this platform has none, so they stay empty.
    std::array<std::string, 7> EraNames{};
    std::array<int, 7> EraYearOffsets{};
};

// The process-wide record.
LocaleFormatSettings& LocaleFormats() noexcept;

// Tests and tools set the marks they need and get the old record back on scope exit.
class ScopedLocaleFormats {
public:
    explicit ScopedLocaleFormats(const LocaleFormatSettings& settings) : m_saved(LocaleFormats())
    {
        LocaleFormats() = settings;
    }
    ~ScopedLocaleFormats() { LocaleFormats() = m_saved; }
    ScopedLocaleFormats(const ScopedLocaleFormats&) = delete;
    ScopedLocaleFormats& operator=(const ScopedLocaleFormats&) = delete;

private:
    LocaleFormatSettings m_saved;
};

}  // namespace dw
