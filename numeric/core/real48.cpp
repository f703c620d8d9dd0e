// SPDX-License-Identifier: MIT
#include "numeric/core/real48.h"

#include "common/errors.h"

#include <bit>

namespace dw {

namespace {

constexpr int kExponentShift = 16383 - 129;  // extended bias minus our bias
constexpr int kDroppedBits = 64 - 40;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << 39) - 1;

}  // namespace

Real48 Real48::FromExtended(Extended value)
{
    const ExtendedBits bits = BitsOf(value);
    std::uint64_t significand = bits.significand;
    int exponent = bits.ExponentField();
    if (exponent == 0x7FFF)
        throw EOverflow();  // an infinity or a NaN has no 6-byte form
    if (significand == 0)
        return Real48{};
    // An encoding without its integer bit (which the x87 never produces, but
    // a value assembled from bytes may have) is brought to normal form first,
    // so it converts by the value it stands for.
    if ((significand >> 63) == 0) {
        const int shift = std::countl_zero(significand);
        significand <<= shift;
        exponent -= shift;
    }

    std::uint64_t kept = significand >> kDroppedBits;
    if ((significand >> (kDroppedBits - 1)) & 1u)
        ++kept;  // half away from zero: only the magnitude is rounded
    if (kept >> 40) {
        kept >>= 1;
        ++exponent;
    }

    const int exponentByte = exponent - kExponentShift;
    if (exponentByte <= 0)
        return Real48{};
    if (exponentByte > 255)
        throw EOverflow();

    const std::uint64_t fraction = kept & kFractionMask;
    const std::uint32_t word =
        static_cast<std::uint32_t>(fraction >> 8) | (bits.Negative() ? std::uint32_t{1} << 31 : 0u);
    Real48 result;
    result.m_bytes[0] = static_cast<std::uint8_t>(exponentByte);
    result.m_bytes[1] = static_cast<std::uint8_t>(fraction & 0xFF);
    for (int i = 0; i < 4; ++i) result.m_bytes[2 + i] = static_cast<std::uint8_t>(word >> (8 * i));
    return result;
}

Real48 Real48::FromBytes(const Bytes& bytes) noexcept
{
    Real48 result;
    result.m_bytes = bytes;
    return result;
}

std::uint64_t Real48::Fraction() const noexcept
{
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i) word |= static_cast<std::uint32_t>(m_bytes[2 + i]) << (8 * i);
    return (static_cast<std::uint64_t>(word & 0x7FFFFFFFu) << 8) | m_bytes[1];
}

Extended Real48::ToExtended() const noexcept
{
    if (m_bytes[0] == 0)
        return 0.0L;
    const std::uint64_t significand = ((std::uint64_t{1} << 39) | Fraction()) << kDroppedBits;
    const auto signExponent = static_cast<std::uint16_t>((m_bytes[0] + kExponentShift) | (Negative() ? 0x8000 : 0));
    return ExtendedFromBits(significand, signExponent);
}

}  // namespace dw
