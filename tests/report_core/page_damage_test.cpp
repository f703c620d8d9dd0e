// SPDX-License-Identifier: MIT
// Saved report files that were damaged on the way: every case ends in the
// program's error, never in a crash, a read outside the data or a walk
// without end.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "common/errors.h"
#include "report/core/compress.h"
#include "report/core/page_errors.h"
#include "report/core/page_list.h"
#include "report/core/page_store.h"
#include "report/core/page_stream.h"
#include "tests/report_core/page_test_support.h"

namespace dw {
namespace {

using test::Bytes;

constexpr int kPages = 5;

Bytes Page(int n)
{
    return test::MakeEmfPage(static_cast<std::uint32_t>(700 + n), 600 + 100 * static_cast<std::size_t>(n));
}

using test::Encode;

// A whole file laid out by hand from each record's data, links computed.
Bytes BuildFile(const std::vector<Bytes>& recordData, bool compressed, std::int32_t count)
{
    Bytes file(124, 0);
    file[0] = 3;
    file[2] = 207;
    test::PutU32(file, 8, static_cast<std::uint32_t>(count));
    file[21] = compressed ? 1 : 0;
    for (std::size_t i = 0; i < recordData.size(); ++i) {
        const auto start = static_cast<std::uint32_t>(file.size());
        test::AppendU32(file, static_cast<std::uint32_t>(i + 1));
        test::AppendU32(file, start + 12 + static_cast<std::uint32_t>(recordData[i].size()));
        file.insert(file.end(), recordData[i].begin(), recordData[i].end());
        test::AppendU32(file, start);
    }
    return file;
}

Bytes CompressedData(const Bytes& page)
{
    Bytes data;
    test::AppendU32(data, static_cast<std::uint32_t>(page.size()));
    const Bytes code = Encode(page);
    data.insert(data.end(), code.begin(), code.end());
    return data;
}

Bytes GoodFile(bool compressed)
{
    std::vector<Bytes> data;
    for (int n = 1; n <= kPages; ++n) {
        data.push_back(compressed ? CompressedData(Page(n)) : Page(n));
    }
    return BuildFile(data, compressed, kPages);
}

// Offsets of the records of a good file.
std::vector<std::size_t> Starts(const Bytes& file)
{
    std::vector<std::size_t> starts;
    for (std::size_t at = 124; at + 12 <= file.size(); at = test::GetU32(file, at + 4)) {
        starts.push_back(at);
    }
    return starts;
}

using Mutation = std::function<void(Bytes&)>;

struct StructureDamage {
    const char* name;
    bool compressed;
    Mutation damage;
    // Damage between the first and the last record, which opening does not
    // walk to.
    bool foundWhenTurnedTo = false;
};

void SetNext(Bytes& f, int record, std::uint32_t value)
{
    test::PutU32(f, Starts(f)[static_cast<std::size_t>(record - 1)] + 4, value);
}

void SetStartField(Bytes& f, int record, std::uint32_t value)
{
    const auto starts = Starts(f);
    const std::size_t next = test::GetU32(f, starts[static_cast<std::size_t>(record - 1)] + 4);
    test::PutU32(f, next - 4, value);
}

const StructureDamage kStructureDamage[] = {
    {"empty_file", false, [](Bytes& f) { f.clear(); }},
    {"header_cut_short", false, [](Bytes& f) { f.resize(100); }},
    {"header_alone_promising_pages", false, [](Bytes& f) { f.resize(124); }},
    {"count_above_records", false, [](Bytes& f) { test::PutU32(f, 8, kPages + 1); }},
    {"count_above_records_compressed", true, [](Bytes& f) { test::PutU32(f, 8, kPages + 1); }},
    {"count_negative", false, [](Bytes& f) { test::PutU32(f, 8, 0xFFFFFFFF); }},
    {"count_huge", false, [](Bytes& f) { test::PutU32(f, 8, 0x7FFFFFFF); }},
    {"next_beyond_the_stream", false, [](Bytes& f) { SetNext(f, 2, static_cast<std::uint32_t>(f.size() + 100)); },
     true},
    {"next_negative", false, [](Bytes& f) { SetNext(f, 2, 0x80000000); }, true},
    {"next_to_its_own_record", false, [](Bytes& f) { SetNext(f, 3, static_cast<std::uint32_t>(Starts(f)[2])); }, true},
    {"next_back_to_the_first", true, [](Bytes& f) { SetNext(f, 4, 124); }, true},
    {"next_inside_the_record", false, [](Bytes& f) { SetNext(f, 2, static_cast<std::uint32_t>(Starts(f)[1] + 5)); },
     true},
    {"start_pointing_forward", false, [](Bytes& f) { SetStartField(f, 3, static_cast<std::uint32_t>(Starts(f)[3])); },
     true},
    {"start_pointing_at_itself_minus_one", true,
     [](Bytes& f) { SetStartField(f, 4, static_cast<std::uint32_t>(Starts(f)[3] - 1)); }, true},
    {"last_start_outside", false, [](Bytes& f) { test::PutU32(f, f.size() - 4, 0x7FFFFFF0); }},
    {"page_numbers_skip", false, [](Bytes& f) { test::PutU32(f, Starts(f)[2], 4); }, true},
    {"page_number_zero", false, [](Bytes& f) { test::PutU32(f, Starts(f)[0], 0); }},
    {"all_page_numbers_one", false,
     [](Bytes& f) {
         for (std::size_t at : Starts(f)) {
             test::PutU32(f, at, 1);
         }
     }},
    {"last_record_cut", false, [](Bytes& f) { f.resize(f.size() - 10); }},
    {"cut_inside_the_third_record", true, [](Bytes& f) { f.resize(Starts(f)[2] + 30); }},
    {"bytes_appended", false,
     [](Bytes& f) {
         f.insert(f.end(), {1, 2, 3});
     }},
};

class StructureDamageTest : public test::PageTempDirTest, public ::testing::WithParamInterface<StructureDamage> {
protected:
    Bytes Damaged() const
    {
        Bytes file = GoodFile(GetParam().compressed);
        GetParam().damage(file);
        return file;
    }
};

// Opening checks the header and the records walks start from; damage
// between them is found when the page behind it is asked for. Either way the
// file is named.
TEST_P(StructureDamageTest, LoadOrTurningToThePageEndsInAFileErrorNamingTheFile)
{
    const auto path = Path("damaged.vpr");
    test::WriteBytes(path, Damaged());
    TVpPageStore store;
    const std::string expected = "File " + path.string() + " is not a valid report file";
    try {
        store.Load(path.string());
    } catch (const EFileError& e) {
        EXPECT_EQ(e.Message(), expected);
        EXPECT_EQ(store.Status(), TVpPrinterStatus::Ready);
        EXPECT_EQ(store.PageCount(), 0);
        return;
    }
    ASSERT_TRUE(GetParam().foundWhenTurnedTo) << "damage at an end of the file is found on opening";
    int damaged = 0;
    for (int n = 1; n <= store.PageCount(); ++n) {
        try {
            (void)store.GetPage(n);
        } catch (const EFileError& e) {
            EXPECT_EQ(e.Message(), expected);
            ++damaged;
        }
    }
    EXPECT_GT(damaged, 0);
}

// The same bytes walked without the check made when a file is opened (as if
// the file had been changed under us): each fetch gives the right page or an
// error, and returns.
TEST_P(StructureDamageTest, WalkingTheLinksStopsWithAnError)
{
    const Bytes file = Damaged();
    TVpStream stream(1 << 30);
    stream.Write(file.data(), file.size());
    TVpPageList list;
    list.SetStream(&stream);
    try {
        list.ReadStreamHeader();
    } catch (const Exception&) {
        return;
    }
    int errors = 0;
    for (int n : {2, 5, 3, 1, 4, list.PageCount(), list.PageCount() - 1, 1}) {
        try {
            // Without the check on opening, damaged numbering can still give
            // a wrong page; what matters here is that every call returns.
            (void)list.FetchPage(n);
        } catch (const Exception& e) {
            ++errors;
            EXPECT_FALSE(e.Message().empty());
        }
    }
    EXPECT_GT(errors, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, StructureDamageTest, ::testing::ValuesIn(kStructureDamage),
                         [](const auto& row) { return std::string(row.param.name); });

struct PageDamage {
    const char* name;
    bool compressed;
    // Builds the data of the damaged third record from page 3.
    std::function<Bytes(const Bytes& page)> record;
};

Bytes WithU32(Bytes b, std::size_t at, std::uint32_t v)
{
    test::PutU32(b, at, v);
    return b;
}

Bytes CompressedWithLength(const Bytes& page, std::uint32_t length)
{
    return WithU32(CompressedData(page), 0, length);
}

const PageDamage kPageDamage[] = {
    {"emf_size_beyond_the_record", false,
     [](const Bytes& p) { return WithU32(p, 48, static_cast<std::uint32_t>(p.size() + 4)); }},
    {"emf_size_short_of_the_record", false,
     [](const Bytes& p) { return WithU32(p, 48, static_cast<std::uint32_t>(p.size() - 4)); }},
    {"emf_size_huge", false, [](const Bytes& p) { return WithU32(p, 48, 0xFFFFFFF0); }},
    {"emf_type_not_header", false, [](const Bytes& p) { return WithU32(p, 0, 2); }},
    {"emf_signature_wrong", false, [](const Bytes& p) { return WithU32(p, 40, 0x464D4521); }},
    {"record_too_small_for_a_metafile", false, [](const Bytes& p) { return Bytes(p.begin(), p.begin() + 100); }},
    {"record_with_no_data", false, [](const Bytes&) { return Bytes{}; }},
    {"length_negative", true, [](const Bytes& p) { return CompressedWithLength(p, 0xFFFFFFFB); }},
    {"length_zero", true, [](const Bytes& p) { return CompressedWithLength(p, 0); }},
    {"length_absurd", true, [](const Bytes& p) { return CompressedWithLength(p, 0x7FFFFFFF); }},
    {"length_longer_than_the_metafile", true,
     [](const Bytes& p) { return CompressedWithLength(p, static_cast<std::uint32_t>(p.size() + 40)); }},
    {"length_shorter_than_the_metafile", true,
     [](const Bytes& p) { return CompressedWithLength(p, static_cast<std::uint32_t>(p.size() - 40)); }},
    {"code_bits_run_out", true,
     [](const Bytes& p) {
         Bytes d = CompressedData(p);
         d.resize(4 + (d.size() - 4) / 2);
         return d;
     }},
    {"code_bits_left_over", true,
     [](const Bytes& p) {
         Bytes d = CompressedData(p);
         d.insert(d.end(), {0x55, 0x55, 0x55});
         return d;
     }},
    {"compressed_record_without_length", true,
     [](const Bytes&) {
         return Bytes{1, 2};
     }},
    {"plain_page_in_a_compressed_file", true, [](const Bytes& p) { return p; }},
};

class PageDamageTest : public test::PageTempDirTest, public ::testing::WithParamInterface<PageDamage> {};

TEST_P(PageDamageTest, OnlyTheDamagedPageFailsAsAnInvalidMetafile)
{
    std::vector<Bytes> data;
    for (int n = 1; n <= kPages; ++n) {
        const Bytes page = Page(n);
        if (n == 3) {
            data.push_back(GetParam().record(page));
        } else {
            data.push_back(GetParam().compressed ? CompressedData(page) : page);
        }
    }
    const auto path = Path("page3.vpr");
    test::WriteBytes(path, BuildFile(data, GetParam().compressed, kPages));
    TVpPageStore store;
    store.Load(path.string());
    ASSERT_EQ(store.PageCount(), kPages);
    for (int n : {5, 3, 2, 3, 4, 1, 3, 5}) {
        if (n == 3) {
            try {
                store.GetPage(n);
                FAIL() << "damaged page fetched";
            } catch (const EInvalidGraphic& e) {
                EXPECT_EQ(e.Message(), "Metafile is not valid");
            }
        } else {
            EXPECT_EQ(store.GetPage(n).value_or(Bytes{}), Page(n)) << "page " << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, PageDamageTest, ::testing::ValuesIn(kPageDamage),
                         [](const auto& row) { return std::string(row.param.name); });

// Reports made to cost far more than their size. What a page shows is
// listed page by page: 'P' its own bytes, 'M' "Metafile is not valid", 'F'
// the file's damage error.
struct CostCase {
    const char* name;
    // Writes the file at path; returns the pages it shows.
    std::function<std::string(const std::filesystem::path& path)> write;
    // Fetched through the list alone, without what opening checks.
    bool unopened = false;
};

// A record's head for data of `size` bytes at `start`.
void AppendHead(Bytes& file, std::uint32_t number, std::uint64_t size)
{
    const auto start = static_cast<std::uint32_t>(file.size());
    test::AppendU32(file, number);
    test::AppendU32(file, static_cast<std::uint32_t>(start + 12 + size));
}

const CostCase kCostCases[] = {
    // A page that is not valid does not send the search for the next one
    // back from the last record: the walk moves on from where it stopped,
    // past a record that only a walk back from the end would trip over.
    {"search_moves_on_after_a_bad_page",
     [](const std::filesystem::path& path) {
         Bytes file = BuildFile({Page(1), Page(2), Bytes{}, Page(4), Page(5), Page(6)}, false, 6);
         test::PutU32(file, Starts(file)[4], 0);
         test::WriteBytes(path, file);
         return std::string("PPMP");
     },
     true},
    // Opening reads the header and the records at either end, not every
    // record between: a damaged record in the middle is found when its page
    // is asked for, and the pages around it still show.
    {"damage_between_the_ends_waits_for_its_page",
     [](const std::filesystem::path& path) {
         Bytes file = BuildFile({Page(1), Page(2), Page(3)}, false, 3);
         test::PutU32(file, Starts(file)[1], 0);
         test::WriteBytes(path, file);
         return std::string("PFP");
     }},
    // Thousands of empty records: each is read once however many are bad.
    {"thousands_of_empty_records_open_and_each_fails_alone",
     [](const std::filesystem::path& path) {
         test::WriteBytes(path, BuildFile(std::vector<Bytes>(3000), false, 3000));
         return std::string(3000, 'M');
     }},
    // A plain page beyond the largest a page may be is refused from its
    // size, before its bytes are read (the file is sparse).
    {"plain_page_beyond_the_page_size_limit",
     [](const std::filesystem::path& path) {
         const std::uint64_t size = (std::uint64_t{256} << 20) + 4;
         Bytes file = BuildFile({Page(1)}, false, 2);
         AppendHead(file, 2, size);
         Bytes emf = Page(2);
         test::PutU32(emf, 48, static_cast<std::uint32_t>(size));
         file.insert(file.end(), emf.begin(), emf.end());
         const std::uint64_t start = Starts(file)[1];
         {
             std::ofstream out(path, std::ios::binary);
             out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
             out.seekp(static_cast<std::streamoff>(start + 8 + size));
             Bytes tail;
             test::AppendU32(tail, static_cast<std::uint32_t>(start));
             out.write(reinterpret_cast<const char*>(tail.data()), 4);
         }
         return std::string("PM");
     }},
};

class CostTest : public test::PageTempDirTest, public ::testing::WithParamInterface<CostCase> {};

TEST_P(CostTest, EachPageShowsOrFailsAlone)
{
    const auto path = Path("costly.vpr");
    const std::string expected = GetParam().write(path);
    std::unique_ptr<TVpStream> stream;
    TVpPageList list;
    if (GetParam().unopened) {
        const Bytes file = test::ReadByteVector(path);
        stream = std::make_unique<TVpStream>(1 << 30);
        stream->Write(file.data(), file.size());
        list.SetStream(stream.get());
        list.ReadStreamHeader();
    } else {
        list.OpenFromFile(path.string());
    }
    std::string shown;
    for (int n = 1; n <= static_cast<int>(expected.size()); ++n) {
        try {
            const auto page = list.FetchPage(n);
            shown += page && *page == Page(n) ? 'P' : '?';
        } catch (const EInvalidGraphic&) {
            shown += 'M';
        } catch (const EFileError&) {
            shown += 'F';
        } catch (const EVpError&) {
            shown += 'F';
        }
    }
    EXPECT_EQ(shown, expected);
}

INSTANTIATE_TEST_SUITE_P(Reports, CostTest, ::testing::ValuesIn(kCostCases),
                         [](const auto& row) { return std::string(row.param.name); });

class PageFileBuilderTest : public test::PageTempDirTest {};

TEST_F(PageFileBuilderTest, HandMadeGoodFileIsWhatTheStoreWrites)
{
    // The builder above makes what the store makes.
    for (bool compressed : {false, true}) {
        const auto path = Path("good.vpr");
        test::WriteBytes(path, GoodFile(compressed));
        TVpPageStore store;
        store.Load(path.string());
        ASSERT_EQ(store.PageCount(), kPages);
        for (int n = 1; n <= kPages; ++n) {
            EXPECT_EQ(store.GetPage(n).value_or(Bytes{}), Page(n));
        }
        TVpPageStore run;
        run.BeginDoc(compressed);
        for (int n = 1; n <= kPages; ++n) {
            run.AppendPage(Page(n));
        }
        run.EndDoc();
        run.Save(Path("run.vpr").string());
        Bytes saved = test::ReadByteVector(Path("run.vpr"));
        Bytes built = GoodFile(compressed);
        std::fill(saved.begin() + 12, saved.begin() + 20, 0);  // the date
        EXPECT_EQ(saved, built);
    }
}

}  // namespace
}  // namespace dw
