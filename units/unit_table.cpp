// SPDX-License-Identifier: MIT
#include "units/unit_table.h"

#include "numeric/core/num_edit_rules.h"
#include "numeric/core/number_parse.h"

#include <cstddef>

namespace dw::units {
namespace {

struct KindUnits {
    TUnit Metric;
    TUnit Oilfield;
    Extended MetricPerOilfield;
};

// The metric words are the designed window's own units; the oilfield words
// are the short forms technical writing uses (in Russian фт, дюйм, фн/фт,
// кип, фн/гал), as a field shows its number and unit in its designed width. The metric words also name
// the window's fields for a screen reader in another context, hence their note.
// clang-format off
const std::array<KindUnits, kFieldKindCount> kUnits{{
    {{1, ",0.0", DW_TEXT("Message", "m")},
     {1, ",0.0", DW_TEXT("Message", "ft")}, 0.3048L},
    {{0, ",0.", DW_TEXT("Message", "mm")},
     {3, ",0.000", DW_TEXT("Message", "in")}, 25.4L},
    {{2, ",0.00", DW_TEXT("Message", "kg/m")},
     {2, ",0.00", DW_TEXT("Message", "lb/ft")}, 1.488163943L},
    {{2, ",0.00", DW_TEXT("Message", "t")},
     {2, ",0.00", DW_TEXT("Message", "klb")}, 0.45359237L},
    {{3, ",0.000", DW_TEXT("Message", "t")},
     {3, ",0.000", DW_TEXT("Message", "klb")}, 0.45359237L},
    {{1, ",0.0", DW_TEXT("Message", "m")},
     {1, ",0.0", DW_TEXT("Message", "ft")}, 0.3048L},
    {{2, ",0.00", DW_TEXT("Message", "g/cm3")},
     {2, ",0.00", DW_TEXT("Message", "ppg")}, 0.119826427L},
}};
// clang-format on

const KindUnits& UnitsOf(TFieldKind kind)
{
    return kUnits.at(static_cast<std::size_t>(kind));
}

// A pattern's literal, quoted. No unit word holds a quote; should a
// translation bring one, it is left out rather than let it end the literal.
std::string Literal(std::string_view word)
{
    std::string quoted = "'";
    for (const char c : word)
        if (c != '\'' && c != '"')
            quoted += c;
    quoted += '\'';
    return quoted;
}

Extended HeldWithDecimals(Extended value, unsigned decimals)
{
    // Exactly what a field does on a read after a write: its edit text, read
    // again; a text that cannot be read gives the field's lowest value, 0.
    try {
        return ParseNumber(NormalizeNumberText(EditTextFor(value, decimals, true)));
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace

const TUnit& UnitOf(TFieldKind kind, TUnitSystem system)
{
    const KindUnits& units = UnitsOf(kind);
    return system == TUnitSystem::Metric ? units.Metric : units.Oilfield;
}

std::string DisplayPattern(TFieldKind kind, TUnitSystem system, std::string_view shownWord)
{
    const std::string section = std::string(UnitOf(kind, system).NumberPart) + ' ' + Literal(shownWord);
    return section + ";-" + section;
}

Extended MetricPerOilfield(TFieldKind kind)
{
    return UnitsOf(kind).MetricPerOilfield;
}

Extended ConvertExact(Extended value, TFieldKind kind, TUnitSystem from, TUnitSystem to)
{
    if (from == to)
        return value;
    const Extended factor = MetricPerOilfield(kind);
    return to == TUnitSystem::Metric ? value * factor : value / factor;
}

Extended ConvertForField(Extended value, TFieldKind kind, TUnitSystem from, TUnitSystem to)
{
    if (from == to)
        return value;
    return HeldWithDecimals(ConvertExact(value, kind, from, to), UnitOf(kind, to).Decimals);
}

}  // namespace dw::units
