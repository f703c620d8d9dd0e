// SPDX-License-Identifier: MIT
#include "common/errors.h"
#include "common/utf8.h"

#include <gtest/gtest.h>

namespace {

struct CountCase {
    const char* name;
    std::string text;
    std::size_t chars;
    bool valid;
};

TEST(Utf8, CountsCharactersAndStrayBytes)
{
    const CountCase cases[] = {
        {"empty", "", 0, true},
        {"ascii", "abc", 3, true},
        {"cyrillic", "кг", 2, true},
        {"no-break space", "\xC2\xA0", 1, true},
        {"lone continuation", "\x80", 1, false},
        {"truncated two-byte", "\xD0", 1, false},
        {"overlong slash", "\xC0\xAF", 2, false},
        {"surrogate", "\xED\xA0\x80", 3, false},
        {"above U+10FFFF", "\xF4\x90\x80\x80", 4, false},
        {"four-byte", "\xF0\x9F\x98\x80", 1, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dw::utf8::CodePointCount(c.text), c.chars) << c.name;
        EXPECT_EQ(dw::utf8::IsValid(c.text), c.valid) << c.name;
    }
}

TEST(Utf8, DecodeAndAppendRoundTripAnyBytes)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    all += "кг\xF0\x9F\x98\x80\xE2\x82";
    std::string rebuilt;
    for (std::size_t pos = 0; pos < all.size();)
        dw::utf8::Append(rebuilt, dw::utf8::Next(all, pos));
    EXPECT_EQ(rebuilt, all);
}

TEST(Utf8, LeftCutsAtCharacterBoundaries)
{
    EXPECT_EQ(dw::utf8::Left("мм.", 1), "м");
    EXPECT_EQ(dw::utf8::Left("мм.", 5), "мм.");
    EXPECT_EQ(dw::utf8::Left("a\xD0", 2), "a\xD0");
}

TEST(ErrorText, FullStopOnlyAfterCharactersSortingAfterPoint)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Invalid floating point operation", "Invalid floating point operation."},
        {"Готово", "Готово."},
        {"Done.", "Done."},
        {"Done!", "Done!"},
        {"(1)", "(1)"},
        {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(dw::MessageWithFullStop(in), out) << in;
}

}  // namespace
