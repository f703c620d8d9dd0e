// SPDX-License-Identifier: MIT
#pragma once

// Device-independent bitmaps as metafile records carry them: a header
// (core, info, V4 or V5) with its colour table, and the bits. Checked when a
// metafile is read; decoded to 32-bit pixels when it is played.

#include <cstdint>
#include <span>
#include <vector>

namespace dw::emf {

// Bitmaps larger than this are refused as damage: a page never holds one,
// and a run-length bitmap could otherwise ask for any size from a few bytes.
inline constexpr std::uint64_t kMaxDibPixels = std::uint64_t{1} << 25;
inline constexpr std::uint64_t kMaxRleDibPixels = std::uint64_t{1} << 24;

struct DibInfo {
    std::int32_t Width = 0;
    std::int32_t Height = 0;  // always positive; TopDown tells the row order
    bool TopDown = false;
    std::uint16_t BitCount = 0;
    std::uint32_t Compression = 0;
    std::uint32_t Stride = 0;            // bytes per row of uncompressed bits
    std::vector<std::uint32_t> Palette;  // 0xAARRGGBB, alpha 255
    std::uint32_t RedMask = 0, GreenMask = 0, BlueMask = 0, AlphaMask = 0;
    bool Embedded() const;  // the bits are a JPEG or PNG file
};

// Checks the header and that the bits cover every row; raises "Metafile is
// not valid" (EInvalidMetafile with a Bitmap... reason) when they do not.
// usage is DIB_RGB_COLORS or DIB_PAL_COLORS.
DibInfo ParseDib(std::span<const std::uint8_t> header, std::span<const std::uint8_t> bits, std::uint32_t usage);

struct DibImage {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::vector<std::uint32_t> Pixels;  // 0xAARRGGBB, top row first
};

// Decodes checked bits. With useAlpha the fourth byte of 32-bit pixels is
// kept as (premultiplied) alpha; otherwise every pixel is opaque. Never
// reads beyond bits; damaged run-length data leaves the rest of the image
// as it was (transparent black). Embedded JPEG/PNG gives an empty image.
DibImage DecodeDib(const DibInfo& info, std::span<const std::uint8_t> bits, bool useAlpha = false);

}  // namespace dw::emf
