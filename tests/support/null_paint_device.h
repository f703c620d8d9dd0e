// SPDX-License-Identifier: MIT
#pragma once

// A paint device of any size that keeps no pixels: what a player builds for
// it (clip regions, decoded bitmaps, laid-out text) is what is measured, not
// what is drawn. Header-only, so the fuzz targets can use it without the test
// libraries.

#include <QPaintDevice>
#include <QPaintEngine>
#include <QRegion>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace dw::test {

class NullPaintDevice : public QPaintDevice {
public:
    // keepClipRegions: every clip region the painter hands the device is kept
    // (a long-lived device leaves it off, or the list grows without end).
    NullPaintDevice(int width, int height, bool keepClipRegions = false)
        : m_width(width), m_height(height), m_engine(keepClipRegions)
    {
    }
    QPaintEngine* paintEngine() const override { return &m_engine; }
    const std::vector<QRegion>& ClipRegions() const { return m_engine.Regions; }
    // How many shapes, paths and pictures the painter has handed the device.
    std::int64_t Drawn() const { return m_engine.Drawn; }
    // Called with the count after each drawing call.
    void SetOnDrawn(std::function<void(std::int64_t)> onDrawn) { m_engine.OnDrawn = std::move(onDrawn); }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
            case PdmWidth:
                return m_width;
            case PdmHeight:
                return m_height;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return 96;
            case PdmDepth:
                return 32;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return static_cast<int>(devicePixelRatioFScale());
            default:
                return 0;
        }
    }

private:
    struct Engine : QPaintEngine {
        explicit Engine(bool keep) : QPaintEngine(AllFeatures), Keep(keep) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState& state) override
        {
            if (Keep && (state.state() & DirtyClipRegion) != 0)
                Regions.push_back(state.clipRegion());
        }
        void drawRects(const QRectF*, int count) override { Count(count); }
        void drawRects(const QRect*, int count) override { Count(count); }
        void drawPath(const QPainterPath&) override { Count(1); }
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override { Count(1); }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { Count(1); }
        void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override { Count(1); }
        Type type() const override { return User; }
        void Count(int count)
        {
            Drawn += count;
            if (OnDrawn)
                OnDrawn(Drawn);
        }
        bool Keep;
        std::vector<QRegion> Regions;
        std::int64_t Drawn = 0;
        std::function<void(std::int64_t)> OnDrawn;
    };
    int m_width;
    int m_height;
    mutable Engine m_engine;
};

}  // namespace dw::test
