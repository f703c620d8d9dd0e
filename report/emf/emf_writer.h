// SPDX-License-Identifier: MIT
#pragma once

// Writes the bytes of an enhanced metafile, record by record, the way the
// platform's own recorder lays them out: a header whose bounds, frame,
// reference-device sizes, byte, record and handle counts are filled in when
// the metafile is finished, numbered drawing objects (lowest free index
// first), fills as pattern-copy BITBLT records, text as EXTTEXTOUTW with an
// advance for every character, and EOF.
//
// The writer does no measuring: whoever records text passes the advances
// and the box the text covers. Plain C++; the recording canvas adds fonts.

#include "report/emf/emf_format.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace dw::emf {

class EmfWriter {
public:
    // A picture of width x height pixels of a reference device with
    // pixelsPerInch pixels per inch in both directions.
    EmfWriter(std::int32_t width, std::int32_t height, int pixelsPerInch = 96);

    int PixelsPerInch() const { return m_pixelsPerInch; }

    // The reference device the header declares: 20 x 15 inches, so its
    // size in millimetres is exact (508 x 381) at any resolution.
    SizeL DevicePixels() const;
    static constexpr SizeL kDeviceMillimeters{508, 381};

    // Drawing objects; each returns its index in the object table.
    std::uint32_t CreatePen(std::uint32_t style, std::int32_t width, ColorRef color);
    std::uint32_t CreateBrush(std::uint32_t style, ColorRef color, std::uint32_t hatch = 0);
    std::uint32_t CreateFont(const LogFontW& font);
    void SelectObject(std::uint32_t handle);  // an index or a stock object
    void DeleteObject(std::uint32_t handle);

    void SetTextColor(ColorRef color);
    void SetBkMode(std::uint32_t mode);
    void SetTextAlign(std::uint32_t flags);

    void MoveTo(PointL point);
    // Draws from the current position to point with the selected pen.
    void LineTo(PointL point);
    // Outline with the selected pen, filled with the selected brush; right
    // and bottom are exclusive, as for the platform's Rectangle.
    void Rectangle(const RectL& rect);
    // Fills x, y, x + cx, y + cy (exclusive) with the selected brush:
    // BITBLT with no source and rop kPatCopy.
    void PatBlt(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, std::uint32_t rop = kPatCopy);
    // One EXTTEXTOUTW: text at reference with one advance per UTF-16 unit.
    // box is the inclusive device rectangle the text covers (for bounds).
    void ExtTextOutW(PointL reference, std::u16string_view text, std::span<const std::int32_t> advances,
                     const RectL& box, std::uint32_t options = 0, std::optional<RectL> rect = std::nullopt);
    // An ALPHABLEND of a top-down premultiplied 0xAARRGGBB image of
    // width x height pixels onto dest (exclusive right and bottom).
    void AlphaBlend(const RectL& dest, std::int32_t width, std::int32_t height,
                    std::span<const std::uint32_t> premultipliedPixels);

    // Marks an inclusive device rectangle as drawn on.
    void AddBounds(const RectL& box);

    // Appends EOF, completes the header and hands over the bytes; the
    // writer is empty afterwards.
    std::vector<std::uint8_t> Finish();

    std::uint32_t HandleCount() const { return m_maxHandle + 1; }

private:
    // Starts a record and returns its start offset; EndRecord sets its size.
    std::size_t BeginRecord(std::uint32_t type);
    void EndRecord(std::size_t start);
    void ValueRecord(std::uint32_t type, std::uint32_t value);
    void PointRecord(std::uint32_t type, PointL point);
    std::uint32_t AllocateHandle();
    std::int32_t SelectedPenWidth() const;

    std::int32_t m_width;
    std::int32_t m_height;
    int m_pixelsPerInch;
    std::vector<std::uint8_t> m_bytes;
    std::uint32_t m_recordCount = 0;
    std::set<std::uint32_t> m_liveHandles;
    std::uint32_t m_maxHandle = 0;
    // What is selected, for the bounds of pen-drawn shapes.
    std::map<std::uint32_t, std::int32_t> m_penWidths;  // handle -> width, 0 for a null pen
    std::uint32_t m_selectedPen = kBlackPen;
    PointL m_position;
    std::optional<RectL> m_bounds;
    bool m_finished = false;
};

}  // namespace dw::emf
