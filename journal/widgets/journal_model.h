// SPDX-License-Identifier: MIT
#pragma once

#include "journal/core/journal.h"
#include "units/unit_table.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

namespace dw {

// The journal's records as the window's table and the plot show them: all
// summaries read once, the filter and the order kept as a list of the rows
// shown, so filtering and sorting a long journal never goes back to the file.
class TJournalModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Each record is shown in the units it was typed in: every number with
    // its unit word, and the Units column says which system that is.
    enum Column {
        Date,
        Time,
        Units,
        TotalLength,
        HookLoad,
        NetString,
        BuoyedString,
        Indicator,
        Difference,
        Printed,
        Note
    };
    static constexpr int kColumnCount = Note + 1;

    explicit TJournalModel(Journal& journal, QObject* parent = nullptr);

    // Reads the journal again; errors are raised to the caller.
    void Reload();
    // Records from `from` to `to` (a null date bounds nothing) whose note
    // holds `noteText` (any case).
    void SetFilter(const QDate& from, const QDate& to, const QString& noteText);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    const JournalSummary& Summary(int row) const { return m_rows[m_shown[static_cast<std::size_t>(row)]].Summary; }
    std::int64_t IdAt(int row) const { return Summary(row).Id; }
    // The row showing the record, -1 when the filter hides it.
    int RowOf(std::int64_t id) const;
    // Seconds since the epoch of the record's local date and time.
    double Seconds(int row) const { return m_rows[m_shown[static_cast<std::size_t>(row)]].Seconds; }
    std::size_t TotalCount() const { return m_rows.size(); }

    // The journal changed under the model (a record kept or deleted, a
    // reading typed): reads it again and keeps the filter and order.
    void Refresh();

    // A number of a kind as the table shows it in a system: the locale's
    // marks, the unit's decimals and its word ("10,500.0 ft", "1 500,0 м").
    static QString NumberText(double value, units::TFieldKind kind, units::TUnitSystem system);
    // The unit word of a kind in a system, in the user's language.
    static QString UnitWord(units::TFieldKind kind, units::TUnitSystem system);
    // "metric" or "oilfield", in the user's language.
    static QString SystemName(units::TUnitSystem system);

signals:
    // The rows shown changed: their set, their order or their contents.
    void RowsShownChanged();

private:
    struct Row {
        JournalSummary Summary;
        QString Note;
        QDate Date;
        double Seconds = 0;
        int TimeOfDay = 0;  // seconds since midnight
    };
    void ApplyFilterAndOrder();

    Journal& m_journal;
    std::vector<Row> m_rows;
    std::vector<std::size_t> m_shown;
    QDate m_from, m_to;
    QString m_noteText;
    int m_sortColumn = Date;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
};

// A record's date and time, "YYYY-MM-DDTHH:MM:SS", as a local date-time.
QDateTime JournalDateTime(const std::string& text);

}  // namespace dw
