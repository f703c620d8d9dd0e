// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dw {

class TIniFile;

// A window's placement as the profile keeps it: the flags and show command of
// the placement record, the minimized and maximized positions and the normal
// (restored) rectangle, right and bottom exclusive.
struct TPlacementPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TPlacementPoint&, const TPlacementPoint&) = default;
};

struct TPlacementRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    friend bool operator==(const TPlacementRect&, const TPlacementRect&) = default;
};

// Placement flag: a minimized window comes back maximized.
inline constexpr std::int32_t kPlacementRestoreToMaximized = 2;

// Show commands of the placement record.
inline constexpr std::int32_t kShowHide = 0;
inline constexpr std::int32_t kShowNormal = 1;
inline constexpr std::int32_t kShowMinimized = 2;
inline constexpr std::int32_t kShowMaximized = 3;

struct TWindowPlacementRecord {
    std::int32_t Flags = 0;
    std::int32_t ShowCmd = kShowNormal;
    // (-1, -1): the window has no position of its own for that state.
    TPlacementPoint MinPosition{-1, -1};
    TPlacementPoint MaxPosition{-1, -1};
    TPlacementRect NormalPosition;
    friend bool operator==(const TWindowPlacementRecord&, const TWindowPlacementRecord&) = default;
};

// The primary screen when the keys are read or written.
struct TScreenMetrics {
    int Width = 0;
    int Height = 0;
    int PixelsPerInch = 96;
};

enum class TWindowShowState { Normal, Minimized, Maximized };

// "(1024x768)": placements are kept per screen size as well as under the
// plain key, so a window comes back where it was on the same screen.
std::string ScreenSuffix(const TScreenMetrics& screen);

// "%d,%d,%d,%d".
std::string FormatPlacementNumbers(const std::array<std::int32_t, 4>& numbers);

// Words 1 to 4 of a text split at "," (empty words skipped), each read as an
// integer; a missing or invalid word gives its default.
std::array<std::int32_t, 4> ParsePlacementNumbers(std::string_view text, const std::array<std::int32_t, 4>& defaults);

// The state a stored show command asks for: 1, 5, 9 normal; 2, 6, 7
// minimized; 3 maximized; anything else nothing.
std::optional<TWindowShowState> ShowStateFromCommand(std::int32_t showCmd);

struct TPlacementReadRequest {
    bool ReadPosition = true;
    bool ReadState = true;
    // The window's placement as it is now.
    TWindowPlacementRecord Current;
    // The window's bounds now (left, top, left + width, top + height): the
    // defaults of missing "NormPos" words.
    TPlacementRect Bounds;
    // A window whose frame cannot be dragged keeps its own size.
    bool FixedSize = false;
    TWindowShowState DefaultState = TWindowShowState::Normal;
    TScreenMetrics Screen;
};

struct TPlacementReadResult {
    // The current placement with what the keys said laid over it.
    TWindowPlacementRecord Placement;
    // The placement is to be applied: a position key held text, it was saved
    // at the screen's resolution and its normal rectangle is not empty.
    bool ApplyPosition = false;
    // The state to give the window (only when ReadState was asked).
    bool ApplyState = false;
    TWindowShowState State = TWindowShowState::Normal;
};

// Reads the placement keys of one section. Reading never fails: a missing
// file, section or key, or an invalid number, falls back to its default.
TPlacementReadResult ReadPlacementKeys(const TIniFile& ini, std::string_view section,
                                       const TPlacementReadRequest& request);

// A value that begins and ends with a double quote, or with a single quote,
// gets one more pair of double quotes: the reader removes one enclosing pair,
// so the value reads back as it was written.
std::string QuotedForProfile(std::string_view value);

// Without leading and trailing blanks and control characters, as stored
// values are written and read.
std::string_view TrimStoredText(std::string_view text);

// Writes "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" with the screen
// suffix and without, "NormPos" with the suffix and without, in that order.
// Raises EFileError when the file cannot be written.
void WritePlacementKeys(TIniFile& ini, std::string_view section, const TWindowPlacementRecord& placement,
                        const TScreenMetrics& screen);

}  // namespace dw
