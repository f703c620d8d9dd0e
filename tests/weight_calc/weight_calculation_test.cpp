// SPDX-License-Identifier: MIT
#include "calc/weight_calculation.h"

#include "common/errors.h"
#include "tests/support/worked_example.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace dw {
namespace {

using Input = test::GivenInput;

WeightInputs Inputs(const std::vector<Input>& values)
{
    return test::ReadGivenInputs(values);
}

TEST(WeightCalculation, ResultsAsTheFieldsEndHoldingThem)
{
    struct Row {
        const char* Name;
        std::vector<Input> Values;
        // Held at the end: W1, W2, W3 in the fields' two decimals, W4, Ltot.
        double W1, W2, W3, W4, Length;
    };
    const Row rows[] = {
        {"worked example: W3 from 43.64 held as 36.97", test::WorkedExample(), 11.1, 43.64, 36.97, 48.07, 1150},
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
        const WeightResults results = CalculateWeights(Inputs(row.Values));
        ASSERT_TRUE(results.Complete());
        EXPECT_FALSE(results.Fault);
        EXPECT_NEAR(static_cast<double>(results[WeightResult::TravellingSystem]), row.W1, 1e-12);
        EXPECT_NEAR(static_cast<double>(results[WeightResult::NetString]), row.W2, 1e-12);
        EXPECT_NEAR(static_cast<double>(results[WeightResult::BuoyedString]), row.W3, 1e-12);
        EXPECT_NEAR(static_cast<double>(results[WeightResult::HookLoad]), row.W4, 1e-12);
        EXPECT_NEAR(static_cast<double>(results[WeightResult::TotalLength]), row.Length, 1e-12);
    }
}

TEST(WeightCalculation, TheHookLoadIsTheExactSumOfTheHeldWeightsAndTwoRunsAgreeToTheBit)
{
    const WeightResults results = CalculateWeights(Inputs(test::WorkedExample()));
    const WeightResults again = CalculateWeights(Inputs(test::WorkedExample()));
    EXPECT_EQ(results.Values, again.Values);
    // The buoyed weight, 36.968917... from the net weight held as 43.64, is
    // held as 36.97; the hook load is never held: it keeps the exact sum.
    const Extended metal = Real48::FromExtended(7.85L).ToExtended();
    const Extended buoyed = (metal - Real48::FromExtended(1.2L).ToExtended()) / metal * HeldInField(43.64L);
    EXPECT_NEAR(static_cast<double>(buoyed), 36.968917, 1e-6);
    EXPECT_EQ(results[WeightResult::BuoyedString], HeldInField(buoyed));
    EXPECT_EQ(results[WeightResult::HookLoad], HeldInField(buoyed) + HeldInField(11.1L));
}

TEST(WeightCalculation, AFaultEndsTheCalculationAtItsStepWithEarlierResultsKept)
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
        const WeightInputs inputs = Inputs({{WeightInput::KellyWeight, 2.5L},
                                            {SectionLength(1), 10},
                                            {SectionMetreWeight(1), 1},
                                            {WeightInput::MudGravity, row.Mud},
                                            {WeightInput::MetalGravity, row.Metal}});
        const WeightResults results = CalculateWeights(inputs);
        ASSERT_TRUE(results.Fault);
        try {
            std::rethrow_exception(results.Fault);
        } catch (const EMathError& error) {
            EXPECT_EQ(error.Message(), row.Message);
        }
        // The travelling system as written (never held before the fault), the
        // net weight as held for the division.
        EXPECT_EQ(results.Count, 2u);
        EXPECT_EQ(results[WeightResult::TravellingSystem], Real48::FromExtended(2.5L).ToExtended());
        EXPECT_EQ(results[WeightResult::NetString], HeldInField(0.01L));
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
