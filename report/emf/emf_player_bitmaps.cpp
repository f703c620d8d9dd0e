// SPDX-License-Identifier: MIT
// The player's bitmaps: decoding them within the page's bound on pixels,
// and the block transfers that draw them or fill with the brush, with the
// raster operations the painter can do.
#include "report/emf/emf_player_p.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <cmath>
#include <memory>
#include <optional>

namespace dw::emf {

namespace {

// The image keeps the decoded pixels themselves rather than a copy: a large
// bitmap is then written once, not twice.
QImage ToImage(DibImage dib, bool alpha)
{
    using Pixels = std::vector<std::uint32_t>;
    if (dib.Width <= 0 || dib.Height <= 0 ||
        dib.Pixels.size() != static_cast<std::size_t>(dib.Width) * static_cast<std::size_t>(dib.Height))
        return {};
    auto pixels = std::make_unique<Pixels>(std::move(dib.Pixels));
    QImage image(
        reinterpret_cast<uchar*>(pixels->data()), dib.Width, dib.Height, static_cast<qsizetype>(dib.Width) * 4,
        alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32,
        [](void* owned) { const std::unique_ptr<Pixels> freed(static_cast<Pixels*>(owned)); }, pixels.get());
    if (image.isNull())
        return {};
    pixels.release();  // the image's now, freed with its last copy
    return image;
}

// Raster operations that combine only the brush (P) and the page (D),
// by the index in the high word of the operation code; none for those
// that cannot be drawn, the empty one (D) included.
std::optional<QPainter::CompositionMode> PatternMode(std::uint32_t index)
{
    switch (index & 0xFF) {
        case 0x00:
            return QPainter::RasterOp_ClearDestination;
        case 0x05:
            return QPainter::RasterOp_NotSourceAndNotDestination;
        case 0x0A:
            return QPainter::RasterOp_NotSourceAndDestination;
        case 0x0F:
            return QPainter::RasterOp_NotSource;
        case 0x50:
            return QPainter::RasterOp_SourceAndNotDestination;
        case 0x55:
            return QPainter::RasterOp_NotDestination;
        case 0x5A:
            return QPainter::RasterOp_SourceXorDestination;
        case 0x5F:
            return QPainter::RasterOp_NotSourceOrNotDestination;
        case 0xA0:
            return QPainter::RasterOp_SourceAndDestination;
        case 0xA5:
            return QPainter::RasterOp_NotSourceXorDestination;
        case 0xAF:
            return QPainter::RasterOp_NotSourceOrDestination;
        case 0xF0:
            return QPainter::CompositionMode_SourceOver;
        case 0xF5:
            return QPainter::RasterOp_SourceOrNotDestination;
        case 0xFA:
            return QPainter::RasterOp_SourceOrDestination;
        case 0xFF:
            return QPainter::RasterOp_SetDestination;
        default:
            return std::nullopt;
    }
}

// The same for a source bitmap (S) and the page; operations that also use
// the brush are drawn as a copy. The inverted copy arrives with its bitmap
// already inverted.
std::optional<QPainter::CompositionMode> SourceMode(std::uint32_t index)
{
    switch (index & 0xFF) {
        case 0x11:
            return QPainter::RasterOp_NotSourceAndNotDestination;
        case 0x22:
            return QPainter::RasterOp_NotSourceAndDestination;
        case 0x44:
            return QPainter::RasterOp_SourceAndNotDestination;
        case 0x66:
            return QPainter::RasterOp_SourceXorDestination;
        case 0x77:
            return QPainter::RasterOp_NotSourceOrNotDestination;
        case 0x88:
            return QPainter::RasterOp_SourceAndDestination;
        case 0x99:
            return QPainter::RasterOp_NotSourceXorDestination;
        case 0xAA:
            return std::nullopt;
        case 0xBB:
            return QPainter::RasterOp_NotSourceOrDestination;
        case 0xDD:
            return QPainter::RasterOp_SourceOrNotDestination;
        case 0xEE:
            return QPainter::RasterOp_SourceOrDestination;
        default:
            return QPainter::CompositionMode_SourceOver;
    }
}

}  // namespace

// --- bitmaps --------------------------------------------------------------

QImage EmfPlayer::Image(const DibRef& dib, bool alpha)
{
    const auto bits = m_document.Range(dib.Bits);
    // An embedded picture is read by the one decoder its record names, and
    // its size is its own, not the header's.
    QByteArray data =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bits.data()), static_cast<qsizetype>(bits.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, dib.Info.Compression == kBiPng ? "png" : "jpeg");
    reader.setAutoDetectImageFormat(false);
    const QSize size = dib.Info.Embedded() ? reader.size() : QSize(dib.Info.Width, dib.Info.Height);
    const std::uint64_t pixels =
        size.isValid() ? static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) : 0;
    if (pixels == 0 || pixels > m_bitmapPixelsLeft) {
        ++m_skippedBitmaps;
        return {};
    }
    m_bitmapPixelsLeft -= pixels;
    if (dib.Info.Embedded())
        return reader.read();
    return ToImage(DecodeDib(dib.Info, bits, alpha), alpha);
}

void EmfPlayer::operator()(const BltRecord& r)
{
    if (m_inPath || Suppressed())
        return;
    if (!r.Source) {
        const QRectF dest(QPointF(r.XDest, r.YDest), QSizeF(r.CxDest, r.CyDest));
        const std::optional<QPainter::CompositionMode> mode = PatternMode(r.Rop >> 16);
        if (!mode)
            return;
        QBrush brush = CurrentBrush();
        if (*mode == QPainter::RasterOp_ClearDestination || *mode == QPainter::RasterOp_SetDestination) {
            // Black and white fills need no raster operations.
            brush = QBrush(*mode == QPainter::RasterOp_ClearDestination ? Qt::black : Qt::white);
        } else if (*mode != QPainter::CompositionMode_SourceOver) {
            if (!m_rasterOps)
                return;
            if (brush.style() == Qt::NoBrush)
                brush = QBrush(Qt::black);
            m_painter.setCompositionMode(*mode);
        }
        FillDeviceRect(dest.normalized(), brush);
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }

    const bool alpha = r.Type == kEmrAlphaBlend && ((r.BlendFunction >> 24) & 1) != 0;
    QImage image = Image(*r.Source, alpha);
    if (image.isNull() || r.CxDest == 0 || r.CyDest == 0)
        return;
    if (r.Type == kEmrTransparentBlt) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = qRgb(RedOf(r.TransparentColor), GreenOf(r.TransparentColor), BlueOf(r.TransparentColor));
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] & 0x00FFFFFF) == (key & 0x00FFFFFF))
                    line[x] = 0;
        }
    }
    if (r.Rop == kNotSrcCopy)
        image.invertPixels();
    // Bottom-up bitmaps count the source rectangle from their last row.
    const bool fromBottom = (r.Type == kEmrStretchDiBits || r.Type == kEmrSetDiBitsToDevice) &&
                            !r.Source->Info.TopDown && !r.Source->Info.Embedded();
    const double srcY = fromBottom ? static_cast<double>(image.height()) - r.YSrc - r.CySrc : r.YSrc;
    // A negative source extent mirrors like a negative destination one.
    QRectF source(r.XSrc, srcY, r.CxSrc, r.CySrc);
    QRectF dest(QPointF(r.XDest, r.YDest), QSizeF(r.CxDest, r.CyDest));
    if (source.width() < 0)
        source = QRectF(source.right(), source.y(), -source.width(), source.height()),
        dest = QRectF(dest.right(), dest.y(), -dest.width(), dest.height());
    if (source.height() < 0)
        source = QRectF(source.x(), source.bottom(), source.width(), -source.height()),
        dest = QRectF(dest.x(), dest.bottom(), dest.width(), -dest.height());
    if (source.width() == 0 || source.height() == 0)
        return;
    // Only the part of the source inside the bitmap is drawn, where it
    // would have gone.
    const QRectF part = source & QRectF(image.rect());
    if (part.isEmpty())
        return;
    auto toLogical = [&](const QPointF& s) {
        return QPointF(dest.x() + (s.x() - source.x()) * dest.width() / source.width(),
                       dest.y() + (s.y() - source.y()) * dest.height() / source.height());
    };
    const QPointF a = toLogical(part.topLeft());
    const QPointF b = toLogical(part.bottomRight());
    QTransform place;
    if (m_axisAligned) {
        // Whole device pixels, as fills get them.
        const QPointF da = Map(a), db = Map(b);
        const QPointF ra(std::round(da.x()), std::round(da.y())), rb(std::round(db.x()), std::round(db.y()));
        const double fx = (rb.x() - ra.x()) / part.width();
        const double fy = (rb.y() - ra.y()) / part.height();
        place = QTransform(fx, 0, 0, fy, ra.x() - part.x() * fx, ra.y() - part.y() * fy);
    } else {
        const double fx = (b.x() - a.x()) / part.width();
        const double fy = (b.y() - a.y()) / part.height();
        place = QTransform(fx, 0, 0, fy, a.x() - part.x() * fx, a.y() - part.y() * fy) * m_full;
    }
    if (!Finite(place) || place.determinant() == 0)
        return;

    PrepareDraw();
    const std::optional<QPainter::CompositionMode> mode =
        r.Type == kEmrBitBlt || r.Type == kEmrStretchBlt || r.Type == kEmrStretchDiBits
            ? SourceMode(r.Rop >> 16)
            : QPainter::CompositionMode_SourceOver;
    if (!mode || (*mode != QPainter::CompositionMode_SourceOver && !m_rasterOps))
        return;
    m_painter.setCompositionMode(*mode);
    if (r.Type == kEmrAlphaBlend)
        m_painter.setOpacity(((r.BlendFunction >> 16) & 0xFF) / 255.0);
    if (!Afford(place.mapRect(part))) {
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        m_painter.setOpacity(1.0);
        return;
    }
    m_painter.setWorldTransform(place);
    m_painter.drawImage(part, image, part);
    m_painter.setWorldTransform(QTransform());
    m_painter.setOpacity(1.0);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

}  // namespace dw::emf
