// SPDX-License-Identifier: MIT
#include "report/core/page_stream.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

#include <sys/wait.h>
#include <unistd.h>

#include "common/errors.h"
#include "report/core/file_limits.h"
#include "tests/report_core/page_test_support.h"

namespace dw {
namespace {

using test::Bytes;

class PageStreamTest : public test::PageTempDirTest {};

Bytes ReadAll(TVpStream& stream)
{
    Bytes out(static_cast<std::size_t>(stream.Size()));
    stream.Seek(0, TVpSeekOrigin::Beginning);
    stream.ReadBuffer(out.data(), out.size());
    return out;
}

struct SpillCase {
    const char* name;
    std::size_t bytes;
    bool spilled;
};

// The store moves to a file only once it is larger than the threshold.
const SpillCase kSpillCases[] = {
    {"below", 99999, false},
    {"at_threshold", 100000, false},
    {"one_past", 100001, true},
    {"far_past", 1000000, true},
};

class SpillTest : public PageStreamTest, public ::testing::WithParamInterface<SpillCase> {};

TEST_P(SpillTest, SpillsOnlyPastTheThreshold)
{
    const Bytes data = test::RandomBytes(1, GetParam().bytes);
    {
        TVpStream stream;
        // In pieces, as pages arrive.
        for (std::size_t at = 0; at < data.size(); at += 7000) {
            stream.Write(data.data() + at, std::min<std::size_t>(7000, data.size() - at));
        }
        EXPECT_EQ(stream.Spilled(), GetParam().spilled);
        const auto sizes = SpillFileSizes();
        EXPECT_EQ(sizes.size(), GetParam().spilled ? 1u : 0u);
        if (GetParam().spilled && sizes.size() == 1) {
            EXPECT_EQ(sizes[0], data.size());
        }
        EXPECT_EQ(stream.TempFileName().empty(), !GetParam().spilled);
        // Nothing is ever named in the folder, so nothing can be left there.
        EXPECT_EQ(FileCount(), 0);
        EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(data.size()));
        EXPECT_EQ(ReadAll(stream), data);
    }
    EXPECT_EQ(SpillFiles(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SpillTest, ::testing::ValuesIn(kSpillCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PageStreamTest, TemporaryFileGoesAlsoWhenARunEndsInAnException)
{
    try {
        TVpStream stream;
        const Bytes data = test::RandomBytes(2, 150000);
        stream.Write(data.data(), data.size());
        ASSERT_TRUE(stream.Spilled());
        ASSERT_EQ(SpillFiles(), 1);
        throw std::runtime_error("run failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(SpillFiles(), 0);
}

// A run killed outright (the operator's kill, a timeout) runs no destructor;
// the temporary file must still not outlive it.
TEST_F(PageStreamTest, TemporaryFileGoesWithAKilledProcess)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TVpStream stream;
        const Bytes data = test::RandomBytes(2, 150000);
        stream.Write(data.data(), data.size());
        const char spilled = stream.Spilled() ? 'y' : 'n';
        (void)::write(ready[1], &spilled, 1);
        for (;;) {
            ::pause();
        }
    }
    ::close(ready[1]);
    char spilled = 0;
    ASSERT_EQ(::read(ready[0], &spilled, 1), 1);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(spilled, 'y');
    EXPECT_EQ(FileCount(), 0);
}

TEST_F(PageStreamTest, TwoSpilledStreamsHaveTheirOwnFiles)
{
    const Bytes data = test::RandomBytes(3, 120000);
    TVpStream first;
    TVpStream second;
    first.Write(data.data(), data.size());
    second.Write(data.data(), data.size());
    EXPECT_EQ(SpillFiles(), 2);
}

// The same operations behave alike before and after the move to a file.
class StreamModeTest : public PageStreamTest, public ::testing::WithParamInterface<bool> {
protected:
    // A stream holding 0, 1, 2, ... (mod 251), spilled or not.
    void Fill(TVpStream& stream, std::size_t size)
    {
        Bytes data(size);
        for (std::size_t i = 0; i < size; ++i) {
            data[i] = static_cast<std::uint8_t>(i % 251);
        }
        stream.Write(data.data(), data.size());
        ASSERT_EQ(stream.Spilled(), GetParam());
    }
    std::int64_t Threshold() const { return GetParam() ? 10 : 1000000; }
};

TEST_P(StreamModeTest, ReadsStopAtTheEnd)
{
    TVpStream stream(Threshold());
    Fill(stream, 100);
    stream.Seek(90, TVpSeekOrigin::Beginning);
    std::uint8_t buffer[20];
    EXPECT_EQ(stream.Read(buffer, 20), 10u);
    EXPECT_EQ(buffer[0], 90);
    EXPECT_EQ(stream.Read(buffer, 20), 0u);
    stream.Seek(500, TVpSeekOrigin::Beginning);
    EXPECT_EQ(stream.Read(buffer, 20), 0u);
    stream.Seek(95, TVpSeekOrigin::Beginning);
    EXPECT_THROW(stream.ReadBuffer(buffer, 6), EInOutError);
}

TEST_P(StreamModeTest, WritePastTheEndFillsTheGapWithZeros)
{
    TVpStream stream(Threshold());
    Fill(stream, 50);
    stream.Seek(10, TVpSeekOrigin::End);
    stream.WriteInt32(0x04030201);
    EXPECT_EQ(stream.Size(), 64);
    const Bytes all = ReadAll(stream);
    EXPECT_EQ(all[49], 49);
    for (int i = 50; i < 60; ++i) {
        EXPECT_EQ(all[static_cast<std::size_t>(i)], 0) << i;
    }
    EXPECT_EQ(all[60], 1);
    EXPECT_EQ(all[63], 4);
}

TEST_P(StreamModeTest, OverwriteInTheMiddleKeepsTheRest)
{
    TVpStream stream(Threshold());
    Fill(stream, 50);
    stream.Seek(20, TVpSeekOrigin::Beginning);
    stream.WriteInt32(-1);
    EXPECT_EQ(stream.Position(), 24);
    EXPECT_EQ(stream.Size(), 50);
    stream.Seek(-8, TVpSeekOrigin::Current);
    std::uint8_t buffer[12];
    stream.ReadBuffer(buffer, 12);
    EXPECT_EQ(buffer[3], 19);
    EXPECT_EQ(buffer[4], 0xFF);
    EXPECT_EQ(buffer[8], 24);
}

TEST_P(StreamModeTest, SetSizeCutsTheStream)
{
    TVpStream stream(Threshold());
    Fill(stream, 80);
    stream.SetSize(30);
    EXPECT_EQ(stream.Size(), 30);
    EXPECT_EQ(stream.Position(), 30);
    stream.WriteInt32(7);
    EXPECT_EQ(stream.Size(), 34);
    EXPECT_EQ(ReadAll(stream)[29], 29);
}

TEST_P(StreamModeTest, NegativePositionIsRefused)
{
    TVpStream stream(Threshold());
    Fill(stream, 20);
    EXPECT_THROW(stream.Seek(-21, TVpSeekOrigin::End), EInOutError);
    EXPECT_EQ(stream.Position(), 20);
}

INSTANTIATE_TEST_SUITE_P(Modes, StreamModeTest, ::testing::Values(false, true),
                         [](const auto& row) { return std::string(row.param ? "spilled" : "in_memory"); });

TEST_F(PageStreamTest, SavedFileIsReadOnlyAndStays)
{
    const auto path = Path("saved.vpr");
    test::WriteBytes(path, test::RandomBytes(4, 300));
    {
        auto stream = TVpStream::OpenForReading(path.string());
        EXPECT_TRUE(stream->ReadOnly());
        EXPECT_TRUE(stream->Spilled());
        EXPECT_EQ(stream->TempFileName(), "");
        EXPECT_EQ(stream->FileName(), path.string());
        EXPECT_EQ(stream->Size(), 300);
        EXPECT_EQ(stream->ReadInt32(), static_cast<std::int32_t>(test::GetU32(test::RandomBytes(4, 300), 0)));
        EXPECT_THROW(stream->WriteInt32(1), EInOutError);
        EXPECT_THROW(stream->SetSize(0), EInOutError);
    }
    EXPECT_EQ(test::ReadByteVector(path), test::RandomBytes(4, 300));
}

TEST_F(PageStreamTest, OpeningWhatIsNotAReportNamesIt)
{
    // A report past its limit is made sparse: it costs no disk.
    const auto huge = Path("huge.vpr");
    test::WriteBytes(huge, std::string());
    std::filesystem::resize_file(huge, static_cast<std::uintmax_t>(kMaxReportFileSize) + 1);
    const std::pair<std::filesystem::path, std::string> rows[] = {
        {Path("missing.vpr"), "Cannot open file " + Path("missing.vpr").string()},
        {m_dir, "Cannot open file " + m_dir.string() + ": it is a folder, not a file"},
        {huge, "File " + huge.string() + " is too large: a report file holds at most 2147483647 bytes"},
    };
    for (const auto& [path, message] : rows) {
        try {
            TVpStream::OpenForReading(path.string());
            FAIL() << path;
        } catch (const EFileError& e) {
            EXPECT_EQ(e.Message(), message);
        }
    }
}

}  // namespace
}  // namespace dw
