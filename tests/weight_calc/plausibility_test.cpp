// SPDX-License-Identifier: MIT
// What a tired operator types and the program should question before it
// reaches paper: each row is a form as the crew filled it in.

#include "calc/plausibility.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace dw {
namespace {

using Typed = std::initializer_list<std::pair<WeightInput, Extended>>;

// The worked example of the handbook: nothing in it to question.
std::array<Extended, kWeightInputCount> WorkedExample(Typed changes)
{
    std::array<Extended, kWeightInputCount> inputs{};
    const auto set = [&inputs](WeightInput input, Extended value) { inputs[static_cast<std::size_t>(input)] = value; };
    set(WeightInput::KellyWeight, 2.5L);
    set(WeightInput::TravellingBlockWeight, 4.2L);
    set(WeightInput::DrillingLineWeight, 1.8L);
    set(WeightInput::HookWeight, 1.3L);
    set(WeightInput::SwivelWeight, 1.1L);
    set(WeightInput::DrillingHoseWeight, 0.2L);
    set(SectionLength(1), 1000);
    set(SectionMetreWeight(1), 29);
    set(SectionLength(2), 150);
    set(SectionMetreWeight(2), 97.6L);
    set(WeightInput::MudGravity, 1.2L);
    set(WeightInput::MetalGravity, 7.85L);
    for (const auto& [input, value] : changes) set(input, value);
    return inputs;
}

TEST(Plausibility, WhatTheCrewTypedIsQuestioned)
{
    using R = PlausibilityRule;
    const struct {
        const char* name;
        Typed typed;
        std::vector<PlausibilityFinding> expected;
    } rows[] = {
        {"the worked example", {}, {}},
        {"a length of -150", {{SectionLength(2), -150}}, {{R::Negative, SectionLength(2), 0}}},
        {"a negative kelly weight", {{WeightInput::KellyWeight, -2.5L}}, {{R::Negative, WeightInput::KellyWeight, 0}}},
        {"a negative weight of a metre", {{SectionMetreWeight(1), -29}}, {{R::Negative, SectionMetreWeight(1), 0}}},
        {"a negative metal gravity",
         {{WeightInput::MetalGravity, -7.85L}},
         {{R::Negative, WeightInput::MetalGravity, 0}}},
        {"500 m in section 3 and no weight of a metre",
         {{SectionLength(3), 500}},
         {{R::LengthWithoutMetreWeight, SectionMetreWeight(3), 3}}},
        {"a weight of a metre in section 8 and no length",
         {{SectionMetreWeight(8), 29}},
         {{R::MetreWeightWithoutLength, SectionLength(8), 8}}},
        {"an empty mud gravity", {{WeightInput::MudGravity, 0}}, {{R::MudGravityZero, WeightInput::MudGravity, 0}}},
        {"mud as heavy as the steel",
         {{WeightInput::MudGravity, 7.85L}},
         {{R::MudNotLighterThanMetal, WeightInput::MudGravity, 0}}},
        {"mud and steel typed into each other's fields",
         {{WeightInput::MudGravity, 7.85L}, {WeightInput::MetalGravity, 1.2L}},
         {{R::MudNotLighterThanMetal, WeightInput::MudGravity, 0}}},
        {"heavy mud still lighter than the steel", {{WeightInput::MudGravity, 2.3L}}, {}},
        {"a negative mud gravity is only negative",
         {{WeightInput::MudGravity, -1.2L}},
         {{R::Negative, WeightInput::MudGravity, 0}}},
        {"a negative length without a weight of a metre is named once, as negative",
         {{SectionLength(4), -10}},
         {{R::Negative, SectionLength(4), 0}, {R::LengthWithoutMetreWeight, SectionMetreWeight(4), 4}}},
        {"several slips, in the order the inputs are read",
         {{WeightInput::MudGravity, 0}, {SectionLength(2), -150}, {WeightInput::HookWeight, -1}},
         {{R::Negative, WeightInput::HookWeight, 0},
          {R::Negative, SectionLength(2), 0},
          {R::MudGravityZero, WeightInput::MudGravity, 0}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<PlausibilityFinding> found = FindImplausibleInputs(WorkedExample(row.typed));
        ASSERT_EQ(found.size(), row.expected.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].Rule, row.expected[i].Rule) << i;
            EXPECT_EQ(found[i].Input, row.expected[i].Input) << i;
            EXPECT_EQ(found[i].Section, row.expected[i].Section) << i;
        }
    }
}

TEST(Plausibility, ABlankFormIsNotASlip)
{
    EXPECT_TRUE(FindImplausibleInputs({}).empty());
}

}  // namespace
}  // namespace dw
