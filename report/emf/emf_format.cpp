// SPDX-License-Identifier: MIT
#include "report/emf/emf_format.h"

#include <bit>

namespace dw::emf {

void ThrowInvalidMetafile(MetafileDamage reason)
{
    throw EInvalidMetafile(reason);
}

bool RecordView::Has(std::uint64_t offset, std::uint64_t count) const
{
    const std::uint64_t size = m_bytes.size();
    return offset <= size && count <= size - offset;
}

void RecordView::Require(std::uint64_t offset, std::uint64_t count) const
{
    if (!Has(offset, count))
        ThrowInvalidMetafile(MetafileDamage::FieldOutsideRecord);
}

std::uint8_t RecordView::U8(std::size_t offset) const
{
    Require(offset, 1);
    return m_bytes[offset];
}

std::uint16_t RecordView::U16(std::size_t offset) const
{
    Require(offset, 2);
    return ReadU16(m_bytes.data() + offset);
}

std::uint32_t RecordView::U32(std::size_t offset) const
{
    Require(offset, 4);
    return ReadU32(m_bytes.data() + offset);
}

std::int32_t RecordView::I32(std::size_t offset) const
{
    return static_cast<std::int32_t>(U32(offset));
}

float RecordView::F32(std::size_t offset) const
{
    return std::bit_cast<float>(U32(offset));
}

RectL RecordView::Rect(std::size_t offset) const
{
    Require(offset, 16);
    return {I32(offset), I32(offset + 4), I32(offset + 8), I32(offset + 12)};
}

PointL RecordView::Point(std::size_t offset) const
{
    Require(offset, 8);
    return {I32(offset), I32(offset + 4)};
}

SizeL RecordView::SizeAt(std::size_t offset) const
{
    Require(offset, 8);
    return {I32(offset), I32(offset + 4)};
}

XForm RecordView::Xform(std::size_t offset) const
{
    Require(offset, 24);
    return {F32(offset), F32(offset + 4), F32(offset + 8), F32(offset + 12), F32(offset + 16), F32(offset + 20)};
}

std::span<const std::uint8_t> RecordView::Span(std::uint64_t offset, std::uint64_t count, std::uint64_t itemSize) const
{
    // The product cannot overflow once count is known to fit the record.
    if (itemSize != 0 && count > m_bytes.size() / itemSize)
        ThrowInvalidMetafile(MetafileDamage::ArrayOutsideRecord);
    const std::uint64_t bytes = count * itemSize;
    if (!Has(offset, bytes))
        ThrowInvalidMetafile(MetafileDamage::ArrayOutsideRecord);
    return m_bytes.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(bytes));
}

std::uint16_t ReadU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t ReadI32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(ReadU32(p));
}

LogFontW ReadLogFont(const RecordView& record, std::size_t offset)
{
    record.Require(offset, kLogFontSize);
    LogFontW font;
    font.Height = record.I32(offset);
    font.Width = record.I32(offset + 4);
    font.Escapement = record.I32(offset + 8);
    font.Orientation = record.I32(offset + 12);
    font.Weight = record.I32(offset + 16);
    font.Italic = record.U8(offset + 20);
    font.Underline = record.U8(offset + 21);
    font.StrikeOut = record.U8(offset + 22);
    font.CharSet = record.U8(offset + 23);
    font.OutPrecision = record.U8(offset + 24);
    font.ClipPrecision = record.U8(offset + 25);
    font.Quality = record.U8(offset + 26);
    font.PitchAndFamily = record.U8(offset + 27);
    // The face need not be terminated when it fills all 32 units; the
    // name is then cut at 32.
    for (std::size_t i = 0; i < kLfFaceSize; ++i) {
        const std::uint16_t unit = record.U16(offset + 28 + 2 * i);
        if (unit == 0)
            break;
        font.FaceName.push_back(static_cast<char16_t>(unit));
    }
    return font;
}

void ByteWriter::U16(std::uint16_t v)
{
    m_out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    m_out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::U32(std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) m_out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

void ByteWriter::F32(float v)
{
    U32(std::bit_cast<std::uint32_t>(v));
}

void ByteWriter::Rect(const RectL& r)
{
    I32(r.Left);
    I32(r.Top);
    I32(r.Right);
    I32(r.Bottom);
}

void ByteWriter::Point(const PointL& p)
{
    I32(p.X);
    I32(p.Y);
}

void ByteWriter::Size(const SizeL& s)
{
    I32(s.Cx);
    I32(s.Cy);
}

void ByteWriter::Xform(const XForm& x)
{
    F32(x.M11);
    F32(x.M12);
    F32(x.M21);
    F32(x.M22);
    F32(x.Dx);
    F32(x.Dy);
}

void ByteWriter::Utf16Fixed(const std::u16string& text, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) U16(i < text.size() ? static_cast<std::uint16_t>(text[i]) : 0);
}

void ByteWriter::PadTo4()
{
    while (m_out.size() % 4 != 0) m_out.push_back(0);
}

void ByteWriter::PatchU32(std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) m_out.at(at + i) = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}

void WriteLogFont(ByteWriter& out, const LogFontW& font)
{
    out.I32(font.Height);
    out.I32(font.Width);
    out.I32(font.Escapement);
    out.I32(font.Orientation);
    out.I32(font.Weight);
    out.U8(font.Italic);
    out.U8(font.Underline);
    out.U8(font.StrikeOut);
    out.U8(font.CharSet);
    out.U8(font.OutPrecision);
    out.U8(font.ClipPrecision);
    out.U8(font.Quality);
    out.U8(font.PitchAndFamily);
    // Always NUL-terminated: at most 31 units of the name are kept.
    std::u16string face = font.FaceName.substr(0, kLfFaceSize - 1);
    out.Utf16Fixed(face, kLfFaceSize);
}

}  // namespace dw::emf
