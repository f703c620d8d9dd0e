// SPDX-License-Identifier: MIT
#include "report/emf/emf_reader.h"

#include "common/stop_request.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace dw::emf {

namespace {

std::vector<PointL> ReadPoints16(const RecordView& r, std::size_t offset, std::uint64_t count)
{
    const auto bytes = r.Span(offset, count, 4);
    std::vector<PointL> points(bytes.size() / 4);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::uint8_t* p = bytes.data() + 4 * i;
        points[i] = {static_cast<std::int16_t>(ReadU16(p)), static_cast<std::int16_t>(ReadU16(p + 2))};
    }
    return points;
}

std::vector<PointL> ReadPoints32(const RecordView& r, std::size_t offset, std::uint64_t count)
{
    const auto bytes = r.Span(offset, count, 8);
    std::vector<PointL> points(bytes.size() / 8);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::uint8_t* p = bytes.data() + 8 * i;
        points[i] = {ReadI32(p), ReadI32(p + 4)};
    }
    return points;
}

std::vector<std::uint32_t> ReadU32s(const RecordView& r, std::size_t offset, std::uint64_t count)
{
    const auto bytes = r.Span(offset, count, 4);
    std::vector<std::uint32_t> values(bytes.size() / 4);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = ReadU32(bytes.data() + 4 * i);
    return values;
}

std::vector<RectL> ReadRegionData(const RecordView& r, std::size_t offset, std::uint32_t dataSize)
{
    std::vector<RectL> rects;
    if (dataSize == 0)
        return rects;
    if (!r.Has(offset, dataSize))
        ThrowInvalidMetafile(MetafileDamage::RegionOutsideRecord);
    // RGNDATAHEADER: size, type, count, region size, bounds.
    const std::uint32_t count = r.U32(offset + 8);
    if (dataSize < 32 || count > (dataSize - 32) / 16)
        ThrowInvalidMetafile(MetafileDamage::RegionCount);
    rects.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) rects.push_back(r.Rect(offset + 32 + 16 * static_cast<std::size_t>(i)));
    return rects;
}

// A bitmap inside a record; both ranges must lie in it.
std::optional<DibRef> ReadDib(const RecordView& r, std::size_t recordOffset, std::uint32_t offBmi, std::uint32_t cbBmi,
                              std::uint32_t offBits, std::uint32_t cbBits, std::uint32_t usage)
{
    if (cbBmi == 0)
        return std::nullopt;
    if (!r.Has(offBmi, cbBmi) || !r.Has(offBits, cbBits))
        ThrowInvalidMetafile(MetafileDamage::BitmapOutsideRecord);
    const auto header = r.Span(offBmi, cbBmi);
    const auto bits = r.Span(offBits, cbBits);
    DibRef dib;
    dib.Header = {recordOffset + offBmi, cbBmi};
    dib.Bits = {recordOffset + offBits, cbBits};
    dib.Usage = usage;
    dib.Info = ParseDib(header, bits, usage);
    return dib;
}

// One EmrText structure at offset `at` of a text record.
TextRecord ReadEmrText(const RecordView& r, std::size_t at, std::uint32_t graphicsMode, bool ansi)
{
    TextRecord text;
    text.GraphicsMode = graphicsMode;
    text.IsAnsi = ansi;
    text.Reference = r.Point(at);
    const std::uint32_t chars = r.U32(at + 8);
    const std::uint32_t offString = r.U32(at + 12);
    text.Options = r.U32(at + 16);
    std::size_t dxField = at + 20;
    if ((text.Options & kEtoNoRect) == 0) {
        text.Rect = r.Rect(at + 20);
        dxField = at + 36;
    }
    const std::uint32_t offDx = r.U32(dxField);
    if (chars > 0) {
        if (ansi) {
            const auto bytes = r.Span(offString, chars, 1);
            text.Ansi.assign(bytes.begin(), bytes.end());
        } else {
            const auto bytes = r.Span(offString, chars, 2);
            text.Text.resize(chars);
            for (std::size_t i = 0; i < chars; ++i) text.Text[i] = static_cast<char16_t>(ReadU16(bytes.data() + 2 * i));
        }
        if (offDx != 0) {
            const bool pdy = (text.Options & kEtoPdy) != 0;
            const auto values = ReadU32s(r, offDx, static_cast<std::uint64_t>(chars) * (pdy ? 2 : 1));
            text.Dx.resize(chars);
            if (pdy)
                text.Dy.resize(chars);
            for (std::size_t i = 0; i < chars; ++i) {
                text.Dx[i] = static_cast<std::int32_t>(values[pdy ? 2 * i : i]);
                if (pdy)
                    text.Dy[i] = static_cast<std::int32_t>(values[2 * i + 1]);
            }
        }
    }
    return text;
}

std::uint32_t Twin32(std::uint32_t type16)
{
    switch (type16) {
        case kEmrPolyBezier16:
            return kEmrPolyBezier;
        case kEmrPolygon16:
            return kEmrPolygon;
        case kEmrPolyline16:
            return kEmrPolyline;
        case kEmrPolyBezierTo16:
            return kEmrPolyBezierTo;
        case kEmrPolylineTo16:
            return kEmrPolylineTo;
        case kEmrPolyPolyline16:
            return kEmrPolyPolyline;
        case kEmrPolyPolygon16:
            return kEmrPolyPolygon;
        case kEmrPolyDraw16:
            return kEmrPolyDraw;
        default:
            return type16;
    }
}

PolyPolyRecord ReadPolyPoly(const RecordView& r, bool small)
{
    PolyPolyRecord rec;
    rec.Type = Twin32(r.Type());
    const std::uint32_t polys = r.U32(24);
    const std::uint32_t total = r.U32(28);
    rec.Counts = ReadU32s(r, 32, polys);
    std::uint64_t sum = 0;
    for (std::uint32_t c : rec.Counts) sum += c;
    if (sum > total)
        ThrowInvalidMetafile(MetafileDamage::PolygonCounts);
    const std::size_t pointsAt = 32 + 4 * static_cast<std::size_t>(polys);
    rec.Points = small ? ReadPoints16(r, pointsAt, total) : ReadPoints32(r, pointsAt, total);
    return rec;
}

BltRecord ReadBitBltLike(const RecordView& r, std::size_t offset)
{
    // BITBLT, STRETCHBLT, ALPHABLEND and TRANSPARENTBLT share their first 100 bytes.
    BltRecord b;
    b.Type = r.Type();
    b.XDest = r.I32(24);
    b.YDest = r.I32(28);
    b.CxDest = r.I32(32);
    b.CyDest = r.I32(36);
    const std::uint32_t field40 = r.U32(40);
    b.XSrc = r.I32(44);
    b.YSrc = r.I32(48);
    b.XformSrc = r.Xform(52);
    b.BkColorSrc = r.U32(76);
    const std::uint32_t usage = r.U32(80);
    const std::uint32_t offBmi = r.U32(84), cbBmi = r.U32(88), offBits = r.U32(92), cbBits = r.U32(96);
    b.Source = ReadDib(r, offset, offBmi, cbBmi, offBits, cbBits, usage);
    if (b.Type == kEmrBitBlt) {
        b.Rop = field40;
        b.CxSrc = b.CxDest;
        b.CySrc = b.CyDest;
    } else {
        b.CxSrc = r.I32(100);
        b.CySrc = r.I32(104);
        if (b.Type == kEmrStretchBlt)
            b.Rop = field40;
        else if (b.Type == kEmrAlphaBlend)
            b.BlendFunction = field40, b.Rop = kSrcCopy;
        else
            b.TransparentColor = field40, b.Rop = kSrcCopy;
    }
    return b;
}

}  // namespace

std::size_t WalkRecords(std::span<const std::uint8_t> bytes,
                        const std::function<void(const RecordView&, std::size_t)>& visit)
{
    if (bytes.size() < kHeaderBaseSize)
        ThrowInvalidMetafile(MetafileDamage::NoHeader);
    std::size_t offset = 0;
    std::size_t count = 0;
    while (offset < bytes.size()) {
        if (bytes.size() - offset < 8)
            ThrowInvalidMetafile(MetafileDamage::RecordCut);
        const std::uint32_t type = ReadU32(bytes.data() + offset);
        const std::uint32_t size = ReadU32(bytes.data() + offset + 4);
        if (size < 8 || size % 4 != 0)
            ThrowInvalidMetafile(MetafileDamage::RecordSize);
        if (size > bytes.size() - offset)
            ThrowInvalidMetafile(MetafileDamage::RecordBeyondData);
        if (count == 0 && type != kEmrHeader)
            ThrowInvalidMetafile(MetafileDamage::NoHeader);
        if (count == 0 && size < kHeaderBaseSize)
            ThrowInvalidMetafile(MetafileDamage::HeaderSize);
        // A page of millions of records takes seconds to walk; a request
        // to end the program ends the walk instead.
        if (count % kStopCheckRecords == 0)
            ThrowIfStopRequested();
        const RecordView record(bytes.subspan(offset, size));
        visit(record, offset);
        ++count;
        offset += size;
        if (type == kEmrEof)
            break;
    }
    return count;
}

EmfHeader ReadHeader(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kHeaderBaseSize || ReadU32(bytes.data()) != kEmrHeader)
        ThrowInvalidMetafile(MetafileDamage::NoHeader);
    const std::uint32_t size = ReadU32(bytes.data() + 4);
    if (size < kHeaderBaseSize || size > bytes.size())
        ThrowInvalidMetafile(MetafileDamage::HeaderSize);
    const RecordView r(bytes.subspan(0, size));
    if (r.U32(40) != kEmfSignature)
        ThrowInvalidMetafile(MetafileDamage::Signature);
    EmfHeader h;
    h.Size = size;
    h.Bounds = r.Rect(8);
    h.Frame = r.Rect(24);
    h.Version = r.U32(44);
    h.DeclaredBytes = r.U32(48);
    h.DeclaredRecords = r.U32(52);
    h.DeclaredHandles = r.U16(56);
    const std::uint32_t nDescription = r.U32(60);
    const std::uint32_t offDescription = r.U32(64);
    h.Device = r.SizeAt(72);
    h.Millimeters = r.SizeAt(80);

    // Where the fixed part ends: a description or pixel format placed
    // inside the record marks the end of the fields before it.
    std::size_t fixedEnd = size;
    if (nDescription > 0) {
        if (offDescription < kHeaderBaseSize || !r.Has(offDescription, std::uint64_t{nDescription} * 2))
            ThrowInvalidMetafile(MetafileDamage::Description);
        fixedEnd = offDescription;
        for (std::uint32_t i = 0; i < nDescription; ++i)
            h.Description.push_back(static_cast<char16_t>(r.U16(offDescription + 2 * i)));
    }
    if (fixedEnd >= kHeaderExt1Size) {
        const std::uint32_t cbPixelFormat = r.U32(88);
        const std::uint32_t offPixelFormat = r.U32(92);
        if (cbPixelFormat > 0 && offPixelFormat >= kHeaderBaseSize && r.Has(offPixelFormat, cbPixelFormat) &&
            offPixelFormat < fixedEnd)
            fixedEnd = offPixelFormat;
    }
    if (fixedEnd >= kHeaderExt2Size)
        h.Micrometers = r.SizeAt(100);
    return h;
}

namespace {

// Modes, colours, origins, extents, the current position, saved states and
// the world transform: records that change the drawing state only.
std::optional<EmfRecord> DecodeStateRecord(const RecordView& r)
{
    const std::uint32_t type = r.Type();
    switch (type) {
        case kEmrSetMapMode:
        case kEmrSetBkMode:
        case kEmrSetPolyFillMode:
        case kEmrSetRop2:
        case kEmrSetStretchBltMode:
        case kEmrSetTextAlign:
        case kEmrSetTextColor:
        case kEmrSetBkColor:
        case kEmrRestoreDc:
        case kEmrSelectObject:
        case kEmrDeleteObject:
        case kEmrSetArcDirection:
        case kEmrSetMiterLimit:
        case kEmrSetLayout:
            return ValueRecord{type, r.U32(8)};

        case kEmrSetWindowExtEx:
        case kEmrSetWindowOrgEx:
        case kEmrSetViewportExtEx:
        case kEmrSetViewportOrgEx:
        case kEmrSetBrushOrgEx:
        case kEmrMoveToEx:
        case kEmrLineTo:
        case kEmrOffsetClipRgn:
            return PointRecord{type, r.Point(8)};

        case kEmrScaleViewportExtEx:
        case kEmrScaleWindowExtEx:
            return ScaleExtRecord{type, r.I32(8), r.I32(12), r.I32(16), r.I32(20)};

        case kEmrSaveDc:
        case kEmrBeginPath:
        case kEmrEndPath:
        case kEmrCloseFigure:
        case kEmrFillPath:
        case kEmrStrokeAndFillPath:
        case kEmrStrokePath:
        case kEmrFlattenPath:
        case kEmrWidenPath:
        case kEmrAbortPath:
        case kEmrSetMetaRgn:
            return PlainRecord{type};
        case kEmrSelectClipPath:
            return ValueRecord{type, r.U32(8)};

        case kEmrSetWorldTransform:
            return XFormRecord{r.Xform(8), kMwtSet};
        case kEmrModifyWorldTransform:
            return XFormRecord{r.Xform(8), r.U32(32)};

        default:
            return std::nullopt;
    }
}

PolyDrawRecord ReadPolyDraw(const RecordView& r)
{
    const std::uint32_t count = r.U32(24);
    PolyDrawRecord rec;
    const bool small = r.Type() == kEmrPolyDraw16;
    rec.Points = small ? ReadPoints16(r, 28, count) : ReadPoints32(r, 28, count);
    const auto kinds = r.Span(28 + rec.Points.size() * (small ? 4 : 8), count, 1);
    rec.Kinds.assign(kinds.begin(), kinds.end());
    return rec;
}

// Rectangles, ellipses, arcs, lines and curves, and the clip rectangles.
std::optional<EmfRecord> DecodeShapeRecord(const RecordView& r)
{
    const std::uint32_t type = r.Type();
    switch (type) {
        case kEmrEllipse:
        case kEmrRectangle:
        case kEmrIntersectClipRect:
        case kEmrExcludeClipRect:
            return RectRecord{type, r.Rect(8)};

        case kEmrRoundRect:
            return RoundRectRecord{r.Rect(8), r.SizeAt(24)};

        case kEmrArc:
        case kEmrArcTo:
        case kEmrChord:
        case kEmrPie:
            return ArcRecord{type, r.Rect(8), r.Point(24), r.Point(32)};

        case kEmrAngleArc:
            return AngleArcRecord{r.Point(8), r.U32(16), r.F32(20), r.F32(24)};

        case kEmrPolyBezier:
        case kEmrPolygon:
        case kEmrPolyline:
        case kEmrPolyBezierTo:
        case kEmrPolylineTo:
            return PolyRecord{type, ReadPoints32(r, 28, r.U32(24))};
        case kEmrPolyBezier16:
        case kEmrPolygon16:
        case kEmrPolyline16:
        case kEmrPolyBezierTo16:
        case kEmrPolylineTo16:
            return PolyRecord{Twin32(type), ReadPoints16(r, 28, r.U32(24))};

        case kEmrPolyPolyline:
        case kEmrPolyPolygon:
            return ReadPolyPoly(r, false);
        case kEmrPolyPolyline16:
        case kEmrPolyPolygon16:
            return ReadPolyPoly(r, true);

        case kEmrPolyDraw:
        case kEmrPolyDraw16:
            return ReadPolyDraw(r);

        default:
            return std::nullopt;
    }
}

PenRecord ReadExtCreatePen(const RecordView& r)
{
    PenRecord pen;
    pen.Extended = true;
    pen.Index = r.U32(8);
    pen.Style = r.U32(28);
    pen.Width = r.U32(32);
    pen.BrushStyle = r.U32(36);
    pen.Color = r.U32(40);
    pen.Hatch = r.U32(44);
    const std::uint32_t entries = r.U32(48);
    if ((pen.Style & kPsStyleMask) == kPsUserStyle)
        pen.StyleEntries = ReadU32s(r, 52, entries);
    // A pattern pen's bitmap is not drawn, but it must lie in the record.
    const std::uint32_t offBmi = r.U32(12), cbBmi = r.U32(16), offBits = r.U32(20), cbBits = r.U32(24);
    if (cbBmi > 0 && (!r.Has(offBmi, cbBmi) || !r.Has(offBits, cbBits)))
        ThrowInvalidMetafile(MetafileDamage::BitmapOutsideRecord);
    return pen;
}

// Pens, brushes and fonts.
std::optional<EmfRecord> DecodeObjectRecord(const RecordView& r, std::size_t offset)
{
    const std::uint32_t type = r.Type();
    switch (type) {
        case kEmrCreatePen: {
            PenRecord pen;
            pen.Index = r.U32(8);
            pen.Style = r.U32(12);
            pen.Width = static_cast<std::uint32_t>(r.I32(16));
            pen.Color = r.U32(24);
            return pen;
        }
        case kEmrExtCreatePen:
            return ReadExtCreatePen(r);
        case kEmrCreateBrushIndirect: {
            BrushRecord brush;
            brush.Index = r.U32(8);
            brush.Style = r.U32(12);
            brush.Color = r.U32(16);
            brush.Hatch = r.U32(20);
            return brush;
        }
        case kEmrCreateDibPatternBrushPt:
        case kEmrCreateMonoBrush: {
            BrushRecord brush;
            brush.Index = r.U32(8);
            brush.Style = kBsDibPatternPt;
            brush.Mono = type == kEmrCreateMonoBrush;
            const std::uint32_t usage = r.U32(12);
            brush.Pattern = ReadDib(r, offset, r.U32(16), r.U32(20), r.U32(24), r.U32(28), usage);
            return brush;
        }
        case kEmrExtCreateFontIndirectW: {
            FontRecord font;
            font.Index = r.U32(8);
            font.Font = ReadLogFont(r, 12);
            return font;
        }
        default:
            return std::nullopt;
    }
}

TextRecord ReadSmallTextOut(const RecordView& r)
{
    TextRecord text;
    text.Reference = r.Point(8);
    const std::uint32_t chars = r.U32(16);
    text.Options = r.U32(20);
    text.GraphicsMode = r.U32(24);
    std::size_t at = 36;
    if ((text.Options & kEtoNoRect) == 0) {
        text.Rect = r.Rect(36);
        at = 52;
    }
    if ((text.Options & kEtoSmallChars) != 0) {
        text.IsAnsi = true;
        const auto bytes = r.Span(at, chars, 1);
        text.Ansi.assign(bytes.begin(), bytes.end());
    } else {
        const auto bytes = r.Span(at, chars, 2);
        for (std::size_t i = 0; i < chars; ++i)
            text.Text.push_back(static_cast<char16_t>(ReadU16(bytes.data() + 2 * i)));
    }
    return text;
}

// Text of one string; POLYTEXTOUT records are expanded by the document
// into one text record per string.
std::optional<EmfRecord> DecodeTextRecord(const RecordView& r)
{
    const std::uint32_t type = r.Type();
    switch (type) {
        case kEmrExtTextOutW:
        case kEmrExtTextOutA:
            return ReadEmrText(r, 36, r.U32(24), type == kEmrExtTextOutA);
        case kEmrSmallTextOut:
            return ReadSmallTextOut(r);
        default:
            return std::nullopt;
    }
}

BltRecord ReadStretchDiBits(const RecordView& r, std::size_t offset)
{
    BltRecord b;
    b.Type = r.Type();
    b.XDest = r.I32(24);
    b.YDest = r.I32(28);
    b.XSrc = r.I32(32);
    b.YSrc = r.I32(36);
    b.CxSrc = r.I32(40);
    b.CySrc = r.I32(44);
    const std::uint32_t offBmi = r.U32(48), cbBmi = r.U32(52), offBits = r.U32(56), cbBits = r.U32(60);
    const std::uint32_t usage = r.U32(64);
    b.Rop = r.U32(68);
    b.CxDest = r.I32(72);
    b.CyDest = r.I32(76);
    b.Source = ReadDib(r, offset, offBmi, cbBmi, offBits, cbBits, usage);
    return b;
}

BltRecord ReadSetDiBitsToDevice(const RecordView& r, std::size_t offset)
{
    BltRecord b;
    b.Type = r.Type();
    b.XDest = r.I32(24);
    b.YDest = r.I32(28);
    b.XSrc = r.I32(32);
    b.YSrc = r.I32(36);
    b.CxSrc = b.CxDest = r.I32(40);
    b.CySrc = b.CyDest = r.I32(44);
    const std::uint32_t offBmi = r.U32(48), cbBmi = r.U32(52), offBits = r.U32(56), cbBits = r.U32(60);
    const std::uint32_t usage = r.U32(64);
    r.U32(72);  // scan count: the bits are checked against the header instead
    b.Rop = kSrcCopy;
    b.Source = ReadDib(r, offset, offBmi, cbBmi, offBits, cbBits, usage);
    return b;
}

// Block transfers: a destination, a raster operation, maybe a bitmap.
std::optional<EmfRecord> DecodeBitmapRecord(const RecordView& r, std::size_t offset)
{
    switch (r.Type()) {
        case kEmrBitBlt:
        case kEmrStretchBlt:
        case kEmrAlphaBlend:
        case kEmrTransparentBlt:
            return ReadBitBltLike(r, offset);
        case kEmrStretchDiBits:
            return ReadStretchDiBits(r, offset);
        case kEmrSetDiBitsToDevice:
            return ReadSetDiBitsToDevice(r, offset);
        default:
            return std::nullopt;
    }
}

RegionRecord ReadRegionFill(const RecordView& r)
{
    const std::uint32_t type = r.Type();
    RegionRecord region;
    region.Type = type;
    const std::uint32_t dataSize = r.U32(24);
    std::size_t at = 28;
    if (type == kEmrFillRgn || type == kEmrFrameRgn) {
        region.BrushIndex = r.U32(28);
        at = 32;
    }
    if (type == kEmrFrameRgn) {
        region.Stroke = r.SizeAt(32);
        at = 40;
    }
    region.Rects = ReadRegionData(r, at, dataSize);
    return region;
}

GradientRecord ReadGradient(const RecordView& r)
{
    GradientRecord g;
    const std::uint32_t vertices = r.U32(24);
    const std::uint32_t items = r.U32(28);
    g.Mode = r.U32(32);
    if (g.Mode > 2)
        ThrowInvalidMetafile(MetafileDamage::GradientMode);
    const auto vbytes = r.Span(36, vertices, 16);
    g.Vertices.resize(vertices);
    for (std::size_t i = 0; i < vertices; ++i) {
        const std::uint8_t* p = vbytes.data() + 16 * i;
        g.Vertices[i] = {ReadI32(p), ReadI32(p + 4), ReadU16(p + 8), ReadU16(p + 10), ReadU16(p + 12), ReadU16(p + 14)};
    }
    const std::size_t per = g.Mode == 2 ? 3 : 2;
    const auto indices = ReadU32s(r, 36 + vbytes.size(), static_cast<std::uint64_t>(items) * per);
    g.Items.resize(items);
    for (std::size_t i = 0; i < items; ++i) {
        for (std::size_t k = 0; k < per; ++k) {
            const std::uint32_t v = indices[i * per + k];
            if (v >= vertices)
                ThrowInvalidMetafile(MetafileDamage::GradientVertex);
            g.Items[i][k] = v;
        }
    }
    return g;
}

// Clip regions, filled regions, gradients and single pixels.
std::optional<EmfRecord> DecodeAreaRecord(const RecordView& r)
{
    switch (r.Type()) {
        case kEmrExtSelectClipRgn: {
            const std::uint32_t dataSize = r.U32(8);
            ClipRegionRecord clip;
            clip.Mode = r.U32(12);
            clip.Rects = ReadRegionData(r, 16, dataSize);
            return clip;
        }
        case kEmrFillRgn:
        case kEmrFrameRgn:
        case kEmrInvertRgn:
        case kEmrPaintRgn:
            return ReadRegionFill(r);
        case kEmrGradientFill:
            return ReadGradient(r);
        case kEmrSetPixelV:
            return PixelRecord{r.Point(8), r.U32(16)};
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<EmfRecord> DecodeRecord(const RecordView& r, std::size_t offset)
{
    // Each family knows its own record types and gives none for the others.
    if (auto record = DecodeStateRecord(r))
        return record;
    if (auto record = DecodeShapeRecord(r))
        return record;
    if (auto record = DecodeObjectRecord(r, offset))
        return record;
    if (auto record = DecodeTextRecord(r))
        return record;
    if (auto record = DecodeBitmapRecord(r, offset))
        return record;
    return DecodeAreaRecord(r);
}

namespace {

// What one string of a text record takes of the record's bytes: its
// characters and its spacing values.
std::uint64_t TextBytes(const TextRecord& text)
{
    return std::uint64_t{text.Text.size()} * 2 + text.Ansi.size() + (text.Dx.size() + text.Dy.size()) * 4;
}

bool IsPolyText(std::uint32_t type)
{
    return type == kEmrPolyTextOutW || type == kEmrPolyTextOutA;
}

RecordView RecordAt(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return RecordView(bytes.subspan(offset, ReadU32(bytes.data() + offset + 4)));
}

}  // namespace

EmfDocument::EmfDocument(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes))
{
    // Places are kept in 32 bits; no page comes near that.
    if (m_bytes.size() > std::numeric_limits<std::uint32_t>::max())
        ThrowInvalidMetafile(MetafileDamage::RecordBeyondData);
    m_header = ReadHeader(m_bytes);
    // Counted first, so that the places take what they need and no more
    // (growing by doubling would take up to twice that, and a copy).
    m_places.reserve(WalkRecords(m_bytes, [](const RecordView&, std::size_t) {}));
    // Every record is decoded once here, so that damage is found when the
    // document is made; what is kept is only where each record lies.
    m_walked = WalkRecords(m_bytes, [this](const RecordView& r, std::size_t offset) {
        const std::uint32_t type = r.Type();
        if (offset == 0)
            return;
        if (type == kEmrEof) {
            m_hasEof = true;
            return;
        }
        const auto place = [&](std::size_t entry) {
            m_places.push_back({static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(entry)});
        };
        if (IsPolyText(type)) {
            const std::uint32_t graphicsMode = r.U32(24);
            const std::uint32_t strings = r.U32(36);
            // Each EmrText takes at least 40 bytes of the record.
            if (strings > r.Size() / 40)
                ThrowInvalidMetafile(MetafileDamage::TextCount);
            // Strings written one after another fit in their record; entries
            // that all point at one string would make a page of a few hundred
            // kilobytes spell out gigabytes, so such a record is refused as
            // soon as its strings add up to more than it holds.
            std::uint64_t textBytes = 0;
            std::size_t at = 40;
            for (std::uint32_t i = 0; i < strings; ++i) {
                const TextRecord text = ReadEmrText(r, at, graphicsMode, type == kEmrPolyTextOutA);
                textBytes += TextBytes(text);
                if (textBytes > r.Size())
                    ThrowInvalidMetafile(MetafileDamage::TextShared);
                place(at);
                at += text.Rect ? 40 : 24;
            }
            return;
        }
        if (DecodeRecord(r, offset))
            place(0);
    });
}

EmfRecord EmfDocument::Decode(const RecordPlace& place) const
{
    const RecordView r = RecordAt(m_bytes, place.Offset);
    if (IsPolyText(r.Type()))
        return ReadEmrText(r, place.Entry, r.U32(24), r.Type() == kEmrPolyTextOutA);
    std::optional<EmfRecord> record = DecodeRecord(r, place.Offset);
    // The same bytes were decoded when the document was made.
    return record ? std::move(*record) : EmfRecord(PlainRecord{r.Type()});
}

std::size_t EmfRecordList::size() const
{
    return m_document->m_places.size();
}

EmfRecord EmfRecordList::operator[](std::size_t i) const
{
    return m_document->Decode(m_document->m_places.at(i));
}

EmfDocument EmfDocument::FromBytes(std::span<const std::uint8_t> bytes)
{
    return EmfDocument(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

std::span<const std::uint8_t> EmfDocument::Range(const ByteRange& range) const
{
    if (range.Offset > m_bytes.size() || range.Size > m_bytes.size() - range.Offset)
        return {};
    return std::span<const std::uint8_t>(m_bytes).subspan(range.Offset, range.Size);
}

namespace {

// The frame is kept in whole hundredths of a millimetre, so a page of w
// pixels comes back as w plus or minus up to one such unit: values that
// close to a whole number of pixels are taken as that number, and a page
// written at w pixels plays back at exactly w pixels.
double Snap(double v, double unit)
{
    const double r = std::round(v);
    return std::fabs(v - r) <= std::min(unit, 0.25) ? r : v;
}

}  // namespace

EmfDocument::FrameRect EmfDocument::FramePixels() const
{
    const EmfHeader& h = m_header;
    FrameRect f;
    const RectL& frame = h.Frame;
    const std::int64_t frameWidth = std::int64_t{frame.Right} - frame.Left;
    const std::int64_t frameHeight = std::int64_t{frame.Bottom} - frame.Top;
    if (frameWidth > 0 && frameHeight > 0) {
        // Pixels per .01 mm of the reference device; 96 per inch when the
        // header gives no usable sizes.
        double sx = 96.0 / 2540.0, sy = 96.0 / 2540.0;
        if (h.Device.Cx > 0 && h.Millimeters.Cx > 0)
            sx = static_cast<double>(h.Device.Cx) / (100.0 * h.Millimeters.Cx);
        if (h.Device.Cy > 0 && h.Millimeters.Cy > 0)
            sy = static_cast<double>(h.Device.Cy) / (100.0 * h.Millimeters.Cy);
        f.Left = Snap(frame.Left * sx, sx);
        f.Top = Snap(frame.Top * sy, sy);
        f.Width = Snap(static_cast<double>(frameWidth) * sx, sx);
        f.Height = Snap(static_cast<double>(frameHeight) * sy, sy);
        return f;
    }
    const RectL& b = h.Bounds;
    f.Left = b.Left;
    f.Top = b.Top;
    f.Width = std::max<double>(1.0, static_cast<double>(std::int64_t{b.Right} - b.Left + 1));
    f.Height = std::max<double>(1.0, static_cast<double>(std::int64_t{b.Bottom} - b.Top + 1));
    return f;
}

EmfDocument::PaperSize EmfDocument::PageMillimetres() const
{
    const RectL& frame = m_header.Frame;
    const std::int64_t frameWidth = std::int64_t{frame.Right} - frame.Left;
    const std::int64_t frameHeight = std::int64_t{frame.Bottom} - frame.Top;
    if (frameWidth > 0 && frameHeight > 0)
        return {static_cast<double>(frameWidth) / 100.0, static_cast<double>(frameHeight) / 100.0};
    // The bounds that FramePixels falls back to, at the reference device's
    // pixels per millimetre.
    const EmfHeader& h = m_header;
    const FrameRect pixels = FramePixels();
    double sx = 96.0 / 25.4, sy = 96.0 / 25.4;
    if (h.Device.Cx > 0 && h.Millimeters.Cx > 0)
        sx = static_cast<double>(h.Device.Cx) / h.Millimeters.Cx;
    if (h.Device.Cy > 0 && h.Millimeters.Cy > 0)
        sy = static_cast<double>(h.Device.Cy) / h.Millimeters.Cy;
    return {pixels.Width / sx, pixels.Height / sy};
}

namespace {

// Hundredths of a millimetre, the frame's own unit, whatever the locale.
std::string Millimetres(double value)
{
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    return std::string(text, result.ptr);
}

}  // namespace

void RequirePageFits(const EmfDocument& page)
{
    const EmfDocument::PaperSize size = page.PageMillimetres();
    if (!(size.Width <= kMaxPageSideMm && size.Height <= kMaxPageSideMm)) {
        throw EPageTooLarge(MessageText(
            DW_TEXT("Message", "Page is too large: %1 x %2 mm, at most %3 mm a side"),
            {MessageText::Verbatim(Millimetres(size.Width)), MessageText::Verbatim(Millimetres(size.Height)),
             MessageText::Verbatim(std::to_string(static_cast<int>(kMaxPageSideMm)))}));
    }
}

}  // namespace dw::emf
