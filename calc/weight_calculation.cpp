// SPDX-License-Identifier: MIT
#include "calc/weight_calculation.h"

#include "numeric/core/floating_point.h"

namespace dw {

WeightInputs ReadWeightInputs(const std::function<Extended(WeightInput)>& read)
{
    WeightInputs inputs;
    for (std::size_t i = 0; i < kWeightInputCount; ++i)
        inputs.Values[i] = Real48::FromExtended(read(static_cast<WeightInput>(i)));
    return inputs;
}

void CalculateWeights(const WeightInputs& in, IWeightResults& results)
{
    // Each step's arithmetic is checked on its own: the flags are cleared
    // after the read-backs (which may run code of the place written to) and
    // examined once the step's result exists.
    ClearFloatingPointErrors();
    Extended travelling = in[WeightInput::KellyWeight];
    for (const WeightInput part : {WeightInput::TravellingBlockWeight, WeightInput::DrillingLineWeight,
                                   WeightInput::HookWeight, WeightInput::SwivelWeight, WeightInput::DrillingHoseWeight})
        travelling = travelling + in[part];
    CheckFloatingPointResult(travelling);
    results.Write(WeightResult::TravellingSystem, travelling);

    // Kilograms per metre times metres, then tonnes: each product first.
    const Extended thousandth = ExtendedThousandth();
    ClearFloatingPointErrors();
    Extended net = (in[SectionMetreWeight(1)] * in[SectionLength(1)]) * thousandth;
    for (int section = 2; section <= 8; ++section)
        net = (in[SectionMetreWeight(section)] * in[SectionLength(section)]) * thousandth + net;
    CheckFloatingPointResult(net);
    results.Write(WeightResult::NetString, net);

    const Extended netShown = results.ReadBack(WeightResult::NetString);
    ClearFloatingPointErrors();
    const Extended metal = in[WeightInput::MetalGravity];
    const Extended buoyancy = (metal - in[WeightInput::MudGravity]) / metal;
    Extended buoyed = buoyancy * netShown;
    CheckFloatingPointResult(buoyed);
    results.Write(WeightResult::BuoyedString, buoyed);

    const Extended travellingShown = results.ReadBack(WeightResult::TravellingSystem);
    const Extended buoyedShown = results.ReadBack(WeightResult::BuoyedString);
    ClearFloatingPointErrors();
    Extended hookLoad = buoyedShown + travellingShown;
    CheckFloatingPointResult(hookLoad);
    results.Write(WeightResult::HookLoad, hookLoad);

    ClearFloatingPointErrors();
    Extended total = in[SectionLength(1)];
    for (int section = 2; section <= 8; ++section) total = total + in[SectionLength(section)];
    CheckFloatingPointResult(total);
    results.Write(WeightResult::TotalLength, total);
}

}  // namespace dw
