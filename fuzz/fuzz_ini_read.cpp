// SPDX-License-Identifier: MIT
// Arbitrary bytes as the profile file: every read must come back with valid
// UTF-8 within the length limit, and a write must change exactly the key it
// names while every other key reads back as before.

#include "common/errors.h"
#include "fuzz/fuzz_support.h"
#include "common/utf8.h"
#include "storage/core/ini_document.h"
#include "storage/core/ini_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using dw::fuzz::Check;
using dw::fuzz::GetFile;
using dw::fuzz::PutFile;

const std::filesystem::path& Directory() { return dw::fuzz::ScratchDirectory("ini"); }

using Entries = std::vector<std::pair<std::string, std::string>>;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// What ReadString must give back for a value handed to WriteString.
std::string Expected(const std::string& value)
{
    std::string cleaned;
    for (std::size_t pos = 0; pos < value.size();) {
        const std::size_t len = dw::utf8::CharLength(value, pos);
        const unsigned char c = static_cast<unsigned char>(value[pos]);
        if (len == 1 && c >= 0x80)
            cleaned += "\xEF\xBF\xBD";
        else if (c == '\r' || c == '\n' || c == '\0')
            cleaned += ' ';
        else
            cleaned.append(value, pos, len);
        pos += len;
    }
    std::size_t first = 0, last = cleaned.size();
    while (first < last && IsBlank(cleaned[first])) ++first;
    while (last > first && IsBlank(cleaned[last - 1])) --last;
    cleaned = cleaned.substr(first, last - first);
    if (cleaned.size() >= 2 && cleaned.front() == cleaned.back() && (cleaned.front() == '"' || cleaned.front() == '\''))
        cleaned = cleaned.substr(1, cleaned.size() - 2);
    return std::string(dw::utf8::Left(cleaned, dw::TIniFile::kMaxValueChars));
}

void CheckValue(const std::string& value)
{
    Check(dw::utf8::IsValid(value), "value is not UTF-8");
    Check(dw::utf8::CodePointCount(value) <= dw::TIniFile::kMaxValueChars, "value over the limit");
}

std::vector<std::pair<std::string, Entries>> Snapshot(const dw::TIniFile& ini)
{
    std::vector<std::pair<std::string, Entries>> all;
    for (const auto& section : ini.ReadSections()) {
        Check(dw::utf8::IsValid(section), "section name is not UTF-8");
        all.emplace_back(section, ini.ReadSectionValues(section));
        for (const auto& [key, value] : all.back().second) {
            CheckValue(value);
            Check(ini.ReadString(section, key, "") == value, "section listing disagrees with ReadString");
        }
        if (all.size() == 32)
            break;
    }
    return all;
}

Entries Without(Entries entries, const std::string& key)
{
    std::erase_if(entries, [&](const auto& entry) { return dw::ProfileNamesEqual(entry.first, key); });
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path path = Directory() / "davov";
    PutFile(path, bytes);
    dw::TIniFile ini(path.string());

    CheckValue(ini.ReadString("TForm1", "Label14_Caption", ""));
    (void)ini.ReadInteger("TForm1", "Left", 0);
    (void)ini.ReadBool("TForm1", "Visible", false);
    const auto before = Snapshot(ini);

    // Write into the first section found (or a new one), to its first key or
    // a new one, a value cut from the input's tail.
    const std::string section = before.empty() ? "TForm1" : before.front().first;
    const std::string key =
        before.empty() || before.front().second.empty() ? "NormPos" : before.front().second.front().first;
    const std::string value = bytes.substr(bytes.size() - std::min<std::size_t>(bytes.size(), 48));
    const std::string fileBefore = GetFile(path);
    try {
        ini.WriteString(section, key, value);
    } catch (const dw::EFileError&) {
        // Only a name the file itself holds but that cannot be written back
        // (a NUL in it, say) may be refused, and then nothing changes.
        Check(GetFile(path) == fileBefore, "refused write changed the file");
        return 0;
    }
    Check(ini.ReadString(section, key, "<missing>") == Expected(value), "written value does not read back");
    const auto after = Snapshot(ini);
    Check(after.size() >= before.size(), "a section disappeared");
    for (std::size_t i = 0; i < before.size(); ++i) {
        Check(dw::ProfileNamesEqual(after[i].first, before[i].first), "section order changed");
        if (i == 0)
            Check(Without(after[i].second, key) == Without(before[i].second, key), "neighbour key changed");
        else
            Check(after[i].second == before[i].second, "other section changed");
    }

    // Erasing the last listed section leaves the others as they were.
    if (!after.empty()) {
        const std::string erased = after.back().first;
        ini.EraseSection(erased);
        Check(!ini.SectionExists(erased), "erased section still there");
        const auto rest = Snapshot(ini);
        Check(rest.size() + 1 == after.size() || after.size() == 32, "erase removed more than one section");
        for (std::size_t i = 0; i + 1 < after.size() && i < rest.size(); ++i)
            Check(rest[i] == after[i], "erase changed another section");
    }
    return 0;
}
