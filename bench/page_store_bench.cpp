// SPDX-License-Identifier: MIT
// Page store speed: compression of metafile-shaped pages, and fetching pages
// from spilled stores of growing size. Stepping to an adjacent page follows at
// most three links, so its time must stay flat as the store grows; the first
// and last page are reached directly; a random page walks from where the last
// fetch stopped.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "report/core/compress.h"
#include "report/core/page_list.h"
#include "report/core/page_store.h"
#include "report/core/page_stream.h"
#include "tests/support/compressed_bytes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using dw::test::Encode;

void Put32(Bytes& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

// A page like the report's: header, then text-out records with UTF-16 label
// texts and coordinates, lines and object selections, then the end record.
Bytes MakePage(std::uint32_t seed, std::size_t size)
{
    std::mt19937 random(seed);
    Bytes page;
    Put32(page, 1);
    Put32(page, 108);
    for (std::uint32_t v : {0u, 0u, 1122u, 1586u, 0u,   0u,   29700u, 42000u, 0x464D4520u, 0x10000u, 0u,     0u, 3u, 0u,
                            0u, 0u, 1024u, 768u,  320u, 240u, 0u,     0u,     0u,          320000u,  240000u}) {
        Put32(page, v);
    }
    static const char16_t* const kTexts[] = {u"ВЕС ТАЛЕВОЙ СИСТЕМЫ", u"1 234,56 т.", u"Ведущая труба", u"0,00 т.",
                                             u"Длина колонны",       u"2 500,00 м."};
    while (page.size() + 120 < size) {
        if (random() % 3 == 0) {
            Put32(page, 54);
            Put32(page, 16);
            Put32(page, random() % 1100);
            Put32(page, random() % 1500);
            continue;
        }
        const std::u16string text = kTexts[random() % 6];
        const auto chars = static_cast<std::uint32_t>(text.size());
        const std::uint32_t stringBytes = (chars * 2 + 3) / 4 * 4;
        Put32(page, 84);
        Put32(page, 76 + stringBytes + chars * 4);
        const std::uint32_t x = random() % 1100, y = random() % 1500;
        for (std::uint32_t v :
             {x, y, x + 200, y + 16, 1u, 0u, 0u, x, y, chars, 76u, 0u, 0u, 0u, 0u, 0u, 76 + stringBytes}) {
            Put32(page, v);
        }
        for (char16_t c : text) {
            page.push_back(static_cast<std::uint8_t>(c));
            page.push_back(static_cast<std::uint8_t>(c >> 8));
        }
        if (chars % 2 != 0) {
            page.insert(page.end(), {0, 0});
        }
        for (std::uint32_t i = 0; i < chars; ++i) {
            Put32(page, 7 + random() % 3);
        }
    }
    for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u}) {
        Put32(page, v);
    }
    const auto total = static_cast<std::uint32_t>(page.size());
    for (int i = 0; i < 4; ++i) {
        page[48 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(total >> (8 * i));
    }
    return page;
}

void BM_Compress(benchmark::State& state)
{
    const Bytes page = MakePage(1, static_cast<std::size_t>(state.range(0)));
    std::size_t codeSize = 0;
    for (auto _ : state) {
        dw::TVpStream stream(std::int64_t{1} << 40);
        dw::TVpCompress compressor(stream, dw::TVpCompressDirection::Compress);
        compressor.EncodeBytes(page);
        compressor.Finish();
        codeSize = static_cast<std::size_t>(stream.Size());
        benchmark::DoNotOptimize(codeSize);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["ratio"] = static_cast<double>(codeSize) / static_cast<double>(page.size());
}
BENCHMARK(BM_Compress)->Arg(20 * 1024)->Arg(2 * 1024 * 1024)->Unit(benchmark::kMicrosecond);

void BM_Expand(benchmark::State& state)
{
    const Bytes page = MakePage(1, static_cast<std::size_t>(state.range(0)));
    const Bytes code = Encode(page);
    dw::TVpStream stream(std::int64_t{1} << 40);
    stream.Write(code.data(), code.size());
    Bytes out(page.size());
    for (auto _ : state) {
        stream.Seek(0, dw::TVpSeekOrigin::Beginning);
        dw::TVpCompress expander(stream, dw::TVpCompressDirection::Expand, static_cast<std::int64_t>(code.size()));
        expander.DecodeBytes(out);
        expander.Finish();
        benchmark::DoNotOptimize(out.data());
    }
    if (out != page) {
        state.SkipWithError("expanded page differs");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Expand)->Arg(20 * 1024)->Arg(2 * 1024 * 1024)->Unit(benchmark::kMicrosecond);

// One spilled store per page count, built on first use and kept for every
// fetch benchmark of that size.
dw::TVpPageStore& Store(int pages)
{
    static std::map<int, std::unique_ptr<dw::TVpPageStore>> stores;
    auto& store = stores[pages];
    if (!store) {
        store = std::make_unique<dw::TVpPageStore>();
        store->BeginDoc(false);
        const Bytes page = MakePage(7, 2000);
        for (int i = 0; i < pages; ++i) {
            store->AppendPage(page);
        }
        store->EndDoc();
    }
    return *store;
}

enum class Step { Next, Previous, First, Last, Random };

void FetchBench(benchmark::State& state, Step step)
{
    const int pages = static_cast<int>(state.range(0));
    dw::TVpPageStore& store = Store(pages);
    if (!store.PageStream()->Spilled()) {
        state.SkipWithError("store did not spill");
        return;
    }
    std::mt19937 random(3);
    int n = pages / 2;
    store.GetPage(n);
    for (auto _ : state) {
        switch (step) {
            case Step::Next:
                n = n == pages ? 1 : n + 1;
                break;
            case Step::Previous:
                n = n == 1 ? pages : n - 1;
                break;
            case Step::First:
                n = 1;
                break;
            case Step::Last:
                n = pages;
                break;
            case Step::Random:
                n = 1 + static_cast<int>(random() % static_cast<unsigned>(pages));
                break;
        }
        auto page = store.GetPage(n);
        benchmark::DoNotOptimize(page);
    }
}

void BM_FetchNext(benchmark::State& state)
{
    FetchBench(state, Step::Next);
}
void BM_FetchPrevious(benchmark::State& state)
{
    FetchBench(state, Step::Previous);
}
void BM_FetchFirst(benchmark::State& state)
{
    FetchBench(state, Step::First);
}
void BM_FetchLast(benchmark::State& state)
{
    FetchBench(state, Step::Last);
}
void BM_FetchRandom(benchmark::State& state)
{
    FetchBench(state, Step::Random);
}
BENCHMARK(BM_FetchNext)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FetchPrevious)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FetchFirst)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FetchLast)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FetchRandom)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Opening a saved file checks every record once.
void BM_OpenSavedFile(benchmark::State& state)
{
    const int pages = static_cast<int>(state.range(0));
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("dw-bench-" + std::to_string(pages) + "-" + std::to_string(std::rand()) + ".vpr"))
                                 .string();
    Store(pages).Save(path);
    for (auto _ : state) {
        dw::TVpPageList list;
        list.OpenFromFile(path);
        benchmark::DoNotOptimize(list.PageCount());
    }
    std::error_code ec;
    std::filesystem::remove(path, ec);
}
BENCHMARK(BM_OpenSavedFile)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
