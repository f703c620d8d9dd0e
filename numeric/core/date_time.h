// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace dw {

// A point in time: whole days since 30 December 1899 (day 0), the time of day
// as the fraction (0.5 is noon). Before day 0 the integer part counts days
// backwards while the fraction still runs forward from midnight, so -1.25 is
// 29 December 1899 at 06:00.
using DateTimeValue = double;

// The same point split into two integers, with 1 January of year 1 as day 1
// (so day 0 of DateTimeValue is 693 594).
struct DayClock {
    std::int32_t MillisecondOfDay = 0;  // 0 .. 86 399 999
    std::int32_t DayNumber = 0;
};

struct CalendarDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    bool operator==(const CalendarDate&) const = default;
};

struct ClockTime {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
    bool operator==(const ClockTime&) const = default;
};

// DayNumber of DateTimeValue 0 (30 December 1899).
inline constexpr std::int32_t kDayNumberOfDateZero = 693594;
// DayNumber of 31 December 9999, the last day a date encodes.
inline constexpr std::int32_t kLastDayNumber = 3652059;
inline constexpr std::int64_t kMillisecondsPerDay = 86400000;

// Years 1..9999; EConvertError "Invalid argument to date encode" otherwise.
DateTimeValue EncodeDateValue(int year, int month, int day);

// EConvertError "Invalid argument to time encode" unless every part is in range.
DateTimeValue EncodeTimeValue(int hour, int minute, int second, int millisecond);

// Rounds to the nearest millisecond (ties to even), so 23:59:59.9996 belongs
// to the next day. Values too large for a 32-bit day number saturate; a NaN
// or an infinity gives day 0 at midnight (a date before year 1).
DayClock ToDayClock(DateTimeValue value) noexcept;

// A value before 1 January of year 1 gives year 0, month 0, day 0.
CalendarDate DecodeDateValue(DateTimeValue value) noexcept;
CalendarDate DecodeDayNumber(std::int32_t dayNumber) noexcept;

ClockTime DecodeTimeValue(DateTimeValue value) noexcept;
ClockTime DecodeMillisecondOfDay(std::int32_t millisecondOfDay) noexcept;

// 1 = Sunday .. 7 = Saturday. Days before year 1 continue the seven-day cycle
// backwards, so the result is always a valid index.
int WeekDayOf(DateTimeValue value) noexcept;
int WeekDayOfDayNumber(std::int32_t dayNumber) noexcept;

// The value names a day of the years 1..9999 once rounded to the
// millisecond: not a NaN, an infinity or a number beyond the calendar. Values
// read from outside (a file's stamp) are checked with it before decoding.
bool IsCalendarDateValue(DateTimeValue value) noexcept;

bool IsLeapYear(int year) noexcept;
int DaysInMonth(int year, int month) noexcept;  // 0 for a month outside 1..12

// The local clock. CurrentDate has no fraction, CurrentTime only a fraction;
// CurrentDateTime reads the clock twice, once for each.
DateTimeValue CurrentDate();
DateTimeValue CurrentTime();
DateTimeValue CurrentDateTime();
// The local clock read once, date and time of the same instant: a stamp
// taken at midnight must not pair one day's date with the next day's time.
DateTimeValue CurrentMoment();

}  // namespace dw
