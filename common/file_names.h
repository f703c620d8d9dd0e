// SPDX-License-Identifier: MIT
#pragma once

// A name typed in a save dialog without an extension gets the extension of
// the file type chosen, so that the file is found again under that type; a
// name that has an extension of its own keeps it, whatever the type.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace dw {

// True when the last part of path (after the last '/') has an extension: a
// dot with something after it, not at the start (".profile" has none).
bool HasExtension(std::string_view path) noexcept;

// path with "." + extension appended unless it has an extension already or
// extension is empty. A path ending in '/' names no file and is kept.
std::string WithDefaultExtension(std::string_view path, std::string_view extension);

// A name typed in a save dialog that offers several types, each with its
// extension: a name ending in one of them (in any case) is saved as that
// type, whatever type is chosen in the dialog, so that the file is what its
// name says; any other name (bare, or with an extension none of the types
// has) keeps the chosen type and gets its extension added.
struct TypedSaveName {
    std::string Path;
    std::size_t Type = 0;  // index into the extensions
};
TypedSaveName FollowTypedExtension(std::string_view path, std::span<const std::string> extensions, std::size_t chosen);

// A file name (no folder) that USB sticks, memory cards and Windows shares
// take as it is: each character they refuse (< > : " / \\ | ? * and the
// control characters) becomes '-', and dots and blanks at the end, which
// they drop or refuse, are removed. Empty stays empty.
std::string PortableFileName(std::string_view name);

}  // namespace dw
