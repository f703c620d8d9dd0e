// SPDX-License-Identifier: MIT
#pragma once

// Hand-made metafiles for the tests: a header for a 100 dpi reference
// device (a picture of w x h pixels has a frame of exactly w x h pixels)
// and records given as their 32-bit fields.

#include "report/emf/emf_format.h"

#include <QColor>
#include <QImage>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace dw::emf::test {

class RawEmf {
public:
    explicit RawEmf(std::int32_t width = 100, std::int32_t height = 100)
    {
        ByteWriter out(m_bytes);
        out.U32(kEmrHeader);
        out.U32(108);
        out.Rect({0, 0, width - 1, height - 1});
        // 1000 pixels are 254 mm: .01 mm = 0.0393... pixels, 100 px = 2540.
        out.Rect({0, 0, width * 254 / 10, height * 254 / 10});
        out.U32(kEmfSignature);
        out.U32(kEmfVersion);
        out.U32(0);  // nBytes, patched
        out.U32(0);  // nRecords, patched
        out.U16(1);
        out.U16(0);
        out.U32(0);
        out.U32(0);
        out.U32(0);
        out.Size({1000, 1000});
        out.Size({254, 254});
        out.U32(0);
        out.U32(0);
        out.U32(0);
        out.Size({254000, 254000});
        m_records = 1;
    }

    // A record of the given 32-bit fields after Type and Size.
    RawEmf& Add(std::uint32_t type, std::initializer_list<std::uint32_t> fields)
    {
        std::vector<std::uint8_t> payload;
        ByteWriter out(payload);
        for (std::uint32_t f : fields) out.U32(f);
        return AddBytes(type, payload);
    }

    RawEmf& AddBytes(std::uint32_t type, const std::vector<std::uint8_t>& payload)
    {
        ByteWriter out(m_bytes);
        out.U32(type);
        out.U32(static_cast<std::uint32_t>(8 + ((payload.size() + 3) & ~std::size_t{3})));
        out.Bytes(payload);
        out.PadTo4();
        ++m_records;
        return *this;
    }

    // A record whose Size field is given as is (for damaged data).
    RawEmf& AddRaw(std::uint32_t type, std::uint32_t size, const std::vector<std::uint8_t>& payload)
    {
        ByteWriter out(m_bytes);
        out.U32(type);
        out.U32(size);
        out.Bytes(payload);
        ++m_records;
        return *this;
    }

    std::vector<std::uint8_t> Finish(bool withEof = true)
    {
        if (withEof)
            Add(kEmrEof, {0, 16, 20});
        ByteWriter out(m_bytes);
        out.PatchU32(48, static_cast<std::uint32_t>(m_bytes.size()));
        out.PatchU32(52, m_records);
        return m_bytes;
    }

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint32_t m_records = 0;
};

inline std::uint32_t U(std::int32_t v)
{
    return static_cast<std::uint32_t>(v);
}

inline std::uint32_t F(float v)
{
    std::uint32_t u = 0;
    static_assert(sizeof u == sizeof v);
    __builtin_memcpy(&u, &v, sizeof u);
    return u;
}

// The share of pixels whose colour differs by more than tolerance in any
// channel; images of different sizes differ completely.
inline double DifferentPixels(const QImage& a, const QImage& b, int tolerance = 48)
{
    if (a.size() != b.size())
        return 1.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    std::int64_t differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            if (std::abs(qRed(p[col]) - qRed(q[col])) > tolerance ||
                std::abs(qGreen(p[col]) - qGreen(q[col])) > tolerance ||
                std::abs(qBlue(p[col]) - qBlue(q[col])) > tolerance)
                ++differing;
        }
    }
    return static_cast<double>(differing) / (static_cast<double>(x.width()) * x.height());
}

inline QImage WhiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

}  // namespace dw::emf::test
