// SPDX-License-Identifier: MIT
#include "units/display_settings.h"

#include "storage/core/ini_file.h"

#include <string>
#include <string_view>

namespace dw::units {
namespace {

std::string Canonical(std::string_view text)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

const char* LanguageName(TLanguage language)
{
    return language == TLanguage::English ? "en" : "ru";
}

const char* UnitsName(TUnitSystem system)
{
    return system == TUnitSystem::Oilfield ? "oilfield" : "metric";
}

}  // namespace

TDisplaySettings ReadDisplaySettings(const TIniFile& profile)
{
    TDisplaySettings settings;
    const std::string language = Canonical(profile.ReadString(kDisplaySection, kLanguageKey, ""));
    if (language == LanguageName(TLanguage::Russian))
        settings.Language = TLanguage::Russian;
    else if (language == LanguageName(TLanguage::English))
        settings.Language = TLanguage::English;
    const std::string units = Canonical(profile.ReadString(kDisplaySection, kUnitsKey, ""));
    if (units == UnitsName(TUnitSystem::Metric))
        settings.Units = TUnitSystem::Metric;
    else if (units == UnitsName(TUnitSystem::Oilfield))
        settings.Units = TUnitSystem::Oilfield;
    return settings;
}

void WriteDisplaySettings(TIniFile& profile, const TDisplaySettings& settings)
{
    TIniFile::Batch batch(profile);
    if (settings.Language)
        profile.WriteString(kDisplaySection, kLanguageKey, LanguageName(*settings.Language));
    else
        profile.DeleteKey(kDisplaySection, kLanguageKey);
    if (settings.Units)
        profile.WriteString(kDisplaySection, kUnitsKey, UnitsName(*settings.Units));
    else
        profile.DeleteKey(kDisplaySection, kUnitsKey);
    if (profile.SectionExists(kDisplaySection) && profile.ReadSection(kDisplaySection).empty())
        profile.EraseSection(kDisplaySection);
    batch.Commit();
}

}  // namespace dw::units
