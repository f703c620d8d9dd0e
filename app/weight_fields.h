// SPDX-License-Identifier: MIT
#pragma once

// The 37 fields of the main window in one table: which designed component
// (CurrencyEdit38 is the kelly weight) holds which input or result of the
// weight calculation, where it stands, how it shows its value, what a screen
// reader calls it and which label of the printed sheet prints it. The
// window's construction, the profile's stored list, the keyboard order, the
// calculation and the print command all read it; nothing else names a field.

#include "calc/weight_calculation.h"

#include <array>
#include <cstdint>

namespace dw::fields {

enum class TFieldRole : std::uint8_t {
    Input,          // a calculation input: stored, in the keyboard order
    Diameter,       // stored and in the keyboard order, but no calculation input
    Result,         // read-only, reached by a click only
    TypableResult,  // a result the crew may type over (the total length)
};

// The box a field stands in.
enum class TFieldHome : std::uint8_t { Panel, Lengths, Diameters, MetreWeights, Window };

struct TWeightField {
    int Number;  // CurrencyEdit<Number>
    TFieldRole Role;
    TFieldHome Home;
    int Left, Top, Width, Height;  // in its box, pixels at 96 per inch
    const char* DisplayFormat;
    const char* AccessibleName;  // the crew's words, with section and unit
    int Calculation;             // input or result index (see In, Out), kNone for none
    int SheetLabel;              // VpLabel<SheetLabel> prints the displayed text
};

inline constexpr int kNone = -1;
inline constexpr int In(WeightInput input)
{
    return static_cast<int>(input);
}
inline constexpr int Out(WeightResult result)
{
    return static_cast<int>(result);
}

inline constexpr char kMetres[] = ",0.0 м'.';-,0.0 м'.'";
inline constexpr char kMillimetres[] = ",0. мм'.';-,0. мм'.'";
inline constexpr char kKilograms[] = ",0.00 кг'.';-,0.00 кг'.'";
inline constexpr char kTonnes[] = ",0.00 т'.';-,0.00 т'.'";
inline constexpr char kTonnesResult[] = ",0.000 т'.';-,0.000 т'.'";
inline constexpr char kSpecificGravity[] = ",0.00 г/см3'.';-,0.00 г/см3'.'";

// Inputs in the keyboard order (which is also the order they are stored
// in), then the results.
// clang-format off
inline constexpr std::array<TWeightField, 37> kWeightFields{{
    {9, TFieldRole::Input, TFieldHome::Lengths, 5, 15, 86, 21, kMetres, "Длина секции 1, м", In(SectionLength(1)), 19},
    {10, TFieldRole::Input, TFieldHome::Lengths, 5, 35, 86, 21, kMetres, "Длина секции 2, м", In(SectionLength(2)), 20},
    {11, TFieldRole::Input, TFieldHome::Lengths, 5, 55, 86, 21, kMetres, "Длина секции 3, м", In(SectionLength(3)), 21},
    {12, TFieldRole::Input, TFieldHome::Lengths, 5, 75, 86, 21, kMetres, "Длина секции 4, м", In(SectionLength(4)), 22},
    {13, TFieldRole::Input, TFieldHome::Lengths, 5, 95, 86, 21, kMetres, "Длина секции 5, м", In(SectionLength(5)), 23},
    {14, TFieldRole::Input, TFieldHome::Lengths, 5, 115, 86, 21, kMetres, "Длина секции 6, м", In(SectionLength(6)), 24},
    {15, TFieldRole::Input, TFieldHome::Lengths, 5, 135, 86, 21, kMetres, "Длина секции 7, м", In(SectionLength(7)), 25},
    {16, TFieldRole::Input, TFieldHome::Lengths, 5, 155, 86, 21, kMetres, "Длина секции 8, м", In(SectionLength(8)), 26},
    {17, TFieldRole::Diameter, TFieldHome::Diameters, 4, 15, 80, 21, kMillimetres, "Диаметр секции 1, мм", kNone, 28},
    {18, TFieldRole::Diameter, TFieldHome::Diameters, 4, 35, 80, 21, kMillimetres, "Диаметр секции 2, мм", kNone, 29},
    {19, TFieldRole::Diameter, TFieldHome::Diameters, 4, 55, 80, 21, kMillimetres, "Диаметр секции 3, мм", kNone, 30},
    {20, TFieldRole::Diameter, TFieldHome::Diameters, 4, 75, 80, 21, kMillimetres, "Диаметр секции 4, мм", kNone, 31},
    {21, TFieldRole::Diameter, TFieldHome::Diameters, 4, 95, 80, 21, kMillimetres, "Диаметр секции 5, мм", kNone, 32},
    {22, TFieldRole::Diameter, TFieldHome::Diameters, 4, 115, 80, 21, kMillimetres, "Диаметр секции 6, мм", kNone, 33},
    {23, TFieldRole::Diameter, TFieldHome::Diameters, 4, 135, 80, 21, kMillimetres, "Диаметр секции 7, мм", kNone, 34},
    {24, TFieldRole::Diameter, TFieldHome::Diameters, 4, 155, 80, 21, kMillimetres, "Диаметр секции 8, мм", kNone, 35},
    {25, TFieldRole::Input, TFieldHome::MetreWeights, 4, 15, 73, 21, kKilograms, "Вес 1 метра секции 1, кг", In(SectionMetreWeight(1)), 37},
    {26, TFieldRole::Input, TFieldHome::MetreWeights, 4, 35, 73, 21, kKilograms, "Вес 1 метра секции 2, кг", In(SectionMetreWeight(2)), 38},
    {27, TFieldRole::Input, TFieldHome::MetreWeights, 4, 55, 73, 21, kKilograms, "Вес 1 метра секции 3, кг", In(SectionMetreWeight(3)), 39},
    {28, TFieldRole::Input, TFieldHome::MetreWeights, 4, 75, 73, 21, kKilograms, "Вес 1 метра секции 4, кг", In(SectionMetreWeight(4)), 40},
    {29, TFieldRole::Input, TFieldHome::MetreWeights, 4, 95, 73, 21, kKilograms, "Вес 1 метра секции 5, кг", In(SectionMetreWeight(5)), 41},
    {30, TFieldRole::Input, TFieldHome::MetreWeights, 4, 115, 73, 21, kKilograms, "Вес 1 метра секции 6, кг", In(SectionMetreWeight(6)), 42},
    {31, TFieldRole::Input, TFieldHome::MetreWeights, 4, 135, 73, 21, kKilograms, "Вес 1 метра секции 7, кг", In(SectionMetreWeight(7)), 43},
    {36, TFieldRole::Input, TFieldHome::MetreWeights, 4, 155, 73, 21, kKilograms, "Вес 1 метра секции 8, кг", In(SectionMetreWeight(8)), 44},
    {38, TFieldRole::Input, TFieldHome::Panel, 5, 8, 73, 21, kTonnes, "Вес квадрата, т", In(WeightInput::KellyWeight), 10},
    {39, TFieldRole::Input, TFieldHome::Panel, 5, 28, 73, 21, kTonnes, "Вес талевого блока, т", In(WeightInput::TravellingBlockWeight), 11},
    {40, TFieldRole::Input, TFieldHome::Panel, 5, 48, 73, 21, kTonnes, "Вес каната, т", In(WeightInput::DrillingLineWeight), 12},
    {41, TFieldRole::Input, TFieldHome::Panel, 5, 68, 73, 21, kTonnes, "Вес крюка, т", In(WeightInput::HookWeight), 13},
    {42, TFieldRole::Input, TFieldHome::Panel, 5, 88, 73, 21, kTonnes, "Вес вертлюга, т", In(WeightInput::SwivelWeight), 14},
    {43, TFieldRole::Input, TFieldHome::Panel, 5, 108, 73, 21, kTonnes, "Вес бурового рукава, т", In(WeightInput::DrillingHoseWeight), 15},
    {44, TFieldRole::Input, TFieldHome::Panel, 5, 128, 73, 26, kSpecificGravity, "Удельный вес раствора, г/см3", In(WeightInput::MudGravity), 16},
    {45, TFieldRole::Input, TFieldHome::Panel, 5, 153, 73, 27, kSpecificGravity, "Удельный вес металла, г/см3", In(WeightInput::MetalGravity), 17},
    {32, TFieldRole::Result, TFieldHome::Window, 184, 205, 73, 21, kTonnesResult, "Вес талевой системы, т", Out(WeightResult::TravellingSystem), 53},
    {33, TFieldRole::Result, TFieldHome::Window, 184, 231, 73, 21, kTonnesResult, "Вес бурового инструмента (чистый), т", Out(WeightResult::NetString), 54},
    {34, TFieldRole::Result, TFieldHome::Window, 184, 257, 73, 21, kTonnesResult, "Вес бурового инструмента с учетом вытеснения, т", Out(WeightResult::BuoyedString), 55},
    {35, TFieldRole::Result, TFieldHome::Window, 184, 284, 73, 21, kTonnesResult, "Вес бурового инструмента с учетом талевой системы, т", Out(WeightResult::HookLoad), 56},
    {37, TFieldRole::TypableResult, TFieldHome::Window, 184, 312, 73, 21, kMetres, "Длина инструмента, м", Out(WeightResult::TotalLength), 57},
}};
// clang-format on

inline constexpr bool IsResult(const TWeightField& field)
{
    return field.Role == TFieldRole::Result || field.Role == TFieldRole::TypableResult;
}

inline constexpr int kKellyWeight = 38;  // where the calculation leaves the focus

// The field of each calculation input, in the inputs' order.
inline constexpr std::array<int, kWeightInputCount> kInputFields = [] {
    std::array<int, kWeightInputCount> f{};
    for (const TWeightField& field : kWeightFields)
        if (field.Role == TFieldRole::Input)
            f[static_cast<std::size_t>(field.Calculation)] = field.Number;
    return f;
}();

// The field of each result, in the results' order.
inline constexpr std::array<int, kWeightResultCount> kResultFields = [] {
    std::array<int, kWeightResultCount> f{};
    for (const TWeightField& field : kWeightFields)
        if (IsResult(field))
            f[static_cast<std::size_t>(field.Calculation)] = field.Number;
    return f;
}();

// Every input and every result has a field (a hole would read as field 0).
static_assert([] {
    for (int number : kInputFields)
        if (number == 0)
            return false;
    for (int number : kResultFields)
        if (number == 0)
            return false;
    return true;
}());

inline constexpr int InputField(WeightInput input)
{
    return kInputFields[static_cast<std::size_t>(input)];
}
inline constexpr int ResultField(WeightResult result)
{
    return kResultFields[static_cast<std::size_t>(result)];
}

}  // namespace dw::fields
