// SPDX-License-Identifier: MIT
// Arbitrary code bits expanded as page data: the first four bytes say how
// many bytes to decode, the rest is the code. Decoding never reads past the
// code it was given; when it succeeds, compressing the result gives the same
// code back (the code is a prefix code, so it is the only one).

#include "common/errors.h"
#include "report/core/compress.h"
#include "report/core/page_errors.h"
#include "report/core/page_stream.h"

#include "fuzz/fuzz_support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

using dw::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) {
        return 0;
    }
    const std::uint32_t claimed = std::uint32_t{data[0]} | (std::uint32_t{data[1]} << 8) |
                                  (std::uint32_t{data[2]} << 16) | (std::uint32_t{data[3]} << 24);
    const std::size_t codeSize = size - 4;
    // The page reader refuses more than eight bytes per code byte; keep to
    // what it would accept.
    const std::size_t count = claimed % (codeSize * 8 + 1);

    dw::TVpStream stream;
    stream.Write(data + 4, codeSize);
    const std::uint8_t fence[] = {0xA5, 0x5A};
    stream.Write(fence, sizeof fence);  // past the limit: never to be read
    stream.Seek(0, dw::TVpSeekOrigin::Beginning);

    std::vector<std::uint8_t> plain(count);
    std::int64_t used = 0;
    {
        dw::TVpCompress expander(stream, dw::TVpCompressDirection::Expand, static_cast<std::int64_t>(codeSize));
        try {
            expander.DecodeBytes(plain);
        } catch (const dw::EInvalidGraphic&) {
            return 0;
        }
        expander.Finish();
        used = expander.CodeBytes();
    }
    Check(used >= 0 && static_cast<std::size_t>(used) <= codeSize, "expander read past its limit");
    Check(stream.Position() == used, "stream not left after the code used");

    dw::TVpStream again;
    {
        dw::TVpCompress compressor(again, dw::TVpCompressDirection::Compress);
        compressor.EncodeBytes(plain);
        compressor.Finish();
    }
    Check(again.Size() == used, "re-encoding gives a different length");
    std::vector<std::uint8_t> code(static_cast<std::size_t>(used));
    again.Seek(0, dw::TVpSeekOrigin::Beginning);
    again.ReadBuffer(code.data(), code.size());
    for (std::size_t i = 0; i < code.size(); ++i) {
        const std::uint8_t original = data[4 + i];
        if (i + 1 < code.size()) {
            Check(code[i] == original, "re-encoding gives different code");
        } else {
            // The unused high bits of the last byte are free in the input.
            Check((code[i] & ~original) == 0, "re-encoding gives a different last byte");
        }
    }
    return 0;
}
