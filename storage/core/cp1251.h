// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace dw {

// Profile files written on Windows machines are in the Cyrillic single-byte
// code page; carrying one over must bring its captions back as text, so a line
// that is not UTF-8 is read in that code page instead.
std::string Cp1251ToUtf8(std::string_view bytes);

}  // namespace dw
