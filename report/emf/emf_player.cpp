// SPDX-License-Identifier: MIT
#include "report/emf/emf_player.h"
#include "report/emf/emf_player_p.h"

#include "report/emf/polygon_region_p.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <numbers>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <variant>

namespace dw::emf {

namespace {

constexpr double kHugeCoordinate = 1.0e8;

QColor ToColor(ColorRef c)
{
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QPointF ToPoint(const PointL& p)
{
    return QPointF(p.X, p.Y);
}

QRectF ToRect(const RectL& r)
{
    return QRectF(QPointF(r.Left, r.Top), QPointF(r.Right, r.Bottom));
}

// Zero for an empty rectangle.
double Area(const QRectF& r)
{
    return r.isEmpty() ? 0 : r.width() * r.height();
}

bool Finite(const QTransform& t)
{
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) && std::isfinite(t.m22()) &&
           std::isfinite(t.dx()) && std::isfinite(t.dy());
}

QTransform ToTransform(const XForm& x)
{
    return QTransform(x.M11, x.M12, x.M21, x.M22, x.Dx, x.Dy);
}

// --- 8-bit text -----------------------------------------------------------

// The upper halves of the two code pages 8-bit page text arrives in:
// Cyrillic for fonts with the Russian character set, Western otherwise.
constexpr char16_t kCp1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410,
    0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A,
    0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444,
    0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeAnsi(const std::string& bytes, std::uint8_t charSet)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) {
        if (b < 0x80)
            text.append(QChar(b));
        else if (charSet == kRussianCharset)
            text.append(QChar(kCp1251[b - 0x80]));
        else if (b < 0xA0)
            text.append(QChar(kCp1252High[b - 0x80]));
        else
            text.append(QChar(b));
    }
    return text;
}

// --- drawing objects ------------------------------------------------------

ObjectPtr MakePen(ColorRef color, bool null)
{
    PenObject pen;
    pen.Color = color;
    pen.Null = null;
    pen.Style = null ? kPsNull : kPsSolid;
    return std::make_shared<const GdiObject>(pen);
}

ObjectPtr MakeBrush(ColorRef color, bool null)
{
    BrushObject brush;
    brush.Color = color;
    brush.Style = null ? kBsNull : kBsSolid;
    return std::make_shared<const GdiObject>(brush);
}

ObjectPtr MakeFont(const char16_t* face, std::int32_t height, std::int32_t weight)
{
    FontObject font;
    font.Font.FaceName = face;
    font.Font.Height = height;
    font.Font.Weight = weight;
    return std::make_shared<const GdiObject>(font);
}

const std::unordered_map<std::uint32_t, ObjectPtr>& StockObjects()
{
    static const std::unordered_map<std::uint32_t, ObjectPtr> stock = [] {
        std::unordered_map<std::uint32_t, ObjectPtr> s;
        s[kWhiteBrush] = MakeBrush(MakeColorRef(255, 255, 255), false);
        s[kLtGrayBrush] = MakeBrush(MakeColorRef(192, 192, 192), false);
        s[kGrayBrush] = MakeBrush(MakeColorRef(128, 128, 128), false);
        s[kDkGrayBrush] = MakeBrush(MakeColorRef(64, 64, 64), false);
        s[kBlackBrush] = MakeBrush(0, false);
        s[kNullBrush] = MakeBrush(0, true);
        s[kDcBrush] = s[kWhiteBrush];
        s[kWhitePen] = MakePen(MakeColorRef(255, 255, 255), false);
        s[kBlackPen] = MakePen(0, false);
        s[kNullPen] = MakePen(0, true);
        s[kDcPen] = s[kBlackPen];
        s[kSystemFont] = MakeFont(u"System", 16, kFwBold);
        s[kDeviceDefaultFont] = s[kSystemFont];
        s[kAnsiVarFont] = MakeFont(u"MS Sans Serif", 13, kFwNormal);
        s[kDefaultGuiFont] = MakeFont(u"MS Shell Dlg", -11, kFwNormal);
        s[kOemFixedFont] = MakeFont(u"Courier New", 12, kFwNormal);
        s[kAnsiFixedFont] = MakeFont(u"Courier New", 13, kFwNormal);
        s[kSystemFixedFont] = MakeFont(u"Courier New", 16, kFwNormal);
        return s;
    }();
    return stock;
}

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

ObjectPtr StockObject(std::uint32_t handle)
{
    const auto& stock = StockObjects();
    const auto it = stock.find(handle);
    return it == stock.end() ? nullptr : it->second;
}

// --- playing ----------------------------------------------------------------

EmfPlayer::EmfPlayer(QPainter& painter, const EmfDocument& document, const QRectF& target)
    : m_painter(painter), m_document(document), m_target(target)
{
    const EmfHeader& h = document.Header();
    if (h.Device.Cx > 0 && h.Millimeters.Cx > 0)
        m_pixelsPerMmX = static_cast<double>(h.Device.Cx) / h.Millimeters.Cx;
    if (h.Device.Cy > 0 && h.Millimeters.Cy > 0)
        m_pixelsPerMmY = static_cast<double>(h.Device.Cy) / h.Millimeters.Cy;
    const auto& stock = StockObjects();
    m_dc.Pen = stock.at(kBlackPen);
    m_dc.Brush = stock.at(kWhiteBrush);
    m_dc.Font = stock.at(kSystemFont);
}

void EmfPlayer::Play()
{
    if (!Begin())
        return;
    for (const EmfRecord& record : m_document.Records()) PlayRecord(record);
    End();
}

bool EmfPlayer::Begin()
{
    if (!(m_target.width() != 0 && m_target.height() != 0) || !std::isfinite(m_target.width()) ||
        !std::isfinite(m_target.height()))
        return false;
    const EmfDocument::FrameRect frame = m_document.FramePixels();
    const double sx = m_target.width() / frame.Width;
    const double sy = m_target.height() / frame.Height;
    const QTransform base = m_painter.worldTransform();
    m_playback = QTransform(sx, 0, 0, sy, m_target.x() - frame.Left * sx, m_target.y() - frame.Top * sy) * base;
    if (!Finite(m_playback))
        return false;

    m_painter.save();
    if (m_painter.hasClipping())
        m_baseClip = base.map(m_painter.clipRegion());
    m_painter.setWorldTransform(QTransform());
    m_clipWindow = emf::ClipWindow(m_painter);
    m_visible = emf::VisibleWindow(m_painter);
    m_drawWindow = m_visible;
    m_paintBudget = kPaintedWindows * Area(m_visible) + kMinPaintedArea;
    m_rasterOps = m_painter.paintEngine() && m_painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    UpdateTransform();
    return true;
}

void EmfPlayer::End()
{
    m_painter.restore();
}

ObjectPtr EmfPlayer::Object(std::uint32_t handle) const
{
    const auto it = m_objects.find(handle);
    return it == m_objects.end() ? nullptr : it->second;
}

// --- coordinate spaces ----------------------------------------------------

QTransform EmfPlayer::PageTransform() const
{
    double sx = 1, sy = 1;
    switch (m_dc.MapMode) {
        case kMmLoMetric:
            sx = 0.1 * m_pixelsPerMmX, sy = -0.1 * m_pixelsPerMmY;
            break;
        case kMmHiMetric:
            sx = 0.01 * m_pixelsPerMmX, sy = -0.01 * m_pixelsPerMmY;
            break;
        case kMmLoEnglish:
            sx = 0.254 * m_pixelsPerMmX, sy = -0.254 * m_pixelsPerMmY;
            break;
        case kMmHiEnglish:
            sx = 0.0254 * m_pixelsPerMmX, sy = -0.0254 * m_pixelsPerMmY;
            break;
        case kMmTwips:
            sx = 25.4 / 1440 * m_pixelsPerMmX, sy = -25.4 / 1440 * m_pixelsPerMmY;
            break;
        case kMmIsotropic:
        case kMmAnisotropic:
            sx = m_dc.ViewportExt.width() / m_dc.WindowExt.width();
            sy = m_dc.ViewportExt.height() / m_dc.WindowExt.height();
            if (m_dc.MapMode == kMmIsotropic) {
                const double s = std::min(std::fabs(sx), std::fabs(sy));
                sx = std::copysign(s, sx);
                sy = std::copysign(s, sy);
            }
            break;
        default:
            break;
    }
    return QTransform(sx, 0, 0, sy, m_dc.ViewportOrg.x() - m_dc.WindowOrg.x() * sx,
                      m_dc.ViewportOrg.y() - m_dc.WindowOrg.y() * sy);
}

void EmfPlayer::UpdateTransform()
{
    const QTransform full = m_dc.World * PageTransform() * m_playback;
    if (!Finite(full))
        return;
    m_full = full;
    m_scale = std::sqrt(std::fabs(full.m11() * full.m22() - full.m12() * full.m21()));
    m_axisAligned = std::fabs(full.m12()) < 1e-9 && std::fabs(full.m21()) < 1e-9;
}

// --- pens, brushes, clipping ----------------------------------------------

GdiPen EmfPlayer::CurrentPen() const
{
    GdiPen pen;
    const auto* p = std::get_if<PenObject>(m_dc.Pen.get());
    if (!p) {
        pen.Null = true;
        return pen;
    }
    const std::uint32_t style = p->Style & kPsStyleMask;
    pen.Null = p->Null || style == kPsNull;
    pen.Color = ToColor(p->Color);
    pen.Style = style;
    pen.InsideFrame = style == kPsInsideFrame;
    const bool cosmetic = p->Extended && (p->Style & kPsGeometric) == 0;
    pen.Width = (cosmetic || p->Width <= 0) ? 1.0 : std::max(1.0, p->Width * m_scale);
    if (p->Extended && !cosmetic) {
        pen.Geometric = true;
        switch (p->Style & kPsEndCapMask) {
            case kPsEndCapSquare:
                pen.Cap = Qt::SquareCap;
                break;
            case kPsEndCapFlat:
                pen.Cap = Qt::FlatCap;
                break;
            default:
                pen.Cap = Qt::RoundCap;
                break;
        }
        switch (p->Style & kPsJoinMask) {
            case kPsJoinBevel:
                pen.Join = Qt::BevelJoin;
                break;
            case kPsJoinMiter:
                pen.Join = Qt::MiterJoin;
                break;
            default:
                pen.Join = Qt::RoundJoin;
                break;
        }
    } else if (!pen.Thin() && style != kPsNull && style != kPsInsideFrame) {
        // Wide pens of the old kind are always solid.
        pen.Style = kPsSolid;
    }
    if (style == kPsUserStyle) {
        const double unit = cosmetic ? 1.0 : std::max(m_scale, 1e-6);
        for (std::uint32_t e : p->Entries) pen.UserDashes.push_back(e * unit);
    }
    return pen;
}

QBrush EmfPlayer::BrushOf(const ObjectPtr& object) const
{
    const auto* b = object ? std::get_if<BrushObject>(object.get()) : nullptr;
    if (!b)
        return QBrush(Qt::NoBrush);
    switch (b->Style) {
        case kBsSolid:
            return QBrush(ToColor(b->Color));
        case kBsNull:
            return QBrush(Qt::NoBrush);
        case kBsHatched: {
            Qt::BrushStyle style = Qt::HorPattern;
            switch (b->Hatch) {
                case kHsVertical:
                    style = Qt::VerPattern;
                    break;
                case kHsFDiagonal:
                    style = Qt::FDiagPattern;
                    break;
                case kHsBDiagonal:
                    style = Qt::BDiagPattern;
                    break;
                case kHsCross:
                    style = Qt::CrossPattern;
                    break;
                case kHsDiagCross:
                    style = Qt::DiagCrossPattern;
                    break;
                default:
                    break;
            }
            return QBrush(ToColor(b->Color), style);
        }
        default:
            if (!b->Pattern.isNull())
                return QBrush(b->Pattern);
            return QBrush(ToColor(b->Color));
    }
}

void EmfPlayer::PrepareDraw()
{
    ApplyClip();
    m_painter.setBackgroundMode(m_dc.BkMode == kOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(ToColor(m_dc.BkColor));
}

void EmfPlayer::ApplyClip()
{
    if (!m_clipDirty)
        return;
    m_clipDirty = false;
    std::optional<QRegion> effective = m_dc.Clip;
    if (m_baseClip)
        effective = effective ? effective->intersected(*m_baseClip) : *m_baseClip;
    if (effective)
        m_painter.setClipRegion(*effective);
    else
        m_painter.setClipping(false);
    m_drawWindow = effective ? m_visible & QRectF(effective->boundingRect()) : m_visible;
}

// Counts a drawing's device box (grown by the pen that strokes it) within
// the window, and tells whether the page is still within its bound. Only the
// box is looked at, so the count costs nothing like the drawing; a box that
// is not finite counts as the whole window.
bool EmfPlayer::Afford(QRectF device, const GdiPen* pen)
{
    if (pen && !pen->Null) {
        const double grow = pen->Thin() ? 1.0 : std::isfinite(pen->Width) ? std::min(pen->Width, 10000.0) : 10000.0;
        device = device.normalized().adjusted(-grow, -grow, grow, grow);
    }
    double area = Area(m_drawWindow);
    if (std::isfinite(device.left()) && std::isfinite(device.top()) && std::isfinite(device.right()) &&
        std::isfinite(device.bottom()))
        area = Area(device.normalized() & m_drawWindow);
    m_painted += area;
    if (m_painted <= m_paintBudget)
        return true;
    ++m_skippedDrawings;
    return false;
}

QRegion EmfPlayer::LogicalRectRegion(const RectL& rect) const
{
    if (m_axisAligned)
        return QRegion(GdiRect(QRectF(Map(QPointF(rect.Left, rect.Top)), Map(QPointF(rect.Right, rect.Bottom)))));
    const QPolygonF polygon = m_full.map(QPolygonF(ToRect(rect)));
    return PathRegion([&] {
        QPainterPath p;
        p.addPolygon(polygon);
        return p;
    }());
}

QRegion EmfPlayer::DeviceRectsRegion(const std::vector<RectL>& rects) const
{
    QList<QRect> mapped;
    mapped.reserve(static_cast<qsizetype>(rects.size()));
    for (const RectL& r : rects) {
        const QRect d = GdiRect(m_playback.mapRect(ToRect(r)));
        if (d.width() > 0 && d.height() > 0)
            mapped.append(d);
    }
    QRegion region;
    region.setRects(mapped.constData(), static_cast<int>(mapped.size()));
    return region;
}

QRegion EmfPlayer::PathRegion(const QPainterPath& path) const
{
    std::int64_t used = 0;
    QRegion region = PolygonRegion(FillPolygonWithin(path, m_clipWindow), path.fillRule(), m_clipWindow,
                                   m_regionCrossingsLeft, &used);
    m_regionCrossingsLeft = std::max<std::int64_t>(0, m_regionCrossingsLeft - used);
    return region;
}

void EmfPlayer::CombineClip(const QRegion& region, std::uint32_t mode)
{
    static const QRegion everything(QRect(-100000000, -100000000, 200000000, 200000000));
    auto& clip = m_dc.Clip;
    switch (mode) {
        case kRgnAnd:
            clip = clip ? clip->intersected(region) : region;
            break;
        case kRgnOr:
            if (clip)
                clip = clip->united(region);
            break;
        case kRgnXor:
            clip = (clip ? *clip : everything).xored(region);
            break;
        case kRgnDiff:
            clip = (clip ? *clip : everything).subtracted(region);
            break;
        case kRgnCopy:
            clip = region;
            break;
        default:
            return;
    }
    if (clip)
        clip = SimplifiedRegion(*clip);
    m_clipDirty = true;
}

// --- shapes ---------------------------------------------------------------

void EmfPlayer::Shape(const QPainterPath& logical, bool stroke, bool fill)
{
    Shape([&](DeviceOutline& outline) { outline.AddPath(logical); }, stroke, fill);
}

void EmfPlayer::Shape(const std::function<void(DeviceOutline&)>& feed, bool stroke, bool fill)
{
    if (m_inPath) {
        // A path being recorded keeps every point: it may become a clip.
        OutlineDrawing recording;
        recording.MergePixels = false;
        DeviceOutline outline(m_full, recording, std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::infinity());
        feed(outline);
        m_path.addPath(outline.TakePath());
        return;
    }
    if (Suppressed())
        return;
    const GdiPen pen = CurrentPen();
    const QBrush brush = CurrentBrush();
    const bool drawPen = stroke && !pen.Null;
    const bool drawBrush = fill && brush.style() != Qt::NoBrush;
    if (!drawPen && !drawBrush)
        return;
    DrawOutline(feed, m_full, drawPen ? &pen : nullptr, drawBrush ? &brush : nullptr);
}

// Measures the shape before drawing it: one that would take the page past
// its outline budget is left out (and counted) without ever being stroked
// or filled, which is where the time and the memory would go.
void EmfPlayer::DrawOutline(const std::function<void(DeviceOutline&)>& feed, const QTransform& toDevice,
                            const GdiPen* pen, const QBrush* brush)
{
    PrepareDraw();
    OutlineDrawing drawing;
    drawing.Window = m_drawWindow;
    drawing.Fill = brush != nullptr;
    drawing.Stroke = pen != nullptr;
    drawing.PenWidth = pen ? pen->Width : 1;
    const double left = std::max(0.0, kOutlineBudget - m_outlineWork);
    DeviceOutline outline(toDevice, drawing, std::sqrt(left * kAliasedSaving), left / kLineCellCost);
    feed(outline);
    QPainterPath device = outline.TakePath();
    const bool smooth = m_painter.testRenderHint(QPainter::Antialiasing);
    const double cells = outline.Cells();
    const bool alias = smooth && (cells > kMaxSmoothCells || cells * cells > left);
    const double cost =
        cells * cells / (smooth && !alias ? 1.0 : kAliasedSaving) + outline.LineCells() * kLineCellCost;
    if (outline.Exceeded() || cost > left) {
        ++m_skippedDrawings;
        return;
    }
    if (device.isEmpty() || !Afford(outline.Bounds(), pen))
        return;
    m_outlineWork += cost;
    device.setFillRule(m_dc.PolyFillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
    if (alias) {
        ++m_aliasedShapes;
        m_painter.setRenderHint(QPainter::Antialiasing, false);
    }
    GdiPath(m_painter, device, pen, brush);
    if (alias)
        m_painter.setRenderHint(QPainter::Antialiasing, true);
}

// A polyline drawn segment by segment with a solid one-pixel pen leaves out
// only its last pixel, as the platform does; other pens stroke the path.
void EmfPlayer::StrokeSegments(const std::vector<QPointF>& points)
{
    if (points.size() < 2)
        return;
    const GdiPen pen = CurrentPen();
    if (m_inPath || !pen.Thin() || pen.Style != kPsSolid) {
        Shape(
            [&](DeviceOutline& outline) {
                outline.MoveTo(points.front());
                for (std::size_t i = 1; i < points.size() && !outline.Exceeded(); ++i) outline.LineTo(points[i]);
            },
            true, false);
        return;
    }
    if (pen.Null || Suppressed())
        return;
    PrepareDraw();
    for (std::size_t i = 1; i < points.size(); ++i) {
        const QPointF from = Map(points[i - 1]), to = Map(points[i]);
        if (Afford(QRectF(from, to), &pen))
            GdiLine(m_painter, from, to, pen);
    }
}

void EmfPlayer::FillDeviceRect(const QRectF& logical, const QBrush& brush)
{
    if (Suppressed())
        return;
    PrepareDraw();
    if (m_axisAligned) {
        const QRectF device(Map(logical.topLeft()), Map(logical.bottomRight()));
        if (Afford(device))
            GdiFill(m_painter, device, brush);
        return;
    }
    QPainterPath path;
    path.addRect(logical);
    path = m_full.map(path);
    if (Afford(path.controlPointRect()))
        GdiPath(m_painter, path, nullptr, &brush);
}

void EmfPlayer::LineToLogical(const QPointF& to)
{
    if (m_inPath) {
        if (m_path.elementCount() == 0)
            m_path.moveTo(Map(m_dc.Position));
        m_path.lineTo(Map(to));
    } else if (!Suppressed()) {
        const GdiPen pen = CurrentPen();
        if (!pen.Null) {
            PrepareDraw();
            if (Afford(QRectF(Map(m_dc.Position), Map(to)), &pen))
                GdiLine(m_painter, Map(m_dc.Position), Map(to), pen);
        }
    }
    m_dc.Position = to;
}

QPainterPath EmfPlayer::ArcPath(const ArcRecord& r, bool& ok, QPointF& arcStart, QPointF& arcEnd) const
{
    const QRectF box = ToRect(r.Box).normalized();
    ok = box.width() > 0 && box.height() > 0;
    if (!ok)
        return {};
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    // Angles in Qt's sense (counter-clockwise on a y-down surface, as the
    // platform counts them) of the radials through the two points.
    auto angleOf = [&](const PointL& p) {
        const double a = std::atan2(-(p.Y - c.y()) / ry, (p.X - c.x()) / rx) * 180.0 / std::numbers::pi;
        return a < 0 ? a + 360.0 : a;
    };
    const double start = angleOf(r.Start);
    const double end = angleOf(r.End);
    double sweep = 0;
    if (m_dc.ArcDirection == kAdClockwise) {
        sweep = end - start;
        if (sweep >= 0)
            sweep -= 360;
    } else {
        sweep = end - start;
        if (sweep <= 0)
            sweep += 360;
    }
    auto pointAt = [&](double degrees) {
        const double rad = degrees * std::numbers::pi / 180.0;
        return QPointF(c.x() + rx * std::cos(rad), c.y() - ry * std::sin(rad));
    };
    arcStart = pointAt(start);
    arcEnd = pointAt(start + sweep);
    QPainterPath path;
    if (r.Type == kEmrPie)
        path.moveTo(c), path.lineTo(arcStart);
    else
        path.moveTo(arcStart);
    path.arcTo(box, start, sweep);
    if (r.Type == kEmrPie || r.Type == kEmrChord)
        path.closeSubpath();
    return path;
}

// --- records --------------------------------------------------------------

void EmfPlayer::operator()(const ValueRecord& r)
{
    switch (r.Type) {
        case kEmrSetMapMode:
            if (r.Value >= kMmText && r.Value <= kMmAnisotropic) {
                const bool toScaled = r.Value == kMmIsotropic || r.Value == kMmAnisotropic;
                const bool fromScaled = m_dc.MapMode == kMmIsotropic || m_dc.MapMode == kMmAnisotropic;
                if (toScaled && !fromScaled) {
                    // The extents carry on the scale of the mode left behind.
                    const QTransform page = PageTransform();
                    m_dc.WindowExt = QSizeF(1000, 1000);
                    m_dc.ViewportExt = QSizeF(1000 * page.m11(), 1000 * page.m22());
                }
                m_dc.MapMode = r.Value;
                UpdateTransform();
            }
            break;
        case kEmrSetBkMode:
            if (r.Value == kTransparent || r.Value == kOpaque)
                m_dc.BkMode = r.Value;
            break;
        case kEmrSetPolyFillMode:
            if (r.Value == kAlternate || r.Value == kWinding)
                m_dc.PolyFillMode = r.Value;
            break;
        case kEmrSetRop2:
            if (r.Value >= 1 && r.Value <= 16)
                m_dc.Rop2 = r.Value;
            break;
        case kEmrSetTextAlign:
            m_dc.TextAlign = r.Value;
            break;
        case kEmrSetTextColor:
            m_dc.TextColor = r.Value & 0x00FFFFFF;
            break;
        case kEmrSetBkColor:
            m_dc.BkColor = r.Value & 0x00FFFFFF;
            break;
        case kEmrSetArcDirection:
            if (r.Value == kAdCounterClockwise || r.Value == kAdClockwise)
                m_dc.ArcDirection = r.Value;
            break;
        case kEmrRestoreDc:
            RestoreDc(static_cast<std::int32_t>(r.Value));
            break;
        case kEmrSelectObject:
            SelectObject(r.Value);
            break;
        case kEmrDeleteObject:
            DeleteObject(r.Value);
            break;
        case kEmrSelectClipPath:
            if (!m_path.isEmpty()) {
                QPainterPath path = m_path;
                path.setFillRule(m_dc.PolyFillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
                CombineClip(PathRegion(path), r.Value);
            }
            m_path = QPainterPath();
            m_inPath = false;
            break;
        default:
            break;
    }
}

void EmfPlayer::operator()(const PointRecord& r)
{
    const QPointF p = ToPoint(r.Point);
    switch (r.Type) {
        case kEmrSetWindowExtEx:
        case kEmrSetViewportExtEx:
            if ((m_dc.MapMode == kMmIsotropic || m_dc.MapMode == kMmAnisotropic) && r.Point.X != 0 && r.Point.Y != 0) {
                (r.Type == kEmrSetWindowExtEx ? m_dc.WindowExt : m_dc.ViewportExt) = QSizeF(r.Point.X, r.Point.Y);
                UpdateTransform();
            }
            break;
        case kEmrSetWindowOrgEx:
            m_dc.WindowOrg = p;
            UpdateTransform();
            break;
        case kEmrSetViewportOrgEx:
            m_dc.ViewportOrg = p;
            UpdateTransform();
            break;
        case kEmrMoveToEx:
            if (m_inPath)
                m_path.moveTo(Map(p));
            m_dc.Position = p;
            break;
        case kEmrLineTo:
            LineToLogical(p);
            break;
        case kEmrOffsetClipRgn:
            if (m_dc.Clip) {
                const QPointF d = m_full.map(p) - m_full.map(QPointF(0, 0));
                m_dc.Clip->translate(
                    static_cast<int>(std::clamp(std::round(d.x()), -kHugeCoordinate, kHugeCoordinate)),
                    static_cast<int>(std::clamp(std::round(d.y()), -kHugeCoordinate, kHugeCoordinate)));
                m_clipDirty = true;
            }
            break;
        default:
            break;
    }
}

void EmfPlayer::operator()(const ScaleExtRecord& r)
{
    if (!(m_dc.MapMode == kMmIsotropic || m_dc.MapMode == kMmAnisotropic) || r.XDenom == 0 || r.YDenom == 0)
        return;
    QSizeF& ext = r.Type == kEmrScaleWindowExtEx ? m_dc.WindowExt : m_dc.ViewportExt;
    const QSizeF scaled(ext.width() * r.XNum / r.XDenom, ext.height() * r.YNum / r.YDenom);
    if (scaled.width() == 0 || scaled.height() == 0)
        return;
    ext = scaled;
    UpdateTransform();
}

void EmfPlayer::operator()(const RectRecord& r)
{
    switch (r.Type) {
        case kEmrIntersectClipRect:
            CombineClip(LogicalRectRegion(r.Box), kRgnAnd);
            break;
        case kEmrExcludeClipRect:
            CombineClip(LogicalRectRegion(r.Box), kRgnDiff);
            break;
        case kEmrRectangle:
            if (m_axisAligned && !m_inPath) {
                if (Suppressed())
                    return;
                PrepareDraw();
                const QRectF device(Map(QPointF(r.Box.Left, r.Box.Top)), Map(QPointF(r.Box.Right, r.Box.Bottom)));
                const GdiPen pen = CurrentPen();
                if (Afford(device, &pen))
                    GdiRectangle(m_painter, device, pen, CurrentBrush());
            } else {
                QPainterPath path;
                path.addRect(ToRect(r.Box));
                Shape(path, true, true);
            }
            break;
        case kEmrEllipse: {
            QPainterPath path;
            path.addEllipse(ToRect(r.Box).normalized());
            Shape(path, true, true);
            break;
        }
        default:
            break;
    }
}

void EmfPlayer::operator()(const RoundRectRecord& r)
{
    QPainterPath path;
    path.addRoundedRect(ToRect(r.Box).normalized(), std::fabs(r.Corner.Cx) / 2.0, std::fabs(r.Corner.Cy) / 2.0);
    Shape(path, true, true);
}

void EmfPlayer::operator()(const ArcRecord& r)
{
    bool ok = false;
    QPointF arcStart, arcEnd;
    QPainterPath path = ArcPath(r, ok, arcStart, arcEnd);
    if (!ok)
        return;
    if (r.Type == kEmrArcTo) {
        QPainterPath withLine(m_dc.Position);
        withLine.lineTo(arcStart);
        withLine.connectPath(path);
        if (m_inPath) {
            if (m_path.elementCount() == 0)
                m_path.moveTo(Map(m_dc.Position));
            m_path.connectPath(m_full.map(path));
        } else {
            Shape(withLine, true, false);
        }
        m_dc.Position = arcEnd;
        return;
    }
    Shape(path, true, r.Type != kEmrArc);
}

void EmfPlayer::operator()(const AngleArcRecord& r)
{
    if (!std::isfinite(r.StartAngle) || !std::isfinite(r.SweepAngle))
        return;
    const double radius = r.Radius;
    const QPointF c = ToPoint(r.Center);
    const QRectF box(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
    const double sweep = std::clamp<double>(r.SweepAngle, -3600.0, 3600.0);
    auto pointAt = [&](double degrees) {
        const double rad = degrees * std::numbers::pi / 180.0;
        return QPointF(c.x() + radius * std::cos(rad), c.y() - radius * std::sin(rad));
    };
    QPainterPath path(m_dc.Position);
    path.lineTo(pointAt(r.StartAngle));
    path.arcTo(box, r.StartAngle, sweep);
    if (m_inPath)
        m_path.connectPath(m_full.map(path));
    else
        Shape(path, true, false);
    m_dc.Position = pointAt(r.StartAngle + sweep);
}

void EmfPlayer::operator()(const PolyRecord& r)
{
    const auto& pts = r.Points;
    switch (r.Type) {
        case kEmrPolygon: {
            if (pts.size() < 2)
                return;
            Shape(
                [&](DeviceOutline& outline) {
                    outline.MoveTo(ToPoint(pts.front()));
                    for (std::size_t i = 1; i < pts.size() && !outline.Exceeded(); ++i) outline.LineTo(ToPoint(pts[i]));
                    outline.CloseSubpath();
                },
                true, true);
            break;
        }
        case kEmrPolyline: {
            std::vector<QPointF> points;
            points.reserve(pts.size());
            for (const PointL& p : pts) points.push_back(ToPoint(p));
            StrokeSegments(points);
            break;
        }
        case kEmrPolylineTo: {
            if (pts.empty())
                return;
            std::vector<QPointF> points{m_dc.Position};
            for (const PointL& p : pts) points.push_back(ToPoint(p));
            if (m_inPath) {
                if (m_path.elementCount() == 0)
                    m_path.moveTo(Map(m_dc.Position));
                for (std::size_t i = 1; i < points.size(); ++i) m_path.lineTo(Map(points[i]));
            } else {
                StrokeSegments(points);
            }
            m_dc.Position = points.back();
            break;
        }
        case kEmrPolyBezier:
        case kEmrPolyBezierTo: {
            const bool to = r.Type == kEmrPolyBezierTo;
            if (pts.empty() || (!to && pts.size() < 4))
                return;
            QPainterPath path(to ? m_dc.Position : ToPoint(pts[0]));
            std::size_t i = to ? 0 : 1;
            for (; i + 2 < pts.size(); i += 3) path.cubicTo(ToPoint(pts[i]), ToPoint(pts[i + 1]), ToPoint(pts[i + 2]));
            if (to && m_inPath) {
                if (m_path.elementCount() == 0)
                    m_path.moveTo(Map(m_dc.Position));
                m_path.connectPath(m_full.map(path));
            } else {
                Shape(path, true, false);
            }
            if (to)
                m_dc.Position = path.currentPosition();
            break;
        }
        default:
            break;
    }
}

void EmfPlayer::operator()(const PolyPolyRecord& r)
{
    const bool polygon = r.Type == kEmrPolyPolygon;
    Shape(
        [&](DeviceOutline& outline) {
            std::size_t at = 0;
            for (std::uint32_t count : r.Counts) {
                if (count > r.Points.size() - at || outline.Exceeded())
                    break;
                if (count >= 2) {
                    outline.MoveTo(ToPoint(r.Points[at]));
                    for (std::uint32_t k = 1; k < count; ++k) outline.LineTo(ToPoint(r.Points[at + k]));
                    if (polygon)
                        outline.CloseSubpath();
                }
                at += count;
            }
        },
        true, polygon);
}

void EmfPlayer::operator()(const PolyDrawRecord& r)
{
    QPainterPath path(m_dc.Position);
    const std::size_t n = std::min(r.Points.size(), r.Kinds.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t kind = r.Kinds[i] & ~kPtCloseFigure;
        const QPointF p = ToPoint(r.Points[i]);
        if (kind == kPtMoveTo) {
            path.moveTo(p);
        } else if (kind == kPtLineTo) {
            path.lineTo(p);
        } else if (kind == kPtBezierTo && i + 2 < n) {
            path.cubicTo(p, ToPoint(r.Points[i + 1]), ToPoint(r.Points[i + 2]));
            i += 2;
        }
        if ((r.Kinds[i] & kPtCloseFigure) != 0)
            path.closeSubpath();
    }
    if (m_inPath)
        m_path.addPath(m_full.map(path));
    else
        Shape(path, true, false);
    m_dc.Position = path.currentPosition();
}

void EmfPlayer::operator()(const PlainRecord& r)
{
    switch (r.Type) {
        case kEmrSaveDc:
            if (m_saved.size() < kMaxSavedStates)
                m_saved.push_back(m_dc);
            break;
        case kEmrBeginPath:
            m_path = QPainterPath();
            m_inPath = true;
            break;
        case kEmrEndPath:
            m_inPath = false;
            break;
        case kEmrCloseFigure:
            if (m_inPath)
                m_path.closeSubpath();
            break;
        case kEmrAbortPath:
            m_path = QPainterPath();
            m_inPath = false;
            break;
        case kEmrFillPath:
        case kEmrStrokePath:
        case kEmrStrokeAndFillPath: {
            m_inPath = false;
            QPainterPath path = m_path;
            m_path = QPainterPath();
            if (path.isEmpty() || Suppressed())
                return;
            const GdiPen pen = CurrentPen();
            const QBrush brush = CurrentBrush();
            const bool stroke = r.Type != kEmrFillPath && !pen.Null;
            const bool fill = r.Type != kEmrStrokePath && brush.style() != Qt::NoBrush;
            if (!stroke && !fill)
                return;
            DrawOutline([&](DeviceOutline& outline) { outline.AddPath(path); }, QTransform(),
                        stroke ? &pen : nullptr, fill ? &brush : nullptr);
            break;
        }
        default:
            break;
    }
}

void EmfPlayer::operator()(const XFormRecord& r)
{
    const QTransform x = ToTransform(r.Xform);
    if (!Finite(x))
        return;
    switch (r.Mode) {
        case kMwtIdentity:
            m_dc.World = QTransform();
            break;
        case kMwtLeftMultiply:
            m_dc.World = x * m_dc.World;
            break;
        case kMwtRightMultiply:
            m_dc.World = m_dc.World * x;
            break;
        case kMwtSet:
            m_dc.World = x;
            break;
        default:
            return;
    }
    UpdateTransform();
}

void EmfPlayer::operator()(const PenRecord& r)
{
    if (r.Index == 0 || (r.Index & kStockObjectFlag) != 0)
        return;
    PenObject pen;
    pen.Style = r.Style;
    pen.Width = r.Extended ? static_cast<double>(r.Width) : static_cast<double>(static_cast<std::int32_t>(r.Width));
    if (pen.Width < 0)
        pen.Width = 0;
    pen.Color = r.Color & 0x00FFFFFF;
    pen.Extended = r.Extended;
    pen.Null = (r.Style & kPsStyleMask) == kPsNull || (r.Extended && r.BrushStyle == kBsNull);
    pen.Entries = r.StyleEntries;
    m_objects[r.Index] = std::make_shared<const GdiObject>(std::move(pen));
}

void EmfPlayer::operator()(const BrushRecord& r)
{
    if (r.Index == 0 || (r.Index & kStockObjectFlag) != 0)
        return;
    BrushObject brush;
    brush.Style = r.Style;
    brush.Color = r.Color & 0x00FFFFFF;
    brush.Hatch = r.Hatch;
    if (r.Pattern) {
        brush.Pattern = Image(*r.Pattern, false);
        if (r.Mono && brush.Pattern.isNull())
            brush.Style = kBsSolid;
    }
    m_objects[r.Index] = std::make_shared<const GdiObject>(std::move(brush));
}

void EmfPlayer::operator()(const FontRecord& r)
{
    if (r.Index == 0 || (r.Index & kStockObjectFlag) != 0)
        return;
    m_objects[r.Index] = std::make_shared<const GdiObject>(FontObject{r.Font});
}

void EmfPlayer::SelectObject(std::uint32_t handle)
{
    ObjectPtr object;
    if ((handle & kStockObjectFlag) != 0) {
        const auto& stock = StockObjects();
        const auto it = stock.find(handle);
        if (it == stock.end())
            return;
        object = it->second;
    } else {
        const auto it = m_objects.find(handle);
        if (it == m_objects.end())
            return;
        object = it->second;
    }
    if (std::holds_alternative<PenObject>(*object))
        m_dc.Pen = object;
    else if (std::holds_alternative<BrushObject>(*object))
        m_dc.Brush = object;
    else
        m_dc.Font = object;
}

void EmfPlayer::DeleteObject(std::uint32_t handle)
{
    const auto it = m_objects.find(handle);
    if (it == m_objects.end())
        return;
    const auto& stock = StockObjects();
    if (m_dc.Pen == it->second)
        m_dc.Pen = stock.at(kBlackPen);
    if (m_dc.Brush == it->second)
        m_dc.Brush = stock.at(kWhiteBrush);
    if (m_dc.Font == it->second)
        m_dc.Font = stock.at(kSystemFont);
    m_objects.erase(it);
}

void EmfPlayer::RestoreDc(std::int32_t which)
{
    const auto saved = static_cast<std::int64_t>(m_saved.size());
    std::int64_t index = 0;  // position in m_saved of the state to restore
    if (which < 0)
        index = saved + which;
    else if (which > 0)
        index = static_cast<std::int64_t>(which) - 1;
    else
        return;
    if (index < 0 || index >= saved)
        return;
    m_dc = m_saved[static_cast<std::size_t>(index)];
    m_saved.resize(static_cast<std::size_t>(index));
    m_clipDirty = true;
    UpdateTransform();
}

std::shared_ptr<PlacedFont> EmfPlayer::FontFor(const LogFontW& font, int pixels, double stretch)
{
    const auto key = std::make_tuple(font.FaceName, pixels, font.Weight, font.Italic != 0, font.Underline != 0,
                                     font.StrikeOut != 0, static_cast<int>(std::lround(stretch)));
    auto& slot = m_fonts[key];
    if (!slot) {
        TextFontSpec spec;
        spec.Family = QString::fromStdU16String(font.FaceName);
        spec.PixelHeight = pixels;
        spec.Weight = font.Weight <= 0 ? kFwNormal : font.Weight;
        spec.Italic = font.Italic != 0;
        spec.Underline = font.Underline != 0;
        spec.StrikeOut = font.StrikeOut != 0;
        spec.StretchPercent = stretch;
        slot = std::make_shared<PlacedFont>(spec);
    }
    return slot;
}

// --- text ---------------------------------------------------------------------

std::optional<EmfPlayer::TextFont> EmfPlayer::RealiseTextFont(const LogFontW& lf)
{
    // How the logical space is scaled along the text's axes.
    const QTransform linear(m_full.m11(), m_full.m12(), m_full.m21(), m_full.m22(), 0, 0);
    const QPointF ex = linear.map(QPointF(1, 0));
    const QPointF ey = linear.map(QPointF(0, 1));
    const double sx = std::hypot(ex.x(), ex.y());
    const double sy = std::hypot(ey.x(), ey.y());
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy))
        return std::nullopt;

    // Em height in logical units: a positive height is the cell height.
    std::int64_t height = std::llabs(static_cast<std::int64_t>(lf.Height));
    double emLogical = height == 0 ? 12.0 / sy : static_cast<double>(height);
    int pixels = static_cast<int>(std::clamp(std::round(emLogical * sy), 1.0, double{kLargestFontPixels}));
    if (lf.Height > 0) {
        const auto cell = FontFor(lf, pixels, 0);
        if (cell->Height() > 0) {
            emLogical = emLogical * pixels / cell->Height();
            pixels = static_cast<int>(std::clamp(std::round(emLogical * sy), 1.0, double{kLargestFontPixels}));
        }
    }
    double stretch = 0;
    if (lf.Width != 0) {
        const double average = FontFor(lf, pixels, 0)->AverageCharWidth();
        if (average > 0)
            stretch = std::fabs(static_cast<double>(lf.Width)) * sx / average * 100.0;
    }
    return TextFont{FontFor(lf, pixels, stretch), emLogical / pixels};
}

// Advances in logical units: the recorded ones, or measured.
EmfPlayer::TextAdvances EmfPlayer::MeasureText(const TextRecord& r, const QString& text, const TextFont& font) const
{
    const auto count = static_cast<std::size_t>(text.size());
    TextAdvances advances;
    advances.Dx.assign(count, 0.0);
    advances.Dy.assign(count, 0.0);
    if (r.Dx.size() == count) {
        for (std::size_t i = 0; i < count; ++i) advances.Dx[i] = r.Dx[i];
        for (std::size_t i = 0; i < r.Dy.size() && i < count; ++i) advances.Dy[i] = r.Dy[i];
    } else if ((r.Options & kEtoGlyphIndex) == 0) {
        const std::vector<std::int32_t> measured = font.Font->Advances(text);
        for (std::size_t i = 0; i < count; ++i) advances.Dx[i] = measured[i] * font.GlyphToLogical;
    } else {
        const std::vector<quint32> glyphs(r.Text.begin(), r.Text.end());
        const std::vector<double> measured = font.Font->GlyphAdvances(glyphs);
        for (std::size_t i = 0; i < count && i < measured.size(); ++i)
            advances.Dx[i] = measured[i] * font.GlyphToLogical;
    }
    for (double dx : advances.Dx) advances.Width += dx;
    return advances;
}

// Where the first character's baseline starts, in glyph units from the
// reference point, as the text alignment places the text.
QPointF EmfPlayer::TextOrigin(const PlacedFont& font, double width, double glyphToLogical) const
{
    double start = 0;
    switch (m_dc.TextAlign & kTaHorizontalMask) {
        case kTaRight:
            start = -width;
            break;
        case kTaCenter:
            start = -width / 2;
            break;
        default:
            break;
    }
    double baseline = 0;  // glyph units below the reference
    switch (m_dc.TextAlign & kTaVerticalMask) {
        case kTaBaseline:
            break;
        case kTaBottom:
            baseline = -font.Descent();
            break;
        default:
            baseline = font.Ascent();
            break;
    }
    return QPointF(start / glyphToLogical, baseline);
}

// Glyph space: x along the baseline, y down, in the realised font's
// pixels; turned by the escapement and kept upright on the page.
QTransform EmfPlayer::GlyphToLogical(const LogFontW& lf, double glyphToLogical, const QPointF& reference) const
{
    const double angle = lf.Escapement / 10.0;
    double flipX = 1, flipY = 1;
    const double det = m_full.m11() * m_full.m22() - m_full.m12() * m_full.m21();
    if (m_axisAligned) {
        flipX = m_full.m11() < 0 ? -1 : 1;
        flipY = m_full.m22() < 0 ? -1 : 1;
    } else if (det < 0) {
        flipY = -1;
    }
    QTransform orient;
    orient.rotate(-angle);
    return QTransform::fromScale(glyphToLogical, glyphToLogical) * orient * QTransform::fromScale(flipX, flipY) *
           QTransform::fromTranslate(reference.x(), reference.y());
}

void EmfPlayer::DrawText(const TextRecord& r, const QString& text, const PlacedFont& font, const QTransform& toDevice,
                         const QPointF& origin, const std::vector<QPointF>& offsets, double widthGlyph)
{
    PrepareDraw();
    if ((r.Options & kEtoOpaque) != 0 && r.Rect)
        FillDeviceRect(ToRect(*r.Rect), QBrush(ToColor(m_dc.BkColor)));
    const bool clipped = (r.Options & kEtoClipped) != 0 && r.Rect.has_value();
    {
        // The glyphs lie around their offsets, and none reaches further than
        // an em beyond them.
        double left = std::min(0.0, widthGlyph), right = std::max(0.0, widthGlyph), top = 0, bottom = 0;
        for (const QPointF& o : offsets) {
            left = std::min(left, o.x()), right = std::max(right, o.x());
            top = std::min(top, o.y()), bottom = std::max(bottom, o.y());
        }
        const double em = font.Height();
        QRectF device = toDevice.mapRect(
            QRectF(origin + QPointF(left, top), origin + QPointF(right, bottom)).adjusted(-em, -em, em, em));
        if (clipped)
            device &= m_full.mapRect(ToRect(*r.Rect).normalized());
        if (!Afford(device))
            return;
    }
    const std::optional<QRegion> previousClip = m_dc.Clip;
    if (clipped) {
        CombineClip(LogicalRectRegion(*r.Rect), kRgnAnd);
        ApplyClip();
    }
    const bool simple = toDevice.type() <= QTransform::TxTranslate;
    if (!simple)
        m_painter.setWorldTransform(toDevice);
    const QPointF shift = simple ? QPointF(toDevice.dx(), toDevice.dy()) : QPointF();
    if (m_dc.BkMode == kOpaque && (r.Options & kEtoOpaque) == 0 && widthGlyph != 0)
        m_painter.fillRect(
            QRectF(origin.x() + shift.x(), origin.y() - font.Ascent() + shift.y(), widthGlyph, font.Height())
                .normalized(),
            ToColor(m_dc.BkColor));
    m_painter.setPen(ToColor(m_dc.TextColor));
    const bool glyphIndices = (r.Options & kEtoGlyphIndex) != 0;
    if (!glyphIndices && !text.isEmpty()) {
        font.Draw(m_painter, origin + shift, text, offsets, widthGlyph);
    } else if (glyphIndices && font.StandardGlyphOrder()) {
        const std::vector<quint32> glyphs(r.Text.begin(), r.Text.end());
        font.DrawGlyphIndices(m_painter, origin + shift, glyphs, offsets, widthGlyph);
    }
    if (!simple)
        m_painter.setWorldTransform(QTransform());
    if (clipped) {
        m_dc.Clip = previousClip;
        m_clipDirty = true;
    }
}

// With the current position in use, the text moves it along its baseline.
void EmfPlayer::MoveAfterText(const QPointF& reference, const QTransform& toLogical, double width)
{
    const QPointF along = toLogical.map(QPointF(1, 0)) - toLogical.map(QPointF(0, 0));
    const double length = std::hypot(along.x(), along.y());
    const QPointF unit = length > 0 ? along / length : QPointF(1, 0);
    switch (m_dc.TextAlign & kTaHorizontalMask) {
        case kTaRight:
            m_dc.Position = reference - unit * width;
            break;
        case kTaCenter:
            break;
        default:
            m_dc.Position = reference + unit * width;
            break;
    }
}

void EmfPlayer::operator()(const TextRecord& r)
{
    const auto* fontObject = std::get_if<FontObject>(m_dc.Font.get());
    if (!fontObject)
        return;
    const LogFontW& lf = fontObject->Font;
    const QString text = r.IsAnsi ? DecodeAnsi(r.Ansi, lf.CharSet)
                                  : QString::fromUtf16(r.Text.data(), static_cast<qsizetype>(r.Text.size()));
    const std::optional<TextFont> font = RealiseTextFont(lf);
    if (!font)
        return;
    const double glyphToLogical = font->GlyphToLogical;
    const TextAdvances advances = MeasureText(r, text, *font);

    const bool updateCp = (m_dc.TextAlign & kTaUpdateCp) != 0;
    const QPointF reference = updateCp ? m_dc.Position : ToPoint(r.Reference);
    const QPointF origin = TextOrigin(*font->Font, advances.Width, glyphToLogical);
    const QTransform toLogical = GlyphToLogical(lf, glyphToLogical, reference);
    const QTransform toDevice = toLogical * m_full;

    std::vector<QPointF> offsets(advances.Dx.size());
    {
        double x = 0, y = 0;
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            offsets[i] = QPointF(x / glyphToLogical, -y / glyphToLogical);
            x += advances.Dx[i];
            y += advances.Dy[i];
        }
    }
    const double widthGlyph = advances.Width / glyphToLogical;

    if (m_inPath) {
        if ((r.Options & kEtoGlyphIndex) == 0)
            font->Font->AppendOutline(m_path, toDevice, origin, text, offsets);
    } else if (!Suppressed()) {
        DrawText(r, text, *font->Font, toDevice, origin, offsets, widthGlyph);
    }

    if (updateCp)
        MoveAfterText(reference, toLogical, advances.Width);
}

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

void EmfPlayer::operator()(const ClipRegionRecord& r)
{
    if (r.Rects.empty()) {
        if (r.Mode == kRgnCopy) {
            m_dc.Clip.reset();
            m_clipDirty = true;
        }
        return;
    }
    CombineClip(DeviceRectsRegion(r.Rects), r.Mode);
}

void EmfPlayer::operator()(const RegionRecord& r)
{
    if (m_inPath || Suppressed() || r.Rects.empty())
        return;
    QBrush brush = CurrentBrush();
    if (r.Type == kEmrFillRgn || r.Type == kEmrFrameRgn) {
        const auto it = m_objects.find(r.BrushIndex);
        if ((r.BrushIndex & kStockObjectFlag) != 0) {
            const auto& stock = StockObjects();
            const auto s = stock.find(r.BrushIndex);
            if (s == stock.end())
                return;
            brush = BrushOf(s->second);
        } else if (it != m_objects.end()) {
            brush = BrushOf(it->second);
        } else {
            return;
        }
    }
    PrepareDraw();
    for (const RectL& rect : r.Rects) {
        const QRect d = GdiRect(m_playback.mapRect(ToRect(rect)));
        if (d.width() <= 0 || d.height() <= 0)
            continue;
        if (!Afford(QRectF(d)))
            return;
        switch (r.Type) {
            case kEmrInvertRgn:
                if (m_rasterOps) {
                    m_painter.setCompositionMode(QPainter::RasterOp_NotDestination);
                    m_painter.fillRect(d, Qt::black);
                    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
                }
                break;
            case kEmrFrameRgn: {
                const int w =
                    std::clamp(static_cast<int>(std::lround(std::abs(r.Stroke.Cx) * m_playback.m11())), 1, d.width());
                const int h =
                    std::clamp(static_cast<int>(std::lround(std::abs(r.Stroke.Cy) * m_playback.m22())), 1, d.height());
                m_painter.fillRect(QRect(d.x(), d.y(), d.width(), h), brush);
                m_painter.fillRect(QRect(d.x(), d.bottom() - h + 1, d.width(), h), brush);
                m_painter.fillRect(QRect(d.x(), d.y(), w, d.height()), brush);
                m_painter.fillRect(QRect(d.right() - w + 1, d.y(), w, d.height()), brush);
                break;
            }
            default:
                m_painter.fillRect(d, brush);
                break;
        }
    }
}

void EmfPlayer::operator()(const GradientRecord& r)
{
    if (m_inPath || Suppressed())
        return;
    auto colorOf = [](const TriVertex& v) { return QColor(v.Red >> 8, v.Green >> 8, v.Blue >> 8); };
    PrepareDraw();
    for (const auto& item : r.Items) {
        const TriVertex& a = r.Vertices[item[0]];
        const TriVertex& b = r.Vertices[item[1]];
        if (r.Mode == 2) {
            const TriVertex& c = r.Vertices[item[2]];
            QPolygonF triangle;
            triangle << QPointF(a.X, a.Y) << QPointF(b.X, b.Y) << QPointF(c.X, c.Y);
            QPainterPath path;
            path.addPolygon(m_full.map(triangle));
            path.closeSubpath();
            // A three-colour blend is shown as its mean colour.
            const QColor mean((colorOf(a).red() + colorOf(b).red() + colorOf(c).red()) / 3,
                              (colorOf(a).green() + colorOf(b).green() + colorOf(c).green()) / 3,
                              (colorOf(a).blue() + colorOf(b).blue() + colorOf(c).blue()) / 3);
            const QBrush brush(mean);
            if (Afford(path.controlPointRect()))
                GdiPath(m_painter, path, nullptr, &brush);
            continue;
        }
        const QRectF logical(QPointF(a.X, a.Y), QPointF(b.X, b.Y));
        const QPointF p1 = Map(logical.topLeft());
        const QPointF p2 =
            r.Mode == 0 ? Map(QPointF(logical.right(), logical.top())) : Map(QPointF(logical.left(), logical.bottom()));
        QLinearGradient gradient(p1, p2);
        gradient.setColorAt(0, colorOf(a));
        gradient.setColorAt(1, colorOf(b));
        QPainterPath path;
        path.addRect(logical.normalized());
        path = m_full.map(path);
        const QBrush brush(gradient);
        if (Afford(path.controlPointRect()))
            GdiPath(m_painter, path, nullptr, &brush);
    }
}

void EmfPlayer::operator()(const PixelRecord& r)
{
    if (m_inPath || Suppressed())
        return;
    PrepareDraw();
    const QPointF p = Map(r.Point);
    if (Afford(QRectF(p, QSizeF(1, 1))))
        GdiFill(m_painter, QRectF(p, QSizeF(1, 1)), QBrush(ToColor(r.Color)));
}

}  // namespace dw::emf

namespace dw {

void PlayEmf(QPainter& painter, const emf::EmfDocument& metafile, const QRectF& target)
{
    if (metafile.Empty() || !painter.isActive())
        return;
    emf::EmfPlayer player(painter, metafile, target);
    player.Play();
}

}  // namespace dw
