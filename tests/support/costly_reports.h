// SPDX-License-Identifier: MIT
#pragma once

// Small report files made to cost the readers far more than their size, as
// a careless reader would pay it: a page whose text entries all point at one
// string, a page of millions of eight-byte records, a report of thousands of
// empty records. Header-only; the compressed reports need report_core.

#include "report/core/page_list.h"
#include "report/core/page_stream.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace dw::test {

using CostlyBytes = std::vector<std::uint8_t>;

inline void CostlyPut(CostlyBytes& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline void CostlyPatch(CostlyBytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A metafile of an A4 page at 96 dpi holding `body` (whole records) and the
// end record.
inline CostlyBytes CostlyMetafile(const CostlyBytes& body, std::uint32_t bodyRecords)
{
    CostlyBytes page;
    CostlyPut(page, 1);
    CostlyPut(page, 108);
    for (std::uint32_t v : {0u, 0u, 793u, 1122u, 0u, 0u, 21000u, 29700u}) CostlyPut(page, v);
    CostlyPut(page, 0x464D4520);  // " EMF"
    CostlyPut(page, 0x10000);
    CostlyPut(page, 0);  // total size, below
    CostlyPut(page, bodyRecords + 2);
    CostlyPut(page, 1);  // handles; reserved
    for (std::uint32_t v : {0u, 0u, 0u, 794u, 1123u, 210u, 297u, 0u, 0u, 0u, 210000u, 297000u}) CostlyPut(page, v);
    page.insert(page.end(), body.begin(), body.end());
    for (std::uint32_t v : {14u, 20u, 0u, 0u, 20u}) CostlyPut(page, v);  // EOF
    CostlyPatch(page, 48, static_cast<std::uint32_t>(page.size()));
    return page;
}

// One poly-text record of about `bytes` bytes: an entry every 24 bytes of
// its first three fifths, each pointing at the one string that fills the
// rest. Read entry by entry it spells out the string thousands of times.
inline CostlyBytes SharedStringPage(std::size_t bytes)
{
    const std::uint32_t entries = static_cast<std::uint32_t>(bytes / 40);
    const std::uint32_t textAt = 8 + 32 + 24 * entries;
    const std::uint32_t chars = static_cast<std::uint32_t>((bytes - (textAt - 8)) / 2);
    CostlyBytes record;
    CostlyPut(record, 97);  // POLYTEXTOUTW
    CostlyPut(record, 0);   // size, below
    for (std::uint32_t v : {0u, 0u, 100u, 100u, 1u}) CostlyPut(record, v);
    const float scale = 1.0F;
    std::uint32_t scaleBits = 0;
    std::memcpy(&scaleBits, &scale, 4);
    CostlyPut(record, scaleBits);
    CostlyPut(record, scaleBits);
    CostlyPut(record, entries);
    for (std::uint32_t i = 0; i < entries; ++i) {
        for (std::uint32_t v : {10u, 10u + i % 1000, chars, textAt, 0x100u, 0u}) CostlyPut(record, v);
    }
    for (std::uint32_t i = 0; i < chars; ++i) {
        record.push_back('A');
        record.push_back(0);
    }
    record.resize((record.size() + 3) & ~std::size_t{3}, 0);
    CostlyPatch(record, 4, static_cast<std::uint32_t>(record.size()));
    return CostlyMetafile(record, 1);
}

// `records` SAVEDC records of eight bytes each.
inline CostlyBytes SaveDcPage(std::size_t records)
{
    CostlyBytes body;
    body.reserve(records * 8);
    for (std::size_t i = 0; i < records; ++i) {
        CostlyPut(body, 33);
        CostlyPut(body, 8);
    }
    return CostlyMetafile(body, static_cast<std::uint32_t>(records));
}

// A report file of the given page data as the program writes it (plain or
// compressed).
inline CostlyBytes CostlyReport(const std::vector<CostlyBytes>& pages, bool compressed)
{
    TVpStream stream;
    TVpPageList list;
    list.SetStream(&stream);
    list.SetCompressed(compressed);
    for (const CostlyBytes& page : pages) list.AppendPage(page);
    list.WriteStreamHeader();
    CostlyBytes file(static_cast<std::size_t>(stream.Size()));
    stream.Seek(0, TVpSeekOrigin::Beginning);
    stream.ReadBuffer(file.data(), file.size());
    return file;
}

// A report of `count` records that hold no page at all.
inline CostlyBytes EmptyRecordsReport(std::uint32_t count)
{
    CostlyBytes file(124, 0);
    file[0] = 3;
    file[2] = 207;
    CostlyPatch(file, 8, count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto start = static_cast<std::uint32_t>(file.size());
        CostlyPut(file, i + 1);
        CostlyPut(file, start + 12);
        CostlyPut(file, start);
    }
    return file;
}

}  // namespace dw::test
