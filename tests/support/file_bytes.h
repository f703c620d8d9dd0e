// SPDX-License-Identifier: MIT
#pragma once

// A file's bytes as they are, read or written whole; a file that cannot be
// read gives no bytes.

#include <filesystem>
#include <string>

namespace dw::test {

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& path);

}  // namespace dw::test
