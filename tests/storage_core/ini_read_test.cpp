// SPDX-License-Identifier: MIT
#include "storage/core/ini_file.h"
#include "tests/storage_core/profile_fixture.h"

#include <gtest/gtest.h>

namespace dw::test {
namespace {

using namespace std::string_literals;

class IniRead : public ProfileTest {};

struct ReadCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::string expected;  // "<default>" stands for the default being returned
};

TEST_F(IniRead, FindsKeysAsTheProfileFunctionsDo)
{
    const ReadCase cases[] = {
        {"exact", "[TForm1]\nLeft=5\n", "TForm1", "Left", "5"},
        {"section case", "[TForm1]\nLeft=5\n", "tform1", "Left", "5"},
        {"key case", "[TForm1]\nLeft=5\n", "TForm1", "LEFT", "5"},
        {"cyrillic case", "[Окно]\nПоле=1\n", "ОКНО", "поле", "1"},
        {"blanks around", "  [ TForm1 ]  \n\t Left  =  5 \t\n", "TForm1", "Left", "5"},
        {"blanks in request", "[TForm1]\nLeft=5\n", " TForm1 ", " Left ", "5"},
        {"missing section", "[TSheetHolder]\nLeft=5\n", "TForm1", "Left", "<default>"},
        {"missing key", "[TForm1]\nTop=5\n", "TForm1", "Left", "<default>"},
        {"empty value is not missing", "[TForm1]\nLabel14_Caption=\n", "TForm1", "Label14_Caption", ""},
        {"value holds =", "[S]\nk=a=b\n", "S", "k", "a=b"},
        {"double quotes", "[S]\nk=\" a \"\n", "S", "k", " a "},
        {"single quotes", "[S]\nk='a'\n", "S", "k", "a"},
        {"one pair only", "[S]\nk=\"\"a\"\"\n", "S", "k", "\"a\""},
        {"mismatched quotes", "[S]\nk=\"a'\n", "S", "k", "\"a'"},
        {"lone quote", "[S]\nk=\"\n", "S", "k", "\""},
        {"empty quotes", "[S]\nk=''\n", "S", "k", ""},
        {"crlf", "[S]\r\nk=1\r\nm=2\r\n", "S", "m", "2"},
        {"cr only", "[S]\rk=1\rm=2\r", "S", "m", "2"},
        {"cr only, first key", "[TForm1]\rLeft=5\rTop=7", "TForm1", "Left", "5"},
        {"cr, crlf and lf mixed", "[S]\rk=1\r\nm=2\nn=3\r", "S", "n", "3"},
        {"cr then empty line", "[S]\r\rk=1\r", "S", "k", "1"},
        {"no final newline", "[S]\nk=1", "S", "k", "1"},
        {"bom", "\xEF\xBB\xBF[S]\nk=1\n", "S", "k", "1"},
        {"first section wins", "[S]\nk=1\n[s]\nk=2\nonly=3\n", "S", "k", "1"},
        {"later duplicate unread", "[S]\nk=1\n[s]\nonly=3\n", "S", "only", "<default>"},
        {"first key wins", "[S]\nk=1\nK=2\n", "S", "k", "1"},
        {"no ] is no header", "[S]\nk=1\n[T\nm=2\n", "S", "m", "2"},
        {"name to last ]", "[a]b]\nk=1\n", "a]b", "k", "1"},
        {"comment is no key", "[S]\n;k=1\n", "S", ";k", "<default>"},
        {"line without =", "[S]\nk\n", "S", "k", "<default>"},
        {"key before any section", "k=1\n[S]\n", "S", "k", "<default>"},
        {"nul inside value", "[S]\nk=a\0b\n"s, "S", "k", "a\0b"s},
        {"1251 value",
         "[TForm1]\nLabel14_Caption=\xC4\xE0\xF2\xE0 \xB9\xA8"
         "1\n",
         "TForm1", "Label14_Caption", "Дата №Ё1"},
        {"1251 section, any case", "[\xD2\xE5\xF1\xF2]\nk=1\n", "ТЕСТ", "k", "1"},
        {"1251 line beside utf-8 lines", "[S]\na=ё\nb=\xB8\n", "S", "b", "ё"},
        {"utf-8 stays utf-8", "[S]\nk=Дата\n", "S", "k", "Дата"},
    };
    for (const auto& c : cases) {
        WriteBytes(Profile(), c.file);
        const std::string got = TIniFile("davov").ReadString(c.section, c.key, "<default>");
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST_F(IniRead, MissingOrUnusableFileGivesDefaultsAndCreatesNothing)
{
    EXPECT_EQ(TIniFile("davov").ReadString("TForm1", "Left", "d"), "d");
    EXPECT_EQ(TIniFile("davov").ReadInteger("TForm1", "Left", 7), 7);
    EXPECT_FALSE(TIniFile("davov").SectionExists("TForm1"));
    SetVariable("XDG_CONFIG_HOME", (Root() / "absent").string());
    EXPECT_EQ(TIniFile("davov").ReadString("TForm1", "Left", "d"), "d");
    EXPECT_FALSE(std::filesystem::exists(Root() / "absent"));
    SetVariable("XDG_CONFIG_HOME", Config().string());
    WriteBytes(Profile(), "[TForm1]\nLeft=5\n;" + std::string(TIniFile::kFileBytesLimit, ' '));
    EXPECT_EQ(TIniFile("davov").ReadString("TForm1", "Left", "d"), "d");
    std::filesystem::remove(Profile());
    std::filesystem::create_directory(Profile());
    EXPECT_EQ(TIniFile((Config() / "davov").string()).ReadString("TForm1", "Left", "d"), "d");
}

struct LimitCase {
    const char* name;
    std::string value;
    std::string expected;
};

TEST_F(IniRead, ReturnsAtMost1023Characters)
{
    std::string cyrillic;
    for (int i = 0; i < 1100; ++i) cyrillic += "ж";
    const LimitCase cases[] = {
        {"1023 fit", std::string(1023, 'x'), std::string(1023, 'x')},
        {"1024 cut", std::string(1024, 'x'), std::string(1023, 'x')},
        {"counted in characters", cyrillic, cyrillic.substr(0, 2 * 1023)},
        {"quotes removed before the cut", "\"" + std::string(1023, 'x') + "\"", std::string(1023, 'x')},
        {"huge line", std::string(TIniFile::kFileBytesLimit - 64, 'y'), std::string(1023, 'y')},
    };
    for (const auto& c : cases) {
        WriteBytes(Profile(), "[S]\nk=" + c.value + "\nnext=1\n");
        TIniFile ini("davov");
        EXPECT_EQ(ini.ReadString("S", "k", ""), c.expected) << c.name;
        EXPECT_EQ(ini.ReadString("S", "next", ""), "1") << c.name;
    }
    EXPECT_EQ(TIniFile("davov").ReadString("S", "none", std::string(2000, 'd')), std::string(1023, 'd'));
}

struct IntegerCase {
    const char* text;
    std::int32_t expected;  // -99 is the default
};

TEST_F(IniRead, IntegersFollowThe0xRule)
{
    const IntegerCase cases[] = {
        {"42", 42},
        {"-7", -7},
        {"+5", 5},
        {"0x1F", 31},
        {"0X1f", 31},
        {"0x0", 0},
        {"0x", -99},
        {"0xG", -99},
        {"$FF", 255},
        {"-$10", -16},
        {"0xFFFFFFFF", -1},
        {"0x100000000", -99},
        {"-0x10", -99},
        {"\"0x10\"", 16},
        {"2147483647", 2147483647},
        {"2147483648", -99},
        {"-2147483648", INT32_MIN},
        {"99999999999999999999", -99},
        {"", -99},
        {"abc", -99},
        {"12abc", -99},
        {"1.5", -99},
        {"$", -99},
        {"-", -99},
    };
    for (const auto& c : cases) {
        WriteBytes(Profile(), "[S]\nk="s + c.text + "\n");
        EXPECT_EQ(TIniFile("davov").ReadInteger("S", "k", -99), c.expected) << c.text;
    }
    EXPECT_EQ(TIniFile("davov").ReadInteger("S", "missing", -99), -99);
}

struct BoolCase {
    const char* text;
    bool defaultValue;
    bool expected;
};

TEST_F(IniRead, BooleansAreNonZeroIntegers)
{
    const BoolCase cases[] = {
        {"1", false, true},   {"0", true, false},     {"2", false, true},   {"-1", false, true},
        {"0x0", true, false}, {"true", false, false}, {"true", true, true}, {"", true, true},
    };
    for (const auto& c : cases) {
        WriteBytes(Profile(), "[S]\nk="s + c.text + "\n");
        EXPECT_EQ(TIniFile("davov").ReadBool("S", "k", c.defaultValue), c.expected) << c.text;
    }
}

TEST_F(IniRead, ListsSectionsAndKeysFirstOccurrenceFirst)
{
    WriteBytes(Profile(), "top=0\n[A]\nx=1\n; note\nY='2'\nX=3\n[b]\n[a]\nz=4\n[B]\n");
    TIniFile ini("davov");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A", "b"}));
    EXPECT_EQ(ini.ReadSection("a"), (std::vector<std::string>{"x", "Y"}));
    EXPECT_EQ(ini.ReadSectionValues("A"), (std::vector<std::pair<std::string, std::string>>{{"x", "1"}, {"Y", "2"}}));
    EXPECT_TRUE(ini.ValueExists("A", "y"));
    EXPECT_FALSE(ini.ValueExists("A", "z"));
    EXPECT_TRUE(ini.SectionExists("B"));
    EXPECT_TRUE(ini.ReadSection("missing").empty());
}

}  // namespace
}  // namespace dw::test
