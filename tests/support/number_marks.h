// SPDX-License-Identifier: MIT
#pragma once

// The marks a Russian desktop uses, for tests whose numbers must read as
// the program's users see them whatever the machine's own locale.

#include "numeric/core/locale_formats.h"

#include <string>

namespace dw::test {

// Marks of choice; every other setting as a fresh one has it.
inline LocaleFormatSettings Marks(const std::string& decimalMark, const std::string& thousandsMark)
{
    LocaleFormatSettings settings;
    settings.DecimalMark = decimalMark;
    settings.ThousandsMark = thousandsMark;
    return settings;
}

// Decimal comma, a plain space between thousands, day.month.year.
inline LocaleFormatSettings CommaSpaceMarks()
{
    LocaleFormatSettings settings = Marks(",", " ");
    settings.ShortDatePattern = "dd.mm.yyyy";
    return settings;
}

}  // namespace dw::test
