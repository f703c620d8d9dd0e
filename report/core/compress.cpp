// SPDX-License-Identifier: MIT
#include "report/core/compress.h"

#include "common/stop_request.h"

#include <algorithm>

#include "report/core/page_errors.h"
#include "report/core/page_stream.h"

namespace dw {

namespace {

// Whole code bytes are handed to the stream in blocks of this size, and read
// ahead in blocks of the read size; the stream sees the same bytes it would
// byte by byte.
constexpr std::size_t kWriteBlock = 64 * 1024;
constexpr std::size_t kReadBlock = 4096;

}  // namespace

TVpCompress::TVpCompress(TVpStream& stream, TVpCompressDirection direction, std::int64_t readLimit)
    : m_stream(stream), m_direction(direction)
{
    ResetTree();
    if (m_direction == TVpCompressDirection::Expand) {
        const std::int64_t left = std::max<std::int64_t>(m_stream.Size() - m_stream.Position(), 0);
        m_readLeft = readLimit < 0 ? left : std::min(readLimit, left);
        m_bitPosition = 8;
    } else {
        m_buffer.reserve(kWriteBlock);
    }
}

TVpCompress::~TVpCompress()
{
    if (!m_finished) {
        try {
            Finish();
        } catch (...) {
            // Only reached while another error is on its way out; that one
            // is the one to report.
        }
    }
}

void TVpCompress::ResetTree()
{
    m_up[0] = 0;
    for (int i = 1; i <= 512; ++i) {
        m_up[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i - 1) / 2);
    }
    for (int j = 0; j <= 255; ++j) {
        m_left[static_cast<std::size_t>(j)] = static_cast<std::uint16_t>(2 * j + 1);
        m_right[static_cast<std::size_t>(j)] = static_cast<std::uint16_t>(2 * j + 2);
    }
}

void TVpCompress::SplayLeaf(int value)
{
    int a = value + kLeafBase;
    do {
        const int p = m_up[static_cast<std::size_t>(a)];
        if (p != kRoot) {
            const int g = m_up[static_cast<std::size_t>(p)];
            int b = m_left[static_cast<std::size_t>(g)];
            if (b == p) {
                b = m_right[static_cast<std::size_t>(g)];
                m_right[static_cast<std::size_t>(g)] = static_cast<std::uint16_t>(a);
            } else {
                m_left[static_cast<std::size_t>(g)] = static_cast<std::uint16_t>(a);
            }
            if (a == m_left[static_cast<std::size_t>(p)]) {
                m_left[static_cast<std::size_t>(p)] = static_cast<std::uint16_t>(b);
            } else {
                m_right[static_cast<std::size_t>(p)] = static_cast<std::uint16_t>(b);
            }
            m_up[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(g);
            m_up[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(p);
            a = g;
        } else {
            a = p;
        }
    } while (a != kRoot);
}

void TVpCompress::FlushOutput()
{
    if (!m_buffer.empty()) {
        m_stream.Write(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
    }
}

void TVpCompress::EncodeByte(std::uint8_t value)
{
    // The path is noted leaf-upwards and sent root-downwards; a path in a
    // tree of 256 inner nodes has at most 256 steps.
    std::uint8_t path[256];
    int depth = 0;
    int a = value + kLeafBase;
    do {
        const int p = m_up[static_cast<std::size_t>(a)];
        path[depth++] = m_right[static_cast<std::size_t>(p)] == a ? 1 : 0;
        a = p;
    } while (a != kRoot);
    unsigned byte = m_outByte;
    int bit = m_bitPosition;
    while (depth > 0) {
        byte |= unsigned{path[--depth]} << bit;
        if (++bit == 8) {
            m_buffer.push_back(static_cast<std::uint8_t>(byte));
            byte = 0;
            bit = 0;
        }
    }
    m_outByte = static_cast<std::uint8_t>(byte);
    m_bitPosition = bit;
    if (m_buffer.size() >= kWriteBlock) {
        m_bytesUsed += static_cast<std::int64_t>(m_buffer.size());
        FlushOutput();
    }
    SplayLeaf(value);
}

void TVpCompress::EncodeBytes(std::span<const std::uint8_t> bytes)
{
    for (const std::uint8_t b : bytes) {
        EncodeByte(b);
    }
}

void TVpCompress::FillInput()
{
    m_buffer.clear();
    m_bufferPos = 0;
    const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(m_readLeft, kReadBlock));
    if (want > 0) {
        m_buffer.resize(want);
        const std::size_t got = m_stream.Read(m_buffer.data(), want);
        m_buffer.resize(got);
        m_readLeft -= static_cast<std::int64_t>(got);
        if (got < want) {
            // The stream ended before the limit; nothing more will come.
            m_readLeft = 0;
        }
    }
    if (m_buffer.empty()) {
        throw EInvalidGraphic();
    }
}

std::uint8_t TVpCompress::DecodeByte()
{
    int i = kRoot;
    unsigned byte = m_inByte;
    int bit = m_bitPosition;
    do {
        // A new byte when the last bit taken was bit 7 (the expander starts
        // as if it had just taken one).
        if (bit == 8) {
            if (m_bufferPos >= m_buffer.size()) {
                FillInput();
            }
            byte = m_buffer[m_bufferPos++];
            ++m_bytesUsed;
            bit = 0;
        }
        const bool one = ((byte >> bit) & 1u) != 0;
        ++bit;
        i = one ? m_right[static_cast<std::size_t>(i)] : m_left[static_cast<std::size_t>(i)];
    } while (i < kLeafBase);
    m_inByte = static_cast<std::uint8_t>(byte);
    m_bitPosition = bit;
    const int value = i - kLeafBase;
    if (value > 255) {
        // The spare leaf beside byte 255 stands for no byte; only damaged
        // code reaches it.
        throw EInvalidGraphic();
    }
    SplayLeaf(value);
    return static_cast<std::uint8_t>(value);
}

void TVpCompress::DecodeBytes(std::span<std::uint8_t> out)
{
    // A page expands to hundreds of megabytes in a second or two; a request
    // to end the program ends the expanding instead.
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i % kStopCheckBytes == 0) {
            ThrowIfStopRequested();
        }
        out[i] = DecodeByte();
    }
}

void TVpCompress::Finish()
{
    if (m_finished) {
        return;
    }
    m_finished = true;
    if (m_direction == TVpCompressDirection::Compress) {
        if (m_bitPosition > 0) {
            m_buffer.push_back(m_outByte);
            m_outByte = 0;
            m_bitPosition = 0;
        }
        m_bytesUsed += static_cast<std::int64_t>(m_buffer.size());
        FlushOutput();
    } else {
        const std::size_t unused = m_buffer.size() - m_bufferPos;
        if (unused > 0) {
            m_stream.Seek(-static_cast<std::int64_t>(unused), TVpSeekOrigin::Current);
        }
        m_buffer.clear();
        m_bufferPos = 0;
    }
}

std::int64_t TVpCompress::CodeBytes() const
{
    if (m_direction == TVpCompressDirection::Compress) {
        return m_bytesUsed + static_cast<std::int64_t>(m_buffer.size()) + (m_bitPosition > 0 ? 1 : 0);
    }
    return m_bytesUsed;
}

}  // namespace dw
