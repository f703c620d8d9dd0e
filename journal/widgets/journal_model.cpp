// SPDX-License-Identifier: MIT
#include "journal/widgets/journal_model.h"

#include "common/error_display.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

#include <algorithm>

namespace dw {

namespace {

int Number(const std::string& text, std::size_t from, std::size_t count)
{
    int value = 0;
    for (std::size_t i = from; i < from + count && i < text.size(); ++i) value = value * 10 + (text[i] - '0');
    return value;
}

// What a record's number weighs in a sort: records typed in different
// systems are ordered by what they measure, not by their digits.
double Metric(double value, units::TFieldKind kind, units::TUnitSystem system)
{
    return static_cast<double>(units::ConvertExact(value, kind, system, units::TUnitSystem::Metric));
}

}  // namespace

QString TJournalModel::UnitWord(units::TFieldKind kind, units::TUnitSystem system)
{
    return QString::fromStdString(Localized(MessageText(units::UnitOf(kind, system).Word)));
}

QString TJournalModel::NumberText(double value, units::TFieldKind kind, units::TUnitSystem system)
{
    return QLocale().toString(value, 'f', static_cast<int>(units::UnitOf(kind, system).Decimals)) + QLatin1Char(' ') +
           UnitWord(kind, system);
}

QString TJournalModel::SystemName(units::TUnitSystem system)
{
    return system == units::TUnitSystem::Oilfield ? tr("oilfield") : tr("metric");
}

QDateTime JournalDateTime(const std::string& text)
{
    return QDateTime(QDate(Number(text, 0, 4), Number(text, 5, 2), Number(text, 8, 2)),
                     QTime(Number(text, 11, 2), Number(text, 14, 2), Number(text, 17, 2)));
}

TJournalModel::TJournalModel(Journal& journal, QObject* parent) : QAbstractTableModel(parent), m_journal(journal) {}

void TJournalModel::Reload()
{
    std::vector<JournalSummary> summaries = m_journal.Summaries();
    std::vector<Row> rows;
    rows.reserve(summaries.size());
    // The clock's offset from UTC is looked up per day, not per record: a
    // long journal holds many records a day.
    QDate offsetDay;
    qint64 offsetDayStart = 0;
    for (JournalSummary& summary : summaries) {
        Row& row = rows.emplace_back();
        const std::string& text = summary.DateTime;
        row.Date = QDate(Number(text, 0, 4), Number(text, 5, 2), Number(text, 8, 2));
        if (row.Date != offsetDay) {
            offsetDay = row.Date;
            offsetDayStart = QDateTime(row.Date, QTime(0, 0)).toSecsSinceEpoch();
        }
        row.TimeOfDay = Number(text, 11, 2) * 3600 + Number(text, 14, 2) * 60 + Number(text, 17, 2);
        row.Seconds = static_cast<double>(offsetDayStart) + row.TimeOfDay;
        row.Note = QString::fromStdString(summary.Note);
        row.Summary = std::move(summary);
    }
    beginResetModel();
    m_rows = std::move(rows);
    ApplyFilterAndOrder();
    endResetModel();
    emit RowsShownChanged();
}

void TJournalModel::Refresh()
{
    Reload();
}

void TJournalModel::SetFilter(const QDate& from, const QDate& to, const QString& noteText)
{
    beginResetModel();
    m_from = from;
    m_to = to;
    m_noteText = noteText;
    ApplyFilterAndOrder();
    endResetModel();
    emit RowsShownChanged();
}

void TJournalModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::int64_t> ids;
    for (const QModelIndex& index : before) ids.push_back(index.isValid() ? IdAt(index.row()) : 0);
    m_sortColumn = column;
    m_sortOrder = order;
    ApplyFilterAndOrder();
    QModelIndexList after;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const int row = RowOf(ids[i]);
        after << (row < 0 ? QModelIndex() : index(row, before[static_cast<int>(i)].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit RowsShownChanged();
}

void TJournalModel::ApplyFilterAndOrder()
{
    m_shown.clear();
    m_shown.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        if (m_from.isValid() && row.Date < m_from)
            continue;
        if (m_to.isValid() && row.Date > m_to)
            continue;
        if (!m_noteText.isEmpty() && !row.Note.contains(m_noteText, Qt::CaseInsensitive))
            continue;
        m_shown.push_back(i);
    }
    // The rows come newest first from the journal; a stable sort keeps
    // that order among equals.
    auto key = [this](const Row& row) -> double {
        const JournalSummary& s = row.Summary;
        const units::TFieldKind weight = units::TFieldKind::ResultWeight;
        switch (m_sortColumn) {
            case Date:
                return row.Seconds;
            case Time:
                return row.TimeOfDay;
            case Units:
                return static_cast<double>(s.Units);
            case TotalLength:
                return Metric(s.TotalLength, units::TFieldKind::ResultLength, s.Units);
            case HookLoad:
                return Metric(s.HookLoad, weight, s.Units);
            case NetString:
                return Metric(s.NetString, weight, s.Units);
            case BuoyedString:
                return Metric(s.BuoyedString, weight, s.Units);
            case Indicator:
                return s.Indicator ? Metric(*s.Indicator, weight, s.Units) : -1e300;
            case Difference:
                return s.Indicator ? Metric(s.HookLoad - *s.Indicator, weight, s.Units) : -1e300;
            case Printed:
                return s.Printed ? 1.0 : 0.0;
            default:
                return 0;
        }
    };
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    if (m_sortColumn == Note) {
        std::stable_sort(m_shown.begin(), m_shown.end(), [&](std::size_t a, std::size_t b) {
            const int c = QString::localeAwareCompare(m_rows[a].Note, m_rows[b].Note);
            return ascending ? c < 0 : c > 0;
        });
    } else if (!(m_sortColumn == Date && !ascending)) {
        std::stable_sort(m_shown.begin(), m_shown.end(), [&](std::size_t a, std::size_t b) {
            const double ka = key(m_rows[a]), kb = key(m_rows[b]);
            return ascending ? ka < kb : ka > kb;
        });
    }
}

int TJournalModel::RowOf(std::int64_t id) const
{
    for (std::size_t r = 0; r < m_shown.size(); ++r)
        if (m_rows[m_shown[r]].Summary.Id == id)
            return static_cast<int>(r);
    return -1;
}

int TJournalModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int TJournalModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant TJournalModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = m_rows[m_shown[static_cast<std::size_t>(index.row())]];
    const JournalSummary& s = row.Summary;
    if (role == Qt::TextAlignmentRole)
        return index.column() == Note || index.column() == Printed || index.column() == Units
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == Note && !row.Note.isEmpty())
        return row.Note;
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const units::TFieldKind weight = units::TFieldKind::ResultWeight;
    switch (index.column()) {
        case Date:
            return QLocale().toString(row.Date, QLocale::ShortFormat);
        case Time:
            return QString::fromStdString(s.DateTime.substr(11));
        case Units:
            return SystemName(s.Units);
        case TotalLength:
            return NumberText(s.TotalLength, units::TFieldKind::ResultLength, s.Units);
        case HookLoad:
            return NumberText(s.HookLoad, weight, s.Units);
        case NetString:
            return NumberText(s.NetString, weight, s.Units);
        case BuoyedString:
            return NumberText(s.BuoyedString, weight, s.Units);
        case Indicator:
            return s.Indicator ? NumberText(*s.Indicator, kIndicatorKind, s.Units) : QString();
        case Difference:
            return s.Indicator ? NumberText(s.HookLoad - *s.Indicator, weight, s.Units) : QString();
        case Printed:
            return s.Printed ? tr("printed") : QString();
        case Note: {
            // One line in the table; the tooltip shows the whole note.
            QString note = row.Note;
            note.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
            return note;
        }
        default:
            return {};
    }
}

QVariant TJournalModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
        case Date:
            return tr("Date");
        case Time:
            return tr("Time");
        case Units:
            return tr("Units");
        case TotalLength:
            return tr("Length");
        case HookLoad:
            return tr("Expected hook load");
        case NetString:
            return tr("Net string");
        case BuoyedString:
            return tr("Buoyed string");
        case Indicator:
            return tr("Indicator");
        case Difference:
            return tr("Difference");
        case Printed:
            return tr("Printed");
        case Note:
            return tr("Note");
        default:
            return {};
    }
}

}  // namespace dw
