// SPDX-License-Identifier: MIT
#include "report/generation/printer_profile.h"

#include "common/errors.h"
#include "storage/core/ini_file.h"

#include <algorithm>

namespace dw {

namespace {

std::string& PrinterProfile()
{
    static std::string name;
    return name;
}

constexpr int kMaxCopies = 999;

}  // namespace

void SetPrinterProfile(std::string profileName)
{
    PrinterProfile() = std::move(profileName);
}

void KeepPrinterSetup(const TVpKeptPrinterSetup& setup)
{
    if (PrinterProfile().empty()) {
        return;
    }
    try {
        TIniFile profile(PrinterProfile());
        // One write of the whole section: a set-up is never kept half.
        TIniFile::Batch batch(profile);
        profile.EraseSection(kPrinterSection);
        profile.WriteString(kPrinterSection, kPrinterKey, setup.Printer);
        if (setup.Paper) {
            profile.WriteString(kPrinterSection, kPaperKey, PaperSizeName(*setup.Paper));
        }
        if (setup.Orientation) {
            profile.WriteString(kPrinterSection, kOrientationKey, OrientationName(*setup.Orientation));
        }
        profile.WriteInteger(kPrinterSection, kCopiesKey, setup.Copies);
        profile.WriteString(kPrinterSection, kPdfFileKey, setup.OutputFileName);
        batch.Commit();
    } catch (const Exception&) {
        // The profile says why when the main window saves it.
    }
}

std::optional<TVpKeptPrinterSetup> KeptPrinterSetup()
{
    if (PrinterProfile().empty()) {
        return std::nullopt;
    }
    try {
        const TIniFile profile(PrinterProfile());
        if (!profile.SectionExists(kPrinterSection)) {
            return std::nullopt;
        }
        TVpKeptPrinterSetup setup;
        setup.Printer = profile.ReadString(kPrinterSection, kPrinterKey, "");
        // A value edited by hand into nonsense is ignored, not an error.
        setup.Paper = PaperSizeFromName(profile.ReadString(kPrinterSection, kPaperKey, ""));
        setup.Orientation = OrientationFromName(profile.ReadString(kPrinterSection, kOrientationKey, ""));
        setup.Copies = std::clamp(profile.ReadInteger(kPrinterSection, kCopiesKey, 1), 1, kMaxCopies);
        setup.OutputFileName = profile.ReadString(kPrinterSection, kPdfFileKey, "");
        return setup;
    } catch (const Exception&) {
        return std::nullopt;
    }
}

}  // namespace dw
