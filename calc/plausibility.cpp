// SPDX-License-Identifier: MIT
#include "calc/plausibility.h"

#include <algorithm>

namespace dw {

std::vector<PlausibilityFinding> FindImplausibleInputs(const std::array<Extended, kWeightInputCount>& inputs)
{
    std::vector<PlausibilityFinding> findings;
    if (std::all_of(inputs.begin(), inputs.end(), [](Extended x) { return x == 0; }))
        return findings;
    const auto at = [&inputs](WeightInput input) { return inputs[static_cast<std::size_t>(input)]; };

    // One finding per input at most, the first rule that holds; the section
    // rules name the field that is empty, where the missing number goes.
    std::array<bool, kWeightInputCount> found{};
    const auto add = [&](PlausibilityRule rule, WeightInput input, int section) {
        if (found[static_cast<std::size_t>(input)])
            return;
        found[static_cast<std::size_t>(input)] = true;
        findings.push_back({rule, input, section});
    };
    for (std::size_t i = 0; i < kWeightInputCount; ++i)
        if (inputs[i] < 0)
            add(PlausibilityRule::Negative, static_cast<WeightInput>(i), 0);
    for (int section = 1; section <= 8; ++section) {
        const Extended length = at(SectionLength(section));
        const Extended metreWeight = at(SectionMetreWeight(section));
        if (length != 0 && metreWeight == 0)
            add(PlausibilityRule::LengthWithoutMetreWeight, SectionMetreWeight(section), section);
        else if (metreWeight != 0 && length == 0)
            add(PlausibilityRule::MetreWeightWithoutLength, SectionLength(section), section);
    }
    const Extended mud = at(WeightInput::MudGravity);
    const Extended metal = at(WeightInput::MetalGravity);
    if (mud == 0)
        add(PlausibilityRule::MudGravityZero, WeightInput::MudGravity, 0);
    else if (mud > 0 && metal > 0 && mud >= metal)
        add(PlausibilityRule::MudNotLighterThanMetal, WeightInput::MudGravity, 0);

    std::stable_sort(findings.begin(), findings.end(),
                     [](const PlausibilityFinding& a, const PlausibilityFinding& b) { return a.Input < b.Input; });
    return findings;
}

}  // namespace dw
