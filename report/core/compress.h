// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace dw {

class TVpStream;

enum class TVpCompressDirection { Compress, Expand };

// Adaptive splay-tree prefix code for page data. Every compressor starts
// from the same balanced tree, so each page can be expanded on its own.
//
// Code bits fill each byte from bit 0 upwards. In the compress direction
// whole bytes go to the stream as they fill; Finish (or destruction) writes
// the last, partly filled byte. In the expand direction the compressor never
// reads past the limit it was given, and Finish leaves the stream positioned
// right after the last code byte it used, so whatever follows the code can be
// read next.
class TVpCompress {
public:
    // Node 0 is the root, 0..255 are inner nodes, byte v is leaf v + 256.
    static constexpr int kRoot = 0;
    static constexpr int kLeafBase = 256;

    // readLimit: the most code bytes an expanding compressor may take from
    // the stream; a negative value means "up to the end of the stream".
    TVpCompress(TVpStream& stream, TVpCompressDirection direction, std::int64_t readLimit = -1);
    ~TVpCompress();
    TVpCompress(const TVpCompress&) = delete;
    TVpCompress& operator=(const TVpCompress&) = delete;

    void EncodeByte(std::uint8_t value);
    void EncodeBytes(std::span<const std::uint8_t> bytes);
    // Raises EInvalidGraphic "Metafile is not valid" when the code bits run
    // out before a byte is complete or lead to no byte.
    std::uint8_t DecodeByte();
    void DecodeBytes(std::span<std::uint8_t> out);

    // Compress: writes the pending bytes, including a partly filled last one.
    // Expand: gives back to the stream the bytes read ahead but not used.
    // Called by the destructor when not called before; call it explicitly to
    // see its errors.
    void Finish();

    // Code bytes taken from the stream so far (expand) or produced so far,
    // counting a partly filled byte (compress).
    std::int64_t CodeBytes() const;

    void ResetTree();

private:
    void SplayLeaf(int value);
    void FlushOutput();
    void FillInput();

    TVpStream& m_stream;
    TVpCompressDirection m_direction;
    bool m_finished = false;

    std::array<std::uint8_t, 513> m_up{};
    std::array<std::uint16_t, 256> m_left{};
    std::array<std::uint16_t, 256> m_right{};

    // Compress: bits already in the byte being filled (0..7). Expand: bits
    // already taken from the byte being read (1..8; 8 = take a new byte).
    int m_bitPosition = 0;
    std::uint8_t m_outByte = 0;
    std::uint8_t m_inByte = 0;

    // Compress: bytes waiting to be written. Expand: bytes read ahead.
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_bufferPos = 0;
    std::int64_t m_readLeft = 0;   // bytes the expander may still read from the stream
    std::int64_t m_bytesUsed = 0;  // code bytes consumed (expand) or written to the stream (compress)
};

}  // namespace dw
