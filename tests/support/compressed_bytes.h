// SPDX-License-Identifier: MIT
#pragma once

// The compressed form of a page's bytes, as the page store writes it; for the
// tests and benchmarks that need compressed input without a store around it.
// Header-only: the benchmarks build without the tests' libraries.

#include "report/core/compress.h"
#include "report/core/page_stream.h"

#include <cstdint>
#include <vector>

namespace dw::test {

inline std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& plain)
{
    TVpStream stream(std::int64_t{1} << 40);
    {
        TVpCompress compressor(stream, TVpCompressDirection::Compress);
        compressor.EncodeBytes(plain);
        compressor.Finish();
    }
    std::vector<std::uint8_t> code(static_cast<std::size_t>(stream.Size()));
    stream.Seek(0, TVpSeekOrigin::Beginning);
    stream.ReadBuffer(code.data(), code.size());
    return code;
}

}  // namespace dw::test
