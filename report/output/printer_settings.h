// SPDX-License-Identifier: MIT
#pragma once

// The report's view of a printer's settings: read from the device when a
// printer is chosen, changed by the report before a run (each change kept
// only where the device allows it), and written back into the device mode
// when a print job starts.

#include "report/core/page.h"
#include "report/output/printer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dw {

enum class TVpBin : std::uint8_t {
    First,
    Upper,
    Lower,
    Middle,
    Manual,
    Envelope,
    EnvManual,
    Auto,
    Tractor,
    SmallFormat,
    LargeFormat,
    LargeCapacity,
    Cassette,
    Last
};

inline constexpr std::size_t kBinCount = 14;

// Device codes. Default has no paper code (it is never written); Letter ..
// ESheet are their ordinals, Custom the user-defined paper.
std::optional<int> PaperCode(TVpPaperSize size) noexcept;
// The first size with this code.
std::optional<TVpPaperSize> PaperSizeFromCode(int code) noexcept;
int BinCode(TVpBin bin) noexcept;
// The first bin with this code: 1 reads as First, 14 as Cassette.
std::optional<TVpBin> BinFromCode(int code) noexcept;
// Bins are stored by name in forms.
std::string_view BinName(TVpBin bin) noexcept;
std::optional<TVpBin> BinFromName(std::string_view name) noexcept;

// Device, driver and port fit the platform's 128-byte name buffers; the
// driver is kept to its file name of at most 63 characters.
inline constexpr std::size_t kDeviceNameLength = 127;
inline constexpr std::size_t kDriverNameLength = 63;

class TPrinterSettings {
public:
    TPrinterSettings() = default;
    TPrinterSettings(const TPrinterSettings&) = delete;
    TPrinterSettings& operator=(const TPrinterSettings&) = delete;

    TPrinter* Printer() const noexcept { return m_printer; }
    // Attaches the settings to a printer (not owned) and reads them from it
    // when it has a printer to offer.
    void SetPrinter(TPrinter* printer);

    // Takes the current printer's device values; done on attaching and after
    // every change of printer. The orientation stays as it is.
    void ReadSettings();
    // Writes paper, copies, bin and orientation into the printer's device
    // mode, each only where the device has the field; duplex is left alone.
    void ApplySettings();

    const std::string& Device() const noexcept { return m_device; }
    const std::string& Driver() const noexcept { return m_driver; }
    const std::string& Port() const noexcept { return m_port; }
    // The device mode as last read or applied.
    const TDeviceMode& DeviceMode() const noexcept { return m_deviceMode; }

    int Copies() const noexcept { return m_copies; }
    // Kept only when the device takes a number of copies.
    void SetCopies(int copies);
    bool Duplex() const noexcept { return m_duplex; }
    TPrinterOrientation Orientation() const noexcept { return m_orientation; }
    // Kept only when the device has an orientation.
    void SetOrientation(TPrinterOrientation orientation);
    TVpBin OutputBin() const noexcept { return m_outputBin; }
    // Kept only when the device lets the bin be chosen.
    void SetOutputBin(TVpBin bin);
    TVpPaperSize PaperSize() const noexcept { return m_paperSize; }
    // Default is always taken; any other size only when the device lists it.
    void SetPaperSize(TVpPaperSize size);

    // Native units. A table size gives its own dimensions (portrait, ×10,
    // rounded); Custom and Default give the stored ones.
    int PaperWidth() const;
    int PaperLength() const;
    // Kept only while the paper size is Custom.
    void SetPaperWidth(int width);
    void SetPaperLength(int length);
    // The paper as it lies for the orientation, in native units.
    int PageWidth() const;
    int PageHeight() const;

    int PixelsPerX() const noexcept { return m_pixelsPerX; }
    int PixelsPerY() const noexcept { return m_pixelsPerY; }
    // Unprintable border at the left and top, native units.
    int TopOffset() const noexcept { return m_topOffset; }
    int LeftOffset() const noexcept { return m_leftOffset; }

    bool Supports(TVpPaperSize size) const noexcept;

private:
    int TableDimension(bool width) const;

    TPrinter* m_printer = nullptr;
    std::string m_device;
    std::string m_driver;
    std::string m_port;
    TDeviceMode m_deviceMode;
    int m_copies = 1;
    bool m_duplex = false;
    TPrinterOrientation m_orientation = TPrinterOrientation::poPortrait;
    TVpBin m_outputBin = TVpBin::First;
    TVpPaperSize m_paperSize = TVpPaperSize::A4;
    int m_paperWidth = 0;
    int m_paperLength = 0;
    int m_pixelsPerX = 0;
    int m_pixelsPerY = 0;
    int m_topOffset = 0;
    int m_leftOffset = 0;
    std::array<bool, kPaperSizeCount> m_supportedPapers{};
};

}  // namespace dw
