// SPDX-License-Identifier: MIT
#include "numeric/core/locale_formats.h"

namespace dw {

LocaleFormatSettings& LocaleFormats() noexcept
{
    static LocaleFormatSettings settings;
    return settings;
}

}  // namespace dw
