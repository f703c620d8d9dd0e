// SPDX-License-Identifier: MIT
// fuzz-options: -max_len=1048576 -rss_limit_mb=1024 -malloc_limit_mb=10 -timeout=60 -report_slow_units=60
// Arbitrary bytes as a saved report file, read as every reader reads it but
// never played: the file opened, every page fetched in turn and each one
// that is a metafile decoded record by record. Inputs go up to a megabyte,
// so that what a small file can make the readers spend is within reach: a
// page whose records all point at one string, a page of millions of tiny
// records, a report of thousands of bad pages.
//
// Besides ending in the program's errors, an input must cost what it holds:
// the heap may grow by no more than ten times the larger of the input and
// the largest page it expands to (plus a little for the fixed costs), and
// no single allocation may pass 10 MB (the options above), ten times the
// largest input. An input is called a hang after a minute on the clock: the
// largest seeds (half a million tiny records, compressed) take about a
// second under the sanitizers, and a run at the lowest priority on a busy
// machine waited more than ten for one.
//
// The plain fuzz build has no Qt, so the plain files of report/emf it needs
// are compiled into this harness, as the player's target does.

#include "common/errors.h"
#include "fuzz/fuzz_support.h"
#include "report/core/page_errors.h"
#include "report/core/page_list.h"
#include "report/emf/emf_reader.h"

#include "report/emf/emf_dib.cpp"
#include "report/emf/emf_format.cpp"
#include "report/emf/emf_reader.cpp"

#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace {

using dw::fuzz::Check;

// The heap in use and its highest mark since the input began, kept by the
// sanitizer's allocation hooks.
std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};

void OnMalloc(const volatile void*, std::size_t size)
{
    const std::size_t now = g_live.fetch_add(size) + size;
    std::size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

void OnFree(const volatile void* pointer)
{
    g_live.fetch_sub(__sanitizer_get_allocated_size(const_cast<const void*>(pointer)));
}

const bool kHooked = (__sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree), true);

// At most this many pages are read of one input: each page is found in
// time linear in the records between it and the last one read, so a report
// of twenty thousand empty records costs no more than its bytes.
constexpr std::int32_t kMaxPages = 20000;
constexpr std::size_t kFixedCosts = std::size_t{1} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path path = dw::fuzz::ScratchDirectory("vpr-page") / "report.vpr";
    dw::fuzz::PutFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    const std::size_t start = g_live.load();
    g_peak.store(start);
    std::size_t largestPage = 0;
    {
        dw::TVpPageList list;
        try {
            list.OpenFromFile(path.string());
        } catch (const dw::Exception&) {
            return 0;
        }
        const std::int32_t count = std::min(list.PageCount(), kMaxPages);
        for (std::int32_t n = 1; n <= count; ++n) {
            try {
                std::optional<dw::TVpPageBytes> bytes = list.FetchPage(n);
                Check(bytes.has_value(), "page within the count not returned");
                largestPage = std::max(largestPage, bytes->size());
                const dw::emf::EmfDocument page(std::move(*bytes));
                std::size_t records = 0;
                for (const dw::emf::EmfRecord& record : page.Records()) {
                    (void)record;
                    ++records;
                }
                Check(records == page.Records().size(), "records visited differ from those counted");
            } catch (const dw::EInvalidGraphic&) {
            } catch (const dw::Exception&) {
                // The links are broken: the pages after this one are not
                // reachable either.
                break;
            }
        }
    }
    Check(g_peak.load() - start <= 10 * std::max(size, largestPage) + kFixedCosts,
          "reading the report took more than ten times its bytes");
    return 0;
}
