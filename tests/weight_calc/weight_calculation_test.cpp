// SPDX-License-Identifier: MIT
#include "calc/weight_calculation.h"

#include "common/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dw {
namespace {

// Results kept as fields keep them: what was written, read back with two
// decimals (the fields' rounding of a written value).
class Fields : public IWeightResults {
public:
    std::map<WeightResult, Extended> Held;
    std::vector<WeightResult> Written;
    void Write(WeightResult result, Extended value) override
    {
        Held[result] = value;
        Written.push_back(result);
    }
    Extended ReadBack(WeightResult result) override
    {
        Held[result] = std::round(Held.at(result) * 100) / 100;
        return Held[result];
    }
};

struct Input {
    WeightInput Which;
    Extended Value;
};

WeightInputs Inputs(std::initializer_list<Input> values)
{
    return ReadWeightInputs([&values](WeightInput which) -> Extended {
        for (const Input& v : values)
            if (v.Which == which)
                return v.Value;
        return 0;
    });
}

const std::initializer_list<Input> kWorkedExample{
    {WeightInput::KellyWeight, 2.5L},
    {WeightInput::TravellingBlockWeight, 4.2L},
    {WeightInput::DrillingLineWeight, 1.8L},
    {WeightInput::HookWeight, 1.3L},
    {WeightInput::SwivelWeight, 1.1L},
    {WeightInput::DrillingHoseWeight, 0.2L},
    {SectionLength(1), 1000},
    {SectionMetreWeight(1), 29},
    {SectionLength(2), 150},
    {SectionMetreWeight(2), 97.6L},
    {WeightInput::MudGravity, 1.2L},
    {WeightInput::MetalGravity, 7.85L},
};

TEST(WeightCalculation, ResultsAsTheFieldsEndHoldingThem)
{
    struct Row {
        const char* Name;
        std::initializer_list<Input> Values;
        // Held at the end: W1, W2, W3 after their read-backs, W4, Ltot.
        double W1, W2, W3, W4, Length;
    };
    const Row rows[] = {
        {"worked example: W3 from 43.64 held as 36.97", kWorkedExample, 11.1, 43.64, 36.97, 48.07, 1150},
        {"W3 from the net weight rounded to 12.35, not 12.346",
         {{SectionLength(1), 100},
          {SectionMetreWeight(1), 123.46L},
          {WeightInput::MudGravity, 1.2L},
          {WeightInput::MetalGravity, 7.85L}},
         0,
         12.35,
         10.46,
         10.46,
         100},
        {"negative inputs are numbers like any",
         {{WeightInput::KellyWeight, -2},
          {SectionLength(1), -10},
          {SectionMetreWeight(1), 100},
          {WeightInput::MetalGravity, 8}},
         -2,
         -1,
         -1,
         -3,
         -10},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Fields fields;
        CalculateWeights(Inputs(row.Values), fields);
        EXPECT_NEAR(static_cast<double>(fields.Held[WeightResult::TravellingSystem]), row.W1, 1e-12);
        EXPECT_NEAR(static_cast<double>(fields.Held[WeightResult::NetString]), row.W2, 1e-12);
        EXPECT_NEAR(static_cast<double>(fields.Held[WeightResult::BuoyedString]), row.W3, 1e-12);
        EXPECT_NEAR(static_cast<double>(fields.Held[WeightResult::HookLoad]), row.W4, 1e-12);
        EXPECT_NEAR(static_cast<double>(fields.Held[WeightResult::TotalLength]), row.Length, 1e-12);
    }
}

TEST(WeightCalculation, TheBuoyedWeightIsWrittenUnroundedAndTheHookLoadIsTheExactSumOfTheReadBacks)
{
    Fields fields;
    CalculateWeights(Inputs(kWorkedExample), fields);
    Fields again;
    CalculateWeights(Inputs(kWorkedExample), again);
    EXPECT_EQ(fields.Held, again.Held);  // two runs, identical to the last bit
    // The hook load is never read back: it keeps the exact sum of the two read-backs.
    EXPECT_EQ(fields.Held[WeightResult::HookLoad], 36.97L + 11.1L);
    const Extended buoyancy = (Real48::FromExtended(7.85L).ToExtended() - Real48::FromExtended(1.2L).ToExtended()) /
                              Real48::FromExtended(7.85L).ToExtended();
    class Keep : public IWeightResults {
    public:
        std::optional<Extended> Buoyed;
        void Write(WeightResult result, Extended value) override
        {
            if (result == WeightResult::BuoyedString)
                Buoyed = value;
        }
        Extended ReadBack(WeightResult result) override { return result == WeightResult::NetString ? 43.64L : 0; }
    } keep;
    CalculateWeights(Inputs(kWorkedExample), keep);
    ASSERT_TRUE(keep.Buoyed);
    EXPECT_EQ(*keep.Buoyed, buoyancy * 43.64L);
    EXPECT_NEAR(static_cast<double>(*keep.Buoyed), 36.968917, 1e-6);
}

TEST(WeightCalculation, AFaultEndsTheCommandAtItsStepWithEarlierResultsWritten)
{
    struct Row {
        const char* Name;
        Extended Mud;
        Extended Metal;
        std::string Message;
    };
    const Row rows[] = {
        {"metal gravity 0", 1.2L, 0, "Floating point division by zero: enter the specific gravity of the metal"},
        {"both gravities 0", 0, 0, "Invalid floating point operation: enter the specific gravity of the metal"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Fields fields;
        const WeightInputs inputs = Inputs({{WeightInput::KellyWeight, 2.5L},
                                            {SectionLength(1), 10},
                                            {SectionMetreWeight(1), 1},
                                            {WeightInput::MudGravity, row.Mud},
                                            {WeightInput::MetalGravity, row.Metal}});
        try {
            CalculateWeights(inputs, fields);
            ADD_FAILURE() << "no error";
        } catch (const EMathError& error) {
            EXPECT_EQ(error.Message(), row.Message);
        }
        EXPECT_EQ(fields.Written, (std::vector<WeightResult>{WeightResult::TravellingSystem, WeightResult::NetString}));
        EXPECT_EQ(fields.Held[WeightResult::NetString], 0.01L);  // read back before the division
    }
}

TEST(WeightCalculation, AnInputTooLargeForSixBytesStopsTheReadingThere)
{
    std::vector<WeightInput> read;
    try {
        ReadWeightInputs([&read](WeightInput which) -> Extended {
            read.push_back(which);
            return which == SectionLength(2) ? 1e39L : 1;
        });
        ADD_FAILURE() << "no error";
    } catch (const EOverflow& error) {
        EXPECT_EQ(error.Message(), "Floating point overflow");
    }
    ASSERT_FALSE(read.empty());
    EXPECT_EQ(read.back(), SectionLength(2));
    EXPECT_EQ(read.size(), static_cast<std::size_t>(SectionLength(2)) + 1);
}

}  // namespace
}  // namespace dw
