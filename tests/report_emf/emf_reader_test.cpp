// SPDX-License-Identifier: MIT
#include "report/emf/emf_reader.h"
#include "report/core/page_errors.h"
#include "report/emf/emf_dib.h"

#include "emf_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace dw::emf {
namespace {

using test::RawEmf;
using test::U;

constexpr std::uint32_t kOne = 0x3F800000;  // 1.0f

// Test names from the rows' names.
struct RowName {
    template <typename Info>
    std::string operator()(const Info& row) const
    {
        return row.param.Name;
    }
};

std::vector<std::uint8_t> Le32(std::initializer_list<std::uint32_t> values)
{
    std::vector<std::uint8_t> out;
    ByteWriter w(out);
    for (std::uint32_t v : values) w.U32(v);
    return out;
}

// EXTTEXTOUTW fields after Type and Size, with the string and advances
// where the offsets say.
std::vector<std::uint8_t> TextPayload(std::uint32_t chars, std::uint32_t offString, std::uint32_t offDx,
                                      std::size_t extraBytes)
{
    std::vector<std::uint8_t> p;
    ByteWriter w(p);
    w.Rect({0, 0, -1, -1});
    w.U32(kGmCompatible);
    w.F32(1);
    w.F32(1);
    w.Point({10, 10});
    w.U32(chars);
    w.U32(offString);
    w.U32(0);
    w.Rect({0, 0, -1, -1});
    w.U32(offDx);
    w.Zeros(extraBytes);
    return p;
}

// A BITMAPINFOHEADER for a w x h image of the given depth.
void InfoHeader(ByteWriter& w, std::int32_t width, std::int32_t height, std::uint16_t bits,
                std::uint32_t compression = kBiRgb, std::uint32_t colorsUsed = 0)
{
    w.U32(40);
    w.I32(width);
    w.I32(height);
    w.U16(1);
    w.U16(bits);
    w.U32(compression);
    w.U32(0);
    w.I32(0);
    w.I32(0);
    w.U32(colorsUsed);
    w.U32(0);
}

// STRETCHDIBITS fields after Type and Size, the bitmap header at 80 with
// a colour table of the given number of (black) colours.
std::vector<std::uint8_t> StretchDibPayload(std::int32_t width, std::int32_t height, std::uint16_t bits,
                                            std::uint32_t compression, std::uint32_t bitsSize, std::uint32_t storedBits,
                                            std::uint32_t colours = 0)
{
    std::vector<std::uint8_t> p;
    ByteWriter w(p);
    w.Rect({0, 0, 9, 9});
    w.I32(0);
    w.I32(0);
    w.I32(0);
    w.I32(0);
    w.I32(width);
    w.I32(height);
    const std::uint32_t offBmi = 80, cbBmi = 40 + 4 * colours;
    w.U32(offBmi);
    w.U32(cbBmi);
    w.U32(offBmi + cbBmi);
    w.U32(bitsSize);
    w.U32(kDibRgbColors);
    w.U32(kSrcCopy);
    w.I32(10);
    w.I32(10);
    InfoHeader(w, width, height, bits, compression, colours);
    w.Zeros(4 * colours);
    w.Zeros(storedBits);
    return p;
}

std::vector<std::uint8_t> HeaderWith(std::function<void(std::vector<std::uint8_t>&)> damage)
{
    auto bytes = RawEmf().Finish();
    damage(bytes);
    return bytes;
}

struct DamageCase {
    const char* Name;
    std::function<std::vector<std::uint8_t>()> Make;
    MetafileDamage Reason;  // the check the file was made to fail
};

class DamagedMetafile : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedMetafile, IsNotValid)
{
    const auto bytes = GetParam().Make();
    try {
        EmfDocument document(bytes);
        FAIL() << "accepted";
    } catch (const EInvalidMetafile& e) {
        EXPECT_EQ(e.Message(), "Metafile is not valid");
        EXPECT_EQ(static_cast<int>(e.Reason()), static_cast<int>(GetParam().Reason));
    }
}

// Damage to the structure: the walk cannot go on.
INSTANTIATE_TEST_SUITE_P(
    Structure, DamagedMetafile,
    ::testing::Values(
        DamageCase{"Empty", [] { return std::vector<std::uint8_t>{}; }, MetafileDamage::NoHeader},
        DamageCase{"ShorterThanAHeader", [] { return std::vector<std::uint8_t>(80, 0); }, MetafileDamage::NoHeader},
        DamageCase{"FirstRecordNotAHeader", [] { return HeaderWith([](auto& b) { b[0] = 2; }); },
                   MetafileDamage::NoHeader},
        DamageCase{"WrongSignature", [] { return HeaderWith([](auto& b) { b[40] = 'X'; }); },
                   MetafileDamage::Signature},
        DamageCase{"HeaderSizeBeyondData", [] { return HeaderWith([](auto& b) { b[5] = 0x10; }); },
                   MetafileDamage::HeaderSize},
        DamageCase{"RecordSizeZero", [] { return RawEmf().AddRaw(kEmrSetTextColor, 0, Le32({0})).Finish(); },
                   MetafileDamage::RecordSize},
        DamageCase{"RecordSizeBelowEight", [] { return RawEmf().AddRaw(kEmrSetTextColor, 4, Le32({0})).Finish(); },
                   MetafileDamage::RecordSize},
        DamageCase{"RecordSizeNotMultipleOfFour",
                   [] {
                       return RawEmf().AddRaw(kEmrSetTextColor, 14, Le32({0, 0})).Finish();
                   },
                   MetafileDamage::RecordSize},
        DamageCase{"RecordSizeBeyondEnd",
                   [] { return RawEmf().AddRaw(kEmrSetTextColor, 0x7FFFFFF0, Le32({0})).Finish(false); },
                   MetafileDamage::RecordBeyondData},
        DamageCase{"RecordSizeWrapsAround",
                   [] { return RawEmf().AddRaw(kEmrSetTextColor, 0xFFFFFFFC, Le32({0})).Finish(false); },
                   MetafileDamage::RecordBeyondData},
        DamageCase{"TruncatedRecordHead",
                   [] {
                       auto b = RawEmf().Finish(false);
                       b.insert(b.end(), {0x18, 0, 0, 0});
                       return b;
                   },
                   MetafileDamage::RecordCut},
        DamageCase{"DescriptionBeyondHeader",
                   [] {
                       return HeaderWith([](auto& b) {
                           ByteWriter(b).PatchU32(60, 40);
                           ByteWriter(b).PatchU32(64, 100);
                       });
                   },
                   MetafileDamage::Description},
        DamageCase{"DescriptionInsideFixedFields",
                   [] {
                       return HeaderWith([](auto& b) {
                           ByteWriter(b).PatchU32(60, 2);
                           ByteWriter(b).PatchU32(64, 40);
                       });
                   },
                   MetafileDamage::Description}),
    RowName());

// Damage inside a record: an offset or count that points outside it.
INSTANTIATE_TEST_SUITE_P(
    Records, DamagedMetafile,
    ::testing::Values(
        DamageCase{"FieldMissing", [] { return RawEmf().AddBytes(kEmrSetTextColor, {}).Finish(); },
                   MetafileDamage::FieldOutsideRecord},
        DamageCase{"TextStringBeyondRecord",
                   [] { return RawEmf().AddBytes(kEmrExtTextOutW, TextPayload(4, 76, 0, 4)).Finish(); },
                   MetafileDamage::ArrayOutsideRecord},
        DamageCase{"TextHugeCharacterCount",
                   [] { return RawEmf().AddBytes(kEmrExtTextOutW, TextPayload(0x40000000, 76, 0, 8)).Finish(); },
                   MetafileDamage::ArrayOutsideRecord},
        DamageCase{"TextAdvancesBeyondRecord",
                   [] { return RawEmf().AddBytes(kEmrExtTextOutW, TextPayload(2, 76, 80, 8)).Finish(); },
                   MetafileDamage::ArrayOutsideRecord},
        DamageCase{"TextStringOffsetWraps",
                   [] { return RawEmf().AddBytes(kEmrExtTextOutW, TextPayload(2, 0xFFFFFFFE, 0, 8)).Finish(); },
                   MetafileDamage::ArrayOutsideRecord},
        DamageCase{"Polygon16HugeCount",
                   [] {
                       return RawEmf().Add(kEmrPolygon16, {0, 0, 9, 9, 0xFFFFFFFF, 0, 0}).Finish();
                   },
                   MetafileDamage::ArrayOutsideRecord},
        DamageCase{"PolylineCountBeyondPoints",
                   [] {
                       return RawEmf().Add(kEmrPolyline, {0, 0, 9, 9, 10, 1, 1, 5, 5}).Finish();
                   },
                   MetafileDamage::ArrayOutsideRecord},
        DamageCase{"PolyPolygonCountsExceedTotal",
                   [] {
                       return RawEmf().Add(kEmrPolyPolygon16, {0, 0, 9, 9, 1, 2, 9, 0, 0}).Finish();
                   },
                   MetafileDamage::PolygonCounts},
        DamageCase{"PolyPolygonHugePolygonCount",
                   [] {
                       return RawEmf().Add(kEmrPolyPolygon, {0, 0, 9, 9, 0x40000000, 3, 3}).Finish();
                   },
                   MetafileDamage::ArrayOutsideRecord},
        DamageCase{"FontRecordTooShort",
                   [] {
                       return RawEmf().Add(kEmrExtCreateFontIndirectW, {1, U(-13)}).Finish();
                   },
                   MetafileDamage::FieldOutsideRecord},
        DamageCase{"BitBltBitmapBeyondRecord",
                   [] {
                       return RawEmf()
                           .Add(kEmrBitBlt, {0,  0,    9,  9, 0,    0, 10, 10, kSrcCopy,      0,
                                             0,  kOne, 0,  0, kOne, 0, 0,  0,  kDibRgbColors, 100,
                                             40, 140,  400})
                           .Finish();
                   },
                   MetafileDamage::BitmapOutsideRecord},
        DamageCase{
            "StretchDiBitsBitsTooShort",
            [] {
                return RawEmf().AddBytes(kEmrStretchDiBits, StretchDibPayload(100, 100, 24, kBiRgb, 12, 12)).Finish();
            },
            MetafileDamage::BitmapBitsShort},
        DamageCase{"StretchDiBitsHugeRunLengthImage",
                   [] {
                       return RawEmf()
                           .AddBytes(kEmrStretchDiBits, StretchDibPayload(100000, 100000, 8, kBiRle8, 4, 4, 2))
                           .Finish();
                   },
                   MetafileDamage::BitmapTooLarge},
        DamageCase{
            "StretchDiBitsZeroWidth",
            [] { return RawEmf().AddBytes(kEmrStretchDiBits, StretchDibPayload(0, 4, 24, kBiRgb, 0, 0)).Finish(); },
            MetafileDamage::BitmapSize},
        DamageCase{
            "StretchDiBitsUnknownDepth",
            [] { return RawEmf().AddBytes(kEmrStretchDiBits, StretchDibPayload(2, 2, 7, kBiRgb, 16, 16)).Finish(); },
            MetafileDamage::BitmapFormat},
        DamageCase{"ClipRegionCountBeyondData",
                   [] {
                       return RawEmf().Add(kEmrExtSelectClipRgn, {32, kRgnCopy, 32, 1, 1000, 48, 0, 0, 9, 9}).Finish();
                   },
                   MetafileDamage::RegionCount},
        DamageCase{"ClipRegionSizeBeyondRecord",
                   [] {
                       return RawEmf().Add(kEmrExtSelectClipRgn, {4096, kRgnCopy, 32, 1, 0, 16}).Finish();
                   },
                   MetafileDamage::RegionOutsideRecord},
        DamageCase{
            "GradientVertexIndexOutOfRange",
            [] {
                return RawEmf().Add(kEmrGradientFill, {0, 0, 9, 9, 2, 1, 0, 0, 0, 0, 0, 9, 9, 0, 0, 0, 5}).Finish();
            },
            MetafileDamage::GradientVertex},
        DamageCase{"PenStyleEntriesBeyondRecord",
                   [] {
                       return RawEmf()
                           .Add(kEmrExtCreatePen,
                                {1, 0, 0, 0, 0, kPsUserStyle | kPsGeometric, 2, kBsSolid, 0, 0, 50, 3})
                           .Finish();
                   },
                   MetafileDamage::ArrayOutsideRecord},
        DamageCase{"PolyTextHugeStringCount",
                   [] {
                       return RawEmf().Add(kEmrPolyTextOutW, {0, 0, 9, 9, 1, 0, 0, 0x10000000}).Finish();
                   },
                   MetafileDamage::TextCount},
        // Four entries of one record all reading the one string behind them.
        DamageCase{"PolyTextEntriesShareOneString",
                   [] {
                       std::vector<std::uint8_t> payload;
                       ByteWriter w(payload);
                       for (std::uint32_t f : {0u, 0u, 9u, 9u, 1u, 0u, 0u, 4u}) w.U32(f);
                       for (std::uint32_t i = 0; i < 4; ++i) {
                           for (std::uint32_t f : {10u, 10u + i, 40u, 136u, std::uint32_t{kEtoNoRect}, 0u}) w.U32(f);
                       }
                       for (int c = 0; c < 40; ++c) w.U16(u'A');
                       return RawEmf().AddBytes(kEmrPolyTextOutW, payload).Finish();
                   },
                   MetafileDamage::TextShared},
        DamageCase{"GradientModeUnknown",
                   [] {
                       return RawEmf().Add(kEmrGradientFill, {0, 0, 9, 9, 0, 0, 3}).Finish();
                   },
                   MetafileDamage::GradientMode},
        DamageCase{"BitmapHeaderOfUnknownSize",
                   [] {
                       auto payload = StretchDibPayload(2, 2, 24, kBiRgb, 16, 16);
                       ByteWriter(payload).PatchU32(72, 20);
                       return RawEmf().AddBytes(kEmrStretchDiBits, payload).Finish();
                   },
                   MetafileDamage::BitmapHeader},
        DamageCase{
            "RunLengthBitmapWithoutItsColours",
            [] { return RawEmf().AddBytes(kEmrStretchDiBits, StretchDibPayload(2, 2, 8, kBiRle8, 4, 4)).Finish(); },
            MetafileDamage::BitmapColourTable}),
    RowName());

// What real files get wrong and still play: the header's counts, bytes
// after the end, no EOF, records nobody knows.
struct ToleratedCase {
    const char* Name;
    std::function<std::vector<std::uint8_t>()> Make;
    std::size_t Walked;
};

class ToleratedMetafile : public ::testing::TestWithParam<ToleratedCase> {};

TEST_P(ToleratedMetafile, Reads)
{
    const EmfDocument document(GetParam().Make());
    EXPECT_EQ(document.WalkedRecords(), GetParam().Walked);
}

INSTANTIATE_TEST_SUITE_P(
    Quirks, ToleratedMetafile,
    ::testing::Values(
        ToleratedCase{"WrongRecordCount",
                      [] {
                          auto b = RawEmf().Add(kEmrSetTextColor, {0}).Finish();
                          ByteWriter(b).PatchU32(52, 99);
                          return b;
                      },
                      3},
        ToleratedCase{"ByteCountBeyondData",
                      [] {
                          auto b = RawEmf().Finish();
                          ByteWriter(b).PatchU32(48, 1000000);
                          return b;
                      },
                      2},
        ToleratedCase{"HandleCountTooSmall",
                      [] {
                          return RawEmf()
                              .Add(kEmrCreateBrushIndirect, {5000, kBsSolid, 0x0000FF, 0})
                              .Add(kEmrSelectObject, {5000})
                              .Finish();
                      },
                      4},
        ToleratedCase{"BytesAfterEof",
                      [] {
                          auto b = RawEmf().Finish();
                          b.insert(b.end(), 64, 0xEE);
                          return b;
                      },
                      2},
        ToleratedCase{"NoEof", [] { return RawEmf().Add(kEmrSetBkMode, {kTransparent}).Finish(false); }, 2},
        ToleratedCase{"UnknownRecord",
                      [] {
                          return RawEmf().Add(0x2500, {1, 2, 3}).Finish();
                      },
                      3},
        ToleratedCase{"TextWithoutCharacters",
                      [] { return RawEmf().AddBytes(kEmrExtTextOutW, TextPayload(0, 0, 0, 0)).Finish(); }, 3},
        ToleratedCase{"TextWithoutAdvances",
                      [] { return RawEmf().AddBytes(kEmrExtTextOutW, TextPayload(2, 76, 0, 4)).Finish(); }, 3},
        ToleratedCase{"CommentWithAnyData",
                      [] {
                          return RawEmf().Add(kEmrComment, {8, 0x2B464D45, 0}).Finish();
                      },
                      3}),
    RowName());

TEST(EmfDocumentTest, HeaderFieldsAreRead)
{
    auto bytes = RawEmf(200, 50).Finish();
    const EmfDocument document(bytes);
    const EmfHeader& h = document.Header();
    EXPECT_EQ(h.Bounds, (RectL{0, 0, 199, 49}));
    EXPECT_EQ(h.Frame, (RectL{0, 0, 5080, 1270}));
    EXPECT_EQ(h.Device, (SizeL{1000, 1000}));
    EXPECT_EQ(h.Millimeters, (SizeL{254, 254}));
    ASSERT_TRUE(h.Micrometers.has_value());
    EXPECT_EQ(h.Micrometers->Cx, 254000);
    const auto frame = document.FramePixels();
    EXPECT_DOUBLE_EQ(frame.Width, 200);
    EXPECT_DOUBLE_EQ(frame.Height, 50);
}

TEST(EmfDocumentTest, EmptyFrameFallsBackToBounds)
{
    auto bytes = RawEmf(30, 20).Finish();
    ByteWriter w(bytes);
    for (std::size_t at = 24; at < 40; at += 4) w.PatchU32(at, 0);
    const auto frame = EmfDocument(bytes).FramePixels();
    EXPECT_DOUBLE_EQ(frame.Width, 30);
    EXPECT_DOUBLE_EQ(frame.Height, 20);
}

TEST(EmfDocumentTest, TextRecordKeepsStringAndAdvances)
{
    std::vector<std::uint8_t> payload = TextPayload(3, 76, 84, 0);
    ByteWriter w(payload);
    for (char16_t c : std::u16string(u"Ж1 ")) w.U16(static_cast<std::uint16_t>(c));
    w.U16(0);
    w.I32(9);
    w.I32(7);
    w.I32(4);
    const EmfDocument document(RawEmf().AddBytes(kEmrExtTextOutW, payload).Finish());
    ASSERT_EQ(document.Records().size(), 1u);
    const EmfRecord record = document.Records()[0];
    const auto& text = std::get<TextRecord>(record);
    EXPECT_EQ(text.Text, u"Ж1 ");
    EXPECT_EQ(text.Dx, (std::vector<std::int32_t>{9, 7, 4}));
    EXPECT_EQ(text.Reference, (PointL{10, 10}));
}

TEST(EmfDocumentTest, SixteenBitPointsAreSignExtended)
{
    const EmfDocument document(RawEmf().Add(kEmrPolyline16, {0, 0, 9, 9, 2, 0xFFFEFFFF, 0x00050004}).Finish());
    const EmfRecord record = document.Records()[0];
    const auto& poly = std::get<PolyRecord>(record);
    EXPECT_EQ(poly.Type, kEmrPolyline);
    EXPECT_EQ(poly.Points, (std::vector<PointL>{{-1, -2}, {4, 5}}));
}

// --- bitmaps ---------------------------------------------------------------

struct DibCase {
    const char* Name;
    std::function<void(ByteWriter&)> Header;  // info header and colour table
    std::vector<std::uint8_t> Bits;
    std::vector<std::uint32_t> Pixels;  // expected, top row first
};

class DibDecoding : public ::testing::TestWithParam<DibCase> {};

TEST_P(DibDecoding, GivesPixels)
{
    std::vector<std::uint8_t> header;
    ByteWriter w(header);
    GetParam().Header(w);
    const DibInfo info = ParseDib(header, GetParam().Bits, kDibRgbColors);
    const DibImage image = DecodeDib(info, GetParam().Bits);
    EXPECT_EQ(image.Pixels, GetParam().Pixels);
}

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                        kBlack = 0xFF000000;

void TwoColours(ByteWriter& w)
{
    w.U32(0x00000000);  // black
    w.U32(0x00FFFFFF);  // white
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DibDecoding,
    ::testing::Values(
        // Rows are stored bottom-up unless the height is negative.
        DibCase{"Mono",
                [](ByteWriter& w) {
                    InfoHeader(w, 3, 2, 1);
                    TwoColours(w);
                },
                {0b10100000, 0, 0, 0, 0b01000000, 0, 0, 0},
                {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}},
        DibCase{"FourBit",
                [](ByteWriter& w) {
                    InfoHeader(w, 2, 1, 4, kBiRgb, 2);
                    TwoColours(w);
                },
                {0x10, 0, 0, 0},
                {kWhite, kBlack}},
        DibCase{"FourBitIndexBeyondTable",
                [](ByteWriter& w) {
                    InfoHeader(w, 1, 1, 4, kBiRgb, 2);
                    TwoColours(w);
                },
                {0xF0, 0, 0, 0},
                {kBlack}},
        DibCase{"Rgb555", [](ByteWriter& w) { InfoHeader(w, 2, 1, 16); }, {0x00, 0x7C, 0x1F, 0x00}, {kRed, kBlue}},
        DibCase{"Bitfields565",
                [](ByteWriter& w) {
                    InfoHeader(w, 1, 1, 16, kBiBitfields);
                    w.U32(0xF800);
                    w.U32(0x07E0);
                    w.U32(0x001F);
                },
                {0xE0, 0x07, 0, 0},
                {kGreen}},
        DibCase{"Rgb24BottomUp",
                [](ByteWriter& w) { InfoHeader(w, 1, 2, 24); },
                {0, 0, 255, 0, 255, 0, 0, 0},
                {kBlue, kRed}},
        DibCase{"Rgb32TopDown",
                [](ByteWriter& w) { InfoHeader(w, 1, -2, 32); },
                {0, 0, 255, 0, 255, 0, 0, 0},
                {kRed, kBlue}},
        DibCase{"RunLength8",
                [](ByteWriter& w) {
                    InfoHeader(w, 4, 1, 8, kBiRle8, 2);
                    TwoColours(w);
                },
                {3, 1, 0, 3, 0, 0, 0, 0, 0, 1},
                {kWhite, kWhite, kWhite, kBlack}},
        DibCase{"RunLength4Absolute",
                [](ByteWriter& w) {
                    InfoHeader(w, 3, 1, 4, kBiRle4, 2);
                    TwoColours(w);
                },
                {0, 3, 0x10, 0x10, 0, 1},
                {kWhite, kBlack, kWhite}},
        // Damaged run-length data ends the decoding; what is left stays empty.
        DibCase{"RunLengthCutShort",
                [](ByteWriter& w) {
                    InfoHeader(w, 3, 1, 8, kBiRle8, 2);
                    TwoColours(w);
                },
                {1, 1, 0, 200, 1},
                {kWhite, 0, 0}}),
    RowName());

TEST(DibTest, ColourTableBeyondHeaderIsNotValid)
{
    std::vector<std::uint8_t> header;
    ByteWriter w(header);
    InfoHeader(w, 1, 1, 8);  // 256 colours promised, none there
    const std::vector<std::uint8_t> bits(4, 0);
    try {
        ParseDib(header, bits, kDibRgbColors);
        FAIL() << "accepted";
    } catch (const EInvalidMetafile& e) {
        EXPECT_EQ(static_cast<int>(e.Reason()), static_cast<int>(MetafileDamage::BitmapColourTable));
    }
}

}  // namespace
}  // namespace dw::emf
