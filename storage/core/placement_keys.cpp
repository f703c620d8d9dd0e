// SPDX-License-Identifier: MIT
#include "storage/core/placement_keys.h"

#include "storage/core/ini_file.h"

#include <algorithm>
#include <limits>

namespace dw {

namespace {

constexpr std::string_view kFlags = "Flags";
constexpr std::string_view kShowCmd = "ShowCmd";
constexpr std::string_view kPixelsPerInch = "PixelsPerInch";
constexpr std::string_view kMinMaxPos = "MinMaxPos";
constexpr std::string_view kNormPos = "NormPos";

// Stored positions are whatever a file says; a fixed-size window's right
// edge is its stored left plus its own width, which must not overflow.
std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b)
{
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::int32_t SaturatingSub(std::int32_t a, std::int32_t b)
{
    const std::int64_t difference = static_cast<std::int64_t>(a) - b;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(difference, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// The key with the screen suffix, or the plain key when that one is empty.
std::string ReadPerScreen(const TIniFile& ini, std::string_view section, std::string_view key,
                          const std::string& suffix)
{
    std::string text = ini.ReadString(section, std::string(key) + suffix, "");
    if (text.empty())
        text = ini.ReadString(section, key, "");
    return text;
}

}  // namespace

std::string ScreenSuffix(const TScreenMetrics& screen)
{
    return "(" + std::to_string(screen.Width) + "x" + std::to_string(screen.Height) + ")";
}

std::string FormatPlacementNumbers(const std::array<std::int32_t, 4>& numbers)
{
    std::string text;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(numbers[i]);
    }
    return text;
}

std::array<std::int32_t, 4> ParsePlacementNumbers(std::string_view text, const std::array<std::int32_t, 4>& defaults)
{
    std::array<std::int32_t, 4> numbers = defaults;
    std::size_t word = 0;
    std::size_t pos = 0;
    while (pos <= text.size() && word < numbers.size()) {
        const std::size_t comma = text.find(',', pos);
        const std::size_t end = comma == std::string_view::npos ? text.size() : comma;
        if (end > pos) {
            if (const auto value = ParseProfileInteger(text.substr(pos, end - pos)))
                numbers[word] = *value;
            ++word;
        }
        if (comma == std::string_view::npos)
            break;
        pos = comma + 1;
    }
    return numbers;
}

std::optional<TWindowShowState> ShowStateFromCommand(std::int32_t showCmd)
{
    switch (showCmd) {
        case 1:
        case 5:
        case 9:
            return TWindowShowState::Normal;
        case 2:
        case 6:
        case 7:
            return TWindowShowState::Minimized;
        case 3:
            return TWindowShowState::Maximized;
        default:
            return std::nullopt;
    }
}

TPlacementReadResult ReadPlacementKeys(const TIniFile& ini, std::string_view section,
                                       const TPlacementReadRequest& request)
{
    TPlacementReadResult result;
    result.Placement = request.Current;
    if (!request.ReadPosition && !request.ReadState)
        return result;

    if (request.ReadPosition) {
        TWindowPlacementRecord& placement = result.Placement;
        const std::string suffix = ScreenSuffix(request.Screen);
        placement.Flags = ini.ReadInteger(section, kFlags, request.Current.Flags);

        bool found = false;
        const std::string minMax = ReadPerScreen(ini, section, kMinMaxPos, suffix);
        if (!minMax.empty()) {
            found = true;
            const auto numbers = ParsePlacementNumbers(minMax, {0, 0, 0, 0});
            placement.MinPosition = {numbers[0], numbers[1]};
            placement.MaxPosition = {numbers[2], numbers[3]};
        }
        const std::string normal = ReadPerScreen(ini, section, kNormPos, suffix);
        if (!normal.empty()) {
            found = true;
            const TPlacementRect& bounds = request.Bounds;
            const auto numbers = ParsePlacementNumbers(normal, {bounds.Left, bounds.Top, bounds.Right, bounds.Bottom});
            placement.NormalPosition = {numbers[0], numbers[1], numbers[2], numbers[3]};
        }
        const std::int32_t ppi = ini.ReadInteger(section, kPixelsPerInch, request.Screen.PixelsPerInch);

        // A placement saved at another resolution would put the window at
        // the wrong place and size; it is then left as it is.
        if (found && ppi == request.Screen.PixelsPerInch) {
            TPlacementRect& rect = placement.NormalPosition;
            if (request.FixedSize) {
                const TPlacementRect& bounds = request.Bounds;
                rect.Right = SaturatingAdd(rect.Left, SaturatingSub(bounds.Right, bounds.Left));
                rect.Bottom = SaturatingAdd(rect.Top, SaturatingSub(bounds.Bottom, bounds.Top));
            }
            result.ApplyPosition = rect.Left < rect.Right;
        }
    }

    if (request.ReadState) {
        result.ApplyState = true;
        result.State = ShowStateFromCommand(ini.ReadInteger(section, kShowCmd, 0)).value_or(request.DefaultState);
    }
    return result;
}

std::string QuotedForProfile(std::string_view value)
{
    const bool quoted =
        !value.empty() && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    if (!quoted)
        return std::string(value);
    return "\"" + std::string(value) + "\"";
}

std::string_view TrimStoredText(std::string_view text)
{
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

void WritePlacementKeys(TIniFile& ini, std::string_view section, const TWindowPlacementRecord& placement,
                        const TScreenMetrics& screen)
{
    const std::string suffix = ScreenSuffix(screen);
    ini.WriteInteger(section, kFlags, placement.Flags);
    ini.WriteInteger(section, kShowCmd, placement.ShowCmd);
    ini.WriteInteger(section, kPixelsPerInch, screen.PixelsPerInch);
    const std::string minMax = FormatPlacementNumbers(
        {placement.MinPosition.X, placement.MinPosition.Y, placement.MaxPosition.X, placement.MaxPosition.Y});
    ini.WriteString(section, std::string(kMinMaxPos) + suffix, minMax);
    ini.WriteString(section, kMinMaxPos, minMax);
    const TPlacementRect& rect = placement.NormalPosition;
    const std::string normal = FormatPlacementNumbers({rect.Left, rect.Top, rect.Right, rect.Bottom});
    ini.WriteString(section, std::string(kNormPos) + suffix, normal);
    ini.WriteString(section, kNormPos, normal);
}

}  // namespace dw
