// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string_view>

namespace dw {

// The profile file's name is used unchanged. A bare name such as "davov" lives
// in one fixed per-user directory, the user's configuration directory:
// $XDG_CONFIG_HOME when it is set to an absolute path, else $HOME/.config
// (the home directory taken from the password database when HOME is unusable).
// Empty when no home directory can be found at all.
std::filesystem::path ProfileDirectory();

// True when the name carries a directory part and is therefore used as it is.
bool ProfileNameHasDirectory(std::string_view fileName);

// The absolute path of the file a profile name stands for. Empty when a bare
// name has no directory to go to or the name itself is empty.
std::filesystem::path ProfilePath(std::string_view fileName);

}  // namespace dw
