// SPDX-License-Identifier: MIT
#pragma once

// The two unit systems a crew may work in and, for every kind of field the
// window has, how a number of that kind is shown in each: its decimals, its
// unit word and its display pattern. The calculation itself does not care
// which system the numbers are in (the thousandth turns kilograms into tonnes
// as it turns pounds into thousands of pounds, and the buoyancy term is a
// ratio of two gravities), so the units only matter where a number is typed,
// shown, printed or moved from one system to the other.

#include "common/message_text.h"
#include "numeric/core/extended.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dw::units {

enum class TUnitSystem : std::uint8_t { Metric, Oilfield };

// What a field holds, as far as its unit goes.
enum class TFieldKind : std::uint8_t {
    Length,           // a section's length: m / ft
    Diameter,         // a section's diameter: mm / in
    MetreWeight,      // a section's weight of one metre (foot): kg/m / lb/ft
    EquipmentWeight,  // the hoisting equipment's parts: t / klb
    ResultWeight,     // the calculated weights: t / klb
    ResultLength,     // the total string length: m / ft
    Gravity,          // mud and pipe steel: g/cm3 / ppg
};
inline constexpr std::size_t kFieldKindCount = 7;

// How one kind of field shows its number in one system.
struct TUnit {
    unsigned Decimals;       // shown and, when converted, held
    const char* NumberPart;  // the display pattern's number, without the unit
    SourceText Word;         // the unit word, English source of the catalogue
};

// The unit of a kind of field in a system.
const TUnit& UnitOf(TFieldKind kind, TUnitSystem system);

// The display pattern of a kind of field in a system, with the unit word as
// the window shows it (the catalogue's translation of UnitOf(...).Word, or
// the English source itself): "<number> <word>;-<number> <word>", the word
// quoted so its letters and marks are never read as the pattern's own.
std::string DisplayPattern(TFieldKind kind, TUnitSystem system, std::string_view shownWord);

// How many metric units one oilfield unit of the kind is, exactly as
// defined: 1 ft = 0.3048 m, 1 in = 25.4 mm, 1 lb/ft = 1.488163943 kg/m,
// 1 klb = 0.45359237 t, 1 ppg = 0.119826427 g/cm3.
Extended MetricPerOilfield(TFieldKind kind);

// The value in the other system, not rounded: what an export that keeps
// metric columns writes of an oilfield record, and reads back.
Extended ConvertExact(Extended value, TFieldKind kind, TUnitSystem from, TUnitSystem to);

// The value in the other system as a field of the kind holds it there once
// written: rounded to the target unit's decimals the way the field's edit
// text rounds (the locale's marks take no part). The same system leaves the
// value as it is.
Extended ConvertForField(Extended value, TFieldKind kind, TUnitSystem from, TUnitSystem to);

}  // namespace dw::units
