// SPDX-License-Identifier: MIT
#pragma once

// Reading an enhanced metafile from bytes that may come from anywhere: a
// page of our own, a saved report file, or a file written on another system.
//
// Records are walked by their own Size fields; the header's record count,
// byte count and handle count are not trusted. Every record the player uses
// is decoded here, with each offset and count checked against the record,
// so playing a document never reads outside its bytes. Damage (a record
// running past the data, a size that is not a multiple of 4, a string or
// point array outside its record, a bitmap whose bits do not cover its rows)
// raises EInvalidGraphic "Metafile is not valid" (an EInvalidMetafile that
// names the check). Records of types the player does not use are skipped
// unread.

#include "report/emf/emf_dib.h"
#include "report/emf/emf_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace dw::emf {

struct ByteRange {
    std::size_t Offset = 0;
    std::size_t Size = 0;
};

struct EmfHeader {
    RectL Bounds;  // device units, inclusive
    RectL Frame;   // .01 mm, inclusive
    std::uint32_t Version = 0;
    std::uint32_t DeclaredBytes = 0;
    std::uint32_t DeclaredRecords = 0;
    std::uint16_t DeclaredHandles = 0;
    std::u16string Description;
    SizeL Device;       // reference device, pixels
    SizeL Millimeters;  // reference device, millimetres
    std::optional<SizeL> Micrometers;
    std::uint32_t Size = 0;  // bytes of the header record
};

// Records with one 32-bit value: modes, colours, text alignment, object
// selection and deletion, RESTOREDC (as a signed value).
struct ValueRecord {
    std::uint32_t Type = 0;
    std::uint32_t Value = 0;
};

// Records with one point or size: origins, extents, MOVETOEX, LINETO,
// SETBRUSHORGEX, OFFSETCLIPRGN.
struct PointRecord {
    std::uint32_t Type = 0;
    PointL Point;
};

struct ScaleExtRecord {
    std::uint32_t Type = 0;
    std::int32_t XNum = 0, XDenom = 0, YNum = 0, YDenom = 0;
};

// ELLIPSE, RECTANGLE, INTERSECTCLIPRECT, EXCLUDECLIPRECT.
struct RectRecord {
    std::uint32_t Type = 0;
    RectL Box;
};

struct RoundRectRecord {
    RectL Box;
    SizeL Corner;
};

// ARC, ARCTO, CHORD, PIE.
struct ArcRecord {
    std::uint32_t Type = 0;
    RectL Box;
    PointL Start;
    PointL End;
};

struct AngleArcRecord {
    PointL Center;
    std::uint32_t Radius = 0;
    float StartAngle = 0;
    float SweepAngle = 0;
};

// POLYBEZIER, POLYGON, POLYLINE, POLYBEZIERTO, POLYLINETO; the 16-bit
// records are given the type of their 32-bit twin.
struct PolyRecord {
    std::uint32_t Type = 0;
    std::vector<PointL> Points;
};

// POLYPOLYLINE, POLYPOLYGON (16-bit ones likewise).
struct PolyPolyRecord {
    std::uint32_t Type = 0;
    std::vector<std::uint32_t> Counts;
    std::vector<PointL> Points;
};

struct PolyDrawRecord {
    std::vector<PointL> Points;
    std::vector<std::uint8_t> Kinds;
};

// SAVEDC and the path records: no fields the player needs.
struct PlainRecord {
    std::uint32_t Type = 0;
};

// SETWORLDTRANSFORM (Mode kMwtSet) and MODIFYWORLDTRANSFORM.
struct XFormRecord {
    XForm Xform;
    std::uint32_t Mode = kMwtSet;
};

struct DibRef {
    ByteRange Header;
    ByteRange Bits;
    std::uint32_t Usage = kDibRgbColors;
    DibInfo Info;
};

// CREATEPEN and EXTCREATEPEN.
struct PenRecord {
    std::uint32_t Index = 0;
    std::uint32_t Style = kPsSolid;
    std::uint32_t Width = 0;
    ColorRef Color = 0;
    std::uint32_t BrushStyle = kBsSolid;
    std::uint32_t Hatch = 0;
    std::vector<std::uint32_t> StyleEntries;
    bool Extended = false;
};

// CREATEBRUSHINDIRECT, CREATEDIBPATTERNBRUSHPT, CREATEMONOBRUSH.
struct BrushRecord {
    std::uint32_t Index = 0;
    std::uint32_t Style = kBsSolid;
    ColorRef Color = 0;
    std::uint32_t Hatch = 0;
    std::optional<DibRef> Pattern;
    bool Mono = false;
};

struct FontRecord {
    std::uint32_t Index = 0;
    LogFontW Font;
};

// EXTTEXTOUTW/A, SMALLTEXTOUT, and each string of POLYTEXTOUTW/A.
struct TextRecord {
    PointL Reference;
    std::uint32_t Options = 0;
    std::optional<RectL> Rect;
    std::uint32_t GraphicsMode = kGmCompatible;
    std::u16string Text;  // UTF-16 text, or glyph indices with kEtoGlyphIndex
    std::string Ansi;     // 8-bit text of the A records, decoded at play time
    bool IsAnsi = false;
    std::vector<std::int32_t> Dx;  // per character, empty when absent
    std::vector<std::int32_t> Dy;  // with kEtoPdy
};

// BITBLT, STRETCHBLT, STRETCHDIBITS, SETDIBITSTODEVICE, ALPHABLEND,
// TRANSPARENTBLT: a destination, a raster operation, an optional source.
struct BltRecord {
    std::uint32_t Type = 0;
    std::int32_t XDest = 0, YDest = 0, CxDest = 0, CyDest = 0;
    std::uint32_t Rop = kSrcCopy;
    std::int32_t XSrc = 0, YSrc = 0, CxSrc = 0, CySrc = 0;
    XForm XformSrc;
    ColorRef BkColorSrc = 0;
    std::optional<DibRef> Source;
    std::uint32_t BlendFunction = 0;  // ALPHABLEND
    ColorRef TransparentColor = 0;    // TRANSPARENTBLT
};

// EXTSELECTCLIPRGN; no rectangles with kRgnCopy resets the clip.
struct ClipRegionRecord {
    std::uint32_t Mode = kRgnCopy;
    std::vector<RectL> Rects;
};

// FILLRGN, FRAMERGN, INVERTRGN, PAINTRGN.
struct RegionRecord {
    std::uint32_t Type = 0;
    std::uint32_t BrushIndex = 0;
    SizeL Stroke;
    std::vector<RectL> Rects;
};

struct TriVertex {
    std::int32_t X = 0, Y = 0;
    std::uint16_t Red = 0, Green = 0, Blue = 0, Alpha = 0;
};

struct GradientRecord {
    std::uint32_t Mode = 0;  // 0 horizontal rects, 1 vertical rects, 2 triangles
    std::vector<TriVertex> Vertices;
    std::vector<std::array<std::uint32_t, 3>> Items;  // rects use the first two
};

struct PixelRecord {
    PointL Point;
    ColorRef Color = 0;
};

using EmfRecord =
    std::variant<ValueRecord, PointRecord, ScaleExtRecord, RectRecord, RoundRectRecord, ArcRecord, AngleArcRecord,
                 PolyRecord, PolyPolyRecord, PolyDrawRecord, PlainRecord, XFormRecord, PenRecord, BrushRecord,
                 FontRecord, TextRecord, BltRecord, ClipRegionRecord, RegionRecord, GradientRecord, PixelRecord>;

// Walks the records of bytes by their sizes and calls visit(record, offset)
// for each, the header first, up to and including EOF (or the end of the
// data when there is none). Returns the number of records walked. Raises
// "Metafile is not valid" for a missing or damaged header and for a record
// whose size is below 8, not a multiple of 4, or past the end of the data.
std::size_t WalkRecords(std::span<const std::uint8_t> bytes,
                        const std::function<void(const RecordView&, std::size_t)>& visit);

// Reads the header record (the first record of bytes).
EmfHeader ReadHeader(std::span<const std::uint8_t> bytes);

// Decodes one record; none for a record the player does not use.
std::optional<EmfRecord> DecodeRecord(const RecordView& record, std::size_t offset);

class EmfDocument;

// The records a document draws, in order, decoded as they are visited: a
// document keeps only where each lies (8 bytes a record), so what a page
// costs in memory stays within a small multiple of its bytes however many
// tiny records it holds. Each POLYTEXTOUT string is a record of its own.
class EmfRecordList {
public:
    class Iterator {
    public:
        using value_type = EmfRecord;
        using difference_type = std::ptrdiff_t;

        Iterator() = default;
        Iterator(const EmfRecordList* list, std::size_t index) : m_list(list), m_index(index) {}
        EmfRecord operator*() const { return (*m_list)[m_index]; }
        Iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++m_index;
            return before;
        }
        bool operator==(const Iterator& other) const { return m_index == other.m_index; }

    private:
        const EmfRecordList* m_list = nullptr;
        std::size_t m_index = 0;
    };

    explicit EmfRecordList(const EmfDocument& document) : m_document(&document) {}
    std::size_t size() const;
    bool empty() const { return size() == 0; }
    // Record i, decoded anew (the document was checked when it was made).
    EmfRecord operator[](std::size_t i) const;
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, size()); }

private:
    const EmfDocument* m_document;
};

// A whole metafile, checked.
class EmfDocument {
public:
    EmfDocument() = default;
    // Raises EInvalidGraphic "Metafile is not valid" for damaged data.
    explicit EmfDocument(std::vector<std::uint8_t> bytes);
    static EmfDocument FromBytes(std::span<const std::uint8_t> bytes);

    bool Empty() const { return m_bytes.empty(); }
    const EmfHeader& Header() const { return m_header; }
    EmfRecordList Records() const { return EmfRecordList(*this); }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::span<const std::uint8_t> Range(const ByteRange& range) const;
    std::size_t WalkedRecords() const { return m_walked; }
    bool HasEof() const { return m_hasEof; }

    // The picture frame in reference-device pixels (falls back to the
    // bounds when the frame is empty); a played picture is mapped from it.
    struct FrameRect {
        double Left = 0, Top = 0, Width = 0, Height = 0;
    };
    FrameRect FramePixels() const;

    // The picture's size on paper in millimetres: its frame (kept in
    // hundredths of a millimetre), or without one its bounds at the
    // reference device's resolution (96 per inch when the header gives none).
    struct PaperSize {
        double Width = 0, Height = 0;
    };
    PaperSize PageMillimetres() const;

private:
    friend class EmfRecordList;

    // Where a drawn record lies: its offset in the bytes, and for a string
    // of a POLYTEXTOUT record the offset of its EmrText in the record (0
    // for every other record).
    struct RecordPlace {
        std::uint32_t Offset = 0;
        std::uint32_t Entry = 0;
    };
    EmfRecord Decode(const RecordPlace& place) const;

    std::vector<std::uint8_t> m_bytes;
    EmfHeader m_header;
    std::vector<RecordPlace> m_places;
    std::size_t m_walked = 0;
    bool m_hasEof = false;
};

// The longest side a page may have on paper. The program prints on A3
// (420 mm), and the largest sheets made are under 2.4 m; a page beyond a few
// metres is not a page but a damaged or made-up header, which would ask for
// a PDF page kilometres wide or a picture no memory holds. 5 m also stays
// within the 200 inches that PDF readers take as a page's side.
inline constexpr double kMaxPageSideMm = 5000;

// A page larger than kMaxPageSideMm on either side, refused by every command
// that shows, prints, converts or packs one.
class EPageTooLarge : public Exception {
    using Exception::Exception;
};

// Raises EPageTooLarge "Page is too large: <w> x <h> mm, at most 5000 mm a
// side" (sizes to .01 mm) for such a page.
void RequirePageFits(const EmfDocument& page);

}  // namespace dw::emf
