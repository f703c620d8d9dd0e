// SPDX-License-Identifier: MIT
#pragma once

// The crew's choice of language and units, kept in the profile's [Display]
// section: Language=ru|en and Units=metric|oilfield. A key that is absent,
// or holds anything else, is no choice at all, and no choice is the designed
// window: Russian and metric, whatever the locale.

#include "units/unit_table.h"

#include <cstdint>
#include <optional>

namespace dw {
class TIniFile;
}

namespace dw::units {

enum class TLanguage : std::uint8_t { Russian, English };

inline constexpr char kDisplaySection[] = "Display";
inline constexpr char kLanguageKey[] = "Language";
inline constexpr char kUnitsKey[] = "Units";

struct TDisplaySettings {
    std::optional<TLanguage> Language;  // absent: not chosen
    std::optional<TUnitSystem> Units;   // absent: not chosen

    TLanguage LanguageOrDesigned() const noexcept { return Language.value_or(TLanguage::Russian); }
    TUnitSystem UnitsOrDesigned() const noexcept { return Units.value_or(TUnitSystem::Metric); }
    bool operator==(const TDisplaySettings&) const = default;
};

// Reads the two keys; a value is taken whatever its letters' case and the
// spaces around it, as a hand-edited profile may have it. Reading never fails.
TDisplaySettings ReadDisplaySettings(const TIniFile& profile);

// Writes the chosen values in their lower-case form and removes the key of
// a value not chosen (the section goes with its last key), so a profile
// without a choice stays one. Raises what TIniFile raises when the profile
// cannot be written.
void WriteDisplaySettings(TIniFile& profile, const TDisplaySettings& settings);

}  // namespace dw::units
