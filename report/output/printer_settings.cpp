// SPDX-License-Identifier: MIT
#include "report/output/printer_settings.h"

#include "common/utf8.h"
#include "report/core/units.h"

namespace dw {

namespace {

struct BinEntry {
    std::string_view Name;
    int Code;
};

// In enumeration order; several bins share a code, and reading a code back
// takes the first of them.
constexpr std::array<BinEntry, kBinCount> kBins{{
    {"First", 1},
    {"Upper", 1},
    {"Lower", 2},
    {"Middle", 3},
    {"Manual", 4},
    {"Envelope", 5},
    {"EnvManual", 6},
    {"Auto", 7},
    {"Tractor", 8},
    {"SmallFormat", 9},
    {"LargeFormat", 10},
    {"LargeCapacity", 11},
    {"Cassette", 14},
    {"Last", 14},
}};

constexpr int kFirstTableCode = static_cast<int>(TVpPaperSize::Letter);
constexpr int kLastTableCode = static_cast<int>(TVpPaperSize::ESheet);

// Device pixels to tenths of a millimetre.
int PixelsToNative(int pixels, int pixelsPerInch)
{
    if (pixelsPerInch <= 0) {
        return 0;
    }
    return RoundPixel(static_cast<Extended>(pixels) / pixelsPerInch * 254);
}

std::string Cut(std::string_view text, std::size_t characters)
{
    return std::string(utf8::Left(text, characters));
}

}  // namespace

std::optional<int> PaperCode(TVpPaperSize size) noexcept
{
    const int ordinal = static_cast<int>(size);
    if (ordinal >= kFirstTableCode && ordinal <= kLastTableCode) {
        return ordinal;
    }
    if (size == TVpPaperSize::Custom) {
        return kDmPaperUser;
    }
    return std::nullopt;
}

std::optional<TVpPaperSize> PaperSizeFromCode(int code) noexcept
{
    if (code >= kFirstTableCode && code <= kLastTableCode) {
        return static_cast<TVpPaperSize>(code);
    }
    if (code == kDmPaperUser) {
        return TVpPaperSize::Custom;
    }
    return std::nullopt;
}

int BinCode(TVpBin bin) noexcept
{
    const auto index = static_cast<std::size_t>(bin);
    return index < kBins.size() ? kBins[index].Code : 0;
}

std::optional<TVpBin> BinFromCode(int code) noexcept
{
    for (std::size_t i = 0; i < kBins.size(); ++i) {
        if (kBins[i].Code == code) {
            return static_cast<TVpBin>(i);
        }
    }
    return std::nullopt;
}

std::string_view BinName(TVpBin bin) noexcept
{
    const auto index = static_cast<std::size_t>(bin);
    return index < kBins.size() ? kBins[index].Name : std::string_view();
}

std::optional<TVpBin> BinFromName(std::string_view name) noexcept
{
    for (std::size_t i = 0; i < kBins.size(); ++i) {
        if (kBins[i].Name == name) {
            return static_cast<TVpBin>(i);
        }
    }
    return std::nullopt;
}

void TPrinterSettings::SetPrinter(TPrinter* printer)
{
    m_printer = printer;
    ReadSettings();
}

void TPrinterSettings::ReadSettings()
{
    if (m_printer == nullptr || m_printer->Printers().empty()) {
        return;
    }
    const TPrinterDevice device = m_printer->GetPrinter();
    const TPageGeometry geometry = m_printer->Geometry();
    const std::vector<int> paperCodes = m_printer->PaperCodes();

    m_device = Cut(device.Device, kDeviceNameLength);
    // Qt names a driver by make and model, not by a file; the name is kept
    // as a whole up to the limit.
    m_driver = Cut(device.Driver, kDriverNameLength);
    m_port = Cut(device.Port, kDeviceNameLength);
    m_deviceMode = device.DeviceMode;

    m_pixelsPerX = geometry.PixelsPerInchX;
    m_pixelsPerY = geometry.PixelsPerInchY;
    m_copies = m_deviceMode.Supports(kDmCopies) ? m_deviceMode.Copies : 1;
    m_outputBin = TVpBin::First;
    if (m_deviceMode.Supports(kDmDefaultSource)) {
        m_outputBin = BinFromCode(m_deviceMode.DefaultSource).value_or(TVpBin::First);
    }
    m_duplex = m_deviceMode.Supports(kDmDuplex) && m_deviceMode.Duplex != kDmDuplexSimplex;
    m_leftOffset = PixelsToNative(geometry.OffsetX, geometry.PixelsPerInchX);
    m_topOffset = PixelsToNative(geometry.OffsetY, geometry.PixelsPerInchY);
    m_paperSize = PaperSizeFromCode(m_deviceMode.PaperSize).value_or(TVpPaperSize::Default);
    m_paperWidth = PixelsToNative(geometry.PhysicalWidth, geometry.PixelsPerInchX);
    m_paperLength = PixelsToNative(geometry.PhysicalHeight, geometry.PixelsPerInchY);

    // Every listed code counts, however many the device lists: a paper far
    // down a long list is as printable as the first.
    m_supportedPapers.fill(false);
    for (const int code : paperCodes) {
        if (const auto size = PaperSizeFromCode(code)) {
            m_supportedPapers[static_cast<std::size_t>(*size)] = true;
        }
    }
}

void TPrinterSettings::ApplySettings()
{
    if (m_printer == nullptr || m_printer->Printers().empty()) {
        return;
    }
    TPrinterDevice device = m_printer->GetPrinter();
    TDeviceMode& mode = device.DeviceMode;
    if (m_paperSize == TVpPaperSize::Custom) {
        if (mode.Supports(kDmPaperLength)) {
            mode.PaperLength = PaperLength();
        }
        if (mode.Supports(kDmPaperWidth)) {
            mode.PaperWidth = PaperWidth();
        }
    }
    if (mode.Supports(kDmPaperSize)) {
        if (const auto code = PaperCode(m_paperSize)) {
            mode.PaperSize = *code;
        }
    }
    if (mode.Supports(kDmCopies)) {
        mode.Copies = m_copies;
    }
    if (mode.Supports(kDmDefaultSource)) {
        mode.DefaultSource = BinCode(m_outputBin);
    }
    if (mode.Supports(kDmOrientation)) {
        mode.Orientation = m_orientation == TPrinterOrientation::poLandscape ? kDmOrientLandscape : kDmOrientPortrait;
    }
    m_printer->SetPrinter(device.Device, device.Driver, device.Port, mode);
    m_deviceMode = mode;
}

void TPrinterSettings::SetCopies(int copies)
{
    if (m_deviceMode.Supports(kDmCopies)) {
        m_copies = copies;
    }
}

void TPrinterSettings::SetOrientation(TPrinterOrientation orientation)
{
    if (m_deviceMode.Supports(kDmOrientation)) {
        m_orientation = orientation;
    }
}

void TPrinterSettings::SetOutputBin(TVpBin bin)
{
    if (m_deviceMode.Supports(kDmDefaultSource) && static_cast<std::size_t>(bin) < kBinCount) {
        m_outputBin = bin;
    }
}

bool TPrinterSettings::Supports(TVpPaperSize size) const noexcept
{
    const auto index = static_cast<std::size_t>(size);
    return index < m_supportedPapers.size() && m_supportedPapers[index];
}

void TPrinterSettings::SetPaperSize(TVpPaperSize size)
{
    if (size == TVpPaperSize::Default || Supports(size)) {
        m_paperSize = size;
    }
}

int TPrinterSettings::TableDimension(bool width) const
{
    const auto dimensions = PaperDimensions(m_paperSize);
    if (!dimensions) {
        return width ? m_paperWidth : m_paperLength;
    }
    return RoundPixel((width ? dimensions->Width : dimensions->Length) * 10);
}

int TPrinterSettings::PaperWidth() const
{
    return TableDimension(true);
}

int TPrinterSettings::PaperLength() const
{
    return TableDimension(false);
}

void TPrinterSettings::SetPaperWidth(int width)
{
    if (m_paperSize == TVpPaperSize::Custom) {
        m_paperWidth = width;
    }
}

void TPrinterSettings::SetPaperLength(int length)
{
    if (m_paperSize == TVpPaperSize::Custom) {
        m_paperLength = length;
    }
}

int TPrinterSettings::PageWidth() const
{
    return m_orientation == TPrinterOrientation::poLandscape ? PaperLength() : PaperWidth();
}

int TPrinterSettings::PageHeight() const
{
    return m_orientation == TPrinterOrientation::poLandscape ? PaperWidth() : PaperLength();
}

}  // namespace dw
