// SPDX-License-Identifier: MIT
#include "numeric/core/date_time_format.h"

#include "common/utf8.h"
#include "numeric/core/locale_formats.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

using dw::EncodeDateValue;
using dw::EncodeTimeValue;
using dw::FormatDateTimePattern;

// Marks that differ from the pattern letters they stand for, so a test sees
// whether "/" and ":" were replaced or copied.
dw::LocaleFormatSettings PointAndColon()
{
    dw::LocaleFormatSettings s;
    s.DateMark = ".";
    s.TimeMark = ":";
    s.ShortDatePattern = "dd/mm/yyyy";
    s.LongDatePattern = "d mmmm yyyy";
    s.ShortTimePattern = "h:mm";
    s.LongTimePattern = "h:mm:ss";
    s.AmText = "AM";
    s.PmText = "PM";
    return s;
}

class DateTimeFormat : public ::testing::Test {
protected:
    dw::ScopedLocaleFormats m_locale{PointAndColon()};
};

const double kSunday = EncodeDateValue(2026, 12, 6);

double At(int hour, int minute, int second = 0, int ms = 0)
{
    return EncodeTimeValue(hour, minute, second, ms);
}

struct Row {
    const char* name;
    const char* pattern;
    double value;
    const char* text;
};

template <std::size_t N>
void CheckRows(const Row (&rows)[N])
{
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatDateTimePattern(row.pattern, row.value), row.text) << "pattern: " << row.pattern;
    }
}

// The worked rows: DateMark "." and TimeMark ":".
TEST_F(DateTimeFormat, WorkedRows)
{
    const Row rows[] = {
        {"day, month, year with date marks", "dd/mm/yyyy", kSunday, "06.12.2026"},
        {"short numbers", "d/m/yy", kSunday, "6.12.26"},
        {"minutes after hours", "hh:mm", At(9, 5, 7), "09:05"},
        {"hour without zero", "h:mm:ss", At(9, 5, 7), "9:05:07"},
        {"n is minutes", "hh:nn", At(21, 30), "21:30"},
        {"midnight on the 12-hour clock", "h:mm am/pm", At(0, 15), "12:15 am"},
        {"afternoon in capitals", "h:mm AM/PM", At(13, 15), "1:15 PM"},
        {"noon stays 12", "h:mm a/p", At(12, 0), "12:00 p"},
        {"m after a day is a month", "h mm d mm", kSunday + At(21, 30), "21 30 6 12"},
        {"day name", "dddd", kSunday, "Sunday"},
        {"c at midnight has no time", "c", kSunday, "06.12.2026"},
        {"c ignores milliseconds", "c", kSunday + At(0, 0, 0, 500), "06.12.2026"},
        {"c with a time", "c", kSunday + At(14, 0, 1), "06.12.2026 14:00:01"},
        {"empty pattern is c", "", kSunday + At(14, 0), "06.12.2026 14:00:00"},
        {"empty pattern at midnight", "", kSunday, "06.12.2026"},
        {"quoted letters are text", "'h' h", At(14, 0), "h 14"},
        {"letters without meaning", "zz", kSunday, "zz"},
    };
    CheckRows(rows);
    EXPECT_EQ(FormatDateTimePattern("yyyy", EncodeDateValue(99, 3, 1)), "0099");
}

TEST_F(DateTimeFormat, ToTextUsesTheLocalePatterns)
{
    EXPECT_EQ(dw::DateToText(kSunday + At(9, 5)), "06.12.2026");
    EXPECT_EQ(dw::TimeToText(kSunday + At(9, 5, 7)), "9:05:07");
    EXPECT_EQ(dw::DateTimeToText(kSunday + At(9, 5, 7)), "06.12.2026 9:05:07");
    EXPECT_EQ(dw::DateTimeToText(kSunday), "06.12.2026");
    // The formatter reads the record at the time of the call.
    dw::LocaleFormats().ShortDatePattern = "yyyy-mm-dd";
    dw::LocaleFormats().LongTimePattern = "hh:mm:ss AMPM";
    EXPECT_EQ(dw::DateToText(kSunday), "2026-12-06");
    EXPECT_EQ(dw::TimeToText(At(21, 5, 7)), "09:05:07 PM");
}

TEST_F(DateTimeFormat, WithoutALocaleTheDefaultsApply)
{
    dw::ScopedLocaleFormats defaults{dw::LocaleFormatSettings{}};
    EXPECT_EQ(dw::DateToText(kSunday), "12/6/26");
    EXPECT_EQ(dw::TimeToText(At(21, 5, 7)), "9:05:07 pm");
    EXPECT_EQ(dw::TimeToText(At(0, 5, 7)), "12:05:07 am");
    EXPECT_EQ(FormatDateTimePattern("dddddd", kSunday), "December 6, 2026");
}

TEST_F(DateTimeFormat, NumberTokens)
{
    // Before day zero the time is counted forward from midnight of the
    // (negative) day, so it is subtracted.
    const double early = EncodeDateValue(5, 1, 2) - At(3, 4, 5);
    const Row rows[] = {
        {"y is two digits", "y", kSunday, "26"},
        {"yy of year 5", "yy", early, "05"},
        {"yyy is the whole year", "yyy", kSunday, "2026"},
        {"long year runs are four digits", "yyyyyyy", early, "0005"},
        {"d and dd", "d dd", early, "2 02"},
        {"m and mm", "m mm", early, "1 01"},
        {"h and hh", "h hh", early, "3 03"},
        {"long hour runs count as two", "hhhh", early, "03"},
        {"n and nn", "n nn nnnn", early, "4 04 04"},
        {"s and ss", "s ss sss", early, "5 05 05"},
        {"upper-case letters", "D/M/YYYY H:N:S", early, "2.1.0005 3:4:5"},
        {"last day of 9999", "dd/mm/yyyy", EncodeDateValue(9999, 12, 31), "31.12.9999"},
        {"first day of year 1", "dd/mm/yyyy", EncodeDateValue(1, 1, 1), "01.01.0001"},
        {"negative values run the time forward", "dd/mm/yyyy hh:nn", -1.25, "29.12.1899 06:00"},
        {"the last instant rounds into the next day", "dd/mm/yyyy hh:nn:ss", kSunday + 86399999.6 / 86400000.0,
         "07.12.2026 00:00:00"},
    };
    CheckRows(rows);
}

TEST_F(DateTimeFormat, NameTokens)
{
    const double value = EncodeDateValue(2026, 3, 2);  // a Monday
    const Row rows[] = {
        {"month abbreviation", "mmm", value, "Mar"},
        {"month name", "mmmm", value, "March"},
        {"longer month runs are the name", "mmmmmm", value, "March"},
        {"day abbreviation", "ddd", value, "Mon"},
        {"day name", "dddd", value, "Monday"},
        {"AAA is the day abbreviation", "AAA", value, "Mon"},
        {"aaaa is the day name", "aaaa", value, "Monday"},
        {"five a's are a name and an a", "AAAAA", value, "MondayA"},
        {"a lone a is copied", "a", value, "a"},
        {"five d's are the short date", "ddddd", value, "02.03.2026"},
        {"six d's are the long date", "dddddd", value, "2 March 2026"},
        {"t is the short time", "t", value + At(7, 8, 9), "7:08"},
        {"tt is the long time", "tt", value + At(7, 8, 9), "7:08:09"},
        {"era letters write nothing here", "g gg e ee", value, "   "},
    };
    CheckRows(rows);
}

TEST_F(DateTimeFormat, NamesUseTheLocaleRecord)
{
    auto& locale = dw::LocaleFormats();
    locale.MonthNames[11] = "декабря";
    locale.MonthAbbreviations[11] = "дек.";
    locale.DayNames[0] = "воскресенье";
    locale.DayAbbreviations[0] = "вс";
    EXPECT_EQ(FormatDateTimePattern("dddd, d mmmm yyyy 'г'.", kSunday), "воскресенье, 6 декабря 2026 г.");
    EXPECT_EQ(FormatDateTimePattern("ddd d mmm", kSunday), "вс 6 дек.");
}

TEST_F(DateTimeFormat, BeforeYearOne)
{
    const double before = EncodeDateValue(1, 1, 1) - 1;
    const Row rows[] = {
        {"numbers print zero", "dd/mm/yyyy d m yy", before, "00.00.0000 0 0 00"},
        {"no month or day to name", "[mmm][mmmm][ddd][dddd][aaa][aaaa]", before, "[][][][][][]"},
        {"the time still prints", "hh:nn", before - At(6, 30), "06:30"},
        {"a NaN has no date", "dd/mm/yyyy hh:nn", std::numeric_limits<double>::quiet_NaN(), "00.00.0000 00:00"},
    };
    CheckRows(rows);
}

// A letter "m" is minutes when the last letter before it outside quotes was an h.
TEST_F(DateTimeFormat, MinutesAfterHours)
{
    const double v = kSunday + At(21, 30);
    const Row rows[] = {
        {"any count after h", "h:mmm", v, "21:30"},
        {"an unmeaning letter in between", "hh z mm", v, "21 z 12"},
        {"a day in between", "hh d mm", v, "21 6 12"},
        {"quotes do not count", "h'd'mm", v, "21d30"},
        {"non-letters do not count", "h-.,/:mm", v, "21-.,.:30"},
        {"upper-case M after h", "hh:MM", v, "21:30"},
        {"M and m are two tokens", "hMm", v, "213012"},
        {"m at the start is a month", "mm:hh", v, "12:21"},
        {"the am/pm token is a letter too", "h am/pm mm", v, "9 pm 12"},
        {"each level starts afresh", "h ddddd", v, "21 06.12.2026"},
    };
    CheckRows(rows);
    dw::LocaleFormats().ShortDatePattern = "mm";
    EXPECT_EQ(FormatDateTimePattern("h ddddd", v), "21 12");
}

TEST_F(DateTimeFormat, TwelveHourRule)
{
    const Row rows[] = {
        {"hour 0 is 12", "h am/pm", At(0, 0), "12 am"},
        {"hour 11", "h am/pm", At(11, 0), "11 am"},
        {"hour 12 stays", "h am/pm", At(12, 0), "12 pm"},
        {"hour 13 is 1", "h am/pm", At(13, 0), "1 pm"},
        {"hour 23 is 11", "hh am/pm", At(23, 0), "11 pm"},
        {"the text keeps its case", "h Am/pM", At(13, 0), "1 pM"},
        {"a/p writes one letter", "h A/P", At(1, 0), "1 A"},
        {"ampm writes the locale texts", "h ampm", At(13, 0), "1 PM"},
        {"lookahead skips other text", "h:nn:ss xz AMPM", At(13, 0), "1:00:00 xz PM"},
        {"quoted am/pm does not count", "h 'am/pm'", At(13, 0), "13 am/pm"},
        {"the first a decides", "h ax am/pm", At(13, 0), "13 ax pm"},
        {"another hour ends the lookahead", "h h am/pm", At(13, 0), "13 1 pm"},
        {"a token already written counts", "am/pm h", At(13, 0), "pm 1"},
        {"a/p written before", "a/p hh", At(0, 15), "a 12"},
        {"day names are no am/pm token", "h aaaa", kSunday + At(13, 0), "13 Sunday"},
        {"an unclosed quote hides the rest", "h 'am/pm", At(13, 0), "13 am/pm"},
    };
    CheckRows(rows);
}

TEST_F(DateTimeFormat, TwelveHourRuleIsPerLevel)
{
    dw::LocaleFormats().LongTimePattern = "h:mm";
    // Written at the outer level only: the nested hour stays on the 24-hour clock.
    EXPECT_EQ(FormatDateTimePattern("am/pm tt", At(13, 5)), "pm 13:05");
    dw::LocaleFormats().LongTimePattern = "h:mm AMPM";
    EXPECT_EQ(FormatDateTimePattern("hh tt", At(13, 5)), "13 1:05 PM");
}

TEST_F(DateTimeFormat, Nesting)
{
    auto& locale = dw::LocaleFormats();
    const Row rowsSelf[] = {
        {"a third level writes nothing", "ddddd", kSunday, ""},
        {"text around the third level stays", "<ddddd>", kSunday, "<>"},
    };
    locale.ShortDatePattern = "ddddd";
    CheckRows(rowsSelf);

    locale.ShortDatePattern = "dd/mm [dddddd]";
    locale.LongDatePattern = "yyyy";
    EXPECT_EQ(FormatDateTimePattern("ddddd", kSunday), "06.12 []");
    EXPECT_EQ(FormatDateTimePattern("dddddd", kSunday), "2026");

    locale.ShortDatePattern = "dd/mm/yyyy";
    locale.LongTimePattern = "c";
    // Each "c" writes its own space; the expansions of the inner one are a third level.
    EXPECT_EQ(FormatDateTimePattern("c", kSunday + At(1, 0)), "06.12.2026  ");
    EXPECT_EQ(FormatDateTimePattern("tt", kSunday + At(1, 0)), " ");
    // Nested patterns of the locale are not "c" when empty.
    locale.ShortDatePattern.clear();
    EXPECT_EQ(FormatDateTimePattern("[ddddd]", kSunday), "[]");
}

TEST_F(DateTimeFormat, Quotes)
{
    const Row rows[] = {
        {"single quotes", "'dd' dd", kSunday, "dd 06"},
        {"double quotes", "\"mm\" mm", kSunday, "mm 12"},
        {"the other quote inside", "'a\"b' \"c'd\"", kSunday, "a\"b c'd"},
        {"empty quotes separate tokens", "d''d", kSunday, "66"},
        {"unclosed quote runs to the end", "dd 'mm yyyy", kSunday, "06 mm yyyy"},
        {"quoted marks are literal", "'/:'", kSunday, "/:"},
        {"a quote at the very end", "dd'", kSunday, "06"},
    };
    CheckRows(rows);
}

TEST_F(DateTimeFormat, MarksAreTheLocaleCharacters)
{
    auto& locale = dw::LocaleFormats();
    locale.DateMark = "\xC2\xA0";  // a no-break space
    locale.TimeMark = "ч";
    EXPECT_EQ(FormatDateTimePattern("d/m h:nn", kSunday + At(9, 5)),
              "6\xC2\xA0"
              "12 9ч05");
    locale.DateMark.clear();
    EXPECT_EQ(FormatDateTimePattern("d/m", kSunday), "612");
}

TEST_F(DateTimeFormat, OutputStopsAt256Characters)
{
    const std::string xs(300, 'x');
    EXPECT_EQ(FormatDateTimePattern(xs, kSunday), std::string(256, 'x'));

    std::string cyrillic;
    for (int i = 0; i < 300; ++i) cyrillic += "я";
    const std::string text = FormatDateTimePattern(cyrillic, kSunday);
    EXPECT_EQ(dw::utf8::CodePointCount(text), 256u);
    EXPECT_EQ(text.size(), 512u);

    // Stray bytes count one character each and come out as they went in.
    const std::string stray(300, '\xFF');
    EXPECT_EQ(FormatDateTimePattern(stray, kSunday), std::string(256, '\xFF'));

    // A character is never cut in half at the limit.
    const std::string mixed = std::string(255, 'x') + "яя";
    EXPECT_EQ(FormatDateTimePattern(mixed, kSunday), std::string(255, 'x') + "я");

    // Expansions are cut as well.
    std::string many;
    for (int i = 0; i < 40; ++i) many += "ddddd ";
    const std::string cut = FormatDateTimePattern(many, kSunday);
    EXPECT_EQ(cut.size(), 256u);
    EXPECT_EQ(cut.substr(0, 22), "06.12.2026 06.12.2026 ");
}

TEST_F(DateTimeFormat, AnyBytesAreSafe)
{
    // Invalid UTF-8 is copied byte for byte; a truncated sequence at the end too.
    EXPECT_EQ(FormatDateTimePattern("\x80 d \xE2\x82", kSunday), "\x80 6 \xE2\x82");
    EXPECT_EQ(FormatDateTimePattern(std::string_view("d\0d", 3), kSunday), std::string("6\0"
                                                                                       "6",
                                                                                       3));
    // A long pattern of every byte value ends well.
    std::string all;
    while (all.size() < 10000)
        for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string text = FormatDateTimePattern(all, kSunday + At(13, 1, 2));
    EXPECT_LE(dw::utf8::CodePointCount(text), 256u);
    const std::string hours(10000, 'h');
    EXPECT_EQ(FormatDateTimePattern(hours, At(13, 0)), "13");
    std::string alternating;
    for (int i = 0; i < 5000; ++i) alternating += i % 2 ? "H" : "h";
    EXPECT_EQ(FormatDateTimePattern(alternating, At(3, 0)), std::string(256, '3'));
}

struct TranslateRow {
    const char* name;
    const char* pattern;
    dw::DatePatternCalendar calendar;
    const char* result;
};

const TranslateRow kTranslations[] = {
    {"other languages keep the pattern", "gg dd.MM.yyyy", dw::DatePatternCalendar::Gregorian, "gg dd.MM.yyyy"},
    {"east-Asian languages drop era letters", "Ggg yyyy/MM/dd", dw::DatePatternCalendar::GregorianEastAsian,
     " yyyy/MM/dd"},
    {"era calendar: gg", "gg", dw::DatePatternCalendar::EraCalendar, "ggg"},
    {"era calendar: years", "yyyy yy y Y", dw::DatePatternCalendar::EraCalendar, "eeee ee e e"},
    {"era calendar: five y's", "yyyyy", dw::DatePatternCalendar::EraCalendar, "eeeee"},
    {"era calendar: three y's", "yyy", dw::DatePatternCalendar::EraCalendar, "eee"},
    {"era calendar: other text", "gg y年M月d日", dw::DatePatternCalendar::EraCalendar, "ggg e年M月d日"},
    {"era calendar: stray bytes", "\xE5y\xFF", dw::DatePatternCalendar::EraCalendar,
     "\xE5"
     "e\xFF"},
};

TEST(TranslateDatePattern, RewritesForTheCalendar)
{
    for (const auto& row : kTranslations) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(dw::TranslateDatePattern(row.pattern, row.calendar), row.result);
    }
}

}  // namespace
