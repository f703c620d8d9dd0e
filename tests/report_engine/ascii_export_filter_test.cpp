// SPDX-License-Identifier: MIT
#include "report/engine/ascii_export_filter.h"

#include "common/errors.h"
#include "tests/storage_core/file_size_limit.h"
#include "tests/support/file_bytes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace dw {
namespace {

namespace fs = std::filesystem;

// The report's own run: an A3 page with the 10-point report font.
const TCanvasFont kReportFont{};
constexpr std::int32_t kA3Width = 2970;
constexpr std::int32_t kA3Length = 4200;
const Extended kCell = 10 * 254.0L / 72.0L;

struct Text {
    int Position;  // character position, from 1
    int Line;
    TAlignment Alignment;
    std::string Caption;
};
using Page = std::vector<Text>;

void Export(TVpExportFilter& filter, const std::vector<Page>& pages, bool end = true)
{
    filter.BeginExport(kA3Width, kA3Length, kReportFont);
    for (const Page& page : pages) {
        filter.OpenPage();
        for (const Text& t : page) {
            filter.PlaceText((t.Position + 0.1L) * kCell / 1.7L, (t.Line + 0.1L) * kCell, kReportFont, Qt::white,
                             t.Alignment, t.Caption);
        }
        filter.ClosePage();
    }
    if (end) {
        filter.EndExport();
    }
}

using test::ReadBytes;
using test::WriteBytes;

// Everything in a folder, so a left-over temporary file shows.
std::set<std::string> Entries(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EInOutError& error) {
        return error.Message();
    }
    return "no error";
}

class AsciiExport : public testing::Test {
protected:
    fs::path Dir() const { return fs::path(m_dir.path().toStdString()); }
    fs::path Target() const { return Dir() / "report.txt"; }

    QTemporaryDir m_dir;
};

// Pages of many lines, so the output outgrows any buffer.
std::vector<Page> ManyPages(int count)
{
    std::vector<Page> pages(static_cast<std::size_t>(count));
    for (Page& page : pages) {
        for (int line = 0; line < 119; ++line) {
            page.push_back({1, line, TAlignment::taLeftJustify, std::string(60, 'x')});
        }
    }
    return pages;
}

TEST_F(AsciiExport, WritesNonEmptyLinesWithCrLfAndPagesBackToBack)
{
    WriteBytes(Target(), "old contents\n");
    TVpAsciiExportFilter filter(Target().string());
    Export(filter,
           {{{1, 0, TAlignment::taLeftJustify, "ИЗМЕРЕНИЕ"},
             {3, 4, TAlignment::taLeftJustify, "вес"},
             {20, 4, TAlignment::taRightJustify, "12,50 т."},
             {1, 130, TAlignment::taLeftJustify, "off the page"}},
            {},
            {{2, 1, TAlignment::taLeftJustify, "second"}}},
           false);
    EXPECT_EQ(ReadBytes(Target()), "old contents\n") << "replaced before the run ended";
    filter.EndExport();
    EXPECT_EQ(ReadBytes(Target()), "ИЗМЕРЕНИЕ\r\n  вес      12,50 т.\r\n second\r\n");
    EXPECT_EQ(Entries(Dir()), std::set<std::string>{"report.txt"});
}

TEST_F(AsciiExport, LargeOutputIsWrittenWhole)
{
    TVpAsciiExportFilter filter(Target().string());
    Export(filter, ManyPages(20));
    const std::string line = std::string(60, 'x') + "\r\n";
    EXPECT_EQ(ReadBytes(Target()).size(), 20 * 119 * line.size());
    EXPECT_EQ(ReadBytes(Target()).substr(0, line.size()), line);
}

TEST_F(AsciiExport, NewFileHasPlainCreateModeAndReplacedFileKeepsItsMode)
{
    const mode_t mask = ::umask(022);
    ::umask(mask);
    TVpAsciiExportFilter fresh(Target().string());
    Export(fresh, {{{1, 0, TAlignment::taLeftJustify, "a"}}});
    EXPECT_EQ(fs::status(Target()).permissions(), static_cast<fs::perms>(0666 & ~mask));

    fs::permissions(Target(), static_cast<fs::perms>(0640));
    TVpAsciiExportFilter again(Target().string());
    Export(again, {{{1, 0, TAlignment::taLeftJustify, "b"}}});
    EXPECT_EQ(fs::status(Target()).permissions(), static_cast<fs::perms>(0640));
    EXPECT_EQ(ReadBytes(Target()), "b\r\n");
}

TEST_F(AsciiExport, LinkStaysALinkAndItsTargetIsReplaced)
{
    fs::create_directory(Dir() / "kept");
    WriteBytes(Dir() / "kept" / "real.txt", "old");
    fs::create_symlink("kept/real.txt", Target());
    fs::create_symlink("kept/new.txt", Dir() / "dangling.txt");

    TVpAsciiExportFilter filter(Target().string());
    Export(filter, {{{1, 0, TAlignment::taLeftJustify, "new"}}});
    TVpAsciiExportFilter dangling((Dir() / "dangling.txt").string());
    Export(dangling, {{{1, 0, TAlignment::taLeftJustify, "made"}}});

    EXPECT_TRUE(fs::is_symlink(Target()));
    EXPECT_EQ(ReadBytes(Dir() / "kept" / "real.txt"), "new\r\n");
    EXPECT_TRUE(fs::is_symlink(Dir() / "dangling.txt"));
    EXPECT_EQ(ReadBytes(Dir() / "kept" / "new.txt"), "made\r\n");
    EXPECT_EQ(Entries(Dir() / "kept"), (std::set<std::string>{"new.txt", "real.txt"}));
    EXPECT_EQ(Entries(Dir()), (std::set<std::string>{"dangling.txt", "kept", "report.txt"}));
}

struct FailureRow {
    const char* Name;
    // Prepares the folder; returns the file name to export to.
    std::function<fs::path(const fs::path& dir)> SetUp;
    // The run, ended by EndExport or not.
    std::function<void(TVpAsciiExportFilter&)> Act;
    // "%s" stands for the file name.
    const char* Expected;
    // Above 0, the file size is capped at that many bytes during the run.
    std::size_t LimitBytes = 0;
};

void PrintTo(const FailureRow& row, std::ostream* out)
{
    *out << row.Name;
}

fs::path OldReport(const fs::path& dir)
{
    WriteBytes(dir / "report.txt", "old report\r\n");
    return dir / "report.txt";
}

const std::vector<Page> kOnePage{{{1, 0, TAlignment::taLeftJustify, "text"}}};

const FailureRow kFailures[] = {
    {"DiskFullMidRun", OldReport, [](TVpAsciiExportFilter& f) { Export(f, ManyPages(20)); }, "Disk full", 1000},
    {"DiskFullAtTheEnd", OldReport, [](TVpAsciiExportFilter& f) { Export(f, kOnePage); }, "Disk full", 3},
    {"DirectoryTarget",
     [](const fs::path& dir) {
         fs::create_directory(dir / "report.txt");
         return dir / "report.txt";
     },
     [](TVpAsciiExportFilter& f) { Export(f, kOnePage); }, "Cannot create file %s: it is a folder, not a file"},
    {"PipeTarget",
     [](const fs::path& dir) {
         ::mkfifo((dir / "report.txt").c_str(), 0600);
         return dir / "report.txt";
     },
     [](TVpAsciiExportFilter& f) { Export(f, kOnePage); }, "Cannot create file %s: it is a pipe, not a file"},
    {"MissingFolder", [](const fs::path& dir) { return dir / "none" / "report.txt"; },
     [](TVpAsciiExportFilter& f) { Export(f, kOnePage); }, "I/O error 2"},
    {"LinkLoop",
     [](const fs::path& dir) {
         fs::create_symlink("report.txt", dir / "report.txt");
         return dir / "report.txt";
     },
     [](TVpAsciiExportFilter& f) { Export(f, kOnePage); }, "I/O error 40"},
    {"ClosePageBeforeBegin", OldReport, [](TVpAsciiExportFilter& f) { f.ClosePage(); }, "I/O error 9"},
    // The preview frees the filter after a run that stopped half-way.
    {"FreedWithoutEnd", OldReport, [](TVpAsciiExportFilter& f) { Export(f, ManyPages(3), false); }, "no error"},
};

class AsciiExportFailure : public AsciiExport, public testing::WithParamInterface<FailureRow> {};

TEST_P(AsciiExportFailure, ReportsAndLeavesTheFolderAsItWas)
{
    const FailureRow& row = GetParam();
    const fs::path target = row.SetUp(Dir());
    std::error_code ignored;  // a link loop has no status
    const std::string before = fs::is_regular_file(target, ignored) ? ReadBytes(target) : "";
    const std::set<std::string> entries = Entries(Dir());
    std::string expected = row.Expected;
    if (const auto at = expected.find("%s"); at != std::string::npos) {
        expected.replace(at, 2, target.string());
    }
    {
        TVpAsciiExportFilter filter(target.string());
        std::optional<test::FileSizeLimit> limit;
        if (row.LimitBytes > 0) {
            limit.emplace(row.LimitBytes);
        }
        EXPECT_EQ(MessageOf([&] { row.Act(filter); }), expected);
        if (row.LimitBytes > 0) {
            // A run whose writing failed is not finished by a later EndExport.
            EXPECT_EQ(MessageOf([&] { filter.EndExport(); }), expected);
        }
    }
    EXPECT_EQ(Entries(Dir()), entries);
    if (fs::is_regular_file(target, ignored)) {
        EXPECT_EQ(ReadBytes(target), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, AsciiExportFailure, testing::ValuesIn(kFailures),
                         [](const auto& row) { return std::string(row.param.Name); });

// A folder the user may not write to, and a file made read-only, which a
// rename from beside it could otherwise replace.
TEST_F(AsciiExport, PermissionsAreHonoured)
{
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec;
    for (const fs::path& locked : {Dir(), Target()}) {
        OldReport(Dir());
        fs::permissions(locked, readOnly);
        if (::access(locked.c_str(), W_OK) == 0) {
            fs::permissions(locked, fs::perms::owner_all);
            GTEST_SKIP() << "permissions do not bind root; the other failure rows cover the path";
        }
        TVpAsciiExportFilter filter(Target().string());
        EXPECT_EQ(MessageOf([&] { Export(filter, kOnePage); }), "File access denied") << locked;
        fs::permissions(locked, fs::perms::owner_all);
        EXPECT_EQ(ReadBytes(Target()), "old report\r\n") << locked;
        EXPECT_EQ(Entries(Dir()), std::set<std::string>{"report.txt"}) << locked;
    }
}

TEST(ExportFilterLibrary, HoldsTheTextExportOnly)
{
    const TVpExportFilterLibrary& library = TVpExportFilterLibrary::Instance();
    ASSERT_EQ(library.Count(), 1u);
    EXPECT_EQ(library.Entries()[0].DisplayName.English(), "Text file");
    EXPECT_EQ(library.Entries()[0].FileExtension, "TXT");
    const std::unique_ptr<TVpExportFilter> filter = library.CreateFilter(0, "out.txt");
    ASSERT_NE(dynamic_cast<TVpAsciiExportFilter*>(filter.get()), nullptr);
    EXPECT_EQ(filter->FileName(), "out.txt");
    EXPECT_EQ(filter->DescriptionText().English(), "Text export (ASCII) filter");
    EXPECT_THROW(library.CreateFilter(1, "out.txt"), ERangeError);
    EXPECT_EQ(&TVpExportFilterLibrary::Instance(), &library);
}

}  // namespace
}  // namespace dw
