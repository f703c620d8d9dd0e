// SPDX-License-Identifier: MIT
#include "units/display_settings.h"

#include "storage/core/ini_file.h"
#include "tests/support/file_bytes.h"
#include "tests/support/profile_sandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace dw::units {
namespace {

constexpr std::optional<TLanguage> kNoLanguage;
constexpr std::optional<TUnitSystem> kNoUnits;

// What the program takes from a profile as the crew (or an editor) left it.
TEST(DisplaySettings, ReadFromTheProfile)
{
    struct Row {
        const char* Name;
        const char* Profile;  // nullptr: no profile file at all
        std::optional<TLanguage> Language;
        std::optional<TUnitSystem> Units;
        TLanguage ShownLanguage;
        TUnitSystem ShownUnits;
    };
    const TLanguage ru = TLanguage::Russian;
    const TLanguage en = TLanguage::English;
    const TUnitSystem metric = TUnitSystem::Metric;
    const TUnitSystem oilfield = TUnitSystem::Oilfield;
    const Row rows[] = {
        {"no profile: the designed window", nullptr, kNoLanguage, kNoUnits, ru, metric},
        {"a profile without the section", "[Form1]\r\nTop=10\r\n", kNoLanguage, kNoUnits, ru, metric},
        {"English and oilfield", "[Display]\r\nLanguage=en\r\nUnits=oilfield\r\n", en, oilfield, en, oilfield},
        {"Russian and metric chosen", "[Display]\r\nLanguage=ru\r\nUnits=metric\r\n", ru, metric, ru, metric},
        {"English words, metric units", "[Display]\r\nLanguage=en\r\nUnits=metric\r\n", en, metric, en, metric},
        {"Russian words, oilfield units", "[Display]\r\nLanguage=ru\r\nUnits=oilfield\r\n", ru, oilfield, ru, oilfield},
        {"units only", "[Display]\r\nUnits=oilfield\r\n", kNoLanguage, oilfield, ru, oilfield},
        {"edited by hand: capitals, spaces and quotes", "[display]\r\nlanguage = EN \r\nUNITS=\"Oilfield\"\r\n", en,
         oilfield, en, oilfield},
        {"unknown values read as none", "[Display]\r\nLanguage=english\r\nUnits=imperial\r\n", kNoLanguage, kNoUnits,
         ru, metric},
        {"empty values read as none", "[Display]\r\nLanguage=\r\nUnits=\r\n", kNoLanguage, kNoUnits, ru, metric},
        {"a value with more after it is no value", "[Display]\r\nLanguage=en;ru\r\nUnits=oilfield metric\r\n",
         kNoLanguage, kNoUnits, ru, metric},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        test::ProfileSandbox sandbox;
        if (row.Profile != nullptr) {
            std::filesystem::create_directories(sandbox.Config());
            test::WriteBytes(sandbox.Profile(), row.Profile);
        }
        const TIniFile profile("davov");
        const TDisplaySettings settings = ReadDisplaySettings(profile);
        EXPECT_EQ(settings.Language, row.Language);
        EXPECT_EQ(settings.Units, row.Units);
        EXPECT_EQ(settings.LanguageOrDesigned(), row.ShownLanguage);
        EXPECT_EQ(settings.UnitsOrDesigned(), row.ShownUnits);
    }
}

// A choice saved is the choice read next time; no choice leaves no trace,
// and the rest of the profile stays as it was.
TEST(DisplaySettings, WrittenToTheProfile)
{
    struct Row {
        const char* Name;
        const char* Before;
        TDisplaySettings Chosen;
        const char* After;
    };
    const Row rows[] = {
        {"a first choice adds the section",
         "[Form1]\r\nTop=10\r\n",
         {TLanguage::English, TUnitSystem::Oilfield},
         "[Form1]\r\nTop=10\r\n[Display]\r\nLanguage=en\r\nUnits=oilfield\r\n"},
        {"a changed choice replaces the values",
         "[Display]\r\nLanguage=en\r\nUnits=oilfield\r\n",
         {TLanguage::Russian, TUnitSystem::Metric},
         "[Display]\r\nLanguage=ru\r\nUnits=metric\r\n"},
        {"no choice removes the section",
         "[Form1]\r\nTop=10\r\n\r\n[Display]\r\nLanguage=en\r\nUnits=metric\r\n",
         {},
         "[Form1]\r\nTop=10\r\n\r\n"},
        {"a malformed value is replaced",
         "[Display]\r\nLanguage=klingon\r\n",
         {TLanguage::English, {}},
         "[Display]\r\nLanguage=en\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        test::ProfileSandbox sandbox;
        std::filesystem::create_directories(sandbox.Config());
        test::WriteBytes(sandbox.Profile(), row.Before);
        {
            TIniFile profile("davov");
            WriteDisplaySettings(profile, row.Chosen);
            EXPECT_EQ(ReadDisplaySettings(profile), row.Chosen);
        }
        EXPECT_EQ(test::ReadBytes(sandbox.Profile()), row.After);
    }
}

}  // namespace
}  // namespace dw::units
