// SPDX-License-Identifier: MIT
#include "report/core/units.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "common/errors.h"

namespace dw {

namespace {

constexpr std::array<std::string_view, 5> kUnitNames{"MM", "Inches", "Pixels", "Characters", "Native"};

// The processor would trap on these with its exceptions unmasked; here the
// result is looked at instead and the same errors are raised.
Extended Checked(Extended input, Extended result)
{
    if (std::isnan(result)) {
        throw EInvalidOp();
    }
    if (std::isinf(result) && std::isfinite(input)) {
        throw EOverflow();
    }
    return result;
}

// Native units per character: a character cell is 1/80 of a line of text
// across and 1/145.3 down at one point of font size, in inches.
Extended CharacterCell(TVpDirection direction, int fontSize)
{
    const Extended s = static_cast<Extended>(fontSize);
    return direction == TVpDirection::Horizontal ? (80.0L / s) * (1.0L / 2.54L) : (145.3L / s) * (1.0L / 2.54L);
}

[[noreturn]] void RangeError()
{
    throw ERangeError(DW_TEXT("Message", "Range check error"));
}

}  // namespace

std::string_view UnitName(TVpUnit unit) noexcept
{
    const auto index = static_cast<std::size_t>(unit);
    return index < kUnitNames.size() ? kUnitNames[index] : std::string_view();
}

std::optional<TVpUnit> UnitFromName(std::string_view name) noexcept
{
    for (std::size_t i = 0; i < kUnitNames.size(); ++i) {
        if (kUnitNames[i] == name) {
            return static_cast<TVpUnit>(i);
        }
    }
    return std::nullopt;
}

Extended UnitsFromNative(TVpUnit unit, TVpDirection direction, Extended native, int resolution, int zoom, int fontSize)
{
    // The order of the operations is part of the result: it is kept as the
    // table gives it, so every value comes out to the last bit the same.
    switch (unit) {
        case TVpUnit::MM:
            return Checked(native, native * 0.1L);
        case TVpUnit::Inches:
            return Checked(native, native * (1.0L / 254.0L));
        case TVpUnit::Pixels:
            return Checked(native, native / (254.0L / resolution) * zoom * 0.01L);
        case TVpUnit::Characters:
            return Checked(native, native / CharacterCell(direction, fontSize) * 0.1L);
        case TVpUnit::Native:
            return native;
    }
    RangeError();
}

Extended UnitsToNative(TVpUnit unit, TVpDirection direction, Extended value, int resolution, int zoom, int fontSize)
{
    switch (unit) {
        case TVpUnit::MM:
            return Checked(value, value * 10.0L);
        case TVpUnit::Inches:
            return Checked(value, value * 254.0L);
        case TVpUnit::Pixels:
            return Checked(value, value * (254.0L / resolution) / zoom * 100.0L);
        case TVpUnit::Characters:
            return Checked(value, value * CharacterCell(direction, fontSize) * 10.0L);
        case TVpUnit::Native:
            return value;
    }
    RangeError();
}

int RoundPixel(Extended value)
{
    if (!std::isfinite(value)) {
        throw EInvalidOp();
    }
    // Done by hand rather than with nearbyint, which follows whatever
    // rounding mode is current; value - floor(value) is exact.
    Extended whole = std::floor(value);
    const Extended fraction = value - whole;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0.0L)) {
        whole += 1.0L;
    }
    if (whole < static_cast<Extended>(INT_MIN) || whole > static_cast<Extended>(INT_MAX)) {
        throw EInvalidOp();
    }
    return static_cast<int>(whole);
}

TVpUnitBase::TVpUnitBase(const VpEnvironment& environment, std::span<const TVpDirection> directions,
                         std::span<const Extended> defaults)
    // A screen that reports no resolution would make every pixel conversion
    // divide by zero; the resolution the program's windows are laid out at
    // stands in for it.
    : m_resolution(environment.Resolution > 0 ? environment.Resolution : 96),
      m_units(environment.UsMeasurement ? TVpUnit::Inches : TVpUnit::MM),
      m_savedUnits(m_units),
      m_directions(directions),
      m_values(defaults.begin(), defaults.end())
{
}

void TVpUnitBase::SetZoom(int zoom) noexcept
{
    if (zoom >= kMinZoom && zoom <= kMaxZoom) {
        m_zoom = zoom;
    }
}

int TVpUnitBase::FontSizeForCharacters() const
{
    const int size = m_parentReport != nullptr ? std::abs(m_parentReport->FontPointSize()) : 0;
    // Without a report, or with a font of no size, the cell would be infinite;
    // the report's default font size is the sensible stand-in.
    return size > 0 ? size : kDefaultReportFontSize;
}

Extended TVpUnitBase::FromNative(TVpUnit unit, TVpDirection direction, Extended native) const
{
    const int fontSize = unit == TVpUnit::Characters ? FontSizeForCharacters() : kDefaultReportFontSize;
    return UnitsFromNative(unit, direction, native, m_resolution, m_zoom, fontSize);
}

Extended TVpUnitBase::ToNative(TVpUnit unit, TVpDirection direction, Extended value) const
{
    const int fontSize = unit == TVpUnit::Characters ? FontSizeForCharacters() : kDefaultReportFontSize;
    return UnitsToNative(unit, direction, value, m_resolution, m_zoom, fontSize);
}

void TVpUnitBase::Loaded()
{
    UpdateOwnerBounds();
}

void TVpUnitBase::ReadValues(std::span<const Extended> values)
{
    // A damaged form must not leave half of a record replaced.
    if (values.size() > m_values.size()) {
        throw EVpError(DW_TEXT("Message", "Invalid property value"));
    }
    for (const Extended v : values) {
        if (!std::isfinite(v)) {
            throw EVpError(DW_TEXT("Message", "Invalid property value"));
        }
    }
    std::copy(values.begin(), values.end(), m_values.begin());
}

void TVpUnitBase::SetUnits(TVpUnit unit)
{
    if (static_cast<std::size_t>(unit) >= kUnitNames.size()) {
        RangeError();
    }
    m_units = unit;
}

std::vector<Extended> TVpUnitBase::WriteValues() const
{
    return m_values;
}

void TVpUnitBase::SetPixelUnits()
{
    m_savedUnits = m_units;
    m_units = TVpUnit::Pixels;
}

void TVpUnitBase::RestoreUnits()
{
    m_units = m_savedUnits;
}

void TVpUnitBase::CheckIndex(std::size_t index) const
{
    if (index >= m_values.size()) {
        RangeError();
    }
}

Extended TVpUnitBase::GetValue(std::size_t index) const
{
    CheckIndex(index);
    return FromNative(GetUnits(), m_directions[index], m_values[index]);
}

void TVpUnitBase::SetValue(std::size_t index, Extended value)
{
    CheckIndex(index);
    StoreNative(index, ToNative(GetUnits(), m_directions[index], value));
}

Extended TVpUnitBase::NativeValue(std::size_t index) const
{
    CheckIndex(index);
    return m_values[index];
}

int TVpUnitBase::PixelValue(std::size_t index) const
{
    CheckIndex(index);
    return RoundPixel(FromNative(TVpUnit::Pixels, m_directions[index], m_values[index]));
}

void TVpUnitBase::StoreNative(std::size_t index, Extended native)
{
    CheckIndex(index);
    // Anything stored must survive being turned into pixels later.
    if (!std::isfinite(native)) {
        throw EInvalidOp();
    }
    m_values[index] = native;
}

}  // namespace dw
