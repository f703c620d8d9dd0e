// SPDX-License-Identifier: MIT
#pragma once

// Every file dialog of the report engine and its preview opens in the
// folder last used for saving or loading, which the profile remembers
// across runs in a section of its own (the main window's keys stay as
// they are).

#include <QString>

#include <string>

namespace dw {

// The profile the folder is kept in; empty (the default) remembers nothing.
// A bare name goes to the profile folder.
void SetFolderProfile(std::string profileName);
// The folder last used; empty when none is known or it is gone.
QString RememberedFolder();
// Remembers the folder of fileName. A profile that cannot be written is
// left as it is: forgetting a folder must not spoil a save that worked.
void RememberFolderOf(const QString& fileName);
// fileName in the remembered folder, unless it names a folder of its own.
QString InRememberedFolder(const QString& fileName);

// Section and key of the remembered folder in the profile.
inline constexpr const char* kFolderSection = "FileDialogs";
inline constexpr const char* kFolderKey = "Folder";

}  // namespace dw
