// SPDX-License-Identifier: MIT
#pragma once

// The 37 fields of the main window in one table: which designed component
// (CurrencyEdit38 is the kelly weight) holds which input or result of the
// weight calculation, where it stands, how it shows its value, what a screen
// reader calls it and which label of the printed sheet prints it. The
// window's construction, the profile's stored list, the keyboard order, the
// calculation and the print command all read it; nothing else names a field.

#include "calc/weight_calculation.h"
#include "units/unit_table.h"

#include <QtGlobal>

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
    // What a screen reader calls the field, in the crew's words: its name
    // (the section's number put for %1), an English source text of the
    // catalogue, and its unit word from the units table, put together as
    // "<name>, <unit>".
    const char* ReaderName;
    int Section;  // the section the field belongs to, 0 for none
    units::TFieldKind Kind;
    int Calculation;  // input or result index (see In, Out), kNone for none
    int SheetLabel;   // VpLabel<SheetLabel> prints the displayed text
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

// The reader's names of the fields that repeat section by section.
inline constexpr char kSectionLength[] = QT_TRANSLATE_NOOP("dw::TForm1", "Section %1 length");
inline constexpr char kSectionDiameter[] = QT_TRANSLATE_NOOP("dw::TForm1", "Section %1 diameter");
inline constexpr char kSectionMetreWeight[] = QT_TRANSLATE_NOOP("dw::TForm1", "Section %1 weight of one metre");

// Inputs in the keyboard order (which is also the order they are stored
// in), then the results.
// clang-format off
inline constexpr std::array<TWeightField, 37> kWeightFields{{
    {9, TFieldRole::Input, TFieldHome::Lengths, 5, 15, 86, 21, kMetres, kSectionLength, 1, units::TFieldKind::Length, In(SectionLength(1)), 19},
    {10, TFieldRole::Input, TFieldHome::Lengths, 5, 35, 86, 21, kMetres, kSectionLength, 2, units::TFieldKind::Length, In(SectionLength(2)), 20},
    {11, TFieldRole::Input, TFieldHome::Lengths, 5, 55, 86, 21, kMetres, kSectionLength, 3, units::TFieldKind::Length, In(SectionLength(3)), 21},
    {12, TFieldRole::Input, TFieldHome::Lengths, 5, 75, 86, 21, kMetres, kSectionLength, 4, units::TFieldKind::Length, In(SectionLength(4)), 22},
    {13, TFieldRole::Input, TFieldHome::Lengths, 5, 95, 86, 21, kMetres, kSectionLength, 5, units::TFieldKind::Length, In(SectionLength(5)), 23},
    {14, TFieldRole::Input, TFieldHome::Lengths, 5, 115, 86, 21, kMetres, kSectionLength, 6, units::TFieldKind::Length, In(SectionLength(6)), 24},
    {15, TFieldRole::Input, TFieldHome::Lengths, 5, 135, 86, 21, kMetres, kSectionLength, 7, units::TFieldKind::Length, In(SectionLength(7)), 25},
    {16, TFieldRole::Input, TFieldHome::Lengths, 5, 155, 86, 21, kMetres, kSectionLength, 8, units::TFieldKind::Length, In(SectionLength(8)), 26},
    {17, TFieldRole::Diameter, TFieldHome::Diameters, 4, 15, 80, 21, kMillimetres, kSectionDiameter, 1, units::TFieldKind::Diameter, kNone, 28},
    {18, TFieldRole::Diameter, TFieldHome::Diameters, 4, 35, 80, 21, kMillimetres, kSectionDiameter, 2, units::TFieldKind::Diameter, kNone, 29},
    {19, TFieldRole::Diameter, TFieldHome::Diameters, 4, 55, 80, 21, kMillimetres, kSectionDiameter, 3, units::TFieldKind::Diameter, kNone, 30},
    {20, TFieldRole::Diameter, TFieldHome::Diameters, 4, 75, 80, 21, kMillimetres, kSectionDiameter, 4, units::TFieldKind::Diameter, kNone, 31},
    {21, TFieldRole::Diameter, TFieldHome::Diameters, 4, 95, 80, 21, kMillimetres, kSectionDiameter, 5, units::TFieldKind::Diameter, kNone, 32},
    {22, TFieldRole::Diameter, TFieldHome::Diameters, 4, 115, 80, 21, kMillimetres, kSectionDiameter, 6, units::TFieldKind::Diameter, kNone, 33},
    {23, TFieldRole::Diameter, TFieldHome::Diameters, 4, 135, 80, 21, kMillimetres, kSectionDiameter, 7, units::TFieldKind::Diameter, kNone, 34},
    {24, TFieldRole::Diameter, TFieldHome::Diameters, 4, 155, 80, 21, kMillimetres, kSectionDiameter, 8, units::TFieldKind::Diameter, kNone, 35},
    {25, TFieldRole::Input, TFieldHome::MetreWeights, 4, 15, 73, 21, kKilograms, kSectionMetreWeight, 1, units::TFieldKind::MetreWeight, In(SectionMetreWeight(1)), 37},
    {26, TFieldRole::Input, TFieldHome::MetreWeights, 4, 35, 73, 21, kKilograms, kSectionMetreWeight, 2, units::TFieldKind::MetreWeight, In(SectionMetreWeight(2)), 38},
    {27, TFieldRole::Input, TFieldHome::MetreWeights, 4, 55, 73, 21, kKilograms, kSectionMetreWeight, 3, units::TFieldKind::MetreWeight, In(SectionMetreWeight(3)), 39},
    {28, TFieldRole::Input, TFieldHome::MetreWeights, 4, 75, 73, 21, kKilograms, kSectionMetreWeight, 4, units::TFieldKind::MetreWeight, In(SectionMetreWeight(4)), 40},
    {29, TFieldRole::Input, TFieldHome::MetreWeights, 4, 95, 73, 21, kKilograms, kSectionMetreWeight, 5, units::TFieldKind::MetreWeight, In(SectionMetreWeight(5)), 41},
    {30, TFieldRole::Input, TFieldHome::MetreWeights, 4, 115, 73, 21, kKilograms, kSectionMetreWeight, 6, units::TFieldKind::MetreWeight, In(SectionMetreWeight(6)), 42},
    {31, TFieldRole::Input, TFieldHome::MetreWeights, 4, 135, 73, 21, kKilograms, kSectionMetreWeight, 7, units::TFieldKind::MetreWeight, In(SectionMetreWeight(7)), 43},
    {36, TFieldRole::Input, TFieldHome::MetreWeights, 4, 155, 73, 21, kKilograms, kSectionMetreWeight, 8, units::TFieldKind::MetreWeight, In(SectionMetreWeight(8)), 44},
    {38, TFieldRole::Input, TFieldHome::Panel, 5, 8, 73, 21, kTonnes, QT_TRANSLATE_NOOP("dw::TForm1", "Kelly weight"), 0, units::TFieldKind::EquipmentWeight, In(WeightInput::KellyWeight), 10},
    {39, TFieldRole::Input, TFieldHome::Panel, 5, 28, 73, 21, kTonnes, QT_TRANSLATE_NOOP("dw::TForm1", "Travelling block weight"), 0, units::TFieldKind::EquipmentWeight, In(WeightInput::TravellingBlockWeight), 11},
    {40, TFieldRole::Input, TFieldHome::Panel, 5, 48, 73, 21, kTonnes, QT_TRANSLATE_NOOP("dw::TForm1", "Drilling line weight"), 0, units::TFieldKind::EquipmentWeight, In(WeightInput::DrillingLineWeight), 12},
    {41, TFieldRole::Input, TFieldHome::Panel, 5, 68, 73, 21, kTonnes, QT_TRANSLATE_NOOP("dw::TForm1", "Hook weight"), 0, units::TFieldKind::EquipmentWeight, In(WeightInput::HookWeight), 13},
    {42, TFieldRole::Input, TFieldHome::Panel, 5, 88, 73, 21, kTonnes, QT_TRANSLATE_NOOP("dw::TForm1", "Swivel weight"), 0, units::TFieldKind::EquipmentWeight, In(WeightInput::SwivelWeight), 14},
    {43, TFieldRole::Input, TFieldHome::Panel, 5, 108, 73, 21, kTonnes, QT_TRANSLATE_NOOP("dw::TForm1", "Drilling hose weight"), 0, units::TFieldKind::EquipmentWeight, In(WeightInput::DrillingHoseWeight), 15},
    {44, TFieldRole::Input, TFieldHome::Panel, 5, 128, 73, 26, kSpecificGravity, QT_TRANSLATE_NOOP("dw::TForm1", "Mud specific gravity"), 0, units::TFieldKind::Gravity, In(WeightInput::MudGravity), 16},
    {45, TFieldRole::Input, TFieldHome::Panel, 5, 153, 73, 27, kSpecificGravity, QT_TRANSLATE_NOOP("dw::TForm1", "Pipe steel specific gravity"), 0, units::TFieldKind::Gravity, In(WeightInput::MetalGravity), 17},
    {32, TFieldRole::Result, TFieldHome::Window, 184, 205, 73, 21, kTonnesResult, QT_TRANSLATE_NOOP("dw::TForm1", "Travelling system weight"), 0, units::TFieldKind::ResultWeight, Out(WeightResult::TravellingSystem), 53},
    {33, TFieldRole::Result, TFieldHome::Window, 184, 231, 73, 21, kTonnesResult, QT_TRANSLATE_NOOP("dw::TForm1", "Net string weight"), 0, units::TFieldKind::ResultWeight, Out(WeightResult::NetString), 54},
    {34, TFieldRole::Result, TFieldHome::Window, 184, 257, 73, 21, kTonnesResult, QT_TRANSLATE_NOOP("dw::TForm1", "String weight in the mud"), 0, units::TFieldKind::ResultWeight, Out(WeightResult::BuoyedString), 55},
    {35, TFieldRole::Result, TFieldHome::Window, 184, 284, 73, 21, kTonnesResult, QT_TRANSLATE_NOOP("dw::TForm1", "Hook load"), 0, units::TFieldKind::ResultWeight, Out(WeightResult::HookLoad), 56},
    {37, TFieldRole::TypableResult, TFieldHome::Window, 184, 312, 73, 21, kMetres, QT_TRANSLATE_NOOP("dw::TForm1", "Total string length"), 0, units::TFieldKind::ResultLength, Out(WeightResult::TotalLength), 57},
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
