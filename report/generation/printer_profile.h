// SPDX-License-Identifier: MIT
#pragma once

// The last printer set-up confirmed (printer, paper, orientation, copies and
// the PDF file, if the job goes to one) is kept in the profile in a section
// of its own, so that after a restart the report prints as it was set up.
// The printer is kept by its name: a printer that is gone by then is not
// replaced by whichever printer took its place in the list.

#include "report/core/page.h"

#include <optional>
#include <string>

namespace dw {

struct TVpKeptPrinterSetup {
    std::string Printer;  // as the printer list names it
    std::optional<TVpPaperSize> Paper;
    std::optional<TVpOrientation> Orientation;
    int Copies = 1;
    std::string OutputFileName;  // empty: printed on the printer
};

// The profile the set-up is kept in; empty (the default) keeps nothing. A
// bare name goes to the profile folder.
void SetPrinterProfile(std::string profileName);
// Keeps setup. A profile that cannot be written is left as it is: the
// set-up still holds for this run.
void KeepPrinterSetup(const TVpKeptPrinterSetup& setup);
// The set-up kept; none when nothing is kept or no profile is set.
std::optional<TVpKeptPrinterSetup> KeptPrinterSetup();

// Section and keys in the profile.
inline constexpr const char* kPrinterSection = "PrinterSetup";
inline constexpr const char* kPrinterKey = "Printer";
inline constexpr const char* kPaperKey = "Paper";
inline constexpr const char* kOrientationKey = "Orientation";
inline constexpr const char* kCopiesKey = "Copies";
inline constexpr const char* kPdfFileKey = "PdfFile";

}  // namespace dw
