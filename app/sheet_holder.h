// SPDX-License-Identifier: MIT
#pragma once

#include "app/report_sheet.h"

#include <memory>

namespace dw {

class TVpLabel;
class TVpReport;

// The holder of the printed report sheet: made at start-up, it lives until
// the program ends and hands the print command its report and labels. It is
// never shown, so it is no window.
class TSheetHolder {
public:
    TSheetHolder();
    ~TSheetHolder();
    TSheetHolder(const TSheetHolder&) = delete;
    TSheetHolder& operator=(const TSheetHolder&) = delete;

    TVpReport& VpReport1() const { return *m_vpReport1; }
    // VpLabel1 ... VpLabel59.
    TVpLabel& VpLabel(int number) const;

    // The sheet in the crew's language and units (SetSheetDisplay). Until it
    // is called, and after Russian and metric, the sheet is the designed one.
    void SetDisplay(units::TLanguage language, units::TUnitSystem units);

private:
    std::unique_ptr<TVpReport> m_vpReport1;
    TSheetLabels m_labels{};
};

}  // namespace dw
