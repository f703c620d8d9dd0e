// SPDX-License-Identifier: MIT
#pragma once

// Which main-window field holds which input and result of the weight
// calculation. The field numbers are the designed components' names
// (CurrencyEdit38 is the kelly weight); this is the one place that says so.

#include "calc/weight_calculation.h"

#include <array>

namespace dw::fields {

inline constexpr int kKellyWeight = 38;
inline constexpr int kTravellingBlockWeight = 39;
inline constexpr int kDrillingLineWeight = 40;
inline constexpr int kHookWeight = 41;
inline constexpr int kSwivelWeight = 42;
inline constexpr int kDrillingHoseWeight = 43;
inline constexpr int kMudGravity = 44;
inline constexpr int kMetalGravity = 45;
inline constexpr int kFirstSectionLength = 9;        // ... 16
inline constexpr int kFirstSectionDiameter = 17;     // ... 24
inline constexpr int kFirstSectionMetreWeight = 25;  // ... 31 for sections 1 to 7
inline constexpr int kEighthSectionMetreWeight = 36;
inline constexpr int kTravellingSystemWeight = 32;
inline constexpr int kNetStringWeight = 33;
inline constexpr int kBuoyedStringWeight = 34;
inline constexpr int kHookLoad = 35;
inline constexpr int kTotalLength = 37;

// The field of each calculation input, in the inputs' order.
inline constexpr std::array<int, kWeightInputCount> kInputFields = [] {
    std::array<int, kWeightInputCount> f{};
    f[static_cast<std::size_t>(WeightInput::KellyWeight)] = kKellyWeight;
    f[static_cast<std::size_t>(WeightInput::TravellingBlockWeight)] = kTravellingBlockWeight;
    f[static_cast<std::size_t>(WeightInput::DrillingLineWeight)] = kDrillingLineWeight;
    f[static_cast<std::size_t>(WeightInput::HookWeight)] = kHookWeight;
    f[static_cast<std::size_t>(WeightInput::SwivelWeight)] = kSwivelWeight;
    f[static_cast<std::size_t>(WeightInput::DrillingHoseWeight)] = kDrillingHoseWeight;
    for (int section = 1; section <= 8; ++section) {
        f[static_cast<std::size_t>(SectionLength(section))] = kFirstSectionLength + section - 1;
        f[static_cast<std::size_t>(SectionMetreWeight(section))] =
            section < 8 ? kFirstSectionMetreWeight + section - 1 : kEighthSectionMetreWeight;
    }
    f[static_cast<std::size_t>(WeightInput::MudGravity)] = kMudGravity;
    f[static_cast<std::size_t>(WeightInput::MetalGravity)] = kMetalGravity;
    return f;
}();

// The field of each result, in the results' order.
inline constexpr std::array<int, kWeightResultCount> kResultFields{kTravellingSystemWeight, kNetStringWeight,
                                                                   kBuoyedStringWeight, kHookLoad, kTotalLength};

inline constexpr int InputField(WeightInput input)
{
    return kInputFields[static_cast<std::size_t>(input)];
}
inline constexpr int ResultField(WeightResult result)
{
    return kResultFields[static_cast<std::size_t>(result)];
}

}  // namespace dw::fields
