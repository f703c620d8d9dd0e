// SPDX-License-Identifier: MIT
// Arbitrary bytes as a saved report file: loading either fails with the
// program's error or gives a store whose every page can be fetched (or is
// refused as an invalid metafile), and saving it again writes the same bytes.
// The same bytes are also walked without the check made on opening, as if
// the file had changed under the program, in an order that uses the forward,
// backward and last-record links.

#include "common/errors.h"
#include "fuzz/fuzz_support.h"
#include "report/core/page_list.h"
#include "report/core/page_store.h"
#include "report/core/page_stream.h"

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using dw::fuzz::Check;

const std::filesystem::path& Directory() { return dw::fuzz::ScratchDirectory("vpr", /*pointTmpDirHere=*/true); }

void Put(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size)
{
    dw::fuzz::PutFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
}

std::vector<std::uint8_t> Get(const std::filesystem::path& path)
{
    const std::string bytes = dw::fuzz::GetFile(path);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void CheckPage(const std::optional<dw::TVpPageBytes>& page)
{
    Check(page.has_value(), "page within the count not returned");
    auto size = dw::MetafileDeclaredSize(*page);
    Check(size.has_value() && *size == page->size(), "returned page is not a whole metafile");
}

void LoadAndFetch(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path path = Directory() / "report.vpr";
    Put(path, data, size);
    dw::TVpPageStore store;
    try {
        store.Load(path.string());
    } catch (const dw::Exception&) {
        Check(store.Status() == dw::TVpPrinterStatus::Ready && store.PageCount() == 0, "failed load kept pages");
        return;
    }
    Check(store.Status() == dw::TVpPrinterStatus::Finished, "loaded store not finished");
    const std::int32_t count = store.PageCount();
    // Every page, last first so the walk starts from the end; at most a few
    // hundred so one input cannot stall the run.
    for (std::int32_t n = count; n >= 1 && n > count - 300; --n) {
        try {
            CheckPage(store.GetPage(n));
        } catch (const dw::Exception&) {
        }
    }
    for (std::int32_t n = 1; n <= count && n <= 300; ++n) {
        try {
            CheckPage(store.GetPage(n));
        } catch (const dw::Exception&) {
        }
    }
    Check(!store.GetPage(count + 1).has_value(), "page past the count returned");
    const std::filesystem::path copy = Directory() / "copy.vpr";
    store.Save(copy.string());
    Check(Get(copy) == std::vector<std::uint8_t>(data, data + size), "saved file differs from the loaded one");
}

void WalkUnchecked(const std::uint8_t* data, std::size_t size)
{
    dw::TVpStream stream(1 << 20);
    stream.Write(data, size);
    dw::TVpPageList list;
    list.SetStream(&stream);
    try {
        list.ReadStreamHeader();
    } catch (const dw::Exception&) {
        return;
    }
    const std::int32_t count = list.PageCount();
    for (std::int32_t n : {2, 5, 3, 1, count, count - 1, 4, 2, count / 2}) {
        try {
            (void)list.FetchPage(n);
        } catch (const dw::Exception&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    LoadAndFetch(data, size);
    WalkUnchecked(data, size);
    return 0;
}
