// Arbitrary bytes as a saved report file: loading either fails with the
// program's error or gives a store whose every page can be fetched (or is
// refused as an invalid metafile), and saving it again writes the same bytes.
// The same bytes are also walked without the check made on opening, as if
// the file had changed under the program, in an order that uses the forward,
// backward and last-record links.

#include "common/errors.h"
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

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fputs(what, stderr);
        std::fputc('\n', stderr);
        std::abort();
    }
}

const std::filesystem::path& Directory()
{
    static const std::filesystem::path directory = [] {
        std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::string pattern = (base / "dw-fuzz-vpr-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        // Spilled stores of the walk below land here too.
        ::setenv("TMPDIR", pattern.c_str(), 1);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(Directory(), ec);
        });
        return std::filesystem::path(pattern);
    }();
    return directory;
}

void Put(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::vector<std::uint8_t> Get(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
