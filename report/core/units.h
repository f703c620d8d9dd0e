// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "numeric/core/extended.h"

namespace dw {

// Every report length is kept once, in tenths of a millimetre ("native"), and
// shown to the outside in the unit the report is set to.
enum class TVpUnit : std::uint8_t { MM = 0, Inches = 1, Pixels = 2, Characters = 3, Native = 4 };

// Characters are wider than they are tall, so the character unit needs to know
// which way a value runs.
enum class TVpDirection : std::uint8_t { Horizontal, Vertical };

// Units are stored by name in forms.
std::string_view UnitName(TVpUnit unit) noexcept;
std::optional<TVpUnit> UnitFromName(std::string_view name) noexcept;

// What the report engine learns from the machine once, at start-up: the
// screen's pixels per inch and whether the locale measures in the US system.
// Size records are given it when they are created instead of asking the
// screen themselves, so the geometry works (and is tested) without a display.
struct VpEnvironment {
    int Resolution = 96;
    bool UsMeasurement = false;
};

// Zoom is a percentage; the report accepts nothing outside this range.
inline constexpr int kMinZoom = 1;
inline constexpr int kMaxZoom = 300;

// The point size assumed for the character unit when no report font is known.
inline constexpr int kDefaultReportFontSize = 10;

// A control's rectangle in screen pixels.
struct PixelRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The on-screen control that a size record keeps in step with its stored
// geometry (the report, a band, a printable element). The geometry needs
// nothing else of it, so it stays free of any widget toolkit.
class IPixelBounds {
public:
    virtual PixelRect PixelBounds() const = 0;
    virtual void SetPixelBounds(const PixelRect& bounds) = 0;

protected:
    ~IPixelBounds() = default;
};

// The report as a size record sees it: the source of the font size that the
// character unit is measured by.
class IVpReportFont {
public:
    // Point size of the report's font; the sign is ignored.
    virtual int FontPointSize() const = 0;

protected:
    ~IVpReportFont() = default;
};

// The conversion table, in extended precision. fontSize is only read for
// Characters, resolution and zoom only for Pixels. A finite value that
// overflows raises EOverflow, a value that is not a number EInvalidOp.
Extended UnitsFromNative(TVpUnit unit, TVpDirection direction, Extended native, int resolution, int zoom, int fontSize);
Extended UnitsToNative(TVpUnit unit, TVpDirection direction, Extended value, int resolution, int zoom, int fontSize);

// Pixel counts are the nearest integer, halfway cases to the even one,
// whatever rounding mode the processor happens to be in. A value that is not
// finite or does not fit a pixel coordinate raises EInvalidOp.
int RoundPixel(Extended value);

// Base of the three size records (page, band, printable element): a fixed
// list of native values, each with its direction, read and written in Units.
class TVpUnitBase {
public:
    virtual ~TVpUnitBase() = default;
    TVpUnitBase(const TVpUnitBase&) = delete;
    TVpUnitBase& operator=(const TVpUnitBase&) = delete;

    int Resolution() const noexcept { return m_resolution; }
    TVpUnit SavedUnits() const noexcept { return m_savedUnits; }
    IVpReportFont* ParentReport() const noexcept { return m_parentReport; }
    void SetParentReport(IVpReportFont* report) noexcept { m_parentReport = report; }
    // True while the record pushes its geometry to its control, so that the
    // control's resize handler knows not to write it back.
    bool ParentUpdating() const noexcept { return m_parentUpdating; }
    int Zoom() const noexcept { return m_zoom; }
    // Values outside 1..300 are ignored: a zoom of 0 would divide by zero.
    void SetZoom(int zoom) noexcept;

    virtual Extended FromNative(TVpUnit unit, TVpDirection direction, Extended native) const;
    virtual Extended ToNative(TVpUnit unit, TVpDirection direction, Extended value) const;
    virtual TVpUnit GetUnits() const { return m_units; }
    // End of loading a form: the stored values now decide the control's bounds.
    virtual void Loaded();
    // The raw native list stored under "Values". A shorter list leaves the
    // remaining values as they are; a longer one, or one holding a value that
    // is not finite, is refused whole with EVpError "Invalid property value".
    virtual void ReadValues(std::span<const Extended> values);
    virtual void UpdateOwnerBounds() {}
    // Changes how values are read and written; nothing stored is converted.
    virtual void SetUnits(TVpUnit unit);
    virtual std::vector<Extended> WriteValues() const;

    TVpUnit Units() const { return GetUnits(); }
    void SetPixelUnits();
    void RestoreUnits();

    // The value at index in Units.
    Extended GetValue(std::size_t index) const;
    // Stores the value given in Units, then runs the record's follow-up.
    virtual void SetValue(std::size_t index, Extended value);
    // The stored value, in tenths of a millimetre.
    Extended NativeValue(std::size_t index) const;
    // The value at index in screen pixels at the record's zoom, rounded.
    int PixelValue(std::size_t index) const;

protected:
    TVpUnitBase(const VpEnvironment& environment, std::span<const TVpDirection> directions,
                std::span<const Extended> defaults);

    void StoreNative(std::size_t index, Extended native);
    int FontSizeForCharacters() const;
    void CheckIndex(std::size_t index) const;

    // Sets ParentUpdating for a scope and puts the old state back, also when
    // the control throws.
    class UpdatingScope {
    public:
        explicit UpdatingScope(TVpUnitBase& record) : m_record(record), m_old(record.m_parentUpdating)
        {
            record.m_parentUpdating = true;
        }
        ~UpdatingScope() { m_record.m_parentUpdating = m_old; }
        UpdatingScope(const UpdatingScope&) = delete;
        UpdatingScope& operator=(const UpdatingScope&) = delete;

    private:
        TVpUnitBase& m_record;
        bool m_old;
    };

    // SetPixelUnits for a scope, RestoreUnits at its end (also on an error).
    class PixelUnitsScope {
    public:
        explicit PixelUnitsScope(TVpUnitBase& record) : m_record(record) { record.SetPixelUnits(); }
        ~PixelUnitsScope() { m_record.RestoreUnits(); }
        PixelUnitsScope(const PixelUnitsScope&) = delete;
        PixelUnitsScope& operator=(const PixelUnitsScope&) = delete;

    private:
        TVpUnitBase& m_record;
    };

private:
    int m_resolution;
    TVpUnit m_units;
    TVpUnit m_savedUnits;
    IVpReportFont* m_parentReport = nullptr;
    bool m_parentUpdating = false;
    int m_zoom = 100;
    std::span<const TVpDirection> m_directions;
    std::vector<Extended> m_values;
};

// Switches a record to another unit for a scope without touching SavedUnits,
// so it nests safely inside SetPixelUnits/RestoreUnits pairs.
class ScopedUnits {
public:
    ScopedUnits(TVpUnitBase& record, TVpUnit unit) : m_record(record), m_old(record.GetUnits())
    {
        record.SetUnits(unit);
    }
    ~ScopedUnits() { m_record.SetUnits(m_old); }
    ScopedUnits(const ScopedUnits&) = delete;
    ScopedUnits& operator=(const ScopedUnits&) = delete;

private:
    TVpUnitBase& m_record;
    TVpUnit m_old;
};

}  // namespace dw
