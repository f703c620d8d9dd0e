// SPDX-License-Identifier: MIT
#pragma once

// The crew handbook's worked example, for the tests and benchmarks that
// calculate it: its inputs (every other one 0) as the calculation reads
// them. It gives 11.1, 43.64, 36.97 (from 36.968917...), 48.07 t and 1150 m.

#include "calc/weight_calculation.h"

#include <vector>

namespace dw::test {

struct GivenInput {
    WeightInput Which;
    Extended Value;
};

inline const std::vector<GivenInput>& WorkedExample()
{
    static const std::vector<GivenInput> inputs{
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
    return inputs;
}

// The inputs as the calculation holds them; those not given are 0.
inline WeightInputs ReadGivenInputs(const std::vector<GivenInput>& given)
{
    return ReadWeightInputs([&given](WeightInput which) -> Extended {
        for (const GivenInput& input : given)
            if (input.Which == which)
                return input.Value;
        return 0;
    });
}

}  // namespace dw::test
