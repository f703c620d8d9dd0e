// SPDX-License-Identifier: MIT
#include "common/replace_file.h"
#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace dw {
namespace {

namespace fs = std::filesystem;

using test::ReadBytes;
using test::WriteBytes;

class ReplaceFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::random_device device;
        m_dir = fs::temp_directory_path() / ("dw-replace-" + std::to_string(device()) + std::to_string(device()));
        fs::create_directories(m_dir / "kept");
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    fs::path m_dir;
};

// What the caller names, and where the new contents must end up.
struct KindRow {
    const char* Name;
    // Makes the target in dir and returns the name given to the writer.
    std::function<fs::path(const fs::path& dir)> Make;
    // Where the contents land, relative to dir; empty when the target is refused.
    const char* WrittenTo;
    // The refusal's reason when refused.
    const char* Reason;
    bool NeedsRoot = false;
};

void PrintTo(const KindRow& row, std::ostream* out)
{
    *out << row.Name;
}

const KindRow kKinds[] = {
    {"NewFile", [](const fs::path& dir) { return dir / "out"; }, "out", nullptr},
    {"RegularFile",
     [](const fs::path& dir) {
         WriteBytes(dir / "out", "old");
         return dir / "out";
     },
     "out", nullptr},
    {"LinkToFile",
     [](const fs::path& dir) {
         WriteBytes(dir / "kept" / "real", "old");
         fs::create_symlink("kept/real", dir / "out");
         return dir / "out";
     },
     "kept/real", nullptr},
    {"DanglingLink",
     [](const fs::path& dir) {
         fs::create_symlink("kept/later", dir / "out");
         return dir / "out";
     },
     "kept/later", nullptr},
    {"Folder",
     [](const fs::path& dir) {
         fs::create_directory(dir / "out");
         return dir / "out";
     },
     nullptr, "it is a folder, not a file"},
    {"Pipe",
     [](const fs::path& dir) {
         ::mkfifo((dir / "out").c_str(), 0600);
         return dir / "out";
     },
     nullptr, "it is a pipe, not a file"},
    {"LinkToPipe",
     [](const fs::path& dir) {
         ::mkfifo((dir / "kept" / "pipe").c_str(), 0600);
         fs::create_symlink("kept/pipe", dir / "out");
         return dir / "out";
     },
     nullptr, "it is a pipe, not a file"},
    {"Socket",
     [](const fs::path& dir) {
         const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         const std::string path = (dir / "out").string();
         path.copy(address.sun_path, sizeof address.sun_path - 1);
         ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
         ::close(fd);
         return dir / "out";
     },
     nullptr, "it is a socket, not a file"},
    {"Device",
     [](const fs::path& dir) {
         ::mknod((dir / "out").c_str(), S_IFCHR | 0600, makedev(1, 7));  // as /dev/full
         return dir / "out";
     },
     nullptr, "it is a device, not a file", true},
};

class ReplaceFileKinds : public ReplaceFile, public ::testing::WithParamInterface<KindRow> {};

TEST_P(ReplaceFileKinds, ReplacesFilesThroughLinksAndRefusesEverythingElse)
{
    const KindRow& row = GetParam();
    if (row.NeedsRoot && ::geteuid() != 0) {
        GTEST_SKIP() << "making a device node needs root";
    }
    const fs::path given = row.Make(m_dir);
    const fs::file_type before = fs::symlink_status(given).type();

    if (row.WrittenTo != nullptr) {
        ReplaceFileWriter writer(given.string());
        writer.Write("new");
        writer.Commit();
        EXPECT_EQ(ReadBytes(m_dir / row.WrittenTo), "new");
        // A link stays a link; only its target is replaced.
        EXPECT_EQ(fs::symlink_status(given).type(),
                  before == fs::file_type::not_found ? fs::file_type::regular : before);
    } else {
        try {
            ReplaceFileWriter writer(given.string());
            ADD_FAILURE() << "not refused";
        } catch (const ENotAFile& error) {
            EXPECT_EQ(error.Reason().English(), row.Reason);
            EXPECT_EQ(error.Message(), "Cannot create file " + given.string() + ": " + row.Reason);
        }
        EXPECT_EQ(fs::symlink_status(given).type(), before);
    }
    // No temporary file stays beside either.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_dir)) {
        ++entries;
    }
    EXPECT_EQ(entries, 2u);  // "kept" and the target
}

// Until Commit the new contents have no name: a program killed while it
// writes leaves the folder as it was, and every later step still works.
TEST_F(ReplaceFile, UnfinishedContentsHaveNoNameInTheFolder)
{
    const fs::path target = m_dir / "report.VPR";
    WriteBytes(target, "old");
    ReplaceFileWriter writer(target.string());
    writer.Write(std::string(200000, 'x'));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "report.VPR"}));
    EXPECT_EQ(ReadBytes(target), "old");
    writer.Commit();
    EXPECT_EQ(ReadBytes(target), std::string(200000, 'x'));
    EXPECT_EQ(writer.TemporaryPath(), "");
}

// A target that cannot be created says why, in words that follow its name.
struct ReasonRow {
    const char* Name;
    std::function<fs::path(const fs::path& dir)> Make;
    const char* Reason;
};

void PrintTo(const ReasonRow& row, std::ostream* out)
{
    *out << row.Name;
}

class ReplaceFileReasons : public ReplaceFile, public ::testing::WithParamInterface<ReasonRow> {};

TEST_P(ReplaceFileReasons, NameWhatIsWrong)
{
    const fs::path given = GetParam().Make(m_dir);
    try {
        ReplaceFileWriter writer(given.string());
        writer.Write("new");
        writer.Commit();
        ADD_FAILURE() << "written";
    } catch (const EInOutError& error) {
        EXPECT_EQ(ReasonOf(error).English(), GetParam().Reason);
    }
}

const ReasonRow kReasons[] = {
    {"MissingFolder", [](const fs::path& dir) { return dir / "gone" / "report.VPR"; }, "the folder does not exist"},
    {"LinkLoop",
     [](const fs::path& dir) {
         fs::create_symlink("b.VPR", dir / "a.VPR");
         fs::create_symlink("a.VPR", dir / "b.VPR");
         return dir / "a.VPR";
     },
     "its links lead round in a loop"},
    {"NameTooLong", [](const fs::path& dir) { return dir / std::string(300, 'r'); }, "the name is too long"},
    {"FolderGivenAsFile", [](const fs::path& dir) { return dir / "kept"; }, "it is a folder, not a file"},
};

INSTANTIATE_TEST_SUITE_P(Table, ReplaceFileReasons, ::testing::ValuesIn(kReasons),
                         [](const auto& row) { return std::string(row.param.Name); });

INSTANTIATE_TEST_SUITE_P(Table, ReplaceFileKinds, ::testing::ValuesIn(kKinds),
                         [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
}  // namespace dw
