// SPDX-License-Identifier: MIT
// The two stamps the program writes (a date by "dd.MM.yyyy", a time by
// "h:mm:ss"), each beside the same text built with snprintf and with
// std::to_chars from the decoded parts, over the same values in the same run.

#include "numeric/core/date_time.h"
#include "numeric/core/date_time_format.h"

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <string>

namespace {

// A spread of dates and times so no branch or cache sees one value only.
const std::array<double, 16> kValues = [] {
    std::array<double, 16> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int day = static_cast<int>(i % 28) + 1;
        const int month = static_cast<int>(i % 12) + 1;
        values[i] = dw::EncodeDateValue(1990 + static_cast<int>(i) * 3, month, day) +
                    dw::EncodeTimeValue(static_cast<int>(i * 7 % 24), static_cast<int>(i * 13 % 60),
                                        static_cast<int>(i * 29 % 60), 0);
    }
    return values;
}();

// At least minDigits digits, zero-padded, as the formatter writes numbers.
char* PutNumber(char* out, char* end, int value, int minDigits)
{
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    const auto length = static_cast<int>(result.ptr - digits);
    for (int i = length; i < minDigits && out < end; ++i) *out++ = '0';
    for (int i = 0; i < length && out < end; ++i) *out++ = digits[i];
    return out;
}

void DateByPattern(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = dw::FormatDateTimePattern("dd.MM.yyyy", kValues[i++ % kValues.size()]);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(DateByPattern);

void DateBySnprintf(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        const dw::CalendarDate date = dw::DecodeDateValue(kValues[i++ % kValues.size()]);
        char buffer[32];
        const int length = std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", date.Day, date.Month, date.Year);
        std::string text(buffer, static_cast<std::size_t>(length));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(DateBySnprintf);

void DateByToChars(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        const dw::CalendarDate date = dw::DecodeDateValue(kValues[i++ % kValues.size()]);
        char buffer[32];
        char* const end = buffer + sizeof buffer;
        char* out = PutNumber(buffer, end, date.Day, 2);
        *out++ = '.';
        out = PutNumber(out, end, date.Month, 2);
        *out++ = '.';
        out = PutNumber(out, end, date.Year, 4);
        std::string text(buffer, out);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(DateByToChars);

void TimeByPattern(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = dw::FormatDateTimePattern("h:mm:ss", kValues[i++ % kValues.size()]);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(TimeByPattern);

void TimeBySnprintf(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        const dw::ClockTime time = dw::DecodeTimeValue(kValues[i++ % kValues.size()]);
        char buffer[32];
        const int length = std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", time.Hour, time.Minute, time.Second);
        std::string text(buffer, static_cast<std::size_t>(length));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(TimeBySnprintf);

void TimeByToChars(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        const dw::ClockTime time = dw::DecodeTimeValue(kValues[i++ % kValues.size()]);
        char buffer[32];
        char* const end = buffer + sizeof buffer;
        char* out = PutNumber(buffer, end, time.Hour, 1);
        *out++ = ':';
        out = PutNumber(out, end, time.Minute, 2);
        *out++ = ':';
        out = PutNumber(out, end, time.Second, 2);
        std::string text(buffer, out);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(TimeByToChars);

}  // namespace
