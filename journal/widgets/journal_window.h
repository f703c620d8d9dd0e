// SPDX-License-Identifier: MIT
#pragma once

#include "journal/core/journal_record.h"
#include "units/unit_table.h"

#include <QWidget>

#include <cstdint>

class QBoxLayout;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTableView;
class QLabel;

namespace dw {

class TCrewJournal;
class TJournalModel;
class TJournalPlot;

// The journal window: every record newest first, filtered by a date range
// and by text in the notes, sortable by any column, the history plotted
// below; the indicator reading and the note of the current record typed
// beside it; open, show the sheet, delete, export and import. Everything
// is reached from the keyboard and named for screen readers.
class TJournalWindow : public QWidget {
    Q_OBJECT

public:
    explicit TJournalWindow(TCrewJournal& journal, QWidget* parent = nullptr);
    ~TJournalWindow() override;

    // Reads the journal again, keeping the filter, the order and the current
    // record; a journal that cannot be read says why.
    void Reload();
    // Makes the record the current one (when the filter shows it).
    void SelectRecord(std::int64_t id);
    std::int64_t CurrentId() const;

    // The main window's unit system: the plot draws in it. The table shows
    // every record in its own.
    units::TUnitSystem Units() const { return m_units; }
    void SetUnits(units::TUnitSystem system);

    TJournalModel& Model() const { return *m_model; }
    TJournalPlot* Plot() const { return m_plot; }
    QTableView* Table() const { return m_table; }
    QDateEdit* FromDate() const { return m_from; }
    QDateEdit* ToDate() const { return m_to; }
    QLineEdit* NoteFilter() const { return m_noteFilter; }
    QLineEdit* IndicatorEdit() const { return m_indicator; }
    QLabel* IndicatorLabel() const { return m_indicatorLabel; }
    QLineEdit* NoteEdit() const { return m_note; }
    QComboBox* PlotAxis() const { return m_axis; }

    // The actions, as their buttons and keys run them. Delete asks first;
    // export and import ask for their file.
    void OpenCurrent();
    void ShowCurrentSheet();
    void DeleteCurrent();
    void Export();
    void Import();
    // What Export and Import do with the file chosen; the outcome is said
    // in the window's status line, a failure in the error box.
    bool ExportTo(const QString& fileName, bool spreadsheetForm);
    bool ImportFrom(const QString& fileName);
    QLabel* Status() const { return m_count; }
    // The typed indicator reading and note go to the current record.
    bool CommitIndicator();
    bool CommitNote();

signals:
    // The crew wants the record back in the main window.
    void OpenRecordRequested(const JournalRecord& record);
    // The crew wants to see the record's sheet.
    void ShowSheetRequested(const JournalRecord& record);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildFilter(QBoxLayout* layout);
    void BuildDetails(QBoxLayout* layout);
    void BuildButtons(QBoxLayout* layout);
    void ApplyFilter();
    void CurrentChanged();
    void ShowCount();
    std::optional<JournalRecord> ReadCurrent();

    TCrewJournal& m_journal;
    TJournalModel* m_model = nullptr;
    TJournalPlot* m_plot = nullptr;
    QTableView* m_table = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QLineEdit* m_noteFilter = nullptr;
    QLineEdit* m_indicator = nullptr;
    QLabel* m_indicatorLabel = nullptr;
    units::TUnitSystem m_units = units::TUnitSystem::Metric;
    // The units of the record whose reading is typed.
    units::TUnitSystem m_readingUnits = units::TUnitSystem::Metric;
    void ShowReadingUnits(units::TUnitSystem system);
    QLineEdit* m_note = nullptr;
    QComboBox* m_axis = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_sheet = nullptr;
    QPushButton* m_delete = nullptr;
    bool m_loading = false;
};

}  // namespace dw
