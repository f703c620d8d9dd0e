// SPDX-License-Identifier: MIT
#include "tests/storage_core/profile_fixture.h"

namespace dw::test {

std::vector<std::string> ProfileTest::OtherEntries(const std::filesystem::path& directory, const std::string& keep)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error))
        if (entry.path().filename() != keep)
            names.push_back(entry.path().filename().string());
    return names;
}

}  // namespace dw::test
