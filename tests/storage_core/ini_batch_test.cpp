// SPDX-License-Identifier: MIT
#include "common/errors.h"
#include "storage/core/ini_file.h"
#include "tests/storage_core/file_size_limit.h"
#include "tests/storage_core/profile_fixture.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <optional>
#include <stdexcept>
#include <thread>

namespace dw::test {
namespace {

class IniBatch : public ProfileTest {
protected:
    ino_t Inode() const
    {
        struct stat info {};
        return ::stat(Profile().c_str(), &info) == 0 ? info.st_ino : 0;
    }
};

using Action = std::function<void(TIniFile&)>;

Action Write(std::string section, std::string key, std::string value)
{
    return [=](TIniFile& ini) { ini.WriteString(section, key, value); };
}

// ---------------------------------------------------------------------------

struct CollectCase {
    const char* name;
    std::optional<std::string> before;  // nullopt: no file
    std::vector<Action> actions;
    std::optional<std::string> after;  // nullopt: still no file
    bool rewritten;                    // the commit replaced the file
};

TEST_F(IniBatch, WritesAreCollectedAndStoredOnceAtCommit)
{
    const CollectCase cases[] = {
        {"several keys and sections",
         "[S]\na=1\n",
         {Write("S", "a", "2"), Write("S", "b", "3"), Write("T", "c", "4")},
         "[S]\na=2\nb=3\n[T]\nc=4\n",
         true},
        {"a key written twice keeps the last value",
         "[S]\na=1\n",
         {Write("S", "a", "2"), Write("S", "a", "3")},
         "[S]\na=3\n",
         true},
        {"deletes and erases",
         "[S]\na=1\nb=2\n[T]\nz=0\n",
         {[](TIniFile& ini) { ini.DeleteKey("S", "a"); }, [](TIniFile& ini) { ini.EraseSection("T"); },
          Write("S", "c", "3")},
         "[S]\nb=2\nc=3\n",
         true},
        {"integers and booleans",
         "",
         {[](TIniFile& ini) { ini.WriteInteger("S", "n", -5); }, [](TIniFile& ini) { ini.WriteBool("S", "v", true); }},
         "[S]\nn=-5\nv=1\n",
         true},
        {"a new file appears only at commit", std::nullopt, {Write("S", "a", "1")}, "[S]\na=1\n", true},
        {"values as they are: no write", "[S]\n  a = 1 \n", {Write("s", "A", "1")}, "[S]\n  a = 1 \n", false},
        {"nothing but reads: no write",
         "[S]\na=1\n",
         {[](TIniFile& ini) { EXPECT_EQ(ini.ReadString("S", "a", ""), "1"); }},
         "[S]\na=1\n",
         false},
        {"no file and nothing written: none made",
         std::nullopt,
         {[](TIniFile& ini) { ini.DeleteKey("S", "a"); }},
         std::nullopt,
         false},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(Profile());
        if (c.before)
            WriteBytes(Profile(), *c.before);
        const ino_t inode = Inode();
        TIniFile ini("davov");
        TIniFile::Batch batch(ini);
        for (const Action& action : c.actions) {
            action(ini);
            // Nothing reaches the file before the commit.
            EXPECT_EQ(std::filesystem::exists(Profile()), c.before.has_value()) << c.name;
            if (c.before) {
                EXPECT_EQ(ReadBytes(Profile()), *c.before) << c.name;
            }
        }
        batch.Commit();
        EXPECT_EQ(std::filesystem::exists(Profile()), c.after.has_value()) << c.name;
        if (c.after) {
            EXPECT_EQ(ReadBytes(Profile()), *c.after) << c.name;
            EXPECT_EQ(Inode() != inode, c.rewritten) << c.name;
        }
        EXPECT_TRUE(OtherEntries(Config(), "davov").empty()) << c.name;
    }
}

TEST_F(IniBatch, InnerBatchesJoinTheOutermost)
{
    WriteBytes(Profile(), "[S]\na=1\n");
    TIniFile ini("davov");
    {
        TIniFile::Batch outer(ini);
        {
            TIniFile::Batch inner(ini);
            ini.WriteString("S", "a", "2");
            inner.Commit();
        }
        EXPECT_EQ(ReadBytes(Profile()), "[S]\na=1\n");
        {
            // An inner batch left without its commit leaves its changes to
            // the outer one.
            TIniFile::Batch inner(ini);
            ini.WriteString("S", "b", "3");
        }
        EXPECT_EQ(ini.ReadString("S", "b", ""), "3");
        outer.Commit();
    }
    EXPECT_EQ(ReadBytes(Profile()), "[S]\na=2\nb=3\n");
    // After the batch every call works on the file at once again.
    ini.WriteString("S", "c", "4");
    EXPECT_EQ(ReadBytes(Profile()), "[S]\na=2\nb=3\nc=4\n");
}

// ---------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    Action change;
    std::function<void(const TIniFile&)> check;
};

TEST_F(IniBatch, ReadsInABatchSeeItsOwnWrites)
{
    const ReadCase cases[] = {
        {"changed value", Write("S", "a", "9"),
         [](const TIniFile& ini) { EXPECT_EQ(ini.ReadInteger("S", "a", 0), 9); }},
        {"new key in file order", Write("S", "c", "3"),
         [](const TIniFile& ini) {
             EXPECT_TRUE(ini.ValueExists("s", "C"));
             EXPECT_EQ(ini.ReadSection("S"), (std::vector<std::string>{"a", "b", "c"}));
         }},
        {"new section", Write("U", "k", "\"quoted\""),
         [](const TIniFile& ini) {
             EXPECT_TRUE(ini.SectionExists("U"));
             EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"S", "T", "U"}));
             EXPECT_EQ(ini.ReadString("U", "k", ""), "quoted");
         }},
        {"deleted key", [](TIniFile& ini) { ini.DeleteKey("S", "a"); },
         [](const TIniFile& ini) {
             EXPECT_FALSE(ini.ValueExists("S", "a"));
             EXPECT_EQ(ini.ReadString("S", "a", "gone"), "gone");
         }},
        {"erased section", [](TIniFile& ini) { ini.EraseSection("T"); },
         [](const TIniFile& ini) {
             EXPECT_FALSE(ini.SectionExists("T"));
             EXPECT_TRUE(ini.ReadSectionValues("T").empty());
         }},
    };
    for (const auto& c : cases) {
        WriteBytes(Profile(), "[S]\na=1\nb=2\n[T]\nz=0\n");
        TIniFile ini("davov");
        TIniFile::Batch batch(ini);
        c.change(ini);
        c.check(ini);
        // Another object sees the file, not the batch.
        EXPECT_EQ(TIniFile("davov").ReadString("S", "a", ""), "1") << c.name;
        batch.Commit();
        c.check(TIniFile("davov"));
    }
}

// ---------------------------------------------------------------------------

struct FailureCase {
    const char* name;
    std::function<void()> setUp;
    Action inside;       // runs in the batch after two good writes
    bool failsAtCommit;  // else the failing call raises at once
};

TEST_F(IniBatch, AFailingStoreReportsTheErrorAndLeavesTheFileAsItWas)
{
    const std::string old = "[TForm1]\nLeft=5\n; note\n";
    const std::string huge(TIniFile::kFileBytesLimit, '7');
    const FailureCase cases[] = {
        {"disk full at commit", [] {}, Write("TForm1", "Top", std::string(4096, '7')), true},
        {"past the size limit at commit", [] {}, [&huge](TIniFile& ini) { ini.WriteString("TForm1", "Top", huge); },
         true},
        {"key that can never be stored", [] {}, Write("TForm1", "a=b", "1"), false},
        {"profile replaced by a directory meanwhile",
         [this] {
             std::filesystem::remove(Profile());
             std::filesystem::create_directory(Profile());
         },
         Write("TForm1", "Top", "1"), true},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(Profile());
        WriteBytes(Profile(), old);
        TIniFile ini("davov");
        {
            TIniFile::Batch batch(ini);
            ini.WriteString("TForm1", "Left", "6");
            ini.WriteString("TForm1", "Width", "300");
            c.setUp();
            try {
                std::optional<FileSizeLimit> limit;
                if (std::string_view(c.name) == "disk full at commit")
                    limit.emplace(64);
                c.inside(ini);
                ASSERT_TRUE(c.failsAtCommit) << c.name << ": the call itself should have failed";
                batch.Commit();
                ADD_FAILURE() << c.name << ": no error";
            } catch (const EFileError& error) {
                // The reason follows the name; which one depends on the row.
                EXPECT_EQ(error.Message().rfind("Unable to write to " + Profile().string() + ": ", 0), 0u)
                    << c.name << ": " << error.Message();
            }
        }
        if (std::filesystem::is_regular_file(Profile())) {
            EXPECT_EQ(ReadBytes(Profile()), old) << c.name;
        }
        EXPECT_TRUE(OtherEntries(Config(), "davov").empty()) << c.name;
        // Nothing of the batch is seen afterwards, and the object goes on.
        EXPECT_EQ(ini.ReadString("TForm1", "Width", "none"), "none") << c.name;
        if (std::filesystem::is_regular_file(Profile())) {
            EXPECT_EQ(ini.ReadString("TForm1", "Left", ""), "5") << c.name;
            ini.WriteString("TForm1", "Left", "7");
            EXPECT_EQ(ReadBytes(Profile()), "[TForm1]\nLeft=7\n; note\n") << c.name;
        }
    }
}

TEST_F(IniBatch, ABatchLeftByAnErrorStoresNothing)
{
    WriteBytes(Profile(), "[S]\na=1\n");
    TIniFile ini("davov");
    try {
        TIniFile::Batch batch(ini);
        ini.WriteString("S", "a", "2");
        ini.WriteString("S", "b", "3");
        throw std::runtime_error("a value could not be taken");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ReadBytes(Profile()), "[S]\na=1\n");
    EXPECT_EQ(ini.ReadString("S", "a", ""), "1");
    EXPECT_FALSE(ini.ValueExists("S", "b"));
}

// ---------------------------------------------------------------------------

struct OutsideCase {
    const char* name;
    std::function<void()> change;  // what someone else does
    const char* seen;              // "S"/"a" as read afterwards
};

TEST_F(IniBatch, AFileChangedBySomeoneElseBetweenBatchesIsSeen)
{
    const OutsideCase cases[] = {
        {"replaced by another object", [] { TIniFile("davov").WriteString("S", "a", "2"); }, "2"},
        {"edited in place", [this] { WriteBytes(Profile(), "[S]\na=333\n"); }, "333"},
        {"deleted", [this] { std::filesystem::remove(Profile()); }, "none"},
        {"made unreadable: a directory",
         [this] {
             std::filesystem::remove(Profile());
             std::filesystem::create_directory(Profile());
         },
         "none"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(Profile());
        WriteBytes(Profile(), "[S]\na=1\n");
        TIniFile ini("davov");
        {
            TIniFile::Batch batch(ini);
            EXPECT_EQ(ini.ReadString("S", "a", "none"), "1") << c.name;
            batch.Commit();
        }
        c.change();
        TIniFile::Batch batch(ini);
        EXPECT_EQ(ini.ReadString("S", "a", "none"), c.seen) << c.name;
        batch.Commit();
    }
}

TEST_F(IniBatch, ChangesMadeMeanwhileBySomeoneElseAreKept)
{
    const OutsideCase cases[] = {
        {"another object adds a key", [] { TIniFile("davov").WriteString("S", "other", "x"); }, "2"},
        {"edited in place", [this] { WriteBytes(Profile(), "[S]\na=1\nother=x\n"); }, "2"},
        {"deleted", [this] { std::filesystem::remove(Profile()); }, "2"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(Profile());
        WriteBytes(Profile(), "[S]\na=1\n");
        TIniFile ini("davov");
        {
            TIniFile::Batch batch(ini);
            EXPECT_EQ(ini.ReadString("S", "a", ""), "1") << c.name;
            ini.WriteString("S", "a", "2");
            c.change();
            batch.Commit();
        }
        // The batch's change is made on the file as it was left.
        const std::string expected = std::string_view(c.name) == "deleted" ? "[S]\na=2\n" : "[S]\na=2\nother=x\n";
        EXPECT_EQ(ReadBytes(Profile()), expected) << c.name;
        EXPECT_EQ(ini.ReadString("S", "a", ""), c.seen) << c.name;
    }
}

TEST_F(IniBatch, ATextHandedToTheNextObjectIsCheckedLikeAnyOther)
{
    struct Row {
        const char* file;
        std::function<void(const std::filesystem::path&)> change;
        const char* seen;
    };
    const Row rows[] = {
        {"unchanged", [](const std::filesystem::path&) {}, "1"},
        {"edited in place", [](const std::filesystem::path& path) { WriteBytes(path, "[S]\na=22\n"); }, "22"},
        {"replaced", [](const std::filesystem::path&) { TIniFile("replaced").WriteString("S", "a", "3"); }, "3"},
        {"deleted", [](const std::filesystem::path& path) { std::filesystem::remove(path); }, "none"},
    };
    // Only a file read well after its last change hands its text on: every
    // row's file is made first, and then left to settle.
    for (const auto& row : rows) WriteBytes(Config() / row.file, "[S]\na=1\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    for (const auto& row : rows) {
        EXPECT_EQ(TIniFile(row.file).ReadString("S", "a", "none"), "1") << row.file;
        row.change(Config() / row.file);
        EXPECT_EQ(TIniFile(row.file).ReadString("S", "a", "none"), row.seen) << row.file;
        TIniFile later(row.file);
        TIniFile::Batch batch(later);
        EXPECT_EQ(later.ReadString("S", "a", "none"), row.seen) << row.file;
    }
}

}  // namespace
}  // namespace dw::test
