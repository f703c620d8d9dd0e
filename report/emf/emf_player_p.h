// SPDX-License-Identifier: MIT
#pragma once

// Internal to the player: the state a metafile's records build up while it
// plays (the device context, the saved states, the object table, the path
// being recorded) and the class that keeps it, whose records are played in
// the emf_player*.cpp files. PlayEmf is the way to play a page; this header
// lets the tests play records one by one and look at the state they leave
// behind.

#include "report/emf/device_outline_p.h"
#include "report/emf/emf_dib.h"
#include "report/emf/emf_reader.h"
#include "report/emf/gdi_painting.h"
#include "report/emf/text_painting.h"

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QSizeF>
#include <QTransform>

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <variant>
#include <vector>

class QPainter;

namespace dw::emf {

// --- drawing objects ------------------------------------------------------

struct PenObject {
    std::uint32_t Style = kPsSolid;
    double Width = 0;  // logical units; 0 is one device pixel
    ColorRef Color = 0;
    bool Null = false;
    bool Extended = false;
    std::vector<std::uint32_t> Entries;
};

struct BrushObject {
    std::uint32_t Style = kBsSolid;
    ColorRef Color = 0;
    std::uint32_t Hatch = 0;
    QImage Pattern;
};

struct FontObject {
    LogFontW Font;
};

using GdiObject = std::variant<PenObject, BrushObject, FontObject>;
using ObjectPtr = std::shared_ptr<const GdiObject>;

// The stock object of a handle with the stock flag; none for an unknown one.
ObjectPtr StockObject(std::uint32_t handle);

// --- shared by the player's files ----------------------------------------

inline QColor ToColor(ColorRef c)
{
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

inline QPointF ToPoint(const PointL& p)
{
    return QPointF(p.X, p.Y);
}

inline QRectF ToRect(const RectL& r)
{
    return QRectF(QPointF(r.Left, r.Top), QPointF(r.Right, r.Bottom));
}

// Zero for an empty rectangle.
inline double Area(const QRectF& r)
{
    return r.isEmpty() ? 0 : r.width() * r.height();
}

inline bool Finite(const QTransform& t)
{
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) && std::isfinite(t.m22()) &&
           std::isfinite(t.dx()) && std::isfinite(t.dy());
}

// The stock objects by their handles (stock flag included).
const std::unordered_map<std::uint32_t, ObjectPtr>& StockObjects();

// --- the device context ---------------------------------------------------

struct DeviceContext {
    std::uint32_t MapMode = kMmText;
    QPointF WindowOrg;
    QPointF ViewportOrg;
    QSizeF WindowExt{1, 1};
    QSizeF ViewportExt{1, 1};
    QTransform World;
    ColorRef TextColor = 0;
    ColorRef BkColor = MakeColorRef(255, 255, 255);
    std::uint32_t BkMode = kOpaque;
    std::uint32_t TextAlign = 0;
    std::uint32_t PolyFillMode = kAlternate;
    std::uint32_t Rop2 = 13;
    std::uint32_t ArcDirection = kAdCounterClockwise;
    QPointF Position;
    ObjectPtr Pen;
    ObjectPtr Brush;
    ObjectPtr Font;
    std::optional<QRegion> Clip;  // painter-device pixels; none is no clip
};

// At most this many SAVEDC states are kept; further ones are ignored.
inline constexpr std::size_t kMaxSavedStates = 65536;

// The pixels of all the bitmaps one playing decodes, as many as the largest
// single bitmap a page may hold: a few bytes of run-length code or PNG can
// stand for millions of pixels, and a page of such records would otherwise
// take seconds at every repaint, whatever size it is shown at. Bitmaps past
// the bound are left out.
inline constexpr std::uint64_t kMaxPlayedBitmapPixels = kMaxDibPixels;

// The device area all the drawings of one playing may cover, counted by
// their boxes within the window being painted: this many times the window,
// and at least kMinPaintedArea. Our own pages cover well under their area
// once (a sheet of labels, each a white fill and a line of text), pictures
// from other programs a few times and at most about fifteen; but a few
// kilobytes of records can each fill the whole window, and letters blown up
// to thousands of pixels take milliseconds each, at every repaint. Drawings
// past the bound are left out.
inline constexpr double kPaintedWindows = 64;
inline constexpr double kMinPaintedArea = 1 << 20;

// What the shapes of one playing may cost the rasteriser, in the squares of
// their cells as DeviceOutline counts them (antialiased; an aliased shape
// costs a kAliasedSaving-th of that, a one-pixel line kLineCellCost for
// each pixel): about a quarter of a second. A sheet of frames and labels
// costs a few million; a star of 120 points over an A3 page at 96 dpi, some
// tens of billions. A shape that would take the page past the bound is left
// out, and smaller ones after it are still drawn.
inline constexpr double kOutlineBudget = 1.5e9;
inline constexpr double kAliasedSaving = 40;
inline constexpr double kLineCellCost = 100;
// Past this many cells a shape is drawn aliased even where the painter
// smooths edges: its edges are then a pixel rougher, its time a fortieth.
inline constexpr double kMaxSmoothCells = 12000;

// The crossings of rows with edges that building clip regions from shapes
// may take in one playing (kMaxRegionCrossings bounds each shape): a page of
// many clips made of text outlines would otherwise take seconds at every
// repaint. Past the bound a clip is its shape's box.
inline constexpr std::int64_t kMaxPlayedRegionCrossings = std::int64_t{1} << 20;

// --- the player -------------------------------------------------------------

class EmfPlayer {
public:
    EmfPlayer(QPainter& painter, const EmfDocument& document, const QRectF& target);

    // Begin, every record of the document (until the program is asked to
    // end), End.
    void Play();
    // Sets the painter up for the picture; false (and nothing to end) when
    // the target is empty or the mapping onto it is not finite.
    bool Begin();
    void PlayRecord(const EmfRecord& record) { std::visit(*this, record); }
    // Gives the painter back its own state.
    void End();

    // The state as the records played so far have left it.
    const DeviceContext& State() const { return m_dc; }
    std::size_t SavedStates() const { return m_saved.size(); }
    // The object a handle names in the table; none when it names nothing.
    ObjectPtr Object(std::uint32_t handle) const;
    bool InPath() const { return m_inPath; }
    const QPainterPath& Path() const { return m_path; }  // painter-device coordinates
    const QRect& ClipWindow() const { return m_clipWindow; }
    // Bitmaps left out for the bound on decoded pixels.
    std::size_t SkippedBitmaps() const { return m_skippedBitmaps; }
    // Drawings left out for the bound on the area drawn or on the outline
    // work.
    std::size_t SkippedDrawings() const { return m_skippedDrawings; }
    // What the shapes drawn so far cost the rasteriser (kOutlineBudget's
    // units).
    double OutlineWork() const { return m_outlineWork; }

    // One record each (for std::visit).
    void operator()(const ValueRecord& r);
    void operator()(const PointRecord& r);
    void operator()(const ScaleExtRecord& r);
    void operator()(const RectRecord& r);
    void operator()(const RoundRectRecord& r);
    void operator()(const ArcRecord& r);
    void operator()(const AngleArcRecord& r);
    void operator()(const PolyRecord& r);
    void operator()(const PolyPolyRecord& r);
    void operator()(const PolyDrawRecord& r);
    void operator()(const PlainRecord& r);
    void operator()(const XFormRecord& r);
    void operator()(const PenRecord& r);
    void operator()(const BrushRecord& r);
    void operator()(const FontRecord& r);
    void operator()(const TextRecord& r);
    void operator()(const BltRecord& r);
    void operator()(const ClipRegionRecord& r);
    void operator()(const RegionRecord& r);
    void operator()(const GradientRecord& r);
    void operator()(const PixelRecord& r);

private:
    // A font realised for a text record, and how its pixels relate to
    // logical units.
    struct TextFont {
        std::shared_ptr<PlacedFont> Font;
        double GlyphToLogical = 1;
    };
    // Per-character advances in logical units.
    struct TextAdvances {
        std::vector<double> Dx, Dy;
        double Width = 0;
    };

    QTransform PageTransform() const;
    void UpdateTransform();
    QPointF Map(const QPointF& p) const { return m_full.map(p); }
    QPointF Map(const PointL& p) const { return m_full.map(QPointF(p.X, p.Y)); }

    GdiPen CurrentPen() const;
    QBrush BrushOf(const ObjectPtr& object) const;
    QBrush CurrentBrush() const { return BrushOf(m_dc.Brush); }
    bool Suppressed() const { return m_dc.Rop2 == kR2Nop; }
    void PrepareDraw();
    void ApplyClip();
    bool Afford(QRectF device, const GdiPen* pen = nullptr);

    void CombineClip(const QRegion& region, std::uint32_t mode);
    QRegion LogicalRectRegion(const RectL& rect) const;
    QRegion DeviceRectsRegion(const std::vector<RectL>& rects) const;
    QRegion PathRegion(const QPainterPath& path) const;

    void Shape(const QPainterPath& logical, bool stroke, bool fill);
    void Shape(const std::function<void(DeviceOutline&)>& feed, bool stroke, bool fill);
    void DrawOutline(const std::function<void(DeviceOutline&)>& feed, const QTransform& toDevice, const GdiPen* pen,
                     const QBrush* brush);
    void StrokeSegments(const std::vector<QPointF>& logicalPoints);
    void FillDeviceRect(const QRectF& logical, const QBrush& brush);
    void LineToLogical(const QPointF& to);
    QPainterPath ArcPath(const ArcRecord& r, bool& ok, QPointF& arcStart, QPointF& arcEnd) const;
    QImage Image(const DibRef& dib, bool alpha);
    std::shared_ptr<PlacedFont> FontFor(const LogFontW& font, int pixels, double stretch);

    std::optional<TextFont> RealiseTextFont(const LogFontW& lf);
    TextAdvances MeasureText(const TextRecord& r, const QString& text, const TextFont& font) const;
    QPointF TextOrigin(const PlacedFont& font, double width, double glyphToLogical) const;
    QTransform GlyphToLogical(const LogFontW& lf, double glyphToLogical, const QPointF& reference) const;
    void DrawText(const TextRecord& r, const QString& text, const PlacedFont& font, const QTransform& toDevice,
                  const QPointF& origin, const std::vector<QPointF>& offsets, double widthGlyph);
    void MoveAfterText(const QPointF& reference, const QTransform& toLogical, double width);

    void SelectObject(std::uint32_t handle);
    void DeleteObject(std::uint32_t handle);
    void RestoreDc(std::int32_t which);

    static constexpr std::uint32_t kR2Nop = 11;

    QPainter& m_painter;
    const EmfDocument& m_document;
    QRectF m_target;
    QTransform m_playback;  // reference-device pixels -> painter device
    QTransform m_full;      // logical -> painter device
    double m_scale = 1;
    bool m_axisAligned = true;
    double m_pixelsPerMmX = 96 / 25.4;
    double m_pixelsPerMmY = 96 / 25.4;
    DeviceContext m_dc;
    std::vector<DeviceContext> m_saved;
    std::unordered_map<std::uint32_t, ObjectPtr> m_objects;
    std::optional<QRegion> m_baseClip;
    QRect m_clipWindow;  // where regions made from shapes are kept
    bool m_clipDirty = true;
    bool m_inPath = false;
    QPainterPath m_path;  // painter-device coordinates
    std::map<std::tuple<std::u16string, int, int, bool, bool, bool, int>, std::shared_ptr<PlacedFont>> m_fonts;
    bool m_rasterOps = false;
    std::uint64_t m_bitmapPixelsLeft = kMaxPlayedBitmapPixels;
    std::size_t m_skippedBitmaps = 0;
    QRectF m_visible;     // the window being painted, in painter-device pixels
    QRectF m_drawWindow;  // the part of it the current clip lets through
    double m_paintBudget = 0;
    double m_painted = 0;  // device area the drawings so far cover in the window
    std::size_t m_skippedDrawings = 0;
    double m_outlineWork = 0;
    mutable std::int64_t m_regionCrossingsLeft = kMaxPlayedRegionCrossings;
};

}  // namespace dw::emf
