// SPDX-License-Identifier: MIT
#include "numeric/locale/load_locale_formats.h"

#include "numeric/core/date_time_format.h"
#include "numeric/core/locale_formats.h"
#include "numeric/locale/locale_change_watcher.h"

#include <QCoreApplication>
#include <QDate>
#include <QEvent>
#include <QLocale>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const double kSunday = dw::EncodeDateValue(2026, 12, 6);

double At(int hour, int minute, int second)
{
    return dw::EncodeTimeValue(hour, minute, second, 0);
}

// Every test leaves the process-wide record as it found it.
class LocaleTest : public ::testing::Test {
protected:
    dw::ScopedLocaleFormats m_saved{dw::LocaleFormats()};
};

// Which locale this run was started under: LC_ALL as CMake set it, without
// its encoding ("ru_RU.UTF-8" is "ru_RU"). Empty when run by hand.
std::string RunLocale()
{
    const char* value = std::getenv("LC_ALL");
    const std::string name = value ? value : "";
    return name.substr(0, name.find('.'));
}

// ---- the system locale of this run ----

class SystemLocale : public LocaleTest {
protected:
    void SetUp() override
    {
        if (RunLocale().empty())
            GTEST_SKIP() << "run through ctest, which sets LC_ALL";
        // A locale that was not generated would silently fall back to C.
        ASSERT_EQ(QLocale::system().name().toStdString(), RunLocale());
        dw::LoadLocaleFormats();
    }
};

TEST_F(SystemLocale, Marks)
{
    const auto& f = dw::LocaleFormats();
    if (RunLocale() == "ru_RU") {
        EXPECT_EQ(f.DecimalMark, ",");
        EXPECT_EQ(f.ThousandsMark, "\u00A0");
        EXPECT_EQ(f.DateMark, ".");
    } else {
        EXPECT_EQ(f.DecimalMark, ".");
        EXPECT_EQ(f.ThousandsMark, ",");
        EXPECT_EQ(f.DateMark, "/");  // en_US writes it; C has none and keeps the default
    }
    EXPECT_EQ(f.TimeMark, ":");
}

TEST_F(SystemLocale, DateAndTimeText)
{
    const auto& f = dw::LocaleFormats();
    const double value = kSunday + At(21, 5, 7);
    if (RunLocale() == "ru_RU") {
        EXPECT_EQ(dw::DateToText(kSunday), "06.12.2026");
        EXPECT_EQ(f.ShortDatePattern, "dd.mm.yyyy");
        EXPECT_EQ(dw::FormatDateTimePattern(f.LongDatePattern, kSunday), "воскресенье, 6 декабря 2026 г.");
        EXPECT_EQ(f.LongTimePattern, "hh:mm:ss");
        EXPECT_EQ(dw::TimeToText(kSunday + At(9, 5, 7)), "09:05:07");
        EXPECT_EQ(dw::DateTimeToText(value), "06.12.2026 21:05:07");
    } else if (RunLocale() == "en_US") {
        EXPECT_EQ(dw::DateToText(kSunday), "12/6/26");
        EXPECT_EQ(dw::FormatDateTimePattern(f.LongDatePattern, kSunday), "Sunday, December 6, 2026");
        EXPECT_EQ(f.ShortTimePattern, "h:mm AMPM");
        EXPECT_EQ(f.LongTimePattern, "h:mm:ss AMPM");
        EXPECT_EQ(dw::TimeToText(value), "9:05:07 PM");
        EXPECT_EQ(dw::DateTimeToText(value), "12/6/26 9:05:07 PM");
    } else {
        EXPECT_EQ(dw::DateToText(kSunday), "6 Dec 2026");
        EXPECT_EQ(f.LongTimePattern, "hh:mm:ss");
        EXPECT_EQ(dw::TimeToText(value), "21:05:07");
    }
}

TEST_F(SystemLocale, NamesAndCurrency)
{
    const auto& f = dw::LocaleFormats();
    if (RunLocale() == "ru_RU") {
        EXPECT_EQ(f.MonthNames[11], "декабря");  // the form a date with a day needs
        EXPECT_EQ(f.DayNames[0], "воскресенье");
        EXPECT_EQ(f.CurrencySymbol, "₽");
        EXPECT_EQ(f.CurrencyPlacement, 3);
        EXPECT_EQ(f.NegativeCurrencyPlacement, 8);
        EXPECT_EQ(f.CurrencyDigits, 2);
    } else {
        EXPECT_EQ(f.MonthNames[11], "December");
        EXPECT_EQ(f.DayAbbreviations[6], "Sat");
        EXPECT_EQ(f.CurrencySymbol, RunLocale() == "en_US" ? "$" : "");
        EXPECT_EQ(f.CurrencyPlacement, 0);
        EXPECT_EQ(f.NegativeCurrencyPlacement, 0);
        EXPECT_EQ(f.CurrencyDigits, 2);
    }
}

// ---- other locales, named directly ----

struct LocaleRow {
    const char* name;
    const char* decimal;
    const char* thousands;
    const char* dateMark;
    const char* shortDate;
    const char* longTime;
    int placement, negativePlacement, digits;
};

const LocaleRow kLocales[] = {
    {"de_DE", ",", ".", ".", "dd.mm.yy", "hh:mm:ss", 3, 8, 2},
    {"nl_NL", ",", ".", "-", "dd-mm-yyyy", "hh:mm:ss", 2, 14, 2},
    {"fr_FR", ",", "\u202F", "/", "dd/mm/yyyy", "hh:mm:ss", 3, 15, 2},
    {"ja_JP", ".", ",", "/", "yyyy/mm/dd", "h:mm:ss", 0, 0, 0},
    {"ko_KR", ".", ",", ".", "yy. m. d.", "AMPM h:mm:ss", 0, 0, 0},
    {"he_IL", ".", ",", ".", "d.m.yyyy", "h:mm:ss", 3, 8, 2},
    {"ar_SA", "\u066B", "\u066C", "/", "d\u200F/m\u200F/yyyy", "h:mm:ss AMPM", 3, 8, 2},
};

TEST_F(LocaleTest, OtherLocales)
{
    for (const auto& row : kLocales) {
        SCOPED_TRACE(row.name);
        dw::LoadLocaleFormats(QLocale(QString::fromLatin1(row.name)));
        const auto& f = dw::LocaleFormats();
        EXPECT_EQ(f.DecimalMark, row.decimal);
        EXPECT_EQ(f.ThousandsMark, row.thousands);
        EXPECT_EQ(f.DateMark, row.dateMark);
        EXPECT_EQ(f.ShortDatePattern, row.shortDate);
        EXPECT_EQ(f.LongTimePattern, row.longTime);
        EXPECT_EQ(f.CurrencyPlacement, row.placement);
        EXPECT_EQ(f.NegativeCurrencyPlacement, row.negativePlacement);
        EXPECT_EQ(f.CurrencyDigits, row.digits);
    }
}

// The converted patterns must say what the locale's own formats say: for every
// locale Qt knows, our formatter writes the date as QLocale does.
TEST_F(LocaleTest, ConvertedDatePatternsWriteWhatTheLocaleWrites)
{
    const QDate date(2026, 12, 6);
    const auto all = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    int checked = 0;
    int failures = 0;
    for (const QLocale& locale : all) {
        // Our digits are always ASCII, as the program's texts are.
        if (locale.zeroDigit() != QLatin1String("0"))
            continue;
        dw::LoadLocaleFormats(locale);
        // "/" and ":" of the locale format are written as marks; make them
        // write themselves so the texts can be compared.
        dw::LocaleFormats().DateMark = "/";
        dw::LocaleFormats().TimeMark = ":";
        for (const auto type : {QLocale::ShortFormat, QLocale::LongFormat}) {
            const QString format = locale.dateFormat(type);
            const std::string ours = dw::FormatDateTimePattern(dw::DatePatternFromLocaleFormat(format), kSunday);
            const std::string theirs = locale.toString(date, format).toStdString();
            ++checked;
            if (ours != theirs && failures++ < 10)
                ADD_FAILURE() << locale.name().toStdString() << " \"" << format.toStdString() << "\": " << ours
                              << " vs " << theirs;
        }
    }
    EXPECT_GT(checked, 100);
}

// ---- pieces of the conversion ----

struct PatternRow {
    const char* name;
    const char* localeFormat;
    const char* pattern;
};

const PatternRow kPatterns[] = {
    {"points stay text", "dd.MM.yyyy", "dd.mm.yyyy"},
    {"slashes become marks", "M/d/yy", "m/d/yy"},
    {"non-ASCII text in quotes needs none", "d MMMM yyyy 'г'.", "d mmmm yyyy г."},
    {"ASCII words stay quoted", "d 'de' MMMM 'de' yyyy", "d 'de' mmmm 'de' yyyy"},
    {"a quoted slash is plain text", "d'/'M", "d'/'m"},
    {"a doubled quote is a quote", "d''M", "d\"'\"m"},
    {"a quote inside quoted text", "'o''clock' d", "'o'\"'\"'clock' d"},
    {"a double quote is protected", "d\"M", "d'\"'m"},
    {"unmeaning letters become text", "d x M", "d 'x' m"},
    {"long day runs split", "dddddd", "dddd''dd"},
    {"long month runs split", "MMMMM", "mmmm''m"},
    {"year runs", "yyyyy yyy y", "yyyy''yyyy yy''yyyy yyyy"},
    {"an unclosed quote runs to the end", "d 'abc", "d 'abc'"},
    {"empty", "", ""},
};

TEST(DatePatternFromLocaleFormat, Converts)
{
    for (const auto& row : kPatterns) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(dw::DatePatternFromLocaleFormat(QString::fromUtf8(row.localeFormat)), row.pattern);
    }
}

struct ShapeRow {
    const char* name;
    const char* format;
    bool leadingZero, twelveHour, amPmFirst;
};

const ShapeRow kShapes[] = {
    {"24-hour with zero", "HH:mm", true, false, false},
    {"24-hour without zero", "H:mm:ss", false, false, false},
    {"12-hour, text after", "h:mm AP", false, true, false},
    {"12-hour, text before", "AP h:mm", false, true, true},
    {"12-hour with zero", "hh:mm ap", true, true, false},
    {"H ignores the text", "HH:mm AP", true, false, false},
    {"quoted letters do not count", "'h a' H:mm", false, false, false},
    {"time zone is no text", "t HH:mm:ss", true, false, false},
};

TEST(TimeFormatShape, ReadsTheHour)
{
    for (const auto& row : kShapes) {
        SCOPED_TRACE(row.name);
        const auto shape = dw::TimeFormatShapeOf(QString::fromUtf8(row.format));
        EXPECT_EQ(shape.LeadingZero, row.leadingZero);
        EXPECT_EQ(shape.TwelveHour, row.twelveHour);
        EXPECT_EQ(shape.AmPmFirst, row.amPmFirst);
    }
}

// ---- the change handling ----

TEST_F(LocaleTest, LocaleChangeReloadsConventionsButNotNames)
{
    dw::LoadLocaleFormats();
    const dw::LocaleFormatSettings loaded = dw::LocaleFormats();
    dw::LocaleChangeWatcher watcher;

    auto& f = dw::LocaleFormats();
    f.DecimalMark = "x";
    f.ShortDatePattern = "zz";
    f.LongTimePattern = "zz";
    f.MonthNames[0] = "Foo";
    f.DayNames[0] = "Bar";

    // Not the application's event: nothing happens.
    QObject other;
    QEvent otherChange(QEvent::LocaleChange);
    QCoreApplication::sendEvent(&other, &otherChange);
    EXPECT_EQ(f.DecimalMark, "x");
    EXPECT_EQ(watcher.ReloadCount(), 0);

    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &change);
    EXPECT_EQ(watcher.ReloadCount(), 1);
    EXPECT_EQ(f.DecimalMark, loaded.DecimalMark);
    EXPECT_EQ(f.ShortDatePattern, loaded.ShortDatePattern);
    EXPECT_EQ(f.LongTimePattern, loaded.LongTimePattern);
    EXPECT_EQ(f.MonthNames[0], "Foo");
    EXPECT_EQ(f.DayNames[0], "Bar");
}

TEST_F(LocaleTest, NoReloadOnceTheWatcherIsGone)
{
    {
        dw::LocaleChangeWatcher watcher;
    }
    dw::LocaleFormats().DecimalMark = "x";
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &change);
    EXPECT_EQ(dw::LocaleFormats().DecimalMark, "x");
}

TEST_F(LocaleTest, EmptyNamesFallBackToEnglish)
{
    // The C locale has every name; what matters is that a load never leaves
    // a name empty, whichever locale Qt has.
    const auto all = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    for (const QLocale& locale : all) {
        dw::LoadLocaleFormats(locale);
        const auto& f = dw::LocaleFormats();
        for (const auto& name : f.MonthNames) ASSERT_FALSE(name.empty()) << locale.name().toStdString();
        for (const auto& name : f.DayAbbreviations) ASSERT_FALSE(name.empty()) << locale.name().toStdString();
        ASSERT_FALSE(f.ShortDatePattern.empty()) << locale.name().toStdString();
        ASSERT_FALSE(f.DecimalMark.empty()) << locale.name().toStdString();
    }
}

}  // namespace
