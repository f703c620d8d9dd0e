// SPDX-License-Identifier: MIT
#include "report/emf/emf_writer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace dw::emf {

namespace {

constexpr std::size_t kHeaderSize = kHeaderExt2Size;
constexpr std::uint32_t kEofSize = 20;
constexpr std::size_t kAlphaBlendSize = 108;
constexpr std::uint32_t kBitmapInfoHeaderSize = 40;

std::int32_t RoundToInt(double v)
{
    return static_cast<std::int32_t>(std::lround(v));
}

}  // namespace

EmfWriter::EmfWriter(std::int32_t width, std::int32_t height, int pixelsPerInch)
    : m_width(std::max<std::int32_t>(width, 0)),
      m_height(std::max<std::int32_t>(height, 0)),
      m_pixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : 96)
{
    // The header is written last, when its counts are known.
    m_bytes.assign(kHeaderSize, 0);
    m_recordCount = 1;
}

SizeL EmfWriter::DevicePixels() const
{
    return {20 * m_pixelsPerInch, 15 * m_pixelsPerInch};
}

std::size_t EmfWriter::BeginRecord(std::uint32_t type)
{
    if (m_finished)
        throw std::logic_error("metafile already finished");
    const std::size_t start = m_bytes.size();
    ByteWriter out(m_bytes);
    out.U32(type);
    out.U32(0);
    return start;
}

void EmfWriter::EndRecord(std::size_t start)
{
    ByteWriter out(m_bytes);
    out.PadTo4();
    out.PatchU32(start + 4, static_cast<std::uint32_t>(m_bytes.size() - start));
    ++m_recordCount;
}

void EmfWriter::ValueRecord(std::uint32_t type, std::uint32_t value)
{
    const std::size_t start = BeginRecord(type);
    ByteWriter(m_bytes).U32(value);
    EndRecord(start);
}

void EmfWriter::PointRecord(std::uint32_t type, PointL point)
{
    const std::size_t start = BeginRecord(type);
    ByteWriter(m_bytes).Point(point);
    EndRecord(start);
}

std::uint32_t EmfWriter::AllocateHandle()
{
    std::uint32_t handle = 1;
    while (m_liveHandles.count(handle) != 0) ++handle;
    m_liveHandles.insert(handle);
    m_maxHandle = std::max(m_maxHandle, handle);
    return handle;
}

std::uint32_t EmfWriter::CreatePen(std::uint32_t style, std::int32_t width, ColorRef color)
{
    const std::uint32_t handle = AllocateHandle();
    const std::size_t start = BeginRecord(kEmrCreatePen);
    ByteWriter out(m_bytes);
    out.U32(handle);
    out.U32(style);
    out.Point({width, 0});
    out.U32(color);
    EndRecord(start);
    m_penWidths[handle] = (style & kPsStyleMask) == kPsNull ? 0 : std::max(width, 1);
    return handle;
}

std::uint32_t EmfWriter::CreateBrush(std::uint32_t style, ColorRef color, std::uint32_t hatch)
{
    const std::uint32_t handle = AllocateHandle();
    const std::size_t start = BeginRecord(kEmrCreateBrushIndirect);
    ByteWriter out(m_bytes);
    out.U32(handle);
    out.U32(style);
    out.U32(color);
    out.U32(hatch);
    EndRecord(start);
    return handle;
}

std::uint32_t EmfWriter::CreateFont(const LogFontW& font)
{
    const std::uint32_t handle = AllocateHandle();
    const std::size_t start = BeginRecord(kEmrExtCreateFontIndirectW);
    ByteWriter out(m_bytes);
    out.U32(handle);
    WriteLogFont(out, font);
    // LOGFONTEXDV: full name, style, script, then the design-vector block
    // with no axes.
    out.Zeros(64 * 2 + 32 * 2 + 32 * 2);
    out.U32(kLogFontExDvSignature);
    out.U32(0);
    EndRecord(start);
    return handle;
}

void EmfWriter::SelectObject(std::uint32_t handle)
{
    ValueRecord(kEmrSelectObject, handle);
    if (handle == kBlackPen || handle == kWhitePen || handle == kNullPen || m_penWidths.count(handle) != 0)
        m_selectedPen = handle;
}

void EmfWriter::DeleteObject(std::uint32_t handle)
{
    ValueRecord(kEmrDeleteObject, handle);
    m_liveHandles.erase(handle);
    m_penWidths.erase(handle);
    if (m_selectedPen == handle)
        m_selectedPen = kBlackPen;
}

std::int32_t EmfWriter::SelectedPenWidth() const
{
    if (m_selectedPen == kNullPen)
        return 0;
    const auto it = m_penWidths.find(m_selectedPen);
    return it == m_penWidths.end() ? 1 : it->second;
}

void EmfWriter::SetTextColor(ColorRef color)
{
    ValueRecord(kEmrSetTextColor, color);
}
void EmfWriter::SetBkMode(std::uint32_t mode)
{
    ValueRecord(kEmrSetBkMode, mode);
}
void EmfWriter::SetTextAlign(std::uint32_t flags)
{
    ValueRecord(kEmrSetTextAlign, flags);
}

void EmfWriter::MoveTo(PointL point)
{
    PointRecord(kEmrMoveToEx, point);
    m_position = point;
}

void EmfWriter::LineTo(PointL point)
{
    PointRecord(kEmrLineTo, point);
    const std::int32_t width = SelectedPenWidth();
    if (width > 0) {
        const std::int32_t half = width / 2;
        AddBounds({std::min(m_position.X, point.X) - half, std::min(m_position.Y, point.Y) - half,
                   std::max(m_position.X, point.X) + half, std::max(m_position.Y, point.Y) + half});
    }
    m_position = point;
}

void EmfWriter::Rectangle(const RectL& rect)
{
    const std::size_t start = BeginRecord(kEmrRectangle);
    ByteWriter(m_bytes).Rect(rect);
    EndRecord(start);
    const std::int32_t half = SelectedPenWidth() / 2;
    if (rect.Right > rect.Left && rect.Bottom > rect.Top)
        AddBounds({rect.Left - half, rect.Top - half, rect.Right - 1 + half, rect.Bottom - 1 + half});
}

void EmfWriter::PatBlt(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, std::uint32_t rop)
{
    const RectL box{x, y, x + cx - 1, y + cy - 1};
    const std::size_t start = BeginRecord(kEmrBitBlt);
    ByteWriter out(m_bytes);
    out.Rect(box);
    out.I32(x);
    out.I32(y);
    out.I32(cx);
    out.I32(cy);
    out.U32(rop);
    out.I32(0);  // xSrc
    out.I32(0);  // ySrc
    out.Xform(XForm{});
    out.U32(0);  // BkColorSrc
    out.U32(0);  // UsageSrc
    out.U32(0);  // offBmiSrc
    out.U32(0);  // cbBmiSrc
    out.U32(0);  // offBitsSrc
    out.U32(0);  // cbBitsSrc
    EndRecord(start);
    if (cx > 0 && cy > 0)
        AddBounds(box);
}

void EmfWriter::ExtTextOutW(PointL reference, std::u16string_view text, std::span<const std::int32_t> advances,
                            const RectL& box, std::uint32_t options, std::optional<RectL> rect)
{
    if (advances.size() != text.size())
        throw std::invalid_argument("one advance per character");
    const std::size_t start = BeginRecord(kEmrExtTextOutW);
    ByteWriter out(m_bytes);
    const std::uint32_t chars = static_cast<std::uint32_t>(text.size());
    const std::uint32_t offString = 76;
    const std::uint32_t offDx = offString + ((2 * chars + 3) & ~3u);
    out.Rect(box);
    out.U32(kGmCompatible);
    // Page units to .01 mm for compatible-mode text.
    const float scale = static_cast<float>(2540.0 / m_pixelsPerInch);
    out.F32(scale);
    out.F32(scale);
    out.Point(reference);
    out.U32(chars);
    out.U32(offString);
    out.U32(options);
    out.Rect(rect.value_or(RectL{0, 0, -1, -1}));
    out.U32(offDx);
    for (char16_t unit : text) out.U16(static_cast<std::uint16_t>(unit));
    out.PadTo4();
    for (std::int32_t dx : advances) out.I32(dx);
    EndRecord(start);
    if (box.Right >= box.Left && box.Bottom >= box.Top)
        AddBounds(box);
}

void EmfWriter::AlphaBlend(const RectL& dest, std::int32_t width, std::int32_t height,
                           std::span<const std::uint32_t> premultipliedPixels)
{
    if (width <= 0 || height <= 0 ||
        premultipliedPixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        throw std::invalid_argument("image size");
    const std::size_t start = BeginRecord(kEmrAlphaBlend);
    ByteWriter out(m_bytes);
    const std::int32_t cx = dest.Right - dest.Left;
    const std::int32_t cy = dest.Bottom - dest.Top;
    const std::uint32_t bitsSize = static_cast<std::uint32_t>(premultipliedPixels.size() * 4);
    out.Rect({dest.Left, dest.Top, dest.Right - 1, dest.Bottom - 1});
    out.I32(dest.Left);
    out.I32(dest.Top);
    out.I32(cx);
    out.I32(cy);
    // BLENDFUNCTION: source over, no flags, constant alpha 255, per-pixel alpha.
    out.U8(0);
    out.U8(0);
    out.U8(255);
    out.U8(1);
    out.I32(0);
    out.I32(0);
    out.Xform(XForm{});
    out.U32(0);
    out.U32(kDibRgbColors);
    out.U32(static_cast<std::uint32_t>(kAlphaBlendSize));
    out.U32(kBitmapInfoHeaderSize);
    out.U32(static_cast<std::uint32_t>(kAlphaBlendSize + kBitmapInfoHeaderSize));
    out.U32(bitsSize);
    out.I32(width);
    out.I32(height);
    // BITMAPINFOHEADER of a top-down 32-bit image.
    out.U32(kBitmapInfoHeaderSize);
    out.I32(width);
    out.I32(-height);
    out.U16(1);
    out.U16(32);
    out.U32(kBiRgb);
    out.U32(bitsSize);
    out.I32(0);
    out.I32(0);
    out.U32(0);
    out.U32(0);
    for (std::uint32_t argb : premultipliedPixels) {
        out.U8(static_cast<std::uint8_t>(argb & 0xFF));
        out.U8(static_cast<std::uint8_t>((argb >> 8) & 0xFF));
        out.U8(static_cast<std::uint8_t>((argb >> 16) & 0xFF));
        out.U8(static_cast<std::uint8_t>(argb >> 24));
    }
    EndRecord(start);
    if (cx > 0 && cy > 0)
        AddBounds({dest.Left, dest.Top, dest.Right - 1, dest.Bottom - 1});
}

void EmfWriter::AddBounds(const RectL& box)
{
    if (!m_bounds) {
        m_bounds = box;
        return;
    }
    m_bounds->Left = std::min(m_bounds->Left, box.Left);
    m_bounds->Top = std::min(m_bounds->Top, box.Top);
    m_bounds->Right = std::max(m_bounds->Right, box.Right);
    m_bounds->Bottom = std::max(m_bounds->Bottom, box.Bottom);
}

std::vector<std::uint8_t> EmfWriter::Finish()
{
    const std::size_t eof = BeginRecord(kEmrEof);
    {
        ByteWriter out(m_bytes);
        out.U32(0);         // no palette entries
        out.U32(16);        // where they would start
        out.U32(kEofSize);  // SizeLast
    }
    EndRecord(eof);
    m_finished = true;

    const SizeL device = DevicePixels();
    std::vector<std::uint8_t> header;
    header.reserve(kHeaderSize);
    ByteWriter out(header);
    out.U32(kEmrHeader);
    out.U32(static_cast<std::uint32_t>(kHeaderSize));
    // Nothing drawn: the empty rectangle the platform writes.
    out.Rect(m_bounds.value_or(RectL{0, 0, -1, -1}));
    out.Rect({0, 0, RoundToInt(m_width * 2540.0 / m_pixelsPerInch), RoundToInt(m_height * 2540.0 / m_pixelsPerInch)});
    out.U32(kEmfSignature);
    out.U32(kEmfVersion);
    out.U32(static_cast<std::uint32_t>(m_bytes.size()));
    out.U32(m_recordCount);
    out.U16(static_cast<std::uint16_t>(HandleCount()));
    out.U16(0);
    out.U32(0);  // nDescription
    out.U32(0);  // offDescription
    out.U32(0);  // nPalEntries
    out.Size(device);
    out.Size(kDeviceMillimeters);
    out.U32(0);  // cbPixelFormat
    out.U32(0);  // offPixelFormat
    out.U32(0);  // bOpenGL
    out.Size({kDeviceMillimeters.Cx * 1000, kDeviceMillimeters.Cy * 1000});
    std::copy(header.begin(), header.end(), m_bytes.begin());

    std::vector<std::uint8_t> result;
    result.swap(m_bytes);
    return result;
}

}  // namespace dw::emf
