// SPDX-License-Identifier: MIT
#include "report/core/page_list.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

#include "common/errors.h"
#include "common/replace_file.h"
#include "report/core/compress.h"
#include "report/core/file_limits.h"
#include "report/core/page_errors.h"
#include "report/core/page_stream.h"

namespace dw {

namespace {

// Offsets are stored as signed 32-bit fields: a store ends where they do,
// which is also the largest report file a reader accepts.
constexpr std::int64_t kMaxOffset = kMaxReportFileSize;
// Page number and "next" before the data, "start" after it.
constexpr std::int64_t kRecordOverhead = 12;

// Metafile header fields the page list relies on.
constexpr std::size_t kEmfTypeOffset = 0;
constexpr std::size_t kEmfSignatureOffset = 40;
constexpr std::size_t kEmfTotalSizeOffset = 48;
constexpr std::size_t kEmfProbeSize = 52;
constexpr std::uint32_t kEmfHeaderType = 1;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kEmfMinimum = 100;             // a page needs more than this

std::uint32_t GetU32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

void PutU32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

// The total size a metafile header declares, when the probe bytes are one;
// `available` is how many bytes the page has in all.
std::optional<std::uint32_t> ProbeMetafile(const std::uint8_t* probe, std::int64_t available)
{
    if (available <= static_cast<std::int64_t>(kEmfMinimum)) {
        return std::nullopt;
    }
    if (GetU32(probe + kEmfTypeOffset) != kEmfHeaderType || GetU32(probe + kEmfSignatureOffset) != kEmfSignature) {
        return std::nullopt;
    }
    return GetU32(probe + kEmfTotalSizeOffset);
}

// A header's stamp as a date, when it is one: a header never stamped holds 0.
std::optional<DateTimeValue> StampedDate(DateTimeValue when)
{
    if (when == 0 || !IsCalendarDateValue(when)) {
        return std::nullopt;
    }
    return when;
}

}  // namespace

std::optional<std::uint32_t> MetafileDeclaredSize(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kEmfProbeSize) {
        return std::nullopt;
    }
    return ProbeMetafile(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

TVpPageList::TVpPageList() = default;
TVpPageList::~TVpPageList() = default;

void TVpPageList::SetStream(TVpStream* stream)
{
    std::lock_guard guard(m_lock);
    m_stream = stream;
    if (m_openedStream && m_openedStream.get() != stream) {
        m_openedStream.reset();
    }
}

TVpStream& TVpPageList::RequireStream() const
{
    if (m_stream == nullptr) {
        throw EVpError(DW_TEXT("Message", "VpPrinter not ready"));
    }
    return *m_stream;
}

void TVpPageList::Damaged() const
{
    if (m_stream != nullptr && !m_stream->FileName().empty()) {
        throw EFileError(MessageText(DW_TEXT("Message", "File %1 is not a valid report file"),
                                     {MessageText::Verbatim(m_stream->FileName())}));
    }
    throw EVpError(DW_TEXT("Message", "Page store is not valid"));
}

std::optional<DateTimeValue> TVpPageList::Written() const
{
    std::lock_guard guard(m_lock);
    return m_written;
}

void TVpPageList::WriteStreamHeader()
{
    std::lock_guard guard(m_lock);
    TVpStream& stream = RequireStream();
    std::lock_guard streamGuard(stream.Lock());
    std::uint8_t header[kHeaderSize] = {};
    header[0] = static_cast<std::uint8_t>(kSignature);
    header[1] = static_cast<std::uint8_t>(kSignature >> 8);
    header[2] = static_cast<std::uint8_t>(kVersion);
    header[3] = static_cast<std::uint8_t>(kVersion >> 8);
    PutU32(header + 8, static_cast<std::uint32_t>(m_pageCount));
    const DateTimeValue when = CurrentMoment();
    static_assert(sizeof when == 8);
    std::memcpy(header + 12, &when, sizeof when);
    m_written = StampedDate(when);
    header[21] = m_compressed ? 1 : 0;
    stream.Seek(0, TVpSeekOrigin::Beginning);
    stream.Write(header, sizeof header);
}

void TVpPageList::ReadStreamHeader()
{
    std::lock_guard guard(m_lock);
    TVpStream& stream = RequireStream();
    std::lock_guard streamGuard(stream.Lock());
    std::uint8_t header[kHeaderSize];
    stream.Seek(0, TVpSeekOrigin::Beginning);
    if (stream.Read(header, sizeof header) != sizeof header) {
        Damaged();
    }
    const auto count = static_cast<std::int32_t>(GetU32(header + 8));
    if (count < 0) {
        Damaged();
    }
    m_pageCount = count;
    m_compressed = header[21] != 0;
    DateTimeValue when = 0;
    std::memcpy(&when, header + 12, sizeof when);
    m_written = StampedDate(when);
}

std::optional<TVpPageList::RecordHead> TVpPageList::TryReadRecord(std::int64_t start) const
{
    TVpStream& stream = *m_stream;
    const std::int64_t size = stream.Size();
    if (start < kHeaderSize || start > size - kRecordOverhead) {
        return std::nullopt;
    }
    RecordHead head;
    head.start = start;
    stream.Seek(start, TVpSeekOrigin::Beginning);
    head.number = stream.ReadInt32();
    head.next = stream.ReadInt32();
    if (head.number < 1 || head.next < start + kRecordOverhead || head.next > size) {
        return std::nullopt;
    }
    stream.Seek(head.next - 4, TVpSeekOrigin::Beginning);
    if (stream.ReadInt32() != start) {
        return std::nullopt;
    }
    return head;
}

TVpPageList::RecordHead TVpPageList::ReadRecord(std::int64_t start) const
{
    const auto head = TryReadRecord(start);
    if (!head) {
        Damaged();
    }
    return *head;
}

TVpPageList::RecordHead TVpPageList::LastRecord() const
{
    TVpStream& stream = *m_stream;
    const std::int64_t size = stream.Size();
    if (size < kHeaderSize + kRecordOverhead) {
        Damaged();
    }
    stream.Seek(size - 4, TVpSeekOrigin::Beginning);
    const RecordHead last = ReadRecord(stream.ReadInt32());
    if (last.next != size) {
        Damaged();
    }
    return last;
}

void TVpPageList::PositionAtPage(std::int32_t n)
{
    std::lock_guard guard(m_lock);
    TVpStream& stream = RequireStream();
    std::lock_guard streamGuard(stream.Lock());
    stream.Seek(LocatePage(n).start, TVpSeekOrigin::Beginning);
}

TVpPageList::RecordHead TVpPageList::LocatePage(std::int32_t n) const
{
    TVpStream& stream = *m_stream;
    if (n < 1) {
        Damaged();
    }
    RecordHead here;
    if (n == 1) {
        here = ReadRecord(kHeaderSize);
    } else if (n == m_pageCount) {
        here = LastRecord();
    } else {
        // Between operations the stream stands at a record or at its end;
        // anything else (an earlier fetch that failed half-way) restarts
        // from the last record.
        const std::int64_t position = stream.Position();
        const auto current = position < stream.Size() ? TryReadRecord(position) : std::nullopt;
        here = current ? *current : LastRecord();
    }
    // The direction is chosen once, so damaged numbering cannot send the
    // walk to and fro; every step moves strictly one way, so it ends.
    if (n > here.number) {
        while (here.number != n) {
            if (here.next >= stream.Size()) {
                Damaged();
            }
            here = ReadRecord(here.next);
        }
    } else if (n < here.number) {
        while (here.number != n) {
            if (here.start <= kHeaderSize) {
                Damaged();
            }
            stream.Seek(here.start - 4, TVpSeekOrigin::Beginning);
            const std::int64_t previous = stream.ReadInt32();
            if (previous < kHeaderSize || previous > here.start - kRecordOverhead) {
                Damaged();
            }
            const RecordHead before = ReadRecord(previous);
            if (before.next != here.start) {
                Damaged();
            }
            here = before;
        }
    }
    return here;
}

std::optional<TVpPageBytes> TVpPageList::FetchPage(std::int32_t n)
{
    std::lock_guard guard(m_lock);
    if (n < 1 || n > m_pageCount) {
        return std::nullopt;
    }
    TVpStream& stream = RequireStream();
    std::lock_guard streamGuard(stream.Lock());
    const RecordHead record = LocatePage(n);
    stream.Seek(record.start + 8, TVpSeekOrigin::Beginning);
    // Past the "start" field: the next record, or the end. Also after a page
    // that is not valid, so that the search for the next page starts from
    // here instead of walking back from the last record: reading every page
    // of a report in turn stays linear in its records whatever they hold.
    try {
        TVpPageBytes page = m_compressed ? ReadCompressedPage(record) : ReadPlainPage(record);
        stream.Seek(record.next, TVpSeekOrigin::Beginning);
        return page;
    } catch (...) {
        stream.Seek(record.next, TVpSeekOrigin::Beginning);
        throw;
    }
}

TVpPageBytes TVpPageList::ReadPlainPage(const RecordHead& record)
{
    TVpStream& stream = *m_stream;
    const std::int64_t available = record.next - 4 - (record.start + 8);
    // No page the program writes is larger than a metafile may be; a larger
    // one is refused before it costs its size in memory.
    if (available <= static_cast<std::int64_t>(kEmfMinimum) || available > kMaxMetafileSize) {
        throw EInvalidGraphic();
    }
    std::uint8_t probe[kEmfProbeSize];
    stream.ReadBuffer(probe, sizeof probe);
    const auto declared = ProbeMetafile(probe, available);
    // The record holds exactly one metafile: a size that runs past the
    // record, or stops short of it, means the record is not what was written.
    if (!declared || static_cast<std::int64_t>(*declared) != available) {
        throw EInvalidGraphic();
    }
    TVpPageBytes page(static_cast<std::size_t>(available));
    std::memcpy(page.data(), probe, sizeof probe);
    stream.ReadBuffer(page.data() + sizeof probe, page.size() - sizeof probe);
    return page;
}

TVpPageBytes TVpPageList::ReadCompressedPage(const RecordHead& record)
{
    TVpStream& stream = *m_stream;
    const std::int64_t available = record.next - 4 - (record.start + 8);
    if (available < 4) {
        throw EInvalidGraphic();
    }
    const std::int64_t length = stream.ReadInt32();
    const std::int64_t codeBytes = available - 4;
    // Every byte costs at least one code bit, so a length beyond eight per
    // code byte cannot be real; checking it first keeps a damaged length
    // from deciding how much memory is taken.
    // The page size limit holds as when writing, so a few megabytes of code
    // bits cannot expand into more than a page may be.
    if (length <= static_cast<std::int64_t>(kEmfMinimum) || length > codeBytes * 8 || length > kMaxMetafileSize) {
        throw EInvalidGraphic();
    }
    TVpCompress expander(stream, TVpCompressDirection::Expand, codeBytes);
    std::uint8_t probe[kEmfProbeSize];
    expander.DecodeBytes(probe);
    const auto declared = ProbeMetafile(probe, length);
    if (!declared || static_cast<std::int64_t>(*declared) != length) {
        throw EInvalidGraphic();
    }
    // The buffer grows with what the code really yields, so a made-up
    // length runs out of code bits long before it costs its size in memory.
    constexpr std::size_t kStep = 1 << 20;
    TVpPageBytes page(probe, probe + sizeof probe);
    while (page.size() < static_cast<std::size_t>(length)) {
        const std::size_t have = page.size();
        page.resize(have + std::min(kStep, static_cast<std::size_t>(length) - have));
        expander.DecodeBytes(std::span<std::uint8_t>(page).subspan(have));
    }
    expander.Finish();
    if (expander.CodeBytes() != codeBytes) {
        throw EInvalidGraphic();
    }
    return page;
}

void TVpPageList::AppendPage(std::span<const std::uint8_t> metafile)
{
    const auto declared = MetafileDeclaredSize(metafile);
    // A page larger than any reader takes would make a file nothing opens.
    if (!declared || *declared != metafile.size() || *declared > kMaxMetafileSize) {
        throw EInvalidGraphic();
    }
    std::lock_guard guard(m_lock);
    TVpStream& stream = RequireStream();
    std::lock_guard streamGuard(stream.Lock());
    if (m_pageCount == std::numeric_limits<std::int32_t>::max()) {
        throw EVpError(DW_TEXT("Message", "Page store is full"));
    }
    const std::int64_t sizeBefore = stream.Size();
    const std::int32_t countBefore = m_pageCount;
    try {
        m_pageCount = countBefore + 1;
        if (m_pageCount == 1) {
            WriteStreamHeader();
        }
        const std::int64_t start = stream.Seek(0, TVpSeekOrigin::End);
        if (!m_compressed && start + kRecordOverhead + static_cast<std::int64_t>(metafile.size()) > kMaxOffset) {
            throw EVpError(DW_TEXT("Message", "Page store is full"));
        }
        stream.WriteInt32(m_pageCount);
        const std::int64_t nextField = stream.Position();
        stream.WriteInt32(static_cast<std::int32_t>(nextField));
        if (m_compressed) {
            stream.WriteInt32(static_cast<std::int32_t>(metafile.size()));
            TVpCompress compressor(stream, TVpCompressDirection::Compress);
            compressor.EncodeBytes(metafile);
            compressor.Finish();
            if (stream.Position() + 4 > kMaxOffset) {
                throw EVpError(DW_TEXT("Message", "Page store is full"));
            }
        } else {
            stream.Write(metafile.data(), metafile.size());
        }
        stream.WriteInt32(static_cast<std::int32_t>(start));
        const std::int64_t end = stream.Position();
        stream.Seek(nextField, TVpSeekOrigin::Beginning);
        stream.WriteInt32(static_cast<std::int32_t>(end));
        stream.Seek(end, TVpSeekOrigin::Beginning);
    } catch (...) {
        // Leave the store as it was before this page, so the records stay a
        // chain and a later page does not land behind a broken one.
        m_pageCount = countBefore;
        try {
            stream.SetSize(sizeBefore);
            stream.Seek(0, TVpSeekOrigin::End);
        } catch (...) {
        }
        throw;
    }
}

void TVpPageList::CheckEnds() const
{
    // Only what showing the first page and finding the others needs is
    // checked on opening: a header whose page count the file can hold, the
    // first record and the last one, which walks start from. The records
    // between are checked as the walks pass them (a link outside the
    // stream, a record whose own offset does not match, a page number
    // missing from the records still ends in the damage error, when that
    // page is asked for), so a file of millions of records opens at once.
    const std::int64_t size = m_stream->Size();
    if (m_pageCount > (size - kHeaderSize) / kRecordOverhead) {
        Damaged();
    }
    if (size == kHeaderSize && m_pageCount == 0) {
        return;
    }
    const RecordHead first = ReadRecord(kHeaderSize);
    const RecordHead last = LastRecord();
    // Records are numbered from 1 in order, and a file may hold more of them
    // than its count (a run aborted after its first page keeps count 1).
    if (first.number != 1 || last.number < m_pageCount || (last.start != first.start && last.number == 1)) {
        Damaged();
    }
}

void TVpPageList::OpenFromFile(const std::string& fileName)
{
    std::unique_ptr<TVpStream> opened = TVpStream::OpenForReading(fileName);
    std::lock_guard guard(m_lock);
    TVpStream* previousStream = m_stream;
    const std::int32_t previousCount = m_pageCount;
    const bool previousCompressed = m_compressed;
    m_stream = opened.get();
    try {
        ReadStreamHeader();
        CheckEnds();
        m_stream->Seek(kHeaderSize, TVpSeekOrigin::Beginning);
    } catch (...) {
        m_stream = previousStream;
        m_pageCount = previousCount;
        m_compressed = previousCompressed;
        throw;
    }
    m_openedStream = std::move(opened);
}

void TVpPageList::CopyToFile(const std::string& fileName)
{
    TVpStream& stream = RequireStream();
    if (fileName.empty()) {
        throw EFileError(CannotCreateFile(fileName));
    }
    std::optional<ReplaceFileWriter> out;
    try {
        out.emplace(fileName);
    } catch (const ENotAFile& error) {
        throw EFileError(error.Text());  // names the file and what it is
    } catch (const EInOutError& error) {
        throw EFileError(MessageText(DW_TEXT("Message", "Cannot create file %1: %2"),
                                     {MessageText::Verbatim(fileName), MessageText(ReasonOf(error))}));
    }
    // The writer's own words ("Disk full") do not say which file failed.
    const auto write = [&](auto&& step) {
        try {
            step();
        } catch (const EInOutError& error) {
            throw EInOutError(MessageText(DW_TEXT("Message", "Cannot write file %1: %2"),
                                          {MessageText::Verbatim(fileName), MessageText(ReasonOf(error))}));
        }
    };
    {
        std::lock_guard streamGuard(stream.Lock());
        stream.Seek(0, TVpSeekOrigin::Beginning);
        std::vector<std::uint8_t> chunk(kCopyChunk);
        for (;;) {
            const std::size_t got = stream.Read(chunk.data(), chunk.size());
            if (got == 0) {
                break;
            }
            write([&] { out->Write(std::string_view(reinterpret_cast<const char*>(chunk.data()), got)); });
        }
    }
    write([&] { out->Commit(); });
}

}  // namespace dw
