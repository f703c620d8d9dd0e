// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "app/weight_fields.h"
#include "calc/weight_calculation.h"
#include "numeric/core/extended.h"
#include "units/display_settings.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace dw {

class TCurrencyEdit;
class TTransparentButton;
class TGradientCaption;
class TFormStorage;
class TSheetHolder;
class TCrewJournal;
class TJournalWindow;
struct JournalRecord;
class TWindowZoom;

// The main window: the inputs of the hoisting equipment, the mud, the metal
// and the eight string sections, the five results, the calculate command
// ("РАСЧЕТ") and the print command ("ПЕЧАТЬ"). Controls keep the names and
// the pixel geometry (96 dpi) they were designed with.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    // A window without a report holder prints nothing.
    explicit TForm1(TSheetHolder* reportHolder = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    // The calculate command.
    void BitBtn1Click(QObject* sender);
    // The print command. It prints only results that belong to the inputs
    // on the sheet: when they do not, it calculates first, as РАСЧЕТ does.
    void TransparentButton1Click(QObject* sender);

    // Whether the five results were calculated from the inputs as they stand
    // now, text still being typed included (read as РАСЧЕТ would read it).
    // The print command takes what is being typed first, so for it this is
    // the fields' committed values.
    bool ResultsCurrent() const;

    // The crew's journal: every successful calculation is kept there (the
    // file is opened when first needed, never at start-up).
    TCrewJournal& Journal();
    // The journal window (Ctrl+J, and the window menu's entry), made when
    // first asked for; null until then.
    void ShowJournal();
    TJournalWindow* JournalWindow() const { return m_journalWindow.get(); }
    // A record back in the window: its 32 inputs, its results (current), its date.
    void OpenRecord(const JournalRecord& record);
    // The record's sheet in the preview: the page as it was printed, or for
    // a record never printed one made from it and marked so.
    void ShowRecordSheet(const JournalRecord& record);
    // The record of the results shown; none before a calculation.
    std::optional<std::int64_t> RecordShown() const { return m_recordId; }

    // CurrencyEdit9 ... CurrencyEdit45 by their number.
    TCurrencyEdit* CurrencyEdit(int number) const;

    QLabel* Label(int number) const { return m_labels.at(number - 1); }
    QLabel* Label14() const { return m_labels[13]; }
    QPushButton* BitBtn1() const { return m_bitBtn1; }
    TTransparentButton* TransparentButton1() const { return m_transparentButton1; }
    QGroupBox* GroupBox(int number) const { return m_groupBoxes.at(number - 1); }
    QFrame* Panel1() const { return m_panel1; }
    // Paints the caption bar with the window's title.
    TGradientCaption* GradientCaption1() const { return m_gradientCaption1; }
    // Draws the window larger; null until the window is built.
    TWindowZoom* WindowZoom() const { return m_zoom.get(); }
    // The parent of every control: the window's client area.
    QWidget* ClientArea() const { return m_client; }
    // Keeps the inputs, the date of the last calculation and the window's
    // placement in the profile "davov", and fixes the window's size.
    TFormStorage* FormStorage1() const { return m_formStorage1.get(); }

    // The whole designed window drawn larger, 100 ... 250 % in steps of 25
    // (Ctrl++, Ctrl+-, Ctrl+0 and the window menu), kept in the profile.
    int Zoom() const;
    void SetZoom(int percent);

    // The crew's language and units, as the profile's [Display] keeps them
    // (read at start-up; nothing chosen is the designed Russian metric window).
    const units::TDisplaySettings& Display() const { return m_display; }
    // The units the fields are typed and shown in.
    units::TUnitSystem Units() const { return m_display.UnitsOrDesigned(); }
    // Puts a choice on the window, its fields, the sheet and the catalogues,
    // and keeps it in the profile together with the inputs. Inputs present
    // in other units are converted (each rounded to its field's decimals)
    // and the results count as not calculated. Returns how many non-zero
    // inputs were converted.
    int ChangeDisplay(const units::TDisplaySettings& display);
    // The crew's name of a field in a unit system, without its unit
    // ("Section 2 weight of one foot"), in the catalogue's language.
    static QString FieldName(const fields::TWeightField& row, units::TUnitSystem system);
    // The system menu's "Language and units..." dialog; says what was
    // converted, if anything.
    void ChooseLanguageAndUnits();

    // Client size of the designed window (outer 445 x 365 with its frame and caption bar).
    static constexpr int kClientWidth = 437;
    static constexpr int kClientHeight = 338;

protected:
    // The catalogues changed: every text the window takes from them again.
    void changeEvent(QEvent* event) override;
    // Up and Down move between the results for reading.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The program ends with its main window: report previews still open
    // close with it, so the print command waiting for them returns.
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateLabels();
    void CreateColumns();
    void CreateResults();
    void CreatePanel();
    void SetKeyboardOrder();
    void CreateFormStorage();
    // The fields the field table puts in one box, in the table's order.
    void CreateFields(fields::TFieldHome home, QWidget* parent);
    void SetKeys();
    void DescribeForScreenReaders();
    void WatchResultsCurrency();
    void ShowResultsCurrency();
    void WatchPlausibility();
    void ShowPlausibility();
    // The program's doubts about the inputs as typed, in the crew's words
    // and in the keyboard order: the field to correct and what is wrong.
    std::vector<std::pair<int, QString>> Findings() const;
    // Asks once before a sheet is made from doubtful inputs; false sends
    // the crew to the first field at fault instead.
    bool ConfirmFindingsBeforePrint();
    // A calculation fault names an input: the crew starts correcting there.
    void FocusFieldAtFault(const std::exception& fault);
    // Tells a screen reader what РАСЧЕТ found, the hook load first.
    void AnnounceResults();
    void EndAnnouncement();
    // F6: to the results for reading (the hook load first) and back to where
    // the crew was; the Tab order of the inputs stays as designed.
    void ToggleResultsFocus();
    void AddZoomKeysAndMenu();
    // Scales without storing; false when the percent does not change.
    bool ApplyZoom(int percent);
    // Shows what a calculation left: the focus on the kelly weight, the date,
    // the results it has in their fields, their colours once.
    void ShowCalculation(const std::array<Extended, kWeightInputCount>& inputs, const WeightResults& results);
    // The field being typed in takes its text as leaving it would.
    void CommitTyping();
    // The journal's hooks: after a calculation's results are shown, and
    // after the sheet is filled for printing.
    void KeepMeasurement();
    void KeepPrintedSheet();
    void SetUpJournal();
    // The display choice: read at start-up, put on the fields (pattern,
    // decimals, reader's name), the design and the sheet.
    void SetUpDisplay();
    void ApplyDisplay();
    // Puts a choice on the window (see ChangeDisplay), and keeps it.
    int PutDisplay(const units::TDisplaySettings& display);
    void KeepDisplay();
    void ApplyFieldUnits();
    // The display pattern a field has in the window's language and the
    // given units (a journal record's, which may be the other system's).
    QString FieldPatternIn(const fields::TWeightField& row, units::TUnitSystem system) const;
    // The texts the window takes from the catalogues, again.
    void Retranslate();
    // The command that calculates, as its button reads.
    QString CalculateCaption() const;

    std::array<QLabel*, 14> m_labels{};
    std::array<QGroupBox*, 3> m_groupBoxes{};
    std::array<TCurrencyEdit*, 46> m_fields{};  // index = the number in the name
    QPushButton* m_bitBtn1 = nullptr;
    TTransparentButton* m_transparentButton1 = nullptr;
    QFrame* m_panel1 = nullptr;
    QWidget* m_client = nullptr;
    TSheetHolder* m_reportHolder = nullptr;
    TGradientCaption* m_gradientCaption1 = nullptr;
    // A member, so it goes (and saves, if the close did not) while the
    // controls it reads still exist.
    std::unique_ptr<TFormStorage> m_formStorage1;

    // What the last successful calculation read and what it left in the
    // result fields; empty until one has run, and while one is running.
    struct TCalculated {
        std::array<Extended, kWeightInputCount> Inputs{};
        std::array<Extended, kWeightResultCount> Results{};
    };
    std::optional<TCalculated> m_calculated;
    // The field whose description carries the results just announced.
    QPointer<QWidget> m_announcedOn;
    std::unique_ptr<TWindowZoom> m_zoom;
    // Whether a field's value fits it, by field number: laying a text out
    // for each of 37 fields on every keystroke (and every value the profile
    // restores) would cost more than the rest of the window's work.
    struct TFit {
        Extended Value;
        bool Fits;
    };
    mutable std::array<std::optional<TFit>, 46> m_fits{};
    bool Fits(int number, Extended value) const;
    // Where F6 came from, for F6 to go back to.
    QPointer<QWidget> m_beforeResults;
    // Set while a calculation's results go into their fields.
    bool m_showingResults = false;

    std::unique_ptr<TCrewJournal> m_journal;
    std::unique_ptr<TJournalWindow> m_journalWindow;
    std::optional<std::int64_t> m_recordId;
    units::TDisplaySettings m_display;
};

}  // namespace dw
