// SPDX-License-Identifier: MIT
#pragma once

// The printed sheet as data: every label of the one-page A3 report, where it
// stands (pixels at 96 per inch, as it was laid out) and what it shows; and
// the same sheet for a crew that reads English or works in oilfield units.

#include "units/display_settings.h"

#include <QDateTime>

#include <array>
#include <cstdint>
#include <span>

class QDate;
class QString;

namespace dw {

class TVpLabel;
class TVpReport;
struct TVpReportNames;

inline constexpr int kSheetLabelCount = 59;

// The sheet's labels by number: [n] is VpLabel<n>, [0] is unused.
using TSheetLabels = std::array<TVpLabel*, kSheetLabelCount + 1>;

enum class TSheetSource : std::uint8_t {
    Caption,  // a fixed text
    Field,    // the displayed text of a main-window field (which: weight_fields.h)
    Date,     // the date of printing
    Time,     // the time of printing
};

struct TSheetLabel {
    int Number;  // VpLabel<Number>
    TSheetSource Source;
    const char* Caption;  // Source Caption: the text (UTF-8)
    int Left, Top, Width, Height;
    bool TitleFont;
};

// The 59 labels in the order they were declared (and are filled and drawn).
std::span<const TSheetLabel> SheetLabels();

// Shown in place of a field's text that would run past the next label of its
// row (or the page's edge): a cut or overlapping number reads as another one.
inline constexpr char kSheetTooLongMark[] = "###";

// Sets the caption of a field label of the sheet to text, or to the too-long
// mark when the text does not fit before the next label standing in its row
// (or the page's edge), wherever the sheet's design puts them.
void SetFieldCaption(TVpLabel& label, const QString& text);

// Gives an empty report the sheet's settings and labels, as loading its
// stored description would, names its output (SheetNames of the moment) and
// hands back the labels it made.
TSheetLabels BuildReportSheet(TVpReport& report);

// Gives the sheet made by BuildReportSheet the captions and layout of a
// language and unit system, and names its output in that language. Russian
// and metric is the designed sheet, exactly as BuildReportSheet made it;
// Russian and oilfield keeps its captions, with the weight of a foot for the
// weight of a metre; English has captions of its own, the same in both
// systems but for that one. Every sheet but the designed one stands on a
// wider layout, with room for captions longer than the designed ones and for
// the oilfield units' longer words: each caption as wide as its text, the
// title centred over the table. The field labels keep the texts they hold.
void SetSheetDisplay(TVpReport& report, const TSheetLabels& labels, units::TLanguage language,
                     units::TUnitSystem units);

// The caption a fixed caption label shows on the sheet of a language and
// unit system.
QString SheetCaption(const TSheetLabel& row, units::TLanguage language, units::TUnitSystem units);

// The words a sheet made afterwards from a journal record puts after its
// time, in the sheet's language: "<time>  (<note> <date made>)".
QString MadeFromJournalText(units::TLanguage language, const QString& time, const QString& dateMade);

// The sheet's title followed by the date and time printed on it; the files
// saved from it are suggested as "Вес инструмента YYYY-MM-DD HH-MM-SS" (in
// English "Drill string weight YYYY-MM-DD HH-MM-SS") of the moment it was made.
TVpReportNames SheetNames(const TVpReport& report, const QDateTime& moment,
                          units::TLanguage language = units::TLanguage::Russian);

}  // namespace dw
