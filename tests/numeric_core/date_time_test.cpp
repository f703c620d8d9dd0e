// SPDX-License-Identifier: MIT
#include "numeric/core/date_time.h"

#include "common/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>
#include <string>

namespace {

using dw::CalendarDate;
using dw::ClockTime;

struct DateRow {
    const char* name;
    int year, month, day;
    double value;
    int weekDay;  // 1 = Sunday
};

// Day counts checked against an independent proleptic Gregorian calendar.
const DateRow kDates[] = {
    {"day zero", 1899, 12, 30, 0, 7},
    {"day one", 1899, 12, 31, 1, 1},
    {"first of 1900", 1900, 1, 1, 2, 2},
    {"1900 is no leap year", 1900, 3, 1, 61, 5},
    {"a Sunday in 2026", 2026, 12, 6, 46362, 1},
    {"leap day of a 400-year", 2000, 2, 29, 36585, 3},
    {"leap day 1600", 1600, 2, 29, -109512, 3},
    {"first day of year 1", 1, 1, 1, -693593, 2},
    {"last day of year 1", 1, 12, 31, -693229, 2},
    {"first leap day", 4, 2, 29, -692439, 1},
    {"after the first century", 100, 3, 1, -657375, 2},
    {"last day of a 400-year cycle", 400, 12, 31, -547497, 1},
    {"last day of year 9999", 9999, 12, 31, 2958465, 6},
};

TEST(DateValue, EncodesDecodesAndNamesTheWeekDay)
{
    for (const auto& row : kDates) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(dw::EncodeDateValue(row.year, row.month, row.day), row.value);
        EXPECT_EQ(dw::DecodeDateValue(row.value), (CalendarDate{row.year, row.month, row.day}));
        EXPECT_EQ(dw::WeekDayOf(row.value), row.weekDay);
    }
}

TEST(DateValue, EveryDayFromYearOneToYear9999RoundTrips)
{
    int failures = 0;
    const double first = dw::EncodeDateValue(1, 1, 1);
    const double last = dw::EncodeDateValue(9999, 12, 31);
    CalendarDate previous{0, 12, 31};
    for (double v = first; v <= last && failures < 5; v += 1) {
        const CalendarDate date = dw::DecodeDateValue(v);
        // Each day follows the one before it.
        const bool nextDay = date.Day == previous.Day + 1 && date.Month == previous.Month && date.Year == previous.Year;
        const bool nextMonth = date.Day == 1 && date.Month == previous.Month % 12 + 1 &&
                               date.Year == previous.Year + (previous.Month == 12 ? 1 : 0) &&
                               previous.Day == dw::DaysInMonth(previous.Year, previous.Month);
        if (!(nextDay || nextMonth) || dw::EncodeDateValue(date.Year, date.Month, date.Day) != v) {
            ADD_FAILURE() << "day " << v << " decodes as " << date.Year << "-" << date.Month << "-" << date.Day;
            ++failures;
        }
        previous = date;
    }
    EXPECT_EQ(previous, (CalendarDate{9999, 12, 31}));
}

struct BadDateRow {
    const char* name;
    int year, month, day;
};

const BadDateRow kBadDates[] = {
    {"year 0", 0, 1, 1},
    {"year 10000", 10000, 1, 1},
    {"negative year", -5, 1, 1},
    {"month 0", 2026, 0, 1},
    {"month 13", 2026, 13, 1},
    {"day 0", 2026, 1, 0},
    {"day 32", 2026, 1, 32},
    {"April 31", 2026, 4, 31},
    {"February 29 of a common year", 2023, 2, 29},
    {"February 29 of a century", 1900, 2, 29},
    {"February 30 of a leap year", 2024, 2, 30},
};

TEST(DateValue, InvalidArgumentsRaiseTheEncodeError)
{
    for (const auto& row : kBadDates) {
        SCOPED_TRACE(row.name);
        try {
            dw::EncodeDateValue(row.year, row.month, row.day);
            ADD_FAILURE() << "no error";
        } catch (const dw::EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to date encode");
        }
    }
}

TEST(DateValue, BeforeYearOneDecodesAsZeros)
{
    const double dayBeforeYearOne = dw::EncodeDateValue(1, 1, 1) - 1;
    EXPECT_EQ(dw::DecodeDateValue(dayBeforeYearOne), (CalendarDate{0, 0, 0}));
    EXPECT_EQ(dw::DecodeDateValue(-1e9), (CalendarDate{0, 0, 0}));
    for (double v : {dayBeforeYearOne, dayBeforeYearOne - 1, -1e6, -1e9}) {
        const int weekDay = dw::WeekDayOf(v);
        EXPECT_GE(weekDay, 1);
        EXPECT_LE(weekDay, 7);
    }
    // The cycle runs on unbroken across the boundary: year 1 began on a Monday.
    EXPECT_EQ(dw::WeekDayOf(dayBeforeYearOne), 1);
}

struct ClockRow {
    const char* name;
    double value;
    std::int32_t dayNumber;
    std::int32_t millisecond;
};

const ClockRow kClocks[] = {
    {"day zero", 0.0, 693594, 0},
    {"noon", 0.5, 693594, 43200000},
    {"negative values count days back, time forward", -1.25, 693593, 21600000},
    {"negative fraction of day zero", -0.25, 693594, 21600000},
    {"half a millisecond ties to even (up)", 1.0 / 2048, 693594, 42188},
    {"half a millisecond ties to even (down)", 3.0 / 2048, 693594, 126562},
    {"negative half ties to even", -1.0 / 2048, 693594, 42188},
    {"last day of 9999", 2958465.0, 3652059, 0},
};

TEST(DayClock, SplitsValuesIntoDayAndMillisecond)
{
    for (const auto& row : kClocks) {
        SCOPED_TRACE(row.name);
        const dw::DayClock clock = dw::ToDayClock(row.value);
        EXPECT_EQ(clock.DayNumber, row.dayNumber);
        EXPECT_EQ(clock.MillisecondOfDay, row.millisecond);
    }
}

TEST(DayClock, TheLastFractionOfAMillisecondBeforeMidnightIsTheNextDay)
{
    const double late = dw::EncodeDateValue(2026, 12, 6) + 86399999.6 / 86400000.0;
    EXPECT_EQ(dw::DecodeDateValue(late), (CalendarDate{2026, 12, 7}));
    EXPECT_EQ(dw::DecodeTimeValue(late), (ClockTime{0, 0, 0, 0}));
    EXPECT_EQ(dw::WeekDayOf(late), 2);

    const double justBefore = dw::EncodeDateValue(2026, 12, 6) + 86399999.4 / 86400000.0;
    EXPECT_EQ(dw::DecodeDateValue(justBefore), (CalendarDate{2026, 12, 6}));
    EXPECT_EQ(dw::DecodeTimeValue(justBefore), (ClockTime{23, 59, 59, 999}));
}

TEST(DayClock, ValuesWithoutADateStaySafe)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {nan, inf, -inf}) {
        const dw::DayClock clock = dw::ToDayClock(v);
        EXPECT_EQ(clock.DayNumber, 0);
        EXPECT_EQ(clock.MillisecondOfDay, 0);
        EXPECT_EQ(dw::DecodeDateValue(v), (CalendarDate{0, 0, 0}));
    }
    EXPECT_EQ(dw::ToDayClock(1e300).DayNumber, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(dw::ToDayClock(-1e300).DayNumber, std::numeric_limits<std::int32_t>::min());
    const CalendarDate far = dw::DecodeDateValue(1e300);
    EXPECT_GT(far.Year, 9999);
    EXPECT_GE(far.Month, 1);
    EXPECT_LE(far.Month, 12);
    const dw::DayClock big = dw::ToDayClock(5e12);
    EXPECT_GE(big.MillisecondOfDay, 0);
    EXPECT_LT(big.MillisecondOfDay, 86400000);
}

struct TimeRow {
    const char* name;
    int hour, minute, second, millisecond;
    double value;
};

const TimeRow kTimes[] = {
    {"midnight", 0, 0, 0, 0, 0.0},
    {"six", 6, 0, 0, 0, 0.25},
    {"noon", 12, 0, 0, 0, 0.5},
    {"eighteen", 18, 0, 0, 0, 0.75},
};

TEST(TimeValue, WholeQuartersOfTheDayAreExact)
{
    for (const auto& row : kTimes) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(dw::EncodeTimeValue(row.hour, row.minute, row.second, row.millisecond), row.value);
    }
}

TEST(TimeValue, EverySecondRoundTripsWithItsMilliseconds)
{
    int failures = 0;
    for (int s = 0; s < 86400 && failures < 5; ++s) {
        for (int ms : {0, 1, 499, 500, 999}) {
            const ClockTime want{s / 3600, s / 60 % 60, s % 60, ms};
            const double v = dw::EncodeTimeValue(want.Hour, want.Minute, want.Second, want.Millisecond);
            if (dw::DecodeTimeValue(v) != want || v < 0 || v >= 1) {
                ADD_FAILURE() << s << "s " << ms << "ms";
                ++failures;
            }
        }
    }
}

struct BadTimeRow {
    const char* name;
    int hour, minute, second, millisecond;
};

const BadTimeRow kBadTimes[] = {
    {"hour 24", 24, 0, 0, 0},         {"minute 60", 0, 60, 0, 0},
    {"second 60", 0, 0, 60, 0},       {"millisecond 1000", 0, 0, 0, 1000},
    {"negative hour", -1, 0, 0, 0},   {"negative minute", 0, -1, 0, 0},
    {"negative second", 0, 0, -1, 0}, {"negative millisecond", 0, 0, 0, -1},
};

TEST(TimeValue, InvalidArgumentsRaiseTheEncodeError)
{
    for (const auto& row : kBadTimes) {
        SCOPED_TRACE(row.name);
        try {
            dw::EncodeTimeValue(row.hour, row.minute, row.second, row.millisecond);
            ADD_FAILURE() << "no error";
        } catch (const dw::EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to time encode");
        }
    }
}

TEST(LocalClock, DateIsWholeDaysAndTimeIsAFraction)
{
    const double date = dw::CurrentDate();
    EXPECT_EQ(date, std::floor(date));
    EXPECT_GE(dw::DecodeDateValue(date).Year, 2024);
    const double time = dw::CurrentTime();
    EXPECT_GE(time, 0.0);
    EXPECT_LT(time, 1.0);
    const double both = dw::CurrentDateTime();
    EXPECT_GE(both, date);
    EXPECT_LT(both, date + 2);
}

TEST(LocalClock, TheMomentIsDaysSince30December1899)
{
    // Today's serial, from the C library's own calendar, brackets the value.
    const double value = dw::CurrentMoment();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::tm midnight = local;
    midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
    midnight.tm_isdst = 0;
    const double daysSince1970 = std::difftime(::timegm(&midnight), 0) / 86400.0;
    EXPECT_GE(value, daysSince1970 + 25569.0);
    EXPECT_LT(value, daysSince1970 + 25569.0 + 1.0);
}

struct CalendarRow {
    const char* name;
    double value;
    bool isDate;
};

const CalendarRow kCalendarValues[] = {
    {"day 0", 0.0, true},
    {"1 January of year 1", -693593.0, true},
    {"the day before year 1", -693594.0, false},
    {"noon of 1 January of year 1, a negative value", -693593.5, true},
    {"the last millisecond of 9999", 2958465.0 + 86399999.0 / 86400000.0, true},
    {"rounds up into year 10000", 2958465.0 + 86399999.9 / 86400000.0, false},
    {"1 January 10000", 2958466.0, false},
    {"a saturated day number", 1e300, false},
    {"not a number", std::numeric_limits<double>::quiet_NaN(), false},
    {"infinite", -std::numeric_limits<double>::infinity(), false},
};

TEST(DateValue, OnlyValuesNamingADayOfYears1To9999AreCalendarDates)
{
    for (const auto& row : kCalendarValues) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(dw::IsCalendarDateValue(row.value), row.isDate);
    }
}

}  // namespace
