// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace dw {

// How a printed line stands on its reference point: starting at it, ending at
// it, or centred on it. The values are the ones stored in forms.
enum class TAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

}  // namespace dw
