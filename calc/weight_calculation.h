// SPDX-License-Identifier: MIT
#pragma once

// The weight of the drilling tool, as the calculate command works it out:
// the travelling system, the net string, the string in the mud, the hook
// load and the total length. Plain arithmetic on named inputs and results;
// the window maps its fields onto them.

#include "common/errors.h"
#include "numeric/core/extended.h"
#include "numeric/core/real48.h"

#include <array>
#include <cstddef>
#include <functional>

namespace dw {

// The 24 inputs, in the order the command reads them.
enum class WeightInput : std::size_t {
    KellyWeight,
    TravellingBlockWeight,
    DrillingLineWeight,
    HookWeight,
    SwivelWeight,
    DrillingHoseWeight,
    SectionLength1,                            // ... 8 in turn
    SectionMetreWeight1 = SectionLength1 + 8,  // ... 8 in turn
    MudGravity = SectionMetreWeight1 + 8,
    MetalGravity,
};
inline constexpr std::size_t kWeightInputCount = static_cast<std::size_t>(WeightInput::MetalGravity) + 1;
inline constexpr WeightInput SectionLength(int section)
{
    return static_cast<WeightInput>(static_cast<std::size_t>(WeightInput::SectionLength1) + section - 1);
}
inline constexpr WeightInput SectionMetreWeight(int section)
{
    return static_cast<WeightInput>(static_cast<std::size_t>(WeightInput::SectionMetreWeight1) + section - 1);
}

// The five results, in the order they are written.
enum class WeightResult : std::size_t { TravellingSystem, NetString, BuoyedString, HookLoad, TotalLength };
inline constexpr std::size_t kWeightResultCount = 5;

// The input's name in the program's words ("kelly weight", "length of
// section 3"), for messages that tell the user which input to correct.
MessageText WeightInputName(WeightInput input);

// The calculation's faults keep the floating-point messages, and say which
// input causes them, so the message can be worded for the crew.
// An input too large for the calculation's 6-byte reals.
class EWeightInputOverflow : public EOverflow {
public:
    explicit EWeightInputOverflow(WeightInput input);
    WeightInput Input() const noexcept { return m_input; }

private:
    WeightInput m_input;
};
// The buoyancy factor divides by the metal's specific gravity: with 0 there
// it is a division by zero, or 0 / 0 when the mud's gravity is 0 as well.
class EMetalGravityZeroDivide : public EZeroDivide {
public:
    EMetalGravityZeroDivide();
};
class EMetalGravityInvalidOp : public EInvalidOp {
public:
    EMetalGravityInvalidOp();
};

// Every input held at 40 significant bits, as it was read.
struct WeightInputs {
    std::array<Real48, kWeightInputCount> Values{};
    Extended operator[](WeightInput input) const { return Values[static_cast<std::size_t>(input)].ToExtended(); }
};

// Reads the inputs one by one in their order, each turned into a 6-byte real
// as soon as it is read: an input too large for one ends the reading there
// with "Floating point overflow" (EWeightInputOverflow naming it), before
// the later ones are read.
WeightInputs ReadWeightInputs(const std::function<Extended(WeightInput)>& read);

// Where the results go: a result is written, and some are read back as the
// place they were written to holds them (a field keeps two decimals).
class IWeightResults {
public:
    virtual void Write(WeightResult result, Extended value) = 0;
    virtual Extended ReadBack(WeightResult result) = 0;

protected:
    ~IWeightResults() = default;
};

// Works the results out step by step, writing each as soon as it exists.
// The buoyed weight starts from the net weight as read back, the hook load
// from the travelling system and buoyed weight as read back. A step whose
// arithmetic fails ("Floating point division by zero", "Invalid floating
// point operation", "Floating point overflow") raises its error before
// writing anything; what earlier steps wrote stays written. A metal gravity
// of 0 raises the two metal-gravity errors above.
void CalculateWeights(const WeightInputs& inputs, IWeightResults& results);

}  // namespace dw
