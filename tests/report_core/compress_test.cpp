// SPDX-License-Identifier: MIT
#include "report/core/compress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/core/page_errors.h"
#include "report/core/page_stream.h"
#include "tests/report_core/page_test_support.h"

namespace dw {
namespace {

using test::Bytes;

using test::Encode;

// Decodes `count` bytes from code followed by a trailer; returns the bytes
// and how far the stream moved.
Bytes Decode(const Bytes& code, std::size_t count, std::int64_t* consumed = nullptr)
{
    TVpStream stream;
    stream.Write(code.data(), code.size());
    const std::uint8_t trailer[] = {0xEE, 0xEE, 0xEE};
    stream.Write(trailer, sizeof trailer);
    stream.Seek(0, TVpSeekOrigin::Beginning);
    Bytes out(count);
    TVpCompress expander(stream, TVpCompressDirection::Expand, static_cast<std::int64_t>(code.size()));
    expander.DecodeBytes(out);
    expander.Finish();
    if (consumed != nullptr) {
        *consumed = stream.Position();
    }
    return out;
}

Bytes FromText(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

struct KnownCode {
    const char* name;
    Bytes plain;
    Bytes code;
};

// Codes worked out by hand from the starting tree (byte v is v + 1 in eight
// bits, 255 is nine zeros) and the splaying rule.
const KnownCode kKnownCodes[] = {
    {"abc", FromText("abc"), {0x46, 0x3D, 0x01}},
    {"aaaa", FromText("aaaa"), {0x46, 0x45}},
    {"byte_0_is_00000001", {0x00}, {0x80}},
    {"byte_255_is_nine_zeros", {0xFF}, {0x00, 0x00}},
    {"nothing", {}, {}},
};

class KnownCodeTest : public ::testing::TestWithParam<KnownCode> {};

TEST_P(KnownCodeTest, EncodesToTheGivenBytes)
{
    EXPECT_EQ(Encode(GetParam().plain), GetParam().code);
}

TEST_P(KnownCodeTest, DecodesConsumingExactlyTheCode)
{
    std::int64_t consumed = -1;
    EXPECT_EQ(Decode(GetParam().code, GetParam().plain.size(), &consumed), GetParam().plain);
    EXPECT_EQ(consumed, static_cast<std::int64_t>(GetParam().code.size()));
}

INSTANTIATE_TEST_SUITE_P(Codes, KnownCodeTest, ::testing::ValuesIn(kKnownCodes),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(CompressTest, FreeingACompressorWritesTheLastPartByte)
{
    TVpStream stream;
    {
        TVpCompress compressor(stream, TVpCompressDirection::Compress);
        compressor.EncodeByte('a');
        compressor.EncodeByte('b');
    }
    ASSERT_EQ(stream.Size(), 2);
    std::uint8_t bytes[2];
    stream.Seek(0, TVpSeekOrigin::Beginning);
    stream.ReadBuffer(bytes, 2);
    EXPECT_EQ(bytes[0], 0x46);
    EXPECT_EQ(bytes[1], 0x1D);  // what "abc" has in its second byte, less the bit of "c"
}

TEST(CompressTest, EachCompressorStartsFromTheSameTree)
{
    // Two pages written one after the other on one stream decode separately.
    TVpStream stream;
    for (int i = 0; i < 2; ++i) {
        TVpCompress compressor(stream, TVpCompressDirection::Compress);
        compressor.EncodeBytes(FromText("abc"));
    }
    EXPECT_EQ(stream.Size(), 6);
    stream.Seek(0, TVpSeekOrigin::Beginning);
    for (int i = 0; i < 2; ++i) {
        Bytes out(3);
        TVpCompress expander(stream, TVpCompressDirection::Expand);
        expander.DecodeBytes(out);
        expander.Finish();
        EXPECT_EQ(out, FromText("abc"));
        EXPECT_EQ(stream.Position(), 3 * (i + 1));
    }
}

struct BadCode {
    const char* name;
    Bytes code;
    std::size_t count;
};

const BadCode kBadCodes[] = {
    {"no_code_at_all", {}, 1},
    {"bits_end_inside_a_byte_code", {0x46}, 2},
    {"bits_end_after_some_bytes", {0x46, 0x3D, 0x01}, 11},
    // Eight zeros then a one lead to the spare leaf beside byte 255.
    {"spare_leaf", {0x00, 0x01}, 1},
};

class BadCodeTest : public ::testing::TestWithParam<BadCode> {};

TEST_P(BadCodeTest, EndsInMetafileNotValid)
{
    TVpStream stream;
    stream.Write(GetParam().code.data(), GetParam().code.size());
    const std::uint8_t more[] = {0xFF, 0xFF};
    stream.Write(more, sizeof more);  // beyond the limit: must not be read
    stream.Seek(0, TVpSeekOrigin::Beginning);
    TVpCompress expander(stream, TVpCompressDirection::Expand, static_cast<std::int64_t>(GetParam().code.size()));
    Bytes out(GetParam().count);
    try {
        expander.DecodeBytes(out);
        FAIL() << "decoded without enough code";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Metafile is not valid");
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, BadCodeTest, ::testing::ValuesIn(kBadCodes),
                         [](const auto& row) { return std::string(row.param.name); });

struct RoundTrip {
    const char* name;
    Bytes plain;
};

Bytes Repeated(std::uint8_t value, std::size_t size)
{
    return Bytes(size, value);
}

Bytes Skewed(std::uint32_t seed, std::size_t size)
{
    std::mt19937 random(seed);
    std::geometric_distribution<int> pick(0.2);
    Bytes b(size);
    for (auto& x : b) {
        x = static_cast<std::uint8_t>(pick(random) % 256);
    }
    return b;
}

std::vector<RoundTrip> RoundTrips()
{
    std::vector<RoundTrip> rows = {
        {"one_byte", {0x7F}},
        {"all_byte_values", {}},
        {"zeros_64k", Repeated(0, 65536)},
        {"ff_10k", Repeated(0xFF, 10000)},
        {"random_7", test::RandomBytes(1, 7)},
        {"random_8", test::RandomBytes(2, 8)},
        {"random_9", test::RandomBytes(3, 9)},
        {"random_1000", test::RandomBytes(4, 1000)},
        {"random_300k", test::RandomBytes(5, 300000)},
        {"skewed_100k", Skewed(6, 100000)},
        {"emf_page_20k", test::MakeEmfPage(7, 20000)},
        {"emf_page_2m", test::MakeEmfPage(8, 2000000)},
    };
    for (int v = 0; v < 256; ++v) {
        rows[1].plain.push_back(static_cast<std::uint8_t>(v));
        rows[1].plain.push_back(static_cast<std::uint8_t>(255 - v));
    }
    return rows;
}

class RoundTripTest : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(RoundTripTest, ExpandGivesBackWhatWasCompressed)
{
    const Bytes& plain = GetParam().plain;
    const Bytes code = Encode(plain);
    std::int64_t consumed = -1;
    EXPECT_EQ(Decode(code, plain.size(), &consumed), plain);
    EXPECT_EQ(consumed, static_cast<std::int64_t>(code.size()));
    // Each byte costs at least one bit: the bound the page reader trusts.
    EXPECT_GE(code.size() * 8, plain.size());
}

INSTANTIATE_TEST_SUITE_P(Blocks, RoundTripTest, ::testing::ValuesIn(RoundTrips()),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(CompressTest, RepetitiveMetafilePagesShrink)
{
    const Bytes page = test::MakeEmfPage(11, 200000);
    EXPECT_LT(Encode(page).size(), page.size());
}

}  // namespace
}  // namespace dw
