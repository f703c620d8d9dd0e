// SPDX-License-Identifier: MIT
#include "journal/core/journal.h"
#include "journal/core/journal_csv.h"
#include "tests/journal_core/journal_test_support.h"
#include "tests/support/file_bytes.h"
#include "tests/support/profile_sandbox.h"

#include <sqlite3.h>

#include <csignal>
#include <functional>
#include <iostream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace dw {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::SampleRecord;
using test::TemporaryFolder;
using test::WriteBytes;

TEST(Journal, LivesAmongTheUsersDataAndIsMadeOnTheFirstRecord)
{
    test::ProfileSandbox sandbox;
    const std::string file = Journal::DefaultFileName();
    EXPECT_EQ(fs::path(file), sandbox.JournalFile());
    Journal journal(file);
    // Looking makes nothing.
    EXPECT_TRUE(journal.Summaries().empty());
    EXPECT_FALSE(fs::exists(sandbox.Data() / "drillweight"));
    const std::int64_t id = journal.Add(SampleRecord(1, "first"));
    EXPECT_TRUE(fs::is_regular_file(file));
    // The record reads back as it was kept, pages and texts included.
    JournalRecord kept = SampleRecord(1, "first");
    journal.MarkPrinted(id, {1, 2, 3});
    journal.SetIndicator(id, 39.5L);
    const std::optional<JournalRecord> read = Journal(file).Read(id);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Values, kept.Values);
    EXPECT_EQ(read->Shown, kept.Shown);
    EXPECT_EQ(read->DateText, kept.DateText);
    EXPECT_EQ(read->TimeText, kept.TimeText);
    EXPECT_EQ(read->Units, units::TUnitSystem::Metric);
    EXPECT_TRUE(read->Printed);
    EXPECT_EQ(read->Sheet, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(read->Difference(), 40.125L + 1 - 39.5L);
}

// Whatever cannot be written costs the record, with the reason; never
// anything else.
TEST(Journal, UnwritableJournalSaysWhy)
{
    struct Row {
        const char* Name;
        std::function<std::string(const fs::path&)> Prepare;  // returns the journal's name
        const char* Said;
    };
    const std::vector<Row> rows{
        {"its folder is a file",
         [](const fs::path& root) {
             WriteBytes(root / "drillweight", std::string("x"));
             return (root / "drillweight" / "journal.sqlite").string();
         },
         "its folder cannot be made"},
        {"the journal is a folder",
         [](const fs::path& root) {
             fs::create_directories(root / "journal.sqlite");
             return (root / "journal.sqlite").string();
         },
         "it is a folder, not a file"},
        {"read-only folder",
         [](const fs::path& root) {
             fs::create_directories(root / "ro");
             return test::MakeUnwritable(root / "ro") ? (root / "ro" / "journal.sqlite").string() : std::string();
         },
         "File access denied"},
        {"read-only file",
         [](const fs::path& root) {
             const std::string file = (root / "journal.sqlite").string();
             Journal(file).Add(SampleRecord(0));
             return test::MakeUnwritable(file) ? file : std::string();
         },
         "read-only"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TemporaryFolder folder;
        const std::string file = row.Prepare(folder.Path());
        if (file.empty()) {
            std::cout << "[  SKIPPED ] " << row.Name << ": nothing can be made unwritable here\n";
            continue;
        }
        Journal journal(file);
        try {
            journal.Add(SampleRecord(1));
            ADD_FAILURE() << "kept";
        } catch (const EJournalError& error) {
            EXPECT_NE(error.Message().find(row.Said), std::string::npos) << error.Message();
            EXPECT_NE(error.Message().find(journal.FileName()), std::string::npos) << error.Message();
        }
    }
}

// A disk that fills up during a write costs that write, with the reason; the
// journal keeps what it had. The full disk is a limit on how large a file
// the writing process may make, set in a child process of its own.
TEST(Journal, FullDiskSaysSoAndKeepsTheJournalWhole)
{
    TemporaryFolder folder;
    const std::string file = (folder.Path() / "journal.sqlite").string();
    Journal(file).Add(SampleRecord(0, "before"));
    std::vector<JournalRecord> records;
    for (int i = 1; i <= 5000; ++i) records.push_back(SampleRecord(i, std::string(400, 'n')));
    int said[2];
    ASSERT_EQ(::pipe(said), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(said[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(fs::file_size(file) + 1024 * 1024),
                           static_cast<rlim_t>(fs::file_size(file) + 1024 * 1024)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string message = "imported";
        try {
            Journal(file).Import(records);
        } catch (const EJournalError& error) {
            message = error.Message();
        }
        (void)!::write(said[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(said[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = ::read(said[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<std::size_t>(n));
    ::close(said[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_NE(message.find("full"), std::string::npos) << message;
    Journal journal(file);
    EXPECT_EQ(journal.Count(), 1u);
    EXPECT_FALSE(journal.TakeNotice());
}

TEST(Journal, LockedByAnotherProgramSaysSoAndKeepsNothingHalf)
{
    TemporaryFolder folder;
    const std::string file = (folder.Path() / "journal.sqlite").string();
    Journal(file).Add(SampleRecord(0));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    Journal journal(file);
    try {
        journal.Add(SampleRecord(1));
        ADD_FAILURE() << "kept";
    } catch (const EJournalError& error) {
        EXPECT_NE(error.Message().find("locked"), std::string::npos) << error.Message();
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    // Once let go, the same journal object keeps records again.
    journal.Add(SampleRecord(2));
    EXPECT_EQ(journal.Count(), 2u);
}

// A damaged file is set aside unchanged under a name that says so, the user
// is told once, and a new journal takes the record.
TEST(Journal, DamagedFileIsKeptAsideAndANewJournalStarted)
{
    struct Row {
        const char* Name;
        std::function<void(const std::string&)> Damage;
    };
    const std::vector<Row> rows{
        {"not a database", [](const std::string& file) { WriteBytes(file, std::string(5000, 'z')); }},
        {"pages overwritten",
         [](const std::string& file) {
             {
                 Journal journal(file);
                 std::vector<JournalRecord> many;
                 for (int i = 0; i < 300; ++i) many.push_back(SampleRecord(i, std::string(200, 'n')));
                 journal.Import(many);
             }
             std::string bytes = ReadBytes(file);
             for (std::size_t i = 4096; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
             WriteBytes(file, bytes);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TemporaryFolder folder;
        const std::string file = (folder.Path() / "journal.sqlite").string();
        row.Damage(file);
        fs::remove(file + "-wal");
        fs::remove(file + "-shm");
        const std::string damaged = ReadBytes(file);
        Journal journal(file);
        journal.Summaries();
        journal.Add(SampleRecord(1));
        EXPECT_EQ(journal.Count(), 1u);
        const std::optional<MessageText> notice = journal.TakeNotice();
        ASSERT_TRUE(notice);
        EXPECT_NE(notice->English().find("was damaged"), std::string::npos);
        EXPECT_FALSE(journal.TakeNotice());  // said once
        std::vector<fs::path> aside;
        for (const auto& entry : fs::directory_iterator(folder.Path()))
            if (entry.path().filename().string().find("journal.sqlite.damaged-") == 0 &&
                entry.path().extension() != ".sqlite-wal")
                aside.push_back(entry.path());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(ReadBytes(aside[0]), damaged);
        EXPECT_NE(notice->English().find(aside[0].string()), std::string::npos);
    }
}

TEST(Journal, ANewerProgramsJournalIsLeftAlone)
{
    TemporaryFolder folder;
    const std::string file = (folder.Path() / "journal.sqlite").string();
    Journal(file).Add(SampleRecord(0));
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    Journal journal(file);
    EXPECT_THROW(journal.Add(SampleRecord(1)), EJournalError);
    EXPECT_FALSE(journal.TakeNotice());
}

// Two instances of the program calculating at once both keep every record.
TEST(Journal, TwoProcessesWritingKeepEveryRecord)
{
    TemporaryFolder folder;
    const std::string file = (folder.Path() / "journal.sqlite").string();
    constexpr int kEach = 150;
    std::vector<pid_t> children;
    for (int p = 0; p < 2; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            try {
                Journal journal(file);
                for (int i = 0; i < kEach; ++i) journal.Add(SampleRecord(p * 1000 + i));
            } catch (...) {
                failures = 1;
            }
            ::_exit(failures);
        }
        children.push_back(pid);
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Journal(file).Count(), 2u * kEach);
}

// A process killed while it imports leaves the journal whole, with none of
// the import; the same file imports whole afterwards.
TEST(Journal, ProcessKilledMidImportLeavesAllOrNothing)
{
    TemporaryFolder folder;
    const std::string file = (folder.Path() / "journal.sqlite").string();
    Journal(file).Add(SampleRecord(100000, "before"));
    std::vector<JournalRecord> records;
    for (int i = 0; i < 3000; ++i) records.push_back(SampleRecord(i, "imported " + std::to_string(i)));

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        Journal journal(file);
        int row = 0;
        journal.Import(records, [&] {
            if (++row == 2000) {
                // Well into the transaction: tell the parent and wait for the end.
                const char byte = 'k';
                (void)!::write(ready[1], &byte, 1);
                for (;;) ::pause();
            }
        });
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    Journal journal(file);
    EXPECT_EQ(journal.Count(), 1u);
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
    EXPECT_EQ(journal.Import(records).Added, records.size());
    EXPECT_EQ(journal.Count(), 1u + records.size());
}

}  // namespace
}  // namespace dw

namespace dw {
namespace {

// Runs one statement on the journal file as another program (or a hand
// with a database tool) would.
void ChangeByHand(const std::string& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

// A record keeps the unit system it was typed in: read back, listed and
// exported in it. A system the program does not know is refused by the
// record's date, never read as metric, and the file is left where it is.
TEST(Journal, RecordKeepsItsUnitSystem)
{
    struct Row {
        const char* Name;
        units::TUnitSystem Typed;
        const char* ByHand;                      // a statement run on the file after the record is kept
        std::optional<units::TUnitSystem> Read;  // none: refused
    };
    const std::vector<Row> rows{
        {"typed in metric units", units::TUnitSystem::Metric, nullptr, units::TUnitSystem::Metric},
        {"typed in oilfield units", units::TUnitSystem::Oilfield, nullptr, units::TUnitSystem::Oilfield},
        {"a system this program does not know", units::TUnitSystem::Metric, "UPDATE record SET units = 'imperial'",
         std::nullopt},
        {"an empty system", units::TUnitSystem::Oilfield, "UPDATE record SET units = ''", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TemporaryFolder folder;
        const std::string file = (folder.Path() / "j.sqlite").string();
        JournalRecord record = SampleRecord(2);
        record.Units = row.Typed;
        {
            Journal journal(file);
            journal.Add(record);
        }
        if (row.ByHand)
            ChangeByHand(file, row.ByHand);
        Journal journal(file);
        if (row.Read) {
            const std::optional<JournalRecord> read = journal.Read(1);
            ASSERT_TRUE(read);
            EXPECT_EQ(read->Units, *row.Read);
            ASSERT_EQ(journal.Summaries().size(), 1u);
            EXPECT_EQ(journal.Summaries()[0].Units, *row.Read);
        } else {
            for (const auto& use :
                 std::vector<std::function<void()>>{[&] { journal.Read(1); }, [&] { journal.Summaries(); },
                                                    [&] { journal.ForEachRecord([](const JournalRecord&) {}); }}) {
                try {
                    use();
                    ADD_FAILURE() << "read as if it were known";
                } catch (const EJournalError& error) {
                    EXPECT_NE(error.Message().find("the record of " + record.DateTime +
                                                   " names a unit system this program does not know"),
                              std::string::npos)
                        << error.Message();
                }
            }
            EXPECT_TRUE(fs::exists(file));
            EXPECT_FALSE(journal.TakeNotice());
        }
    }
}

// The same date, time and digits typed in the other system are another
// measurement: an import keeps both, and the same record twice only once.
TEST(Journal, SameDigitsInTheOtherSystemAreAnotherRecord)
{
    struct Row {
        const char* Name;
        units::TUnitSystem Kept, Imported;
        std::size_t Added, Skipped;
    };
    const std::vector<Row> rows{
        {"metric, then oilfield", units::TUnitSystem::Metric, units::TUnitSystem::Oilfield, 1, 0},
        {"oilfield, then metric", units::TUnitSystem::Oilfield, units::TUnitSystem::Metric, 1, 0},
        {"oilfield twice", units::TUnitSystem::Oilfield, units::TUnitSystem::Oilfield, 0, 1},
        {"metric twice", units::TUnitSystem::Metric, units::TUnitSystem::Metric, 0, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TemporaryFolder folder;
        Journal journal((folder.Path() / "j.sqlite").string());
        JournalRecord kept = SampleRecord(5), imported = SampleRecord(5);
        kept.Units = row.Kept;
        imported.Units = row.Imported;
        journal.Add(kept);
        const JournalImportCount count = journal.Import({imported});
        EXPECT_EQ(count.Added, row.Added);
        EXPECT_EQ(count.Skipped, row.Skipped);
    }
}

}  // namespace
}  // namespace dw
