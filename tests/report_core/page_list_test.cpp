// SPDX-License-Identifier: MIT
#include "report/core/page_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>

#include "common/errors.h"
#include "report/core/page_errors.h"
#include "report/core/page_stream.h"
#include "tests/report_core/page_test_support.h"

namespace dw {
namespace {

using test::Bytes;

class PageListTest : public test::PageTempDirTest, public ::testing::WithParamInterface<bool> {
protected:
    bool Compressed() const { return GetParam(); }

    // A list over a fresh stream with `count` pages appended.
    void Fill(int count, std::size_t pageSize = 1500)
    {
        m_list.SetStream(&m_stream);
        m_list.SetCompressed(Compressed());
        for (int i = 1; i <= count; ++i) {
            m_pages.push_back(test::MakeEmfPage(static_cast<std::uint32_t>(i), pageSize + 37 * i));
            m_list.AppendPage(m_pages.back());
        }
    }

    Bytes Fetch(int n)
    {
        auto page = m_list.FetchPage(n);
        EXPECT_TRUE(page.has_value()) << "page " << n;
        return page.value_or(Bytes{});
    }

    TVpStream m_stream;
    TVpPageList m_list;
    std::vector<Bytes> m_pages;
};

INSTANTIATE_TEST_SUITE_P(Data, PageListTest, ::testing::Values(false, true),
                         [](const auto& row) { return std::string(row.param ? "compressed" : "plain"); });

TEST(PageListLayoutTest, OnePageStreamLayout)
{
    TVpStream stream;
    TVpPageList list;
    list.SetStream(&stream);
    const Bytes page = test::MakeEmfPage(1, 5000);
    const std::uint32_t e = static_cast<std::uint32_t>(page.size());
    const double before = CurrentMoment();
    list.AppendPage(page);
    list.WriteStreamHeader();
    const double after = CurrentMoment();

    Bytes bytes(static_cast<std::size_t>(stream.Size()));
    stream.Seek(0, TVpSeekOrigin::Beginning);
    stream.ReadBuffer(bytes.data(), bytes.size());
    ASSERT_EQ(bytes.size(), 124 + 12 + e);
    EXPECT_EQ(bytes[0] | bytes[1] << 8, 3);
    EXPECT_EQ(bytes[2] | bytes[3] << 8, 207);
    EXPECT_EQ(test::GetU32(bytes, 8), 1u);
    EXPECT_EQ(bytes[21], 0);
    double when = 0;
    std::memcpy(&when, bytes.data() + 12, 8);
    EXPECT_GE(when, before);
    EXPECT_LE(when, after);
    EXPECT_EQ(list.Written(), when);
    EXPECT_EQ(test::GetU32(bytes, 124), 1u);
    EXPECT_EQ(test::GetU32(bytes, 128), 136 + e);
    EXPECT_TRUE(std::equal(page.begin(), page.end(), bytes.begin() + 132));
    EXPECT_EQ(test::GetU32(bytes, bytes.size() - 4), 124u);
    // Reserved bytes are zeros.
    EXPECT_TRUE(std::all_of(bytes.begin() + 22, bytes.begin() + 124, [](auto b) { return b == 0; }));
}

TEST(PageListLayoutTest, TheStampReadBackIsADateOnlyWhenItNamesOne)
{
    struct Row {
        const char* name;
        double stamp;
        bool isDate;
    };
    const Row rows[] = {
        {"a header never stamped holds 0", 0.0, false},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), false},
        {"infinite", std::numeric_limits<double>::infinity(), false},
        {"the day before year 1", -693594.0, false},
        {"the first day of year 1", -693593.0, true},
        {"noon on 30 December 1899, day 0", 0.5, true},
        {"an afternoon in 2026", 46023.75, true},
        {"the last millisecond of 9999", 2958465.0 + 86399999.0 / 86400000.0, true},
        {"rounds up into year 10000", 2958465.0 + 86399999.9 / 86400000.0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes header(TVpPageList::kHeaderSize, 0);
        header[0] = 3;
        header[2] = 207;
        std::memcpy(header.data() + 12, &row.stamp, sizeof row.stamp);
        TVpStream stream;
        stream.Write(header.data(), header.size());
        TVpPageList list;
        list.SetStream(&stream);
        list.ReadStreamHeader();
        EXPECT_EQ(list.Written().has_value(), row.isDate);
        if (row.isDate) {
            EXPECT_EQ(*list.Written(), row.stamp);
        }
    }
}

TEST(PageListLayoutTest, CompressedRecordHoldsLengthThenCode)
{
    TVpStream stream;
    TVpPageList list;
    list.SetStream(&stream);
    list.SetCompressed(true);
    const Bytes page = test::MakeEmfPage(2, 8000);
    list.AppendPage(page);
    Bytes bytes(static_cast<std::size_t>(stream.Size()));
    stream.Seek(0, TVpSeekOrigin::Beginning);
    stream.ReadBuffer(bytes.data(), bytes.size());
    EXPECT_EQ(bytes[21], 1);
    EXPECT_EQ(test::GetU32(bytes, 128), bytes.size());
    EXPECT_EQ(test::GetU32(bytes, 132), page.size());
    EXPECT_LT(bytes.size(), 124 + 16 + page.size());
}

TEST(PageListLayoutTest, NoPagesNoStreamNeeded)
{
    TVpPageList list;
    EXPECT_EQ(list.PageCount(), 0);
    EXPECT_FALSE(list.Compressed());
    EXPECT_FALSE(list.FetchPage(1).has_value());
}

TEST_P(PageListTest, FetchOutOfOrderGivesTheSamePages)
{
    Fill(5);
    for (int n : {2, 5, 3, 1, 4, 4, 5, 1}) {
        EXPECT_EQ(Fetch(n), m_pages[static_cast<std::size_t>(n - 1)]) << "page " << n;
    }
    EXPECT_FALSE(m_list.FetchPage(6).has_value());
    EXPECT_FALSE(m_list.FetchPage(0).has_value());
    EXPECT_FALSE(m_list.FetchPage(-1).has_value());
}

TEST_P(PageListTest, FetchAfterCopyToFileStartsFromTheEnd)
{
    Fill(5);
    Fetch(3);
    m_list.WriteStreamHeader();
    m_list.CopyToFile(Path("copy.vpr").string());
    EXPECT_EQ(m_stream.Position(), m_stream.Size());
    EXPECT_EQ(Fetch(1), m_pages[0]);
    m_list.CopyToFile(Path("copy.vpr").string());
    EXPECT_EQ(Fetch(2), m_pages[1]);
}

TEST_P(PageListTest, PositionStaysAtARecordBoundary)
{
    Fill(4);
    m_list.PositionAtPage(3);
    const std::int64_t third = m_stream.Position();
    Fetch(3);
    const std::int64_t fourth = m_stream.Position();
    m_list.PositionAtPage(4);
    EXPECT_EQ(m_stream.Position(), fourth);
    Fetch(4);
    EXPECT_EQ(m_stream.Position(), m_stream.Size());
    Fetch(1);
    m_list.PositionAtPage(3);
    EXPECT_EQ(m_stream.Position(), third);
    m_list.PositionAtPage(1);
    EXPECT_EQ(m_stream.Position(), 124);
}

TEST_P(PageListTest, FetchRecoversFromAPositionInsideARecord)
{
    Fill(4);
    m_list.PositionAtPage(2);
    m_stream.Seek(37, TVpSeekOrigin::Current);
    EXPECT_EQ(Fetch(3), m_pages[2]);
    m_stream.Seek(5, TVpSeekOrigin::Beginning);
    EXPECT_EQ(Fetch(2), m_pages[1]);
}

TEST_P(PageListTest, ThousandPagesInRandomOrder)
{
    Fill(1000, 300);
    EXPECT_TRUE(m_stream.Spilled());
    std::vector<int> order(1000);
    std::iota(order.begin(), order.end(), 1);
    std::mt19937 random(42);
    std::shuffle(order.begin(), order.end(), random);
    for (int n : order) {
        ASSERT_EQ(Fetch(n), m_pages[static_cast<std::size_t>(n - 1)]) << "page " << n;
    }
}

TEST_P(PageListTest, SavedFileOpensWithItsPages)
{
    Fill(5);
    m_list.WriteStreamHeader();
    const auto path = Path("five.vpr").string();
    m_list.CopyToFile(path);
    TVpPageList loaded;
    loaded.OpenFromFile(path);
    EXPECT_EQ(loaded.PageCount(), 5);
    EXPECT_EQ(loaded.Compressed(), Compressed());
    for (int n : {2, 5, 3, 1, 4}) {
        EXPECT_EQ(loaded.FetchPage(n).value_or(Bytes{}), m_pages[static_cast<std::size_t>(n - 1)]) << n;
    }
    EXPECT_EQ(FileCount(), 1) << "a temporary file beside the copy was left";
}

TEST_P(PageListTest, RefusedPageLeavesTheStoreAsItWas)
{
    Fill(2);
    const std::int64_t size = m_stream.Size();
    Bytes notAPage = m_pages[0];
    test::PutU32(notAPage, 40, 0x12345678);
    EXPECT_THROW(m_list.AppendPage(notAPage), EInvalidGraphic);
    Bytes wrongSize = m_pages[0];
    test::PutU32(wrongSize, 48, static_cast<std::uint32_t>(wrongSize.size() + 1));
    EXPECT_THROW(m_list.AppendPage(wrongSize), EInvalidGraphic);
    EXPECT_EQ(m_list.PageCount(), 2);
    EXPECT_EQ(m_stream.Size(), size);
    EXPECT_EQ(Fetch(2), m_pages[1]);
}

TEST_P(PageListTest, AppendThatFailsHalfWayIsRolledBack)
{
    // A spilled store on a disk that fills up in the middle of a record: the
    // list keeps neither the count nor the bytes, and once there is room
    // again the next page continues the chain.
    const int pages = Compressed() ? 400 : 80;
    Fill(pages, 1500);
    ASSERT_TRUE(m_stream.Spilled());
    const std::int64_t size = m_stream.Size();
    const Bytes big = test::MakeEmfPage(500, 60000);
    {
        test::ScopedFileSizeLimit limit(static_cast<std::uint64_t>(size) + 1000);
        EXPECT_THROW(m_list.AppendPage(big), EInOutError);
    }
    EXPECT_EQ(m_list.PageCount(), pages);
    EXPECT_EQ(m_stream.Size(), size);
    EXPECT_EQ(SpillFileSizes(), std::vector<std::uintmax_t>{static_cast<std::uintmax_t>(size)});
    m_list.AppendPage(big);
    m_pages.push_back(big);
    for (int n : {pages + 1, 1, pages, pages / 2, pages + 1}) {
        EXPECT_EQ(Fetch(n), m_pages[static_cast<std::size_t>(n - 1)]) << n;
    }
}

TEST_P(PageListTest, FirstPageThatCannotBeWrittenLeavesNoPage)
{
    const auto path = Path("empty.vpr");
    test::WriteBytes(path, std::string());
    auto readOnly = TVpStream::OpenForReading(path.string());
    TVpPageList list;
    list.SetCompressed(Compressed());
    list.SetStream(readOnly.get());
    EXPECT_THROW(list.AppendPage(test::MakeEmfPage(1)), EInOutError);
    EXPECT_EQ(list.PageCount(), 0);
    EXPECT_FALSE(list.FetchPage(1).has_value());
}

TEST(PageListOpenTest, MissingFileNamesIt)
{
    TVpPageList list;
    const std::string name = "/nonexistent-dir-for-dw-tests/report.vpr";
    try {
        list.OpenFromFile(name);
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + name);
    }
    EXPECT_EQ(list.Stream(), nullptr);
}

}  // namespace
}  // namespace dw
