// SPDX-License-Identifier: MIT
#include "calc/weight_calculation.h"

#include "numeric/core/floating_point.h"
#include "numeric/core/num_edit_rules.h"
#include "numeric/core/number_parse.h"

namespace dw {

MessageText WeightInputName(WeightInput input)
{
    switch (input) {
        case WeightInput::KellyWeight:
            return DW_TEXT("Message", "kelly weight");
        case WeightInput::TravellingBlockWeight:
            return DW_TEXT("Message", "travelling block weight");
        case WeightInput::DrillingLineWeight:
            return DW_TEXT("Message", "drilling line weight");
        case WeightInput::HookWeight:
            return DW_TEXT("Message", "hook weight");
        case WeightInput::SwivelWeight:
            return DW_TEXT("Message", "swivel weight");
        case WeightInput::DrillingHoseWeight:
            return DW_TEXT("Message", "drilling hose weight");
        case WeightInput::MudGravity:
            return DW_TEXT("Message", "specific gravity of the mud");
        case WeightInput::MetalGravity:
            return DW_TEXT("Message", "specific gravity of the metal");
        default:
            break;
    }
    const auto index = static_cast<std::size_t>(input);
    const auto firstLength = static_cast<std::size_t>(WeightInput::SectionLength1);
    const auto firstMetreWeight = static_cast<std::size_t>(WeightInput::SectionMetreWeight1);
    if (index >= firstMetreWeight)
        return MessageText(DW_TEXT("Message", "weight of one metre of section %1"),
                           {MessageText::Verbatim(std::to_string(index - firstMetreWeight + 1))});
    return MessageText(DW_TEXT("Message", "length of section %1"),
                       {MessageText::Verbatim(std::to_string(index - firstLength + 1))});
}

EWeightInputOverflow::EWeightInputOverflow(WeightInput input)
    : EOverflow(MessageText(DW_TEXT3("Message", "Floating point overflow", "an input too large; %1 names it"),
                            {WeightInputName(input)})),
      m_input(input)
{
}

// The fault's own words first, then the field to fill in, so that the
// English says what the Russian does.
EMetalGravityZeroDivide::EMetalGravityZeroDivide()
    : EZeroDivide(MessageText(DW_TEXT3("Message", "Floating point division by zero: enter the %1", "metal gravity 0"),
                              {WeightInputName(WeightInput::MetalGravity)}))
{
}

EMetalGravityInvalidOp::EMetalGravityInvalidOp()
    : EInvalidOp(MessageText(DW_TEXT3("Message", "Invalid floating point operation: enter the %1", "metal gravity 0"),
                             {WeightInputName(WeightInput::MetalGravity)}))
{
}

WeightInputs ReadWeightInputs(const std::function<Extended(WeightInput)>& read)
{
    WeightInputs inputs;
    for (std::size_t i = 0; i < kWeightInputCount; ++i) {
        const auto input = static_cast<WeightInput>(i);
        try {
            inputs.Values[i] = Real48::FromExtended(read(input));
        } catch (const EOverflow&) {
            throw EWeightInputOverflow(input);
        }
    }
    return inputs;
}

Extended HeldInField(Extended value)
{
    // Exactly what a field does on a read after a write: its edit text, read
    // again; a text that cannot be read gives the field's lowest value, 0.
    try {
        return ParseNumber(NormalizeNumberText(EditTextFor(value, kFieldDecimalPlaces, true)));
    } catch (const std::exception&) {
        return 0;
    }
}

WeightResults CalculateWeights(const WeightInputs& in)
{
    WeightResults out;
    const auto write = [&out](WeightResult result, Extended value) {
        out.Values[static_cast<std::size_t>(result)] = value;
        out.Count = static_cast<std::size_t>(result) + 1;
    };
    // A result read back keeps the field's two decimals from then on.
    const auto hold = [&out](WeightResult result) {
        Extended& value = out.Values[static_cast<std::size_t>(result)];
        value = HeldInField(value);
        return value;
    };
    try {
        // Each step's arithmetic is checked on its own: the flags are cleared
        // after the holds (which format and parse text) and examined once the
        // step's result exists.
        ClearFloatingPointErrors();
        Extended travelling = in[WeightInput::KellyWeight];
        for (const WeightInput part :
             {WeightInput::TravellingBlockWeight, WeightInput::DrillingLineWeight, WeightInput::HookWeight,
              WeightInput::SwivelWeight, WeightInput::DrillingHoseWeight})
            travelling = travelling + in[part];
        CheckFloatingPointResult(travelling);
        write(WeightResult::TravellingSystem, travelling);

        // Kilograms per metre times metres, then tonnes: each product first.
        const Extended thousandth = ExtendedThousandth();
        ClearFloatingPointErrors();
        Extended net = (in[SectionMetreWeight(1)] * in[SectionLength(1)]) * thousandth;
        for (int section = 2; section <= 8; ++section)
            net = (in[SectionMetreWeight(section)] * in[SectionLength(section)]) * thousandth + net;
        CheckFloatingPointResult(net);
        write(WeightResult::NetString, net);

        const Extended netHeld = hold(WeightResult::NetString);
        ClearFloatingPointErrors();
        const Extended metal = in[WeightInput::MetalGravity];
        Extended buoyancy = (metal - in[WeightInput::MudGravity]) / metal;
        Extended buoyed = 0;
        // Only a metal gravity of 0 can fail here: every other value the
        // fields hold keeps the quotient and the product far inside the range.
        // The division is checked before the product, which would turn its
        // infinity into an invalid operation when the net weight is 0.
        try {
            CheckFloatingPointResult(buoyancy);
            buoyed = buoyancy * netHeld;
            CheckFloatingPointResult(buoyed);
        } catch (const EZeroDivide&) {
            if (metal != 0)
                throw;
            throw EMetalGravityZeroDivide();
        } catch (const EInvalidOp&) {
            if (metal != 0)
                throw;
            throw EMetalGravityInvalidOp();
        }
        write(WeightResult::BuoyedString, buoyed);

        const Extended travellingHeld = hold(WeightResult::TravellingSystem);
        const Extended buoyedHeld = hold(WeightResult::BuoyedString);
        ClearFloatingPointErrors();
        Extended hookLoad = buoyedHeld + travellingHeld;
        CheckFloatingPointResult(hookLoad);
        write(WeightResult::HookLoad, hookLoad);

        ClearFloatingPointErrors();
        Extended total = in[SectionLength(1)];
        for (int section = 2; section <= 8; ++section) total = total + in[SectionLength(section)];
        CheckFloatingPointResult(total);
        write(WeightResult::TotalLength, total);
    } catch (const EMathError&) {
        out.Fault = std::current_exception();
    }
    return out;
}

}  // namespace dw
