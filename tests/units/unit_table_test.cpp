// SPDX-License-Identifier: MIT
#include "units/unit_table.h"

#include "calc/weight_calculation.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"
#include "tests/support/number_marks.h"
#include "tests/support/worked_example.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dw::units {
namespace {

using enum TFieldKind;
constexpr TUnitSystem kMetric = TUnitSystem::Metric;
constexpr TUnitSystem kOilfield = TUnitSystem::Oilfield;

// The numbers as an en_US desktop writes them, whatever the machine's own.
class UnitsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = LocaleFormats();
        LocaleFormats() = test::Marks(".", ",");
    }
    void TearDown() override { LocaleFormats() = m_saved; }

    static std::string Shown(TFieldKind kind, TUnitSystem system, Extended value)
    {
        return FormatNumberPattern(DisplayPattern(kind, system, UnitOf(kind, system).Word.Text), value);
    }

private:
    LocaleFormatSettings m_saved;
};

// The crew's worked example typed in oilfield units gives the digits the same
// numbers typed in metric units give: the calculation does not know the units.
TEST_F(UnitsTest, TheWorkedExampleInOilfieldUnits)
{
    const std::vector<test::GivenInput> typed{
        {WeightInput::KellyWeight, 8},
        {WeightInput::TravellingBlockWeight, 35},
        {WeightInput::DrillingLineWeight, 6.5L},
        {WeightInput::HookWeight, 4.5L},
        {WeightInput::SwivelWeight, 3.2L},
        {WeightInput::DrillingHoseWeight, 0.8L},
        {SectionLength(1), 10000},
        {SectionMetreWeight(1), 19.5L},
        {SectionLength(2), 500},
        {SectionMetreWeight(2), 91},
        {WeightInput::MudGravity, 10.5L},
        {WeightInput::MetalGravity, 65.5L},
    };
    const WeightResults results = CalculateWeights(test::ReadGivenInputs(typed));
    ASSERT_TRUE(results.Complete());
    struct Row {
        const char* Name;
        WeightResult Result;
        TFieldKind Kind;
        const char* Printed;
    };
    const Row rows[] = {
        {"travelling system", WeightResult::TravellingSystem, ResultWeight, "58.000 klb"},
        {"net string", WeightResult::NetString, ResultWeight, "240.500 klb"},
        {"string in the mud, from 201.9466 held as 201.95", WeightResult::BuoyedString, ResultWeight, "201.950 klb"},
        {"hook load", WeightResult::HookLoad, ResultWeight, "259.950 klb"},
        {"total length", WeightResult::TotalLength, ResultLength, "10,500.0 ft"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(Shown(row.Kind, kOilfield, results[row.Result]), row.Printed);
    }
}

// What a field of each kind shows in each system, the unit word taken from
// the table (English) or given as the Russian window shows it.
TEST_F(UnitsTest, WhatAFieldShows)
{
    struct Row {
        const char* Name;
        TFieldKind Kind;
        TUnitSystem System;
        const char* Word;  // nullptr: the table's English word
        Extended Value;
        const char* Shown;
    };
    const Row rows[] = {
        {"section length in feet", Length, kOilfield, nullptr, 10000, "10,000.0 ft"},
        {"diameter in inches, three decimals", Diameter, kOilfield, nullptr, 6.625L, "6.625 in"},
        {"weight of a foot", MetreWeight, kOilfield, nullptr, 19.5L, "19.50 lb/ft"},
        {"equipment in thousands of pounds, two decimals", EquipmentWeight, kOilfield, nullptr, 8, "8.00 klb"},
        {"result in thousands of pounds, three decimals", ResultWeight, kOilfield, nullptr, 58, "58.000 klb"},
        {"total length in feet", ResultLength, kOilfield, nullptr, 10500, "10,500.0 ft"},
        {"mud in pounds per gallon", Gravity, kOilfield, nullptr, 10.5L, "10.50 ppg"},
        {"a negative weight keeps its minus", EquipmentWeight, kOilfield, nullptr, -3.2L, "-3.20 klb"},
        {"metric length", Length, kMetric, nullptr, 1150, "1,150.0 m"},
        {"metric diameter, no decimals", Diameter, kMetric, nullptr, 168.4L, "168 mm"},
        {"metric weight of a metre", MetreWeight, kMetric, nullptr, 29, "29.00 kg/m"},
        {"metric equipment", EquipmentWeight, kMetric, nullptr, 2.5L, "2.50 t"},
        {"metric result", ResultWeight, kMetric, nullptr, 36.97L, "36.970 t"},
        {"metric gravity", Gravity, kMetric, nullptr, 1.2L, "1.20 g/cm3"},
        {"Russian oilfield words, marks and spaces quoted", ResultWeight, kOilfield, "тыс. фунтов", 201.95L,
         "201.950 тыс. фунтов"},
        {"Russian word of the weight of a foot", MetreWeight, kOilfield, "фунт/фут", 91, "91.00 фунт/фут"},
        {"a stray quote in a word does not end it", Gravity, kOilfield, "p'pg", 1, "1.00 ppg"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const char* word = row.Word != nullptr ? row.Word : UnitOf(row.Kind, row.System).Word.Text;
        EXPECT_EQ(FormatNumberPattern(DisplayPattern(row.Kind, row.System, word), row.Value), row.Shown);
    }
}

// The Russian metric window's words (with their abbreviation's point) make
// the designed patterns' text, digit for digit.
TEST_F(UnitsTest, TheDesignedMetricPatternsComeOutTheSame)
{
    struct Row {
        const char* Name;
        TFieldKind Kind;
        const char* Word;
        const char* Designed;
        Extended Value;
    };
    const Row rows[] = {
        {"metres", Length, "м.", ",0.0 м'.';-,0.0 м'.'", -1234.56L},
        {"millimetres", Diameter, "мм.", ",0. мм'.';-,0. мм'.'", 168.5L},
        {"kilograms", MetreWeight, "кг.", ",0.00 кг'.';-,0.00 кг'.'", 97.605L},
        {"tonnes", EquipmentWeight, "т.", ",0.00 т'.';-,0.00 т'.'", 1.125L},
        {"tonnes of a result", ResultWeight, "т.", ",0.000 т'.';-,0.000 т'.'", 36.9689L},
        {"total metres", ResultLength, "м.", ",0.0 м'.';-,0.0 м'.'", 1150},
        {"specific gravity", Gravity, "г/см3.", ",0.00 г/см3'.';-,0.00 г/см3'.'", 7.855L},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(FormatNumberPattern(DisplayPattern(row.Kind, kMetric, row.Word), row.Value),
                  FormatNumberPattern(row.Designed, row.Value));
    }
}

// A value typed in one system, converted to the other when the crew switches
// units, is what the field shows and holds there: rounded to its decimals,
// a tie away from zero, a near-tie on the side it lies.
TEST_F(UnitsTest, SwitchingUnitsConvertsAsTheFieldHolds)
{
    struct Row {
        const char* Name;
        TFieldKind Kind;
        TUnitSystem From;
        Extended Typed;
        double Held;
    };
    const TUnitSystem o = kOilfield;
    const TUnitSystem m = kMetric;
    const Row rows[] = {
        {"10,000 ft is 3,048.0 m", Length, o, 10000, 3048.0},
        {"62.5 ft is 19.05 m exactly, held 19.1", Length, o, 62.5L, 19.1},
        {"187.5 ft is 57.15 m exactly, held 57.2", Length, o, 187.5L, 57.2},
        {"3,078.8 m is 10,101.0499 ft, held 10,101.0", Length, m, 3078.8L, 10101.0},
        {"3,055.3 m is 10,023.9501 ft, held 10,024.0", Length, m, 3055.3L, 10024.0},
        {"6.625 in is 168.275 mm, held 168", Diameter, o, 6.625L, 168},
        {"2.5 in is 63.5 mm exactly, held 64", Diameter, o, 2.5L, 64},
        {"168 mm is 6.61417 in, held 6.614", Diameter, m, 168, 6.614},
        {"25,450 mm is 1,001.96850 in, held 1,001.969", Diameter, m, 25450, 1001.969},
        {"25,477 mm is 1,003.03149 in, held 1,003.031", Diameter, m, 25477, 1003.031},
        {"19.50 lb/ft is 29.0192 kg/m, held 29.02", MetreWeight, o, 19.5L, 29.02},
        {"102.23 lb/ft is 152.134999 kg/m, held 152.13", MetreWeight, o, 102.23L, 152.13},
        {"391.60 lb/ft is 582.765000 kg/m, held 582.77", MetreWeight, o, 391.6L, 582.77},
        {"367.45 kg/m is 246.915000 lb/ft, held 246.92", MetreWeight, m, 367.45L, 246.92},
        {"798.08 kg/m is 536.284999 lb/ft, held 536.28", MetreWeight, m, 798.08L, 536.28},
        {"35.00 klb is 15.8757 t, held 15.88", EquipmentWeight, o, 35, 15.88},
        {"269.46 klb is 122.225000 t, held 122.23", EquipmentWeight, o, 269.46L, 122.23},
        {"977.21 klb is 443.254999 t, held 443.25", EquipmentWeight, o, 977.21L, 443.25},
        {"527.19 t is 1,162.255000 klb, held 1,162.26", EquipmentWeight, m, 527.19L, 1162.26},
        {"771.64 t is 1,701.174999 klb, held 1,701.17", EquipmentWeight, m, 771.64L, 1701.17},
        {"259.950 klb is 117.9113 t, held 117.911", ResultWeight, o, 259.95L, 117.911},
        {"26.946 klb is 12.2225000 t, held 12.223", ResultWeight, o, 26.946L, 12.223},
        {"97.721 klb is 44.3254999 t, held 44.325", ResultWeight, o, 97.721L, 44.325},
        {"10,500.0 ft is 3,200.4 m", ResultLength, o, 10500, 3200.4},
        {"1,150 m is 3,772.97 ft, held 3,773.0", ResultLength, m, 1150, 3773.0},
        {"10.50 ppg is 1.2582 g/cm3, held 1.26", Gravity, o, 10.5L, 1.26},
        {"14.98 ppg is 1.794999 g/cm3, held 1.79", Gravity, o, 14.98L, 1.79},
        {"409.05 ppg is 49.014999 g/cm3, held 49.01", Gravity, o, 409.05L, 49.01},
        {"1.20 g/cm3 is 10.0145 ppg, held 10.01", Gravity, m, 1.2L, 10.01},
        {"7.85 g/cm3 is 65.5114 ppg, held 65.51", Gravity, m, 7.85L, 65.51},
        {"a negative tie goes away from zero too", Length, o, -62.5L, -19.1},
        {"an empty field stays 0", EquipmentWeight, o, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const TUnitSystem to = row.From == kMetric ? kOilfield : kMetric;
        EXPECT_NEAR(static_cast<double>(ConvertForField(row.Typed, row.Kind, row.From, to)), row.Held, 1e-9);
    }
}

// The export's conversion keeps every digit: one unit of each kind is its
// defined factor, and an oilfield value taken to metric and back is itself.
TEST_F(UnitsTest, TheExactConversionKeepsEveryDigit)
{
    struct Row {
        const char* Name;
        TFieldKind Kind;
        Extended Oilfield;
        Extended Metric;
    };
    const Row rows[] = {
        {"1 ft = 0.3048 m", Length, 1, 0.3048L},
        {"1 in = 25.4 mm", Diameter, 1, 25.4L},
        {"1 lb/ft = 1.488163943 kg/m", MetreWeight, 1, 1.488163943L},
        {"1 klb = 0.45359237 t", EquipmentWeight, 1, 0.45359237L},
        {"1 klb of a result = 0.45359237 t", ResultWeight, 1, 0.45359237L},
        {"1 ft of the total = 0.3048 m", ResultLength, 1, 0.3048L},
        {"1 ppg = 0.119826427 g/cm3", Gravity, 1, 0.119826427L},
        {"19.50 lb/ft is 29.0191968885 kg/m, not rounded", MetreWeight, 19.5L, 29.0191968885L},
        {"259.950 klb is 117.9113365815 t, not rounded", ResultWeight, 259.95L, 117.9113365815L},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const Extended metric = ConvertExact(row.Oilfield, row.Kind, kOilfield, kMetric);
        EXPECT_NEAR(static_cast<double>(metric), static_cast<double>(row.Metric),
                    static_cast<double>(row.Metric) * 1e-17 * 8);
        EXPECT_NEAR(static_cast<double>(ConvertExact(metric, row.Kind, kMetric, kOilfield)),
                    static_cast<double>(row.Oilfield), static_cast<double>(row.Oilfield) * 1e-17 * 8);
        EXPECT_EQ(ConvertExact(row.Oilfield, row.Kind, kOilfield, kOilfield), row.Oilfield);
    }
}

}  // namespace
}  // namespace dw::units
