// SPDX-License-Identifier: MIT
#pragma once

#include "numeric/core/date_time.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace dw {

class TVpStream;

// One page: the bytes of one enhanced metafile.
using TVpPageBytes = std::vector<std::uint8_t>;

// The page records of a report run, kept in a TVpStream in the saved-file
// layout (a saved report file is the stream copied byte for byte):
//
//   header, 124 bytes: u16 3, u16 207, 4 reserved, i32 page count,
//                      f64 date and time of writing, 1 reserved,
//                      u8 compressed flag, 102 reserved
//   records from 124:  i32 page number, i32 offset of the next record,
//                      data, i32 offset of this record
//
// Data is one metafile (plain) or its i32 length followed by its code bits
// (compressed). Pages are found by walking the records' links from the
// current position, the first or the last record; no index is kept.
//
// A stream read from a file is checked as it is walked: a link outside the
// stream, a record whose own offset does not match, a walk that would not
// move on or a page number missing from the records ends in EFileError
// naming the file; page data that is not a metafile, or larger than a page
// may be (kMaxMetafileSize, also once expanded), ends in EInvalidGraphic
// "Metafile is not valid". Opening checks the header and the first and last
// records only; each page is found in time linear in the records between
// where the last fetch left off and that page, also after a page that
// was not valid.
class TVpPageList {
public:
    static constexpr std::int64_t kHeaderSize = 124;
    static constexpr std::uint16_t kSignature = 3;
    static constexpr std::uint16_t kVersion = 207;
    static constexpr std::size_t kCopyChunk = 10240;

    TVpPageList();
    ~TVpPageList();
    TVpPageList(const TVpPageList&) = delete;
    TVpPageList& operator=(const TVpPageList&) = delete;

    // The stream the list works on; not owned, except one opened by
    // OpenFromFile, which the list keeps until it is replaced or the list goes.
    void SetStream(TVpStream* stream);
    TVpStream* Stream() const { return m_stream; }

    std::int32_t PageCount() const { return m_pageCount; }
    bool Compressed() const { return m_compressed; }
    void SetCompressed(bool compressed) { m_compressed = compressed; }

    // Appends one page record. The bytes must be one whole metafile
    // (EInvalidGraphic otherwise); they stay the caller's.
    void AppendPage(std::span<const std::uint8_t> metafile);
    // Page n (1-based); none when n is outside 1..PageCount.
    std::optional<TVpPageBytes> FetchPage(std::int32_t n);
    // Leaves the stream at the start of page n's record.
    void PositionAtPage(std::int32_t n);

    // Stamps the header with the local time of writing.
    void WriteStreamHeader();
    void ReadStreamHeader();

    // When the stream's header was written, as the header last written or
    // read says; none for a header that was never stamped (it holds 0) or
    // whose stamp is not a date of the years 1..9999.
    std::optional<DateTimeValue> Written() const;

    // Opens a saved report file read-only as this list's stream and reads
    // its header. EFileError "Cannot open file <name>", or a damage error.
    void OpenFromFile(const std::string& fileName);
    // Writes the stream's bytes to fileName through a temporary file beside
    // it, renamed over it only when complete: a failed copy leaves what was
    // there before. A link is followed and stays a link. EFileError "Cannot
    // create file <name>" (followed by what it is for a folder, a device, a
    // pipe or a socket), EInOutError "Cannot write file <name>".
    void CopyToFile(const std::string& fileName);

private:
    struct RecordHead {
        std::int64_t start = 0;
        std::int32_t number = 0;
        std::int64_t next = 0;
    };

    TVpStream& RequireStream() const;
    [[noreturn]] void Damaged() const;
    std::optional<RecordHead> TryReadRecord(std::int64_t start) const;
    RecordHead ReadRecord(std::int64_t start) const;
    RecordHead LastRecord() const;
    RecordHead LocatePage(std::int32_t n) const;
    void CheckEnds() const;
    TVpPageBytes ReadPlainPage(const RecordHead& record);
    TVpPageBytes ReadCompressedPage(const RecordHead& record);

    mutable std::recursive_mutex m_lock;
    std::int32_t m_pageCount = 0;
    bool m_compressed = false;
    std::optional<DateTimeValue> m_written;
    TVpStream* m_stream = nullptr;
    std::unique_ptr<TVpStream> m_openedStream;
};

// Checks that bytes start with a metafile header (record type 1, " EMF" at
// offset 40, more than 100 bytes) and returns the total size it declares.
// Returns none for anything else.
std::optional<std::uint32_t> MetafileDeclaredSize(std::span<const std::uint8_t> bytes);

}  // namespace dw
