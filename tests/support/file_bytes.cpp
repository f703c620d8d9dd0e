// SPDX-License-Identifier: MIT
#include "tests/support/file_bytes.h"

#include <fstream>
#include <iterator>

namespace dw::test {

void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    WriteBytes(path, std::string(bytes.begin(), bytes.end()));
}

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::uint8_t> ReadByteVector(const std::filesystem::path& path)
{
    const std::string bytes = ReadBytes(path);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace dw::test
