// SPDX-License-Identifier: MIT
#pragma once

#include "numeric/core/extended.h"

#include <string_view>

namespace dw {

// Reads a number written with the locale's DecimalMark: optional spaces, an
// optional sign, digits with at most one DecimalMark (a lone mark reads as
// zero), an optional exponent "E"/"e" with optional sign, optional spaces.
// No thousands marks. Computes in its own floating-point environment (see
// FloatingPointGuard). Returns false for text that does not read as a number;
// a text that only fails by overflowing has already stored its out-of-range
// value, so callers use `value` only on success.
bool TryParseNumber(std::string_view text, Extended& value);

// As TryParseNumber; raises EConvertError "'<text>' is not a valid floating
// point value" with the whole text.
Extended ParseNumber(std::string_view text);

}  // namespace dw
