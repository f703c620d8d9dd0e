// SPDX-License-Identifier: MIT
#include "report/core/page_store.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "report/core/page_errors.h"
#include "report/core/page_stream.h"
#include "tests/report_core/page_test_support.h"

namespace dw {
namespace {

using test::Bytes;

class PageStoreTest : public test::PageTempDirTest {
protected:
    // A finished run of `count` pages.
    void Run(int count, bool compressed = false, std::size_t pageSize = 3000)
    {
        m_store.BeginDoc(compressed);
        for (int i = 1; i <= count; ++i) {
            m_pages.push_back(test::MakeEmfPage(static_cast<std::uint32_t>(100 + i), pageSize));
            m_store.AppendPage(m_pages.back());
        }
        m_store.EndDoc();
    }

    void ExpectPages(TVpPageStore& store, const std::vector<Bytes>& pages)
    {
        ASSERT_EQ(store.PageCount(), static_cast<std::int32_t>(pages.size()));
        for (std::size_t n = pages.size(); n >= 1; --n) {
            EXPECT_EQ(store.GetPage(static_cast<std::int32_t>(n)).value_or(Bytes{}), pages[n - 1]) << "page " << n;
        }
        EXPECT_FALSE(store.GetPage(static_cast<std::int32_t>(pages.size()) + 1).has_value());
    }

    TVpPageStore m_store;
    std::vector<Bytes> m_pages;
};

TEST_F(PageStoreTest, OnePageReportSavedFileLayout)
{
    Run(1);
    const auto path = Path("report.vpr");
    m_store.Save(path.string());
    const Bytes file = test::ReadByteVector(path);
    const std::size_t e = m_pages[0].size();
    ASSERT_EQ(file.size(), 124 + 12 + e);
    EXPECT_EQ(test::GetU32(file, 8), 1u);
    EXPECT_EQ(file[21], 0);
    EXPECT_EQ(test::GetU32(file, 124), 1u);
    EXPECT_EQ(test::GetU32(file, 128), 136 + e);
    EXPECT_EQ(test::GetU32(file, file.size() - 4), 124u);
}

TEST_F(PageStoreTest, RunWithoutPagesSavesTheHeaderAlone)
{
    Run(0);
    const auto path = Path("empty.vpr");
    m_store.Save(path.string());
    const Bytes file = test::ReadByteVector(path);
    ASSERT_EQ(file.size(), 124u);
    EXPECT_EQ(test::GetU32(file, 8), 0u);
    TVpPageStore loaded;
    loaded.Load(path.string());
    EXPECT_EQ(loaded.Status(), TVpPrinterStatus::Finished);
    EXPECT_EQ(loaded.PageCount(), 0);
    EXPECT_FALSE(loaded.GetPage(1).has_value());
}

TEST_F(PageStoreTest, RunAbortedBeforeItsFirstPageStillSavesALoadableFile)
{
    m_store.BeginDoc(false);
    m_store.AbortDoc();
    const auto path = Path("aborted.vpr");
    m_store.Save(path.string());
    EXPECT_EQ(test::ReadByteVector(path).size(), 124u);
    TVpPageStore loaded;
    loaded.Load(path.string());
    EXPECT_EQ(loaded.PageCount(), 0);
}

TEST_F(PageStoreTest, AbortedRunKeepsTheCountLastWritten)
{
    m_store.BeginDoc(false);
    for (int i = 1; i <= 3; ++i) {
        m_store.AppendPage(test::MakeEmfPage(static_cast<std::uint32_t>(i)));
    }
    m_store.AbortDoc();
    EXPECT_EQ(m_store.Status(), TVpPrinterStatus::Finished);
    const auto path = Path("aborted.vpr");
    m_store.Save(path.string());
    TVpPageStore loaded;
    loaded.Load(path.string());
    EXPECT_EQ(loaded.PageCount(), 1);
    EXPECT_EQ(loaded.GetPage(1).value_or(Bytes{}), test::MakeEmfPage(1));
}

struct SavedRun {
    const char* name;
    int pages;
    bool compressed;
};

const SavedRun kSavedRuns[] = {
    {"one_plain", 1, false},      {"five_plain", 5, false},          {"five_compressed", 5, true},
    {"spilled_plain", 60, false}, {"spilled_compressed", 200, true},
};

class SavedRunTest : public PageStoreTest, public ::testing::WithParamInterface<SavedRun> {};

TEST_P(SavedRunTest, LoadGivesTheSavedPages)
{
    Run(GetParam().pages, GetParam().compressed);
    const auto path = Path("run.vpr");
    m_store.Save(path.string());
    EXPECT_EQ(test::ReadByteVector(path)[21], GetParam().compressed ? 1 : 0);
    TVpPageStore loaded;
    loaded.Load(path.string());
    EXPECT_TRUE(loaded.Compressed() == GetParam().compressed);
    ExpectPages(loaded, m_pages);
    // The run's own store still serves its pages after the save.
    ExpectPages(m_store, m_pages);
}

INSTANTIATE_TEST_SUITE_P(Runs, SavedRunTest, ::testing::ValuesIn(kSavedRuns),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PageStoreTest, LoadReplacesThePagesHeld)
{
    Run(3);
    const auto path = Path("three.vpr");
    m_store.Save(path.string());
    TVpPageStore other;
    other.BeginDoc(true);
    other.AppendPage(test::MakeEmfPage(9));
    other.Load(path.string());
    EXPECT_EQ(other.Status(), TVpPrinterStatus::Finished);
    ExpectPages(other, m_pages);
}

TEST_F(PageStoreTest, LoadOfAMissingFileLeavesNoPages)
{
    Run(2);
    const auto path = Path("missing.vpr").string();
    try {
        m_store.Load(path);
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + path);
    }
    EXPECT_EQ(m_store.Status(), TVpPrinterStatus::Ready);
    EXPECT_EQ(m_store.PageCount(), 0);
    EXPECT_FALSE(m_store.GetPage(1).has_value());
}

TEST_F(PageStoreTest, SaveOnlyWhenFinished)
{
    const auto path = Path("nothing.vpr");
    m_store.Save(path.string());  // ready
    m_store.BeginDoc(false);
    m_store.AppendPage(test::MakeEmfPage(1));
    m_store.Save(path.string());  // busy
    EXPECT_FALSE(std::filesystem::exists(path));
    m_store.EndDoc();
    m_store.Save(path.string());
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(PageStoreTest, StatesRefuseCallsOutOfTurn)
{
    try {
        m_store.AppendPage(test::MakeEmfPage(1));
        FAIL();
    } catch (const EVpError& e) {
        EXPECT_EQ(e.Message(), "Illegal call to NewPage");
    }
    EXPECT_FALSE(m_store.GetPage(1).has_value());
    m_store.BeginDoc(false);
    try {
        m_store.BeginDoc(false);
        FAIL();
    } catch (const EVpError& e) {
        EXPECT_EQ(e.Message(), "VpPrinter not ready");
    }
    m_store.AppendPage(test::MakeEmfPage(1));
    // Pages of a run still going can be shown.
    EXPECT_EQ(m_store.GetPage(1).value_or(Bytes{}), test::MakeEmfPage(1));
    m_store.EndDoc();
    EXPECT_THROW(m_store.BeginDoc(false), EVpError);
    m_store.CleanUp();
    EXPECT_EQ(m_store.Status(), TVpPrinterStatus::Ready);
    EXPECT_EQ(m_store.PageCount(), 0);
    m_store.BeginDoc(false);
}

TEST_F(PageStoreTest, SpilledRunLeavesNoTemporaryFile)
{
    {
        TVpPageStore store;
        store.BeginDoc(false);
        for (int i = 0; i < 50; ++i) {
            store.AppendPage(test::MakeEmfPage(static_cast<std::uint32_t>(i), 4000));
        }
        ASSERT_TRUE(store.PageStream()->Spilled());
        EXPECT_EQ(SpillFiles(), 1);
        store.EndDoc();
        store.CleanUp();
        EXPECT_EQ(SpillFiles(), 0);
        store.BeginDoc(false);
        for (int i = 0; i < 50; ++i) {
            store.AppendPage(test::MakeEmfPage(static_cast<std::uint32_t>(i), 4000));
        }
        EXPECT_EQ(SpillFiles(), 1);
        // Loading a file drops the run's temporary file too.
        Run(1);
        m_store.Save(Path("one.vpr").string());
        store.Load(Path("one.vpr").string());
        EXPECT_EQ(SpillFiles(), 0);
    }
    EXPECT_EQ(SpillFiles(), 0);
}

TEST_F(PageStoreTest, RunEndingInAnExceptionLeavesNoTemporaryFile)
{
    try {
        TVpPageStore store;
        store.BeginDoc(false);
        for (int i = 0; i < 50; ++i) {
            store.AppendPage(test::MakeEmfPage(static_cast<std::uint32_t>(i), 4000));
        }
        store.AppendPage(Bytes(200, 0));  // not a metafile
        FAIL();
    } catch (const EInvalidGraphic&) {
    }
    EXPECT_EQ(SpillFiles(), 0);
}

TEST_F(PageStoreTest, SavingOverTheLoadedFileKeepsItsPages)
{
    Run(4);
    const auto path = Path("same.vpr");
    m_store.Save(path.string());
    TVpPageStore loaded;
    loaded.Load(path.string());
    loaded.Save(path.string());
    ExpectPages(loaded, m_pages);
    TVpPageStore again;
    again.Load(path.string());
    ExpectPages(again, m_pages);
    EXPECT_EQ(FileCount(), 1);
}

TEST_F(PageStoreTest, FailedSaveLeavesTheOldFile)
{
    const auto path = Path("old.vpr");
    const Bytes old = test::RandomBytes(5, 500);
    test::WriteBytes(path, old);
    Run(3, false, 20000);
    {
        test::ScopedFileSizeLimit limit(30000);
        try {
            m_store.Save(path.string());
            FAIL();
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.Message(), "Cannot write file " + path.string() + ": the disk is full");
        }
    }
    EXPECT_EQ(test::ReadByteVector(path), old);
    EXPECT_EQ(FileCount(), 1) << "the partial copy was left beside the file";
}

TEST_F(PageStoreTest, SaveWhereNoFileCanBeCreated)
{
    Run(1);
    const auto path = Path("no-such-dir") / "report.vpr";
    try {
        m_store.Save(path.string());
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + path.string() + ": the folder does not exist");
    }
    // A directory in the way is not replaced.
    std::filesystem::create_directory(Path("dir.vpr"));
    try {
        m_store.Save(Path("dir.vpr").string());
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + Path("dir.vpr").string() + ": it is a folder, not a file");
    }
    EXPECT_TRUE(std::filesystem::is_directory(Path("dir.vpr")));
    EXPECT_EQ(FileCount(), 1);
}

// Crews keep reports in a folder of their own and link to them.
TEST_F(PageStoreTest, SaveThroughALinkKeepsTheLink)
{
    Run(2);
    std::filesystem::create_symlink("real.vpr", Path("link.vpr"));
    m_store.Save(Path("link.vpr").string());
    EXPECT_TRUE(std::filesystem::is_symlink(Path("link.vpr")));
    TVpPageStore loaded;
    loaded.Load(Path("real.vpr").string());
    ExpectPages(loaded, m_pages);
}

TEST_F(PageStoreTest, SaveReplacesAnOlderFileKeepingItsPermissions)
{
    const auto path = Path("kept.vpr");
    test::WriteBytes(path, test::RandomBytes(6, 50));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    Run(2);
    m_store.Save(path.string());
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::group_read);
    TVpPageStore loaded;
    loaded.Load(path.string());
    ExpectPages(loaded, m_pages);
}

}  // namespace
}  // namespace dw
