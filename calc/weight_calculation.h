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
#include <exception>
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

// The number of decimals a field keeps of a value written to it: it holds
// the value in its edit text with two decimals and, when it is read, takes
// that text for the value.
inline constexpr unsigned kFieldDecimalPlaces = 2;

// A value as a result field holds it once written and read back: rounded to
// two decimals the way the field's edit text rounds it (the locale's marks
// take no part: the text is written and read with the same ones).
Extended HeldInField(Extended value);

// What one calculation leaves behind: each result as its field holds it when
// the command ends, in the order they are written, and the fault that ended
// the command early, if one did. The results of the steps before a fault stay
// (as held at that moment); those of the failed step and after it are absent.
struct WeightResults {
    std::array<Extended, kWeightResultCount> Values{};
    std::size_t Count = 0;     // results written, the first Count of Values
    std::exception_ptr Fault;  // the failed step's error; empty when all five exist

    bool Complete() const noexcept { return Count == kWeightResultCount; }
    bool Has(WeightResult result) const noexcept { return static_cast<std::size_t>(result) < Count; }
    Extended operator[](WeightResult result) const { return Values[static_cast<std::size_t>(result)]; }
};

// Works the results out step by step, in the fields' two-decimal hold where
// the command reads a result back: the buoyed weight starts from the net
// weight as held, the hook load from the travelling system and buoyed weight
// as held. A step whose arithmetic fails ("Floating point division by zero",
// "Invalid floating point operation", "Floating point overflow") ends the
// calculation with that error as the fault, before its result exists; a
// metal gravity of 0 gives the two metal-gravity errors above. Plain
// arithmetic: nothing outside the inputs is read or changed.
WeightResults CalculateWeights(const WeightInputs& inputs);

}  // namespace dw
