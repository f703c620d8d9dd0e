// SPDX-License-Identifier: MIT
#include "tools/vprtool/png_strips.h"

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

namespace dw::vprtool {

namespace {

void PutU32(QByteArray& out, std::uint32_t v)
{
    out.append(static_cast<char>(v >> 24));
    out.append(static_cast<char>(v >> 16));
    out.append(static_cast<char>(v >> 8));
    out.append(static_cast<char>(v));
}

void PutChunk(QByteArray& out, const char* type, const QByteArray& data)
{
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    QByteArray typed(type, 4);
    typed += data;
    out += typed;
    PutU32(out, static_cast<std::uint32_t>(
                    ::crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), static_cast<uInt>(typed.size()))));
}

// Deflated image data goes out in chunks of this size.
constexpr std::size_t kChunkBytes = 1 << 16;

}  // namespace

struct PngStripWriter::State {
    int Width = 0;
    int Height = 0;
    int RowsAdded = 0;
    z_stream Stream{};
    bool StreamOpen = false;
    QByteArray Out;
    std::vector<unsigned char> Row;      // filter byte and RGB of the current row
    std::vector<unsigned char> Previous;  // RGB of the row before, for the Up filter
    std::vector<unsigned char> Chunk = std::vector<unsigned char>(kChunkBytes);

    void Deflate(const unsigned char* data, std::size_t size, int flush)
    {
        Stream.next_in = const_cast<Bytef*>(data);
        Stream.avail_in = static_cast<uInt>(size);
        int result = Z_OK;
        do {
            Stream.next_out = Chunk.data();
            Stream.avail_out = static_cast<uInt>(Chunk.size());
            result = ::deflate(&Stream, flush);
            if (result == Z_STREAM_ERROR) {
                throw std::bad_alloc();
            }
            const std::size_t produced = Chunk.size() - Stream.avail_out;
            if (produced > 0) {
                PutChunk(Out, "IDAT",
                         QByteArray(reinterpret_cast<const char*>(Chunk.data()), static_cast<qsizetype>(produced)));
            }
        } while (Stream.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    }
};

PngStripWriter::PngStripWriter(int width, int height, int dpi) : m_state(std::make_unique<State>())
{
    State& s = *m_state;
    s.Width = width;
    s.Height = height;
    if (::deflateInit(&s.Stream, Z_DEFAULT_COMPRESSION) != Z_OK) {
        throw std::bad_alloc();
    }
    s.StreamOpen = true;
    s.Row.resize(1 + 3 * static_cast<std::size_t>(width));
    s.Previous.assign(3 * static_cast<std::size_t>(width), 0);
    s.Out.append("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    PutU32(header, static_cast<std::uint32_t>(width));
    PutU32(header, static_cast<std::uint32_t>(height));
    header.append(static_cast<char>(8));  // bits per sample
    header.append(static_cast<char>(2));  // RGB
    header.append(static_cast<char>(0));  // deflate
    header.append(static_cast<char>(0));  // adaptive filtering
    header.append(static_cast<char>(0));  // not interlaced
    PutChunk(s.Out, "IHDR", header);
    QByteArray density;
    const auto perMetre = static_cast<std::uint32_t>(std::lround(dpi / 0.0254));
    PutU32(density, perMetre);
    PutU32(density, perMetre);
    density.append(static_cast<char>(1));  // the unit is the metre
    PutChunk(s.Out, "pHYs", density);
}

PngStripWriter::~PngStripWriter()
{
    if (m_state->StreamOpen) {
        ::deflateEnd(&m_state->Stream);
    }
}

void PngStripWriter::AddRows(const QImage& strip)
{
    State& s = *m_state;
    for (int y = 0; y < strip.height() && s.RowsAdded < s.Height; ++y, ++s.RowsAdded) {
        const auto* pixels = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
        // The Up filter (each byte less the one above) keeps the flat areas
        // of a page, which repeat down the rows, small.
        s.Row[0] = 2;
        for (int x = 0; x < s.Width; ++x) {
            const unsigned char rgb[3] = {static_cast<unsigned char>(qRed(pixels[x])),
                                          static_cast<unsigned char>(qGreen(pixels[x])),
                                          static_cast<unsigned char>(qBlue(pixels[x]))};
            for (int c = 0; c < 3; ++c) {
                const std::size_t at = 3 * static_cast<std::size_t>(x) + c;
                s.Row[1 + at] = static_cast<unsigned char>(rgb[c] - s.Previous[at]);
                s.Previous[at] = rgb[c];
            }
        }
        s.Deflate(s.Row.data(), s.Row.size(), Z_NO_FLUSH);
    }
}

QByteArray PngStripWriter::Finish()
{
    State& s = *m_state;
    s.Deflate(nullptr, 0, Z_FINISH);
    ::deflateEnd(&s.Stream);
    s.StreamOpen = false;
    PutChunk(s.Out, "IEND", QByteArray());
    return std::move(s.Out);
}

}  // namespace dw::vprtool
