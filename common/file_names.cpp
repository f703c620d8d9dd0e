// SPDX-License-Identifier: MIT
#include "common/file_names.h"

namespace dw {

bool HasExtension(std::string_view path) noexcept
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot != std::string_view::npos && dot > 0 && dot + 1 < name.size();
}

std::string WithDefaultExtension(std::string_view path, std::string_view extension)
{
    std::string result(path);
    if (extension.empty() || path.empty() || path.back() == '/' || HasExtension(path)) {
        return result;
    }
    // "report." gets no second dot.
    if (result.back() != '.') {
        result += '.';
    }
    result += extension;
    return result;
}

namespace {

bool SameAsciiLetters(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

TypedSaveName FollowTypedExtension(std::string_view path, std::span<const std::string> extensions, std::size_t chosen)
{
    if (HasExtension(path)) {
        const std::string_view extension = path.substr(path.rfind('.') + 1);
        for (std::size_t i = 0; i < extensions.size(); ++i) {
            if (!extensions[i].empty() && SameAsciiLetters(extension, extensions[i])) {
                return {std::string(path), i};
            }
        }
    }
    TypedSaveName result{std::string(path), chosen};
    if (chosen >= extensions.size() || extensions[chosen].empty() || path.empty() || path.back() == '/') {
        return result;
    }
    // "report." gets no second dot; "report.bak" becomes "report.bak.VPR".
    if (result.Path.back() != '.') {
        result.Path += '.';
    }
    result.Path += extensions[chosen];
    return result;
}

std::string PortableFileName(std::string_view name)
{
    std::string result;
    result.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        // Bytes of 0x80 and above belong to UTF-8 sequences and pass.
        const bool refused =
            byte < 0x20 || byte == 0x7F || std::string_view(R"(<>:"/\|?*)").find(c) != std::string_view::npos;
        result += refused ? '-' : c;
    }
    while (!result.empty() && (result.back() == '.' || result.back() == ' ')) {
        result.pop_back();
    }
    return result;
}

}  // namespace dw
