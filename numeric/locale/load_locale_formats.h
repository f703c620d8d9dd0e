// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <string>

class QLocale;

namespace dw {

// Fills LocaleFormats() from the user's locale (QLocale::system()): first the
// month and day names, then the marks, currency, date and time patterns.
// Never fails: whatever the locale does not supply keeps the default.
void LoadLocaleFormats();
void LoadLocaleFormats(const QLocale& locale);

// The two steps on their own. When the locale changes while the program runs
// only the conventions are read again; names stay as loaded at start-up.
void LoadLocaleNames(const QLocale& locale);
void LoadLocaleConventions(const QLocale& locale);

// A locale date format (QLocale letters: d, M, y, quotes) in the formatter's
// pattern letters. Text the locale shows literally is quoted where the
// formatter would read it as a token; an unquoted "/" and ":" stay marks.
std::string DatePatternFromLocaleFormat(const QString& localeFormat);

// Where a locale puts the currency symbol, in the formatter's placement codes
// (0..3 for amounts of zero and more, 0..15 for negative ones), read from how
// it writes an amount. Unrecognised layouts give the default 0.
struct CurrencyLayout {
    std::uint8_t Placement = 0;
    std::uint8_t NegativePlacement = 0;
    std::uint8_t Digits = 0;
};
CurrencyLayout CurrencyLayoutOf(const QLocale& locale);

// How the locale's time format shows the hour, as the time patterns are
// composed from it.
struct TimeFormatShape {
    bool LeadingZero = false;
    bool TwelveHour = false;
    bool AmPmFirst = false;
};
TimeFormatShape TimeFormatShapeOf(const QString& localeTimeFormat);

}  // namespace dw
