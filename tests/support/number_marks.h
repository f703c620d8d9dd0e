#pragma once

// The marks a Russian desktop uses, for tests whose numbers must read as
// the program's users see them whatever the machine's own locale.

#include "numeric/core/locale_formats.h"

namespace dw::test {

// Decimal comma, a plain space between thousands, day.month.year.
inline LocaleFormatSettings CommaSpaceMarks()
{
    LocaleFormatSettings settings;
    settings.DecimalMark = ",";
    settings.ThousandsMark = " ";
    settings.ShortDatePattern = "dd.mm.yyyy";
    return settings;
}

}  // namespace dw::test
