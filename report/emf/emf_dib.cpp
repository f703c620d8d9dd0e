// SPDX-License-Identifier: MIT
#include "report/emf/emf_dib.h"

#include "report/emf/emf_format.h"

#include <algorithm>
#include <bit>

namespace dw::emf {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

std::uint32_t FromBgr(std::uint8_t b, std::uint8_t g, std::uint8_t r)
{
    return kOpaque | (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | b;
}

// One colour component from a bit field, widened or narrowed to 8 bits.
std::uint32_t Component(std::uint32_t value, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int width = static_cast<int>(std::bit_width(mask >> shift));
    const std::uint32_t v = (value & mask) >> shift;
    if (width >= 8)
        return v >> (width - 8);
    const std::uint32_t max = (1u << width) - 1;
    return max == 0 ? 0 : v * 255 / max;
}

bool IsPaletted(std::uint16_t bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8;
}

}  // namespace

bool DibInfo::Embedded() const
{
    return Compression == kBiJpeg || Compression == kBiPng;
}

namespace {

// The header's fields; returns where the colour table starts and how many
// colours the header says it uses. Headers of unknown size are damage.
struct DibHeaderFields {
    std::size_t TableOffset = 0;
    std::uint32_t ColorsUsed = 0;
    bool Core = false;
};

DibHeaderFields ReadDibHeader(const RecordView& view, DibInfo& info)
{
    DibHeaderFields fields;
    if (!view.Has(0, 4))
        ThrowInvalidMetafile(MetafileDamage::BitmapHeader);
    const std::uint32_t headerSize = view.U32(0);
    if (headerSize == 12) {
        if (!view.Has(0, 12))
            ThrowInvalidMetafile(MetafileDamage::BitmapHeader);
        fields.Core = true;
        info.Width = view.U16(4);
        info.Height = view.U16(6);
        info.BitCount = view.U16(10);
        info.Compression = kBiRgb;
        fields.TableOffset = 12;
        return fields;
    }
    if (headerSize < 40 || !view.Has(0, headerSize))
        ThrowInvalidMetafile(MetafileDamage::BitmapHeader);
    info.Width = view.I32(4);
    const std::int32_t height = view.I32(8);
    info.BitCount = view.U16(14);
    info.Compression = view.U32(16);
    fields.ColorsUsed = view.U32(32);
    if (height == 0 || height == INT32_MIN)
        ThrowInvalidMetafile(MetafileDamage::BitmapSize);
    info.TopDown = height < 0;
    info.Height = height < 0 ? -height : height;
    fields.TableOffset = headerSize;
    if (info.Compression == kBiBitfields) {
        // An info header carries the masks after itself, later headers inside.
        const std::size_t masks = 40;
        if (headerSize == 40)
            fields.TableOffset += 12;
        if (!view.Has(masks, 12))
            ThrowInvalidMetafile(MetafileDamage::BitmapColourTable);
        info.RedMask = view.U32(masks);
        info.GreenMask = view.U32(masks + 4);
        info.BlueMask = view.U32(masks + 8);
        if (headerSize >= 56)
            info.AlphaMask = view.U32(52);
    }
    return fields;
}

// Depths and compressions that go together; the masks of 16-bit pixels
// without their own.
void CheckDibFormat(DibInfo& info)
{
    bool known = false;
    switch (info.Compression) {
        case kBiRgb:
            known = IsPaletted(info.BitCount) || info.BitCount == 16 || info.BitCount == 24 || info.BitCount == 32;
            break;
        case kBiBitfields:
            known = info.BitCount == 16 || info.BitCount == 32;
            break;
        case kBiRle8:
            known = info.BitCount == 8 && !info.TopDown;
            break;
        case kBiRle4:
            known = info.BitCount == 4 && !info.TopDown;
            break;
        case kBiJpeg:
        case kBiPng:
            known = true;
            break;
        default:
            break;
    }
    if (!known)
        ThrowInvalidMetafile(MetafileDamage::BitmapFormat);
    if (info.Compression == kBiRgb && info.BitCount == 16) {
        info.RedMask = 0x7C00;
        info.GreenMask = 0x03E0;
        info.BlueMask = 0x001F;
    }
}

void ReadColourTable(const RecordView& view, const DibHeaderFields& fields, std::uint32_t usage, DibInfo& info)
{
    const std::uint32_t full = 1u << info.BitCount;
    const std::uint32_t count = fields.ColorsUsed == 0 ? full : std::min(fields.ColorsUsed, full);
    const std::size_t entry = fields.Core ? 3 : (usage == kDibPalColors ? 2 : 4);
    if (!view.Has(fields.TableOffset, static_cast<std::uint64_t>(count) * entry))
        ThrowInvalidMetafile(MetafileDamage::BitmapColourTable);
    const auto table = view.Span(fields.TableOffset, count, entry);
    info.Palette.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* p = table.data() + i * entry;
        if (entry == 2) {
            // Indices into a logical palette we do not keep: a grey ramp
            // keeps such bitmaps recognisable.
            const std::uint32_t level = count > 1 ? (ReadU16(p) % count) * 255 / (count - 1) : 0;
            info.Palette.push_back(FromBgr(static_cast<std::uint8_t>(level), static_cast<std::uint8_t>(level),
                                           static_cast<std::uint8_t>(level)));
        } else {
            info.Palette.push_back(FromBgr(p[0], p[1], p[2]));
        }
    }
}

// The size bounds, and bits that cover every row of an uncompressed bitmap.
void CheckDibBits(std::span<const std::uint8_t> bits, DibInfo& info)
{
    const std::uint64_t pixels = static_cast<std::uint64_t>(info.Width) * static_cast<std::uint64_t>(info.Height);
    if (info.Compression == kBiRle8 || info.Compression == kBiRle4) {
        if (pixels > kMaxRleDibPixels)
            ThrowInvalidMetafile(MetafileDamage::BitmapTooLarge);
        return;
    }
    if (pixels > kMaxDibPixels)
        ThrowInvalidMetafile(MetafileDamage::BitmapTooLarge);
    const std::uint64_t stride = (static_cast<std::uint64_t>(info.Width) * info.BitCount + 31) / 32 * 4;
    if (stride * static_cast<std::uint64_t>(info.Height) > bits.size())
        ThrowInvalidMetafile(MetafileDamage::BitmapBitsShort);
    info.Stride = static_cast<std::uint32_t>(stride);
}

}  // namespace

DibInfo ParseDib(std::span<const std::uint8_t> header, std::span<const std::uint8_t> bits, std::uint32_t usage)
{
    const RecordView view(header);
    DibInfo info;
    const DibHeaderFields fields = ReadDibHeader(view, info);
    if (info.Width <= 0 || info.Height <= 0)
        ThrowInvalidMetafile(MetafileDamage::BitmapSize);
    CheckDibFormat(info);
    if (info.Embedded()) {
        if (bits.empty())
            ThrowInvalidMetafile(MetafileDamage::BitmapBitsShort);
        return info;
    }
    if (IsPaletted(info.BitCount))
        ReadColourTable(view, fields, usage, info);
    CheckDibBits(bits, info);
    return info;
}

namespace {

std::uint32_t PaletteColor(const DibInfo& info, std::uint32_t index)
{
    return index < info.Palette.size() ? info.Palette[index] : kOpaque;
}

void DecodeRows(const DibInfo& info, std::span<const std::uint8_t> bits, bool useAlpha, DibImage& image)
{
    const std::uint32_t rMask = info.RedMask, gMask = info.GreenMask, bMask = info.BlueMask;
    for (std::int32_t row = 0; row < info.Height; ++row) {
        const std::uint8_t* src = bits.data() + static_cast<std::size_t>(row) * info.Stride;
        const std::int32_t destRow = info.TopDown ? row : info.Height - 1 - row;
        std::uint32_t* dest = image.Pixels.data() + static_cast<std::size_t>(destRow) * info.Width;
        for (std::int32_t x = 0; x < info.Width; ++x) {
            std::uint32_t pixel = kOpaque;
            switch (info.BitCount) {
                case 1:
                    pixel = PaletteColor(info, (src[x >> 3] >> (7 - (x & 7))) & 1);
                    break;
                case 4:
                    pixel = PaletteColor(info, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
                    break;
                case 8:
                    pixel = PaletteColor(info, src[x]);
                    break;
                case 16: {
                    const std::uint32_t v = ReadU16(src + 2 * x);
                    pixel = kOpaque | (Component(v, rMask) << 16) | (Component(v, gMask) << 8) | Component(v, bMask);
                    break;
                }
                case 24:
                    pixel = FromBgr(src[3 * x], src[3 * x + 1], src[3 * x + 2]);
                    break;
                case 32: {
                    const std::uint8_t* p = src + 4 * x;
                    if (info.Compression == kBiBitfields) {
                        const std::uint32_t v = ReadU32(p);
                        pixel =
                            kOpaque | (Component(v, rMask) << 16) | (Component(v, gMask) << 8) | Component(v, bMask);
                    } else {
                        pixel = FromBgr(p[0], p[1], p[2]);
                        if (useAlpha) {
                            // Premultiplied: colour components never exceed alpha.
                            const std::uint32_t a = p[3];
                            const std::uint32_t r = std::min<std::uint32_t>(p[2], a);
                            const std::uint32_t g = std::min<std::uint32_t>(p[1], a);
                            const std::uint32_t b = std::min<std::uint32_t>(p[0], a);
                            pixel = (a << 24) | (r << 16) | (g << 8) | b;
                        }
                    }
                    break;
                }
                default:
                    break;
            }
            dest[x] = pixel;
        }
    }
}

// Run-length bitmaps: every read checks the remaining bytes, every write the
// image bounds, so damaged data only ends the decoding early.
void DecodeRle(const DibInfo& info, std::span<const std::uint8_t> bits, DibImage& image)
{
    const bool four = info.Compression == kBiRle4;
    std::size_t pos = 0;
    std::int64_t x = 0;
    std::int64_t y = 0;  // counted from the bottom row
    auto put = [&](std::uint32_t index) {
        if (x >= 0 && x < info.Width && y >= 0 && y < info.Height)
            image.Pixels[static_cast<std::size_t>(info.Height - 1 - y) * info.Width + static_cast<std::size_t>(x)] =
                PaletteColor(info, index);
        ++x;
    };
    while (pos + 2 <= bits.size() && y < info.Height) {
        const std::uint8_t count = bits[pos];
        const std::uint8_t value = bits[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (pos + 2 > bits.size())
                break;
            x += bits[pos];
            y += bits[pos + 1];
            pos += 2;
        } else {
            const std::size_t bytes = four ? (value + 1u) / 2u : value;
            if (pos + bytes > bits.size())
                break;
            for (int i = 0; i < value; ++i) {
                const std::uint8_t b = bits[pos + (four ? i / 2 : i)];
                put(four ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            pos += (bytes + 1) & ~std::size_t{1};
        }
    }
}

}  // namespace

DibImage DecodeDib(const DibInfo& info, std::span<const std::uint8_t> bits, bool useAlpha)
{
    DibImage image;
    if (info.Embedded() || info.Width <= 0 || info.Height <= 0)
        return image;
    image.Width = info.Width;
    image.Height = info.Height;
    image.Pixels.assign(static_cast<std::size_t>(info.Width) * static_cast<std::size_t>(info.Height), 0);
    if (info.Compression == kBiRle8 || info.Compression == kBiRle4) {
        DecodeRle(info, bits, image);
        return image;
    }
    // ParseDib guarantees the rows; checked again so a caller's mistake
    // cannot become a read beyond the bits.
    if (static_cast<std::uint64_t>(info.Stride) * static_cast<std::uint64_t>(info.Height) > bits.size() ||
        info.Stride == 0) {
        image.Pixels.clear();
        image.Width = image.Height = 0;
        return image;
    }
    DecodeRows(info, bits, useAlpha, image);
    return image;
}

}  // namespace dw::emf
