// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

namespace dw {

// The program's working number: the x87 80-bit extended format (sign, 15-bit
// exponent with bias 16383, 64-bit significand with an explicit integer bit).
// On x86-64 Linux long double is exactly that, computed by the x87 unit at
// 64-bit precision with round-to-nearest, which is the precision all results
// are defined at. Only the first 10 bytes of a long double are significant.
using Extended = long double;
static_assert(std::numeric_limits<Extended>::digits == 64, "Extended must have a 64-bit significand");
static_assert(std::numeric_limits<Extended>::max_exponent == 16384, "Extended must have a 15-bit exponent");

struct ExtendedBits {
    std::uint64_t significand = 0;   // explicit integer bit in bit 63
    std::uint16_t signExponent = 0;  // sign in bit 15, biased exponent in bits 0..14

    bool Negative() const noexcept { return (signExponent & 0x8000u) != 0; }
    int ExponentField() const noexcept { return signExponent & 0x7FFF; }
};

inline ExtendedBits BitsOf(Extended value) noexcept
{
    unsigned char bytes[sizeof(Extended)];
    std::memcpy(bytes, &value, sizeof value);
    ExtendedBits bits;
    std::memcpy(&bits.significand, bytes, 8);
    std::memcpy(&bits.signExponent, bytes + 8, 2);
    return bits;
}

inline Extended ExtendedFromBits(std::uint64_t significand, std::uint16_t signExponent) noexcept
{
    unsigned char bytes[sizeof(Extended)] = {};
    std::memcpy(bytes, &significand, 8);
    std::memcpy(bytes + 8, &signExponent, 2);
    Extended value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// The extended value nearest to one thousandth (bytes 3B DF 4F 8D 97 6E 12 83 F5 3F),
// the constant the weight calculation scales kilograms to tonnes with.
inline Extended ExtendedThousandth() noexcept { return ExtendedFromBits(0x83126E978D4FDF3Bull, 0x3FF5); }

}  // namespace dw
