// SPDX-License-Identifier: MIT
#pragma once

#include "numeric/core/extended.h"

#include <array>
#include <cstdint>

namespace dw {

// The 6-byte real the weight calculation keeps its inputs in: 40 significant
// bits (an implicit leading 1 and 39 stored fraction bits), an 8-bit exponent
// with bias 129 where 0 means zero, and a sign. Bytes, lowest address first:
// the exponent; the lowest 8 fraction bits; a 32-bit little-endian word with
// the upper 31 fraction bits in bits 0..30 and the sign in bit 31.
class Real48 {
public:
    using Bytes = std::array<std::uint8_t, 6>;

    Real48() noexcept = default;  // zero

    // Rounds the 64-bit significand to 40 bits, half away from zero; a carry
    // out of the 40 bits raises the exponent. Magnitudes below 2^-128 after
    // rounding (and zeros of either sign) become +0 with all bytes zero.
    // Throws EOverflow ("Floating point overflow") when the rounded magnitude
    // is 2^127 or more, and for an infinity or a NaN.
    static Real48 FromExtended(Extended value);

    // Any six bytes: an exponent byte of 0 is zero whatever the other bytes hold.
    static Real48 FromBytes(const Bytes& bytes) noexcept;

    // Exact: every 6-byte real is an extended value.
    Extended ToExtended() const noexcept;

    const Bytes& ByteImage() const noexcept { return m_bytes; }
    std::uint8_t ExponentByte() const noexcept { return m_bytes[0]; }
    bool Negative() const noexcept { return (m_bytes[5] & 0x80u) != 0; }
    // The 39 stored fraction bits.
    std::uint64_t Fraction() const noexcept;

    bool operator==(const Real48&) const noexcept = default;

private:
    Bytes m_bytes{};
};

}  // namespace dw
