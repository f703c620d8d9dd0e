// SPDX-License-Identifier: MIT
#pragma once

// One measurement as the journal keeps it: when it was calculated, every
// input and result both as the number the calculation used and as the text
// its field showed, the weight indicator's reading, the note, and the page
// as it was printed.

#include "calc/weight_calculation.h"
#include "common/message_text.h"
#include "numeric/core/extended.h"
#include "units/unit_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dw {

// The 37 values in the journal's own order, the order of its file columns:
// the equipment, the two gravities, the lengths, the diameters, the weights
// of a metre, then the five results.
inline constexpr std::size_t kJournalValueCount = 37;
inline constexpr std::size_t kJournalFirstLength = 8;
inline constexpr std::size_t kJournalFirstDiameter = 16;
inline constexpr std::size_t kJournalFirstMetreWeight = 24;
inline constexpr std::size_t kJournalFirstResult = 32;
// The values a record is told apart by: every input and every diameter.
inline constexpr std::size_t kJournalInputCount = kJournalFirstResult;

std::size_t JournalIndex(WeightInput input) noexcept;
std::size_t JournalIndex(WeightResult result) noexcept;
// Section 1 to 8.
std::size_t JournalDiameterIndex(int section) noexcept;
// The column name of a value ("kelly_t", "length3_m", "hook_load_t").
const std::string& JournalValueName(std::size_t index);

// What kind of number a value is, for its unit: a length, a diameter, a
// weight of a metre (foot), equipment, a gravity or a result.
units::TFieldKind JournalValueKind(std::size_t index);
// The indicator's reading is read off the weight indicator as a piece of
// equipment's weight is typed: two decimals.
inline constexpr units::TFieldKind kIndicatorKind = units::TFieldKind::EquipmentWeight;

// The unit system as the journal and its file write it: "metric" or
// "oilfield"; nullopt for any other text.
const std::string& JournalUnitsName(units::TUnitSystem system);
std::optional<units::TUnitSystem> ParseJournalUnits(std::string_view text);

// The largest indicator reading a record takes, in tonnes.
inline constexpr Extended kMaxIndicatorReading = 10000;
// The longest note, in characters.
inline constexpr std::size_t kMaxNoteLength = 2000;

struct JournalRecord {
    std::int64_t Id = 0;  // 0 until the journal keeps it
    // Local date and time of the calculation, "YYYY-MM-DDTHH:MM:SS".
    std::string DateTime;
    // The date as the window stamped it and the time as the sheet printed
    // it; empty for a record brought in from a file.
    std::string DateText;
    std::string TimeText;
    std::array<Extended, kJournalValueCount> Values{};
    // The text each field showed; empty for a record brought in from a file.
    std::array<std::string, kJournalValueCount> Shown{};
    std::optional<Extended> Indicator;
    bool Printed = false;
    std::string Note;
    // The page as it was printed (a saved report's bytes); empty until printed.
    std::vector<std::uint8_t> Sheet;
    // The system every value (and the reading) was typed in and is kept in:
    // metres, millimetres, kg/m and tonnes, or feet, inches, lb/ft and klb.
    units::TUnitSystem Units = units::TUnitSystem::Metric;

    Extended Value(WeightInput input) const { return Values[JournalIndex(input)]; }
    Extended Value(WeightResult result) const { return Values[JournalIndex(result)]; }
    // The expected hook load less the indicator's reading; none without a reading.
    std::optional<Extended> Difference() const;
    // What tells a record apart from another: its date and time and its inputs.
    std::string Key() const;
};

// The key of a record from its date and time, its values as
// JournalNumberText writes them (the inputs are read) and its unit system:
// 100 ft is not 100 m. A metric record's key is what it always was.
std::string JournalKey(const std::string& dateTime, const std::array<std::string, kJournalValueCount>& valueTexts,
                       units::TUnitSystem system);

// A number as the journal writes it: the shortest text that reads back to the
// same value, a point as its mark, never an exponent for the sizes a field
// holds.
std::string JournalNumberText(Extended value);
// Reads what JournalNumberText writes (also with a leading sign or an
// exponent); nullopt for anything else, an infinity or a NaN.
std::optional<Extended> ParseJournalNumber(std::string_view text);

// Whether text is a real local date and time "YYYY-MM-DDTHH:MM:SS".
bool IsJournalDateTime(std::string_view text);

// Why a value cannot stand in a record, or nothing when it can: an input
// must fit the calculation's 6-byte reals, every value must be finite.
std::optional<MessageText> JournalValueFault(std::size_t index, Extended value);
// The reading in the record's units: 0 to 10000 t, or as many klb.
std::optional<MessageText> IndicatorFault(Extended value, units::TUnitSystem system = units::TUnitSystem::Metric);
std::optional<MessageText> NoteFault(std::string_view note);

}  // namespace dw
