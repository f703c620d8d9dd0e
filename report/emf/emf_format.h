// SPDX-License-Identifier: MIT
#pragma once

// The byte format of enhanced metafiles: record numbers, the fixed values of
// their fields, and bounds-checked little-endian access to one record's bytes.
// Plain C++ on purpose: the reader built on it is fuzzed without Qt.

#include "report/core/page_errors.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dw::emf {

// Record types.
enum : std::uint32_t {
    kEmrHeader = 1,
    kEmrPolyBezier = 2,
    kEmrPolygon = 3,
    kEmrPolyline = 4,
    kEmrPolyBezierTo = 5,
    kEmrPolylineTo = 6,
    kEmrPolyPolyline = 7,
    kEmrPolyPolygon = 8,
    kEmrSetWindowExtEx = 9,
    kEmrSetWindowOrgEx = 10,
    kEmrSetViewportExtEx = 11,
    kEmrSetViewportOrgEx = 12,
    kEmrSetBrushOrgEx = 13,
    kEmrEof = 14,
    kEmrSetPixelV = 15,
    kEmrSetMapperFlags = 16,
    kEmrSetMapMode = 17,
    kEmrSetBkMode = 18,
    kEmrSetPolyFillMode = 19,
    kEmrSetRop2 = 20,
    kEmrSetStretchBltMode = 21,
    kEmrSetTextAlign = 22,
    kEmrSetTextColor = 24,
    kEmrSetBkColor = 25,
    kEmrOffsetClipRgn = 26,
    kEmrMoveToEx = 27,
    kEmrSetMetaRgn = 28,
    kEmrExcludeClipRect = 29,
    kEmrIntersectClipRect = 30,
    kEmrScaleViewportExtEx = 31,
    kEmrScaleWindowExtEx = 32,
    kEmrSaveDc = 33,
    kEmrRestoreDc = 34,
    kEmrSetWorldTransform = 35,
    kEmrModifyWorldTransform = 36,
    kEmrSelectObject = 37,
    kEmrCreatePen = 38,
    kEmrCreateBrushIndirect = 39,
    kEmrDeleteObject = 40,
    kEmrAngleArc = 41,
    kEmrEllipse = 42,
    kEmrRectangle = 43,
    kEmrRoundRect = 44,
    kEmrArc = 45,
    kEmrChord = 46,
    kEmrPie = 47,
    kEmrSelectPalette = 48,
    kEmrLineTo = 54,
    kEmrArcTo = 55,
    kEmrPolyDraw = 56,
    kEmrSetArcDirection = 57,
    kEmrSetMiterLimit = 58,
    kEmrBeginPath = 59,
    kEmrEndPath = 60,
    kEmrCloseFigure = 61,
    kEmrFillPath = 62,
    kEmrStrokeAndFillPath = 63,
    kEmrStrokePath = 64,
    kEmrFlattenPath = 65,
    kEmrWidenPath = 66,
    kEmrSelectClipPath = 67,
    kEmrAbortPath = 68,
    kEmrComment = 70,
    kEmrFillRgn = 71,
    kEmrFrameRgn = 72,
    kEmrInvertRgn = 73,
    kEmrPaintRgn = 74,
    kEmrExtSelectClipRgn = 75,
    kEmrBitBlt = 76,
    kEmrStretchBlt = 77,
    kEmrMaskBlt = 78,
    kEmrPlgBlt = 79,
    kEmrSetDiBitsToDevice = 80,
    kEmrStretchDiBits = 81,
    kEmrExtCreateFontIndirectW = 82,
    kEmrExtTextOutA = 83,
    kEmrExtTextOutW = 84,
    kEmrPolyBezier16 = 85,
    kEmrPolygon16 = 86,
    kEmrPolyline16 = 87,
    kEmrPolyBezierTo16 = 88,
    kEmrPolylineTo16 = 89,
    kEmrPolyPolyline16 = 90,
    kEmrPolyPolygon16 = 91,
    kEmrPolyDraw16 = 92,
    kEmrCreateMonoBrush = 93,
    kEmrCreateDibPatternBrushPt = 94,
    kEmrExtCreatePen = 95,
    kEmrPolyTextOutA = 96,
    kEmrPolyTextOutW = 97,
    kEmrSmallTextOut = 108,
    kEmrAlphaBlend = 114,
    kEmrSetLayout = 115,
    kEmrTransparentBlt = 116,
    kEmrGradientFill = 118,
};

inline constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
inline constexpr std::uint32_t kEmfVersion = 0x00010000;
inline constexpr std::size_t kHeaderBaseSize = 88;
inline constexpr std::size_t kHeaderExt1Size = 100;
inline constexpr std::size_t kHeaderExt2Size = 108;

// Stock objects: a SELECTOBJECT index with the high bit set.
inline constexpr std::uint32_t kStockObjectFlag = 0x80000000;
enum : std::uint32_t {
    kWhiteBrush = 0x80000000,
    kLtGrayBrush = 0x80000001,
    kGrayBrush = 0x80000002,
    kDkGrayBrush = 0x80000003,
    kBlackBrush = 0x80000004,
    kNullBrush = 0x80000005,
    kWhitePen = 0x80000006,
    kBlackPen = 0x80000007,
    kNullPen = 0x80000008,
    kOemFixedFont = 0x8000000A,
    kAnsiFixedFont = 0x8000000B,
    kAnsiVarFont = 0x8000000C,
    kSystemFont = 0x8000000D,
    kDeviceDefaultFont = 0x8000000E,
    kDefaultPalette = 0x8000000F,
    kSystemFixedFont = 0x80000010,
    kDefaultGuiFont = 0x80000011,
    kDcBrush = 0x80000012,
    kDcPen = 0x80000013,
};

// Background modes.
enum : std::uint32_t { kTransparent = 1, kOpaque = 2 };

// Text alignment flags.
enum : std::uint32_t {
    kTaUpdateCp = 0x0001,
    kTaRight = 0x0002,
    kTaCenter = 0x0006,
    kTaHorizontalMask = 0x0006,
    kTaBottom = 0x0008,
    kTaBaseline = 0x0018,
    kTaVerticalMask = 0x0018,
    kTaRtlReading = 0x0100,
};

// ExtTextOut options.
enum : std::uint32_t {
    kEtoOpaque = 0x0002,
    kEtoClipped = 0x0004,
    kEtoGlyphIndex = 0x0010,
    kEtoRtlReading = 0x0080,
    kEtoNoRect = 0x0100,
    kEtoSmallChars = 0x0200,
    kEtoIgnoreLanguage = 0x1000,
    kEtoPdy = 0x2000,
};

// Pen styles (low byte), end caps, joins and type.
enum : std::uint32_t {
    kPsSolid = 0,
    kPsDash = 1,
    kPsDot = 2,
    kPsDashDot = 3,
    kPsDashDotDot = 4,
    kPsNull = 5,
    kPsInsideFrame = 6,
    kPsUserStyle = 7,
    kPsAlternate = 8,
    kPsStyleMask = 0x0000000F,
    kPsEndCapRound = 0x00000000,
    kPsEndCapSquare = 0x00000100,
    kPsEndCapFlat = 0x00000200,
    kPsEndCapMask = 0x00000F00,
    kPsJoinRound = 0x00000000,
    kPsJoinBevel = 0x00001000,
    kPsJoinMiter = 0x00002000,
    kPsJoinMask = 0x0000F000,
    kPsGeometric = 0x00010000,
};

// Brush styles and hatches.
enum : std::uint32_t {
    kBsSolid = 0,
    kBsNull = 1,
    kBsHatched = 2,
    kBsPattern = 3,
    kBsDibPattern = 5,
    kBsDibPatternPt = 6,
};
enum : std::uint32_t {
    kHsHorizontal = 0,
    kHsVertical = 1,
    kHsFDiagonal = 2,
    kHsBDiagonal = 3,
    kHsCross = 4,
    kHsDiagCross = 5,
};

// Raster operations.
enum : std::uint32_t {
    kSrcCopy = 0x00CC0020,
    kSrcPaint = 0x00EE0086,
    kSrcAnd = 0x008800C6,
    kSrcInvert = 0x00660046,
    kSrcErase = 0x00440328,
    kNotSrcCopy = 0x00330008,
    kNotSrcErase = 0x001100A6,
    kMergeCopy = 0x00C000CA,
    kMergePaint = 0x00BB0226,
    kPatCopy = 0x00F00021,
    kPatPaint = 0x00FB0A09,
    kPatInvert = 0x005A0049,
    kDstInvert = 0x00550009,
    kBlackness = 0x00000042,
    kWhiteness = 0x00FF0062,
};

// Map modes.
enum : std::uint32_t {
    kMmText = 1,
    kMmLoMetric = 2,
    kMmHiMetric = 3,
    kMmLoEnglish = 4,
    kMmHiEnglish = 5,
    kMmTwips = 6,
    kMmIsotropic = 7,
    kMmAnisotropic = 8,
};

// Region combination modes (EXTSELECTCLIPRGN).
enum : std::uint32_t { kRgnAnd = 1, kRgnOr = 2, kRgnXor = 3, kRgnDiff = 4, kRgnCopy = 5 };

// MODIFYWORLDTRANSFORM modes.
enum : std::uint32_t { kMwtIdentity = 1, kMwtLeftMultiply = 2, kMwtRightMultiply = 3, kMwtSet = 4 };

// Poly fill modes.
enum : std::uint32_t { kAlternate = 1, kWinding = 2 };

// Arc directions.
enum : std::uint32_t { kAdCounterClockwise = 1, kAdClockwise = 2 };

// Graphics modes (EXTTEXTOUT).
enum : std::uint32_t { kGmCompatible = 1, kGmAdvanced = 2 };

// Font weights, charsets and the LOGFONT face length.
inline constexpr std::int32_t kFwNormal = 400;
inline constexpr std::int32_t kFwBold = 700;
inline constexpr std::uint8_t kDefaultCharset = 1;
inline constexpr std::uint8_t kRussianCharset = 204;
inline constexpr std::size_t kLfFaceSize = 32;
inline constexpr std::size_t kLogFontSize = 92;
inline constexpr std::uint32_t kLogFontExDvSignature = 0x08007664;

// POLYDRAW point types.
enum : std::uint8_t { kPtCloseFigure = 0x01, kPtLineTo = 0x02, kPtBezierTo = 0x04, kPtMoveTo = 0x06 };

// DIB usage and compression.
enum : std::uint32_t { kDibRgbColors = 0, kDibPalColors = 1 };
enum : std::uint32_t {
    kBiRgb = 0,
    kBiRle8 = 1,
    kBiRle4 = 2,
    kBiBitfields = 3,
    kBiJpeg = 4,
    kBiPng = 5,
};

using ColorRef = std::uint32_t;  // 0x00BBGGRR

constexpr ColorRef MakeColorRef(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) | (static_cast<ColorRef>(b) << 16);
}
constexpr std::uint8_t RedOf(ColorRef c)
{
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GreenOf(ColorRef c)
{
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t BlueOf(ColorRef c)
{
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

struct RectL {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    friend bool operator==(const RectL&, const RectL&) = default;
};

struct PointL {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const PointL&, const PointL&) = default;
};

struct SizeL {
    std::int32_t Cx = 0;
    std::int32_t Cy = 0;
    friend bool operator==(const SizeL&, const SizeL&) = default;
};

// x' = x * M11 + y * M21 + Dx; y' = x * M12 + y * M22 + Dy.
struct XForm {
    float M11 = 1;
    float M12 = 0;
    float M21 = 0;
    float M22 = 1;
    float Dx = 0;
    float Dy = 0;
};

struct LogFontW {
    std::int32_t Height = 0;
    std::int32_t Width = 0;
    std::int32_t Escapement = 0;
    std::int32_t Orientation = 0;
    std::int32_t Weight = kFwNormal;
    std::uint8_t Italic = 0;
    std::uint8_t Underline = 0;
    std::uint8_t StrikeOut = 0;
    std::uint8_t CharSet = kDefaultCharset;
    std::uint8_t OutPrecision = 0;
    std::uint8_t ClipPrecision = 0;
    std::uint8_t Quality = 0;
    std::uint8_t PitchAndFamily = 0;
    std::u16string FaceName;  // at most 31 code units, without the NUL
};

// Which check refused a metafile. The user reads "Metafile is not valid"
// whatever the reason; the reason travels with it so tests and anyone
// debugging a refused file can tell one damage from another.
enum class MetafileDamage {
    // The file as a whole.
    NoHeader,          // shorter than a header, or the first record is something else
    HeaderSize,        // the header's size is below its fixed fields or past the data
    Signature,         // the header does not carry the metafile signature
    Description,       // the description lies outside the header or over its fixed fields
    RecordCut,         // too few bytes left for a record's type and size
    RecordSize,        // a record size below 8 or not a multiple of 4
    RecordBeyondData,  // a record running past the end of the data
    // Inside one record.
    FieldOutsideRecord,   // a fixed field past the record's end
    ArrayOutsideRecord,   // a string, point list or value list outside the record
    PolygonCounts,        // the polygons' point counts add up to more than the total
    RegionOutsideRecord,  // a region's data outside the record
    RegionCount,          // more rectangles than a region's data holds
    GradientMode,         // a gradient that is neither of rectangles nor of triangles
    GradientVertex,       // a gradient naming a vertex it does not have
    TextCount,            // more strings than the record has room for
    TextShared,           // strings of one record that take more than it holds (one string read many times)
    // Bitmaps.
    BitmapOutsideRecord,  // a bitmap's header or bits outside the record
    BitmapHeader,         // a header of no known size, or shorter than it says
    BitmapSize,           // no pixels across or down
    BitmapFormat,         // a depth and compression that do not go together
    BitmapTooLarge,       // more pixels than any page holds
    BitmapColourTable,    // a colour table past the header
    BitmapBitsShort,      // bits that do not cover every row
};

// A damaged metafile: EInvalidGraphic "Metafile is not valid" with the
// check that refused it.
class EInvalidMetafile : public EInvalidGraphic {
public:
    explicit EInvalidMetafile(MetafileDamage reason) : m_reason(reason) {}
    MetafileDamage Reason() const { return m_reason; }

private:
    MetafileDamage m_reason;
};

// Raised for every damaged metafile.
[[noreturn]] void ThrowInvalidMetafile(MetafileDamage reason);

// Read access to the bytes of one record. Every read is checked against the
// record's size, so a field that lies outside the record ends in
// ThrowInvalidMetafile (FieldOutsideRecord, or ArrayOutsideRecord for a
// span) instead of a read beyond the data.
class RecordView {
public:
    RecordView() = default;
    explicit RecordView(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::size_t Size() const { return m_bytes.size(); }
    std::uint32_t Type() const { return U32(0); }

    // True when count bytes starting at offset lie inside the record;
    // computed without overflow for any 64-bit inputs.
    bool Has(std::uint64_t offset, std::uint64_t count) const;
    void Require(std::uint64_t offset, std::uint64_t count) const;

    std::uint8_t U8(std::size_t offset) const;
    std::uint16_t U16(std::size_t offset) const;
    std::uint32_t U32(std::size_t offset) const;
    std::int32_t I32(std::size_t offset) const;
    float F32(std::size_t offset) const;
    RectL Rect(std::size_t offset) const;
    PointL Point(std::size_t offset) const;
    SizeL SizeAt(std::size_t offset) const;
    XForm Xform(std::size_t offset) const;
    // count items of itemSize bytes at offset, checked as a whole.
    std::span<const std::uint8_t> Span(std::uint64_t offset, std::uint64_t count, std::uint64_t itemSize = 1) const;

private:
    std::span<const std::uint8_t> m_bytes;
};

// Little-endian readers for checked spans.
std::uint16_t ReadU16(const std::uint8_t* p);
std::uint32_t ReadU32(const std::uint8_t* p);
std::int32_t ReadI32(const std::uint8_t* p);

// Reads the 92-byte LOGFONTW at offset of a record.
LogFontW ReadLogFont(const RecordView& record, std::size_t offset);

// Appends little-endian values to a byte buffer.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : m_out(out) {}

    void U8(std::uint8_t v) { m_out.push_back(v); }
    void U16(std::uint16_t v);
    void U32(std::uint32_t v);
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void F32(float v);
    void Rect(const RectL& r);
    void Point(const PointL& p);
    void Size(const SizeL& s);
    void Xform(const XForm& x);
    void Zeros(std::size_t count) { m_out.insert(m_out.end(), count, 0); }
    void Bytes(std::span<const std::uint8_t> bytes) { m_out.insert(m_out.end(), bytes.begin(), bytes.end()); }
    // count UTF-16 units of text, padded with NULs to count when shorter.
    void Utf16Fixed(const std::u16string& text, std::size_t count);
    void PadTo4();
    void PatchU32(std::size_t at, std::uint32_t v);

private:
    std::vector<std::uint8_t>& m_out;
};

// Writes a 92-byte LOGFONTW.
void WriteLogFont(ByteWriter& out, const LogFontW& font);

}  // namespace dw::emf
