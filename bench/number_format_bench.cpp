// SPDX-License-Identifier: MIT
// Number text against the standard library on the same values, in the same
// run: FormatNumberPattern with each of the main window's patterns beside
// snprintf("%.2Lf") (with and without thousands grouping) and std::to_chars;
// ParseNumber beside strtold and std::from_chars.

#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"
#include "numeric/core/number_parse.h"
#include "tests/support/number_marks.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using dw::Extended;

// What the fields hold: weights, lengths, diameters, densities.
constexpr Extended kValues[8] = {1234.5L, 12.7L, 1234567.89L, 0.005L, 2500.0L, 12.3456L, 1.2L, 98765.4321L};

// Held as the fields hold them: text with its length.
constexpr std::string_view kPatterns[6] = {
    ",0.0 м'.';-,0.0 м'.'",   ",0. мм'.';-,0. мм'.'",     ",0.00 кг'.';-,0.00 кг'.'",
    ",0.00 т'.';-,0.00 т'.'", ",0.000 т'.';-,0.000 т'.'", ",0.00 г/см3'.';-,0.00 г/см3'.'",
};
const char* const kPatternNames[6] = {"metres", "millimetres", "kilograms", "tonnes", "tonnes3", "density"};

// A decimal comma and a no-break space between thousands, as the crew's
// desktops have them.
dw::LocaleFormatSettings RussianMarks()
{
    return dw::test::Marks(",", "\u00A0");
}

void FormatPattern(benchmark::State& state)
{
    dw::ScopedLocaleFormats marks(RussianMarks());
    const std::string_view pattern = kPatterns[state.range(0)];
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = dw::FormatNumberPattern(pattern, kValues[i++ & 7]);
        benchmark::DoNotOptimize(text);
    }
    state.SetLabel(kPatternNames[state.range(0)]);
}
BENCHMARK(FormatPattern)->DenseRange(0, 5);

// The plain C route: two decimals, then the integer digits grouped by hand.
void SnprintfTwoDecimals(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        char buf[64];
        const int n = std::snprintf(buf, sizeof buf, "%.2Lf", kValues[i++ & 7]);
        std::string text(buf, static_cast<std::size_t>(n));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(SnprintfTwoDecimals);

std::string Grouped(const char* digits, std::size_t length)
{
    std::size_t integer = 0;
    std::size_t start = digits[0] == '-' ? 1 : 0;
    while (start + integer < length && digits[start + integer] != '.') ++integer;
    std::string text;
    text.reserve(length + integer / 3 * 2);
    text.append(digits, start);
    for (std::size_t k = 0; k < integer; ++k) {
        text += digits[start + k];
        const std::size_t left = integer - 1 - k;
        if (left > 0 && left % 3 == 0)
            text += "\u00A0";
    }
    if (start + integer < length) {
        text += ',';
        text.append(digits + start + integer + 1, length - start - integer - 1);
    }
    return text;
}

void SnprintfTwoDecimalsGrouped(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        char buf[64];
        const int n = std::snprintf(buf, sizeof buf, "%.2Lf", kValues[i++ & 7]);
        std::string text = Grouped(buf, static_cast<std::size_t>(n));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(SnprintfTwoDecimalsGrouped);

void ToCharsTwoDecimals(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        char buf[64];
        const auto result = std::to_chars(buf, buf + sizeof buf, kValues[i++ & 7], std::chars_format::fixed, 2);
        std::string text(buf, result.ptr);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(ToCharsTwoDecimals);

void ToCharsTwoDecimalsGrouped(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        char buf[64];
        const auto result = std::to_chars(buf, buf + sizeof buf, kValues[i++ & 7], std::chars_format::fixed, 2);
        std::string text = Grouped(buf, static_cast<std::size_t>(result.ptr - buf));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(ToCharsTwoDecimalsGrouped);

// ---------------------------------------------------------------------------

const char* const kCommaTexts[8] = {"1234,5", "12,7", "1234567,89", "0,005", "2500", "12,3456", "1,2", "98765,4321"};
const char* const kPointTexts[8] = {"1234.5", "12.7", "1234567.89", "0.005", "2500", "12.3456", "1.2", "98765.4321"};

void ParseNumberText(benchmark::State& state)
{
    dw::ScopedLocaleFormats marks(RussianMarks());
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(dw::ParseNumber(kCommaTexts[i++ & 7]));
}
BENCHMARK(ParseNumberText);

void Strtold(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(std::strtold(kPointTexts[i++ & 7], nullptr));
}
BENCHMARK(Strtold);

void FromChars(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        const char* text = kPointTexts[i++ & 7];
        Extended value = 0;
        std::from_chars(text, text + std::char_traits<char>::length(text), value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(FromChars);

}  // namespace
