// SPDX-License-Identifier: MIT
#include "numeric/core/date_time.h"

#include "common/errors.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

namespace dw {

namespace {

constexpr int kDaysPer400Years = 146097;
constexpr int kDaysPer100Years = 36524;
constexpr int kDaysPer4Years = 1461;

// The value of one millisecond as a fraction of a day, at extended precision;
// the product is taken in extended and only then stored as a double.
constexpr long double kDayPerMillisecond = 1.0L / 86400000.0L;

// Largest product we turn into a 64-bit millisecond count; beyond it the day
// number saturates anyway.
constexpr long double kMillisecondLimit = 9.0e18L;

int DayOfYear(int year, int month, int day) noexcept
{
    int result = day;
    for (int m = 1; m < month; ++m) result += DaysInMonth(year, m);
    return result;
}

struct LocalClockReading {
    std::tm Fields{};
    int Millisecond = 0;
};

LocalClockReading ReadLocalClock()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto sinceEpoch = duration_cast<milliseconds>(now.time_since_epoch()).count();
    std::int64_t seconds = sinceEpoch / 1000;
    std::int64_t millisecond = sinceEpoch % 1000;
    if (millisecond < 0) {
        millisecond += 1000;
        seconds -= 1;
    }
    const std::time_t whole = static_cast<std::time_t>(seconds);
    LocalClockReading reading;
    if (localtime_r(&whole, &reading.Fields) == nullptr) {
        // The C library cannot place the moment in the local zone; the Unix
        // epoch keeps the stamp a valid date instead of failing the command.
        reading.Fields = std::tm{};
        reading.Fields.tm_year = 70;
        reading.Fields.tm_mday = 1;
    }
    reading.Millisecond = static_cast<int>(millisecond);
    return reading;
}

}  // namespace

bool IsLeapYear(int year) noexcept
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

bool IsCalendarDateValue(DateTimeValue value) noexcept
{
    if (!std::isfinite(value))
        return false;
    const std::int32_t day = ToDayClock(value).DayNumber;
    return day >= 1 && day <= kLastDayNumber;
}

int DaysInMonth(int year, int month) noexcept
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

DateTimeValue EncodeDateValue(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        throw EConvertError(DW_TEXT("Message", "Invalid argument to date encode"));
    const int y = year - 1;
    const int days = y * 365 + y / 4 - y / 100 + y / 400 + DayOfYear(year, month, day) - kDayNumberOfDateZero;
    return static_cast<DateTimeValue>(days);
}

DateTimeValue EncodeTimeValue(int hour, int minute, int second, int millisecond)
{
    if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 || millisecond < 0 ||
        millisecond >= 1000)
        throw EConvertError(DW_TEXT("Message", "Invalid argument to time encode"));
    const long double ms = hour * 3600000L + minute * 60000L + second * 1000L + millisecond;
    return static_cast<DateTimeValue>(ms * kDayPerMillisecond);
}

DayClock ToDayClock(DateTimeValue value) noexcept
{
    if (!std::isfinite(value))
        return DayClock{0, 0};
    long double product = static_cast<long double>(value) * static_cast<long double>(kMillisecondsPerDay);
    if (product > kMillisecondLimit)
        product = kMillisecondLimit;
    else if (product < -kMillisecondLimit)
        product = -kMillisecondLimit;
    // Round half to even explicitly: the result must not depend on whatever
    // rounding mode the floating-point unit happens to be in.
    long double rounded = std::floor(product);
    const long double excess = product - rounded;
    if (excess > 0.5L || (excess == 0.5L && std::fmod(rounded, 2.0L) != 0.0L))
        rounded += 1.0L;
    const auto ms = static_cast<std::int64_t>(rounded);

    std::int64_t day;
    std::int64_t msOfDay;
    if (ms >= 0) {
        day = ms / kMillisecondsPerDay + kDayNumberOfDateZero;
        msOfDay = ms % kMillisecondsPerDay;
    } else {
        const std::int64_t m = -ms;
        day = kDayNumberOfDateZero - m / kMillisecondsPerDay;
        msOfDay = m % kMillisecondsPerDay;
    }
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    if (day < kMin)
        day = kMin;
    else if (day > kMax)
        day = kMax;
    return DayClock{static_cast<std::int32_t>(msOfDay), static_cast<std::int32_t>(day)};
}

CalendarDate DecodeDayNumber(std::int32_t dayNumber) noexcept
{
    if (dayNumber <= 0)
        return CalendarDate{};
    int n = dayNumber - 1;
    const int cycles = n / kDaysPer400Years;
    n %= kDaysPer400Years;
    int centuries = n / kDaysPer100Years;
    n %= kDaysPer100Years;
    if (centuries == 4) {  // the last day of a 400-year cycle
        centuries = 3;
        n += kDaysPer100Years;
    }
    const int quads = n / kDaysPer4Years;
    n %= kDaysPer4Years;
    int years = n / 365;
    n %= 365;
    if (years == 4) {  // the last day of a leap year
        years = 3;
        n += 365;
    }
    CalendarDate date;
    date.Year = 1 + 400 * cycles + 100 * centuries + 4 * quads + years;
    int month = 1;
    for (int length = DaysInMonth(date.Year, month); n >= length; length = DaysInMonth(date.Year, month)) {
        n -= length;
        ++month;
    }
    date.Month = month;
    date.Day = n + 1;
    return date;
}

CalendarDate DecodeDateValue(DateTimeValue value) noexcept
{
    return DecodeDayNumber(ToDayClock(value).DayNumber);
}

ClockTime DecodeMillisecondOfDay(std::int32_t ms) noexcept
{
    ClockTime time;
    time.Hour = ms / 3600000;
    time.Minute = (ms / 60000) % 60;
    time.Second = (ms % 60000) / 1000;
    time.Millisecond = ms % 1000;
    return time;
}

ClockTime DecodeTimeValue(DateTimeValue value) noexcept
{
    return DecodeMillisecondOfDay(ToDayClock(value).MillisecondOfDay);
}

int WeekDayOfDayNumber(std::int32_t dayNumber) noexcept
{
    const int rest = dayNumber % 7;
    return (rest < 0 ? rest + 7 : rest) + 1;
}

int WeekDayOf(DateTimeValue value) noexcept
{
    return WeekDayOfDayNumber(ToDayClock(value).DayNumber);
}

DateTimeValue CurrentDate()
{
    const LocalClockReading now = ReadLocalClock();
    return EncodeDateValue(now.Fields.tm_year + 1900, now.Fields.tm_mon + 1, now.Fields.tm_mday);
}

DateTimeValue CurrentTime()
{
    const LocalClockReading now = ReadLocalClock();
    // A leap second reads as 60; the day has no room for it.
    const int second = now.Fields.tm_sec > 59 ? 59 : now.Fields.tm_sec;
    return EncodeTimeValue(now.Fields.tm_hour, now.Fields.tm_min, second, now.Millisecond);
}

DateTimeValue CurrentDateTime()
{
    return CurrentDate() + CurrentTime();
}

DateTimeValue CurrentMoment()
{
    const LocalClockReading now = ReadLocalClock();
    const int second = now.Fields.tm_sec > 59 ? 59 : now.Fields.tm_sec;
    return EncodeDateValue(now.Fields.tm_year + 1900, now.Fields.tm_mon + 1, now.Fields.tm_mday) +
           EncodeTimeValue(now.Fields.tm_hour, now.Fields.tm_min, second, now.Millisecond);
}

}  // namespace dw
