// SPDX-License-Identifier: MIT
#pragma once

// Inputs a crew cannot mean, found before they reach paper. The calculation
// computes any number it is given; these rules only point at what a tired
// operator most likely mistyped, so the window can mark the field and the
// print command can ask once before printing.

#include "calc/weight_calculation.h"
#include "numeric/core/extended.h"

#include <array>
#include <vector>

namespace dw {

enum class PlausibilityRule {
    Negative,                  // a length, weight or gravity below zero
    LengthWithoutMetreWeight,  // a section with a length and no weight of a metre
    MetreWeightWithoutLength,  // a weight of a metre with no length
    MudGravityZero,            // an empty mud gravity counts as 0
    MudNotLighterThanMetal,    // mud at least as heavy as the steel (a steel
                               // gravity of 0 or below is a fault or a finding
                               // of its own)
};

struct PlausibilityFinding {
    PlausibilityRule Rule;
    WeightInput Input;  // the input to correct
    int Section = 0;    // 1 ... 8 for the section rules, else 0
};

// The findings over the inputs as they stand, in the order the inputs are
// read (so the first finding names the first field to correct). A form
// with every input at zero is blank, not mistyped: it has no findings.
std::vector<PlausibilityFinding> FindImplausibleInputs(const std::array<Extended, kWeightInputCount>& inputs);

}  // namespace dw
