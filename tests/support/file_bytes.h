// SPDX-License-Identifier: MIT
#pragma once

// A file's bytes as they are, read or written whole; a file that cannot be
// read gives no bytes.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace dw::test {

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::string ReadBytes(const std::filesystem::path& path);
std::vector<std::uint8_t> ReadByteVector(const std::filesystem::path& path);

}  // namespace dw::test
