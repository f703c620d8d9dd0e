// SPDX-License-Identifier: MIT
// The player's frame: its start and end, the coordinate spaces, the drawing
// objects and the state records. Shapes, clipping, text and bitmaps are
// played in emf_player_shapes.cpp, emf_player_clip.cpp, emf_player_text.cpp
// and emf_player_bitmaps.cpp.
#include "report/emf/emf_player.h"
#include "report/emf/emf_player_p.h"

#include "common/stop_request.h"
#include "report/emf/polygon_region_p.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <variant>

namespace dw::emf {

namespace {

constexpr double kHugeCoordinate = 1.0e8;

QTransform ToTransform(const XForm& x)
{
    return QTransform(x.M11, x.M12, x.M21, x.M22, x.Dx, x.Dy);
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

}  // namespace

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
    // A page of millions of records takes seconds to play, and a kill that
    // arrives meanwhile would wait for the last of them; the program's
    // request to end is looked at every few thousand records and ends the
    // page where it is. The painter is put back as after a whole page.
    std::size_t played = 0;
    for (const EmfRecord& record : m_document.Records()) {
        if (played++ % kStopCheckRecords == 0 && StopRequested())
            break;
        PlayRecord(record);
    }
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

// --- pens and brushes ----------------------------------------------------

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

// --- state and object records --------------------------------------------

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
