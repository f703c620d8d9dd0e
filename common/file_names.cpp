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

}  // namespace dw
