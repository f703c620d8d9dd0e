// SPDX-License-Identifier: MIT
// A fault of the calculation says which input causes it, so the message can
// tell the crew what to correct; its English words stay the floating-point
// ones.

#include "calc/weight_calculation.h"

#include <gtest/gtest.h>

#include <typeinfo>

namespace dw {
namespace {

TEST(WeightFaultCause, AnInputTooLargeIsNamed)
{
    const struct {
        const char* name;
        WeightInput tooLarge;
        Extended value;
        const char* inputName;  // English, as the message carries it
    } rows[] = {
        {"first input", WeightInput::KellyWeight, 2e38L, "kelly weight"},
        {"negative line weight", WeightInput::DrillingLineWeight, -1e39L, "drilling line weight"},
        {"length of section 3", SectionLength(3), 1.8e38L, "length of section 3"},
        {"metre weight of section 8", SectionMetreWeight(8), 1e300L, "weight of one metre of section 8"},
        {"last input", WeightInput::MetalGravity, 5e38L, "specific gravity of the metal"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            ReadWeightInputs([&](WeightInput which) -> Extended { return which == row.tooLarge ? row.value : 1; });
            ADD_FAILURE() << "no error";
        } catch (const EWeightInputOverflow& error) {
            EXPECT_EQ(error.Input(), row.tooLarge);
            EXPECT_EQ(error.Message(), "Floating point overflow");
            ASSERT_EQ(error.Text().Arguments().size(), 1u);
            EXPECT_EQ(error.Text().Arguments()[0].English(), row.inputName);
            EXPECT_FALSE(error.Text().Disambiguation().empty());
        }
    }
}

TEST(WeightFaultCause, OnlyAMetalGravityOfZeroIsBlamedOnIt)
{
    const struct {
        const char* name;
        Extended mud, metal;
        const std::type_info* fault;  // none: the calculation goes through
    } rows[] = {
        {"metal 0, mud not", 1.2L, 0, &typeid(EMetalGravityZeroDivide)},
        {"both 0", 0, 0, &typeid(EMetalGravityInvalidOp)},
        {"negative zero metal", 1.2L, -0.0L, &typeid(EMetalGravityZeroDivide)},
        {"metal below the 6-byte range", 1.2L, 1e-39L, &typeid(EMetalGravityZeroDivide)},  // held as 0
        {"smallest metal held", 1.2L, 3e-38L, nullptr},
        {"mud 0 only", 0, 7.85L, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WeightInputs inputs;
        inputs.Values[static_cast<std::size_t>(WeightInput::MudGravity)] = Real48::FromExtended(row.mud);
        inputs.Values[static_cast<std::size_t>(WeightInput::MetalGravity)] = Real48::FromExtended(row.metal);
        const std::type_info* raised = nullptr;
        try {
            if (const WeightResults results = CalculateWeights(inputs); results.Fault)
                std::rethrow_exception(results.Fault);
        } catch (const EMathError& error) {
            raised = &typeid(error);
            EXPECT_FALSE(error.Text().Disambiguation().empty());
        }
        if (row.fault == nullptr) {
            EXPECT_EQ(raised, nullptr) << raised->name();
        } else {
            EXPECT_TRUE(raised != nullptr && *raised == *row.fault);
        }
    }
}

}  // namespace
}  // namespace dw
