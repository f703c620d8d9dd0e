// SPDX-License-Identifier: MIT
#include "numeric/core/locale_formats.h"

namespace dw {

LocaleFormatSettings& LocaleFormats() noexcept
{
    static LocaleFormatSettings settings;
    return settings;
}

void ResetLocaleFormats() { LocaleFormats() = LocaleFormatSettings{}; }

}  // namespace dw
