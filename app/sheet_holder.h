// SPDX-License-Identifier: MIT
#pragma once

#include "app/report_sheet.h"

#include <QString>

#include <memory>
#include <utility>
#include <vector>

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
    units::TLanguage Language() const noexcept { return m_chosen.Language; }

    // The captions and layout of the crew's choice, should a page kept in
    // the journal, or anything else, have put others on the sheet: what the
    // print command and a sheet made from a record start from.
    void ShowChosenDisplay();
    // The crew's language in the given units: the sheet made from a journal
    // record typed in other units than the crew's now.
    void ShowChosenLanguageIn(units::TUnitSystem units);

    // A page kept in the journal, each label's caption by its number: shown
    // on the layout of the language and units it was printed in when its
    // captions are those of one of the sheet's designs (a page printed in
    // English is not squeezed into the Russian layout), on the sheet's
    // present layout otherwise.
    void ShowKeptCaptions(const std::vector<std::pair<int, QString>>& captions);

private:
    struct TDisplay {
        units::TLanguage Language = units::TLanguage::Russian;
        units::TUnitSystem Units = units::TUnitSystem::Metric;
        bool operator==(const TDisplay&) const = default;
    };
    void Show(TDisplay display);
    void ShowIfOther(TDisplay display);

    std::unique_ptr<TVpReport> m_vpReport1;
    TSheetLabels m_labels{};
    TDisplay m_chosen;  // the crew's
    TDisplay m_shown;   // the layout the labels stand on
};

}  // namespace dw
