// SPDX-License-Identifier: MIT
#include "journal/widgets/journal_window.h"

#include "common/error_display.h"
#include "journal/core/journal_csv.h"
#include "journal/widgets/crew_journal.h"
#include "journal/widgets/journal_model.h"
#include "journal/widgets/journal_plot.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace dw {

namespace {

// The date edits' lowest date stands for "no bound".
const QDate kNoDate(2000, 1, 1);

template <class Action>
bool Reporting(Action&& action)
{
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        ShowError(error);
    }
    return false;
}

}  // namespace

TJournalWindow::TJournalWindow(TCrewJournal& journal, QWidget* parent) : QWidget(parent, Qt::Window), m_journal(journal)
{
    setObjectName(QStringLiteral("JournalWindow"));
    setWindowTitle(tr("Journal of measurements"));
    setAccessibleName(windowTitle());
    m_model = new TJournalModel(journal.Store(), this);

    auto* layout = new QVBoxLayout(this);
    BuildFilter(layout);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("JournalTable"));
    m_table->setAccessibleName(tr("Records"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The arrows move between records; Tab leaves the table for the next
    // control, so the keyboard alone reaches everything.
    m_table->setTabKeyNavigation(false);
    m_table->setSortingEnabled(true);
    m_table->horizontalHeader()->setSortIndicator(TJournalModel::Date, Qt::DescendingOrder);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    // Every row is one line of one font: no row needs measuring, which keeps
    // a long journal quick to show.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setWordWrap(false);
    // Widths from the headers and the widest value a column holds, measured
    // once: fitting them to the contents would read every record.
    const QFontMetrics metrics = m_table->fontMetrics();
    // A number column is as wide as its widest value in either system.
    auto widest = [](double value, units::TFieldKind kind) {
        const QString metric = TJournalModel::NumberText(value, kind, units::TUnitSystem::Metric);
        const QString oilfield = TJournalModel::NumberText(value, kind, units::TUnitSystem::Oilfield);
        return metric.size() >= oilfield.size() ? metric : oilfield;
    };
    const units::TFieldKind weight = units::TFieldKind::ResultWeight;
    const QString systems[] = {TJournalModel::SystemName(units::TUnitSystem::Metric),
                               TJournalModel::SystemName(units::TUnitSystem::Oilfield)};
    const QString samples[TJournalModel::kColumnCount] = {
        QLocale().toString(QDate(2026, 12, 28), QLocale::ShortFormat),
        QStringLiteral("00:00:00"),
        systems[0].size() >= systems[1].size() ? systems[0] : systems[1],
        widest(88888.8, units::TFieldKind::ResultLength),
        widest(8888.888, weight),
        widest(8888.888, weight),
        widest(8888.888, weight),
        widest(8888.88, kIndicatorKind),
        widest(-8888.888, weight),
        TJournalModel::tr("printed"),
        QString()};
    for (int column = 0; column + 1 < TJournalModel::kColumnCount; ++column) {
        const QString header = m_model->headerData(column, Qt::Horizontal).toString();
        m_table->setColumnWidth(
            column, std::max(metrics.horizontalAdvance(header) + 22, metrics.horizontalAdvance(samples[column]) + 12));
    }
    connect(m_table, &QTableView::activated, this, [this] { OpenCurrent(); });
    auto* remove = new QShortcut(QKeySequence::Delete, m_table, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this] { DeleteCurrent(); });
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { CurrentChanged(); });

    auto* plotArea = new QWidget(this);
    auto* plotLayout = new QVBoxLayout(plotArea);
    plotLayout->setContentsMargins(0, 0, 0, 0);
    auto* axisRow = new QHBoxLayout;
    auto* axisLabel = new QLabel(tr("Plot &against:"), plotArea);
    m_axis = new QComboBox(plotArea);
    m_axis->setObjectName(QStringLiteral("PlotAxis"));
    m_axis->addItems({tr("total length"), tr("date")});
    m_axis->setAccessibleName(axisLabel->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    axisLabel->setBuddy(m_axis);
    axisRow->addWidget(axisLabel);
    axisRow->addWidget(m_axis);
    axisRow->addStretch();
    plotLayout->addLayout(axisRow);
    m_plot = new TJournalPlot(*m_model, plotArea);
    plotLayout->addWidget(m_plot, 1);
    connect(m_axis, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_plot->SetXAxis(index == 0 ? TJournalPlot::Axis::TotalLength : TJournalPlot::Axis::Date);
    });
    connect(m_plot, &TJournalPlot::RecordActivated, this, [this](std::int64_t id) {
        SelectRecord(id);
        OpenCurrent();
    });

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_table);
    splitter->addWidget(plotArea);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);
    BuildDetails(layout);
    BuildButtons(layout);

    connect(&journal, &TCrewJournal::RecordsChanged, this, [this] {
        if (isVisible())
            Reload();
    });
    resize(1120, 660);
}

TJournalWindow::~TJournalWindow() = default;

void TJournalWindow::SetUnits(units::TUnitSystem system)
{
    m_units = system;
    m_plot->SetUnits(system);
    if (CurrentId() < 0)
        ShowReadingUnits(system);
}

void TJournalWindow::ShowReadingUnits(units::TUnitSystem system)
{
    // The reading is typed in the units of the record it belongs to.
    m_readingUnits = system;
    m_indicatorLabel->setText(tr("&Indicator reading, %1:").arg(TJournalModel::UnitWord(kIndicatorKind, system)));
    m_indicator->setAccessibleName(m_indicatorLabel->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')));
}

void TJournalWindow::BuildFilter(QBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    auto addDate = [&](const QString& caption, const QString& name, QDateEdit*& edit) {
        auto* label = new QLabel(caption, this);
        edit = new QDateEdit(this);
        edit->setObjectName(name);
        edit->setCalendarPopup(true);
        edit->setMinimumDate(kNoDate);
        edit->setSpecialValueText(tr("any"));
        edit->setDate(kNoDate);
        edit->setAccessibleName(label->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')));
        label->setBuddy(edit);
        // Tab leaves the date for the next control (a date edit would step
        // through its day, month and year, and on "any" not at all).
        edit->installEventFilter(this);
        row->addWidget(label);
        row->addWidget(edit);
        connect(edit, &QDateEdit::dateChanged, this, &TJournalWindow::ApplyFilter);
    };
    addDate(tr("&From:"), QStringLiteral("FromDate"), m_from);
    addDate(tr("&To:"), QStringLiteral("ToDate"), m_to);
    auto* noteLabel = new QLabel(tr("&Notes containing:"), this);
    m_noteFilter = new QLineEdit(this);
    m_noteFilter->setObjectName(QStringLiteral("NoteFilter"));
    m_noteFilter->setClearButtonEnabled(true);
    m_noteFilter->setAccessibleName(noteLabel->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    noteLabel->setBuddy(m_noteFilter);
    row->addWidget(noteLabel);
    row->addWidget(m_noteFilter, 1);
    connect(m_noteFilter, &QLineEdit::textChanged, this, &TJournalWindow::ApplyFilter);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, m_noteFilter, [this] { m_noteFilter->setFocus(Qt::ShortcutFocusReason); });
    layout->addLayout(row);
}

void TJournalWindow::BuildDetails(QBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    auto* indicatorLabel = new QLabel(this);
    m_indicatorLabel = indicatorLabel;
    m_indicator = new QLineEdit(this);
    m_indicator->setObjectName(QStringLiteral("IndicatorReading"));
    ShowReadingUnits(m_units);
    m_indicator->setToolTip(tr("The weight indicator's reading for this record; Enter keeps it"));
    m_indicator->setMaximumWidth(120);
    indicatorLabel->setBuddy(m_indicator);
    auto* noteLabel = new QLabel(tr("N&ote:"), this);
    m_note = new QLineEdit(this);
    m_note->setObjectName(QStringLiteral("RecordNote"));
    m_note->setAccessibleName(noteLabel->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    m_note->setToolTip(tr("Well, depth, shift...; Enter keeps it"));
    m_note->setMaxLength(static_cast<int>(kMaxNoteLength));
    noteLabel->setBuddy(m_note);
    row->addWidget(indicatorLabel);
    row->addWidget(m_indicator);
    row->addWidget(noteLabel);
    row->addWidget(m_note, 1);
    connect(m_indicator, &QLineEdit::editingFinished, this, [this] { CommitIndicator(); });
    connect(m_note, &QLineEdit::editingFinished, this, [this] { CommitNote(); });
    layout->addLayout(row);
}

void TJournalWindow::BuildButtons(QBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    auto add = [&](const QString& caption, const QString& name, const QString& tip, auto action) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setToolTip(tip);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, action);
        row->addWidget(button);
        return button;
    };
    m_open =
        add(tr("&Open in main window"), QStringLiteral("OpenRecord"),
            tr("Shows the record's inputs, results and date in the main window (Enter)"), [this] { OpenCurrent(); });
    m_sheet = add(tr("Show &sheet"), QStringLiteral("ShowSheet"),
                  tr("The sheet as it was printed, or one made from the record"), [this] { ShowCurrentSheet(); });
    m_delete = add(tr("&Delete..."), QStringLiteral("DeleteRecord"), tr("Deletes the record after asking (Delete)"),
                   [this] { DeleteCurrent(); });
    add(tr("&Export..."), QStringLiteral("ExportJournal"), tr("Writes every record to a CSV file"),
        [this] { Export(); });
    add(tr("&Import..."), QStringLiteral("ImportJournal"), tr("Adds the records of a CSV file"), [this] { Import(); });
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("JournalStatus"));
    row->addWidget(m_count, 1);
    add(tr("C&lose"), QStringLiteral("CloseJournal"), tr("Closes the journal (Esc)"), [this] { close(); });
    layout->addLayout(row);
}

void TJournalWindow::Reload()
{
    const std::int64_t current = CurrentId();
    Reporting([this] { m_model->Reload(); });
    if (current >= 0)
        SelectRecord(current);
    if (CurrentId() < 0 && m_model->rowCount() > 0)
        m_table->setCurrentIndex(m_model->index(0, 0));
    CurrentChanged();
    ShowCount();
    m_journal.ShowNotice();
}

void TJournalWindow::ApplyFilter()
{
    const std::int64_t current = CurrentId();
    m_model->SetFilter(m_from->date() == kNoDate ? QDate() : m_from->date(),
                       m_to->date() == kNoDate ? QDate() : m_to->date(), m_noteFilter->text());
    if (current >= 0)
        SelectRecord(current);
    if (CurrentId() < 0 && m_model->rowCount() > 0)
        m_table->setCurrentIndex(m_model->index(0, 0));
    CurrentChanged();
    ShowCount();
}

void TJournalWindow::ShowCount()
{
    m_count->setText(tr("%1 of %2 records shown").arg(m_model->rowCount()).arg(m_model->TotalCount()));
}

void TJournalWindow::SelectRecord(std::int64_t id)
{
    const int row = m_model->RowOf(id);
    if (row >= 0) {
        m_table->setCurrentIndex(m_model->index(row, 0));
        m_table->scrollTo(m_model->index(row, 0));
    }
}

std::int64_t TJournalWindow::CurrentId() const
{
    const QModelIndex current = m_table->currentIndex();
    return current.isValid() ? m_model->IdAt(current.row()) : -1;
}

void TJournalWindow::CurrentChanged()
{
    const std::int64_t id = CurrentId();
    const bool any = id >= 0;
    for (QWidget* widget :
         {static_cast<QWidget*>(m_open), static_cast<QWidget*>(m_sheet), static_cast<QWidget*>(m_delete),
          static_cast<QWidget*>(m_indicator), static_cast<QWidget*>(m_note)})
        widget->setEnabled(any);
    m_loading = true;
    if (any) {
        const JournalSummary& s = m_model->Summary(m_table->currentIndex().row());
        ShowReadingUnits(s.Units);
        m_indicator->setText(s.Indicator ? QLocale().toString(*s.Indicator, 'f', 2) : QString());
        m_note->setText(QString::fromStdString(s.Note));
    } else {
        ShowReadingUnits(m_units);
        m_indicator->clear();
        m_note->clear();
    }
    m_indicator->setModified(false);
    m_note->setModified(false);
    m_loading = false;
}

std::optional<JournalRecord> TJournalWindow::ReadCurrent()
{
    const std::int64_t id = CurrentId();
    if (id < 0)
        return std::nullopt;
    std::optional<JournalRecord> record;
    Reporting([&] { record = m_journal.Store().Read(id); });
    return record;
}

void TJournalWindow::OpenCurrent()
{
    if (const std::optional<JournalRecord> record = ReadCurrent())
        emit OpenRecordRequested(*record);
}

void TJournalWindow::ShowCurrentSheet()
{
    if (const std::optional<JournalRecord> record = ReadCurrent())
        emit ShowSheetRequested(*record);
}

void TJournalWindow::DeleteCurrent()
{
    const std::int64_t id = CurrentId();
    if (id < 0)
        return;
    const int row = m_table->currentIndex().row();
    const QString when = m_model->data(m_model->index(row, TJournalModel::Date)).toString() + QLatin1Char(' ') +
                         m_model->data(m_model->index(row, TJournalModel::Time)).toString();
    if (QMessageBox::question(this, windowTitle(), tr("Delete the record of %1 from the journal?").arg(when),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    if (Reporting([&] { m_journal.Store().Remove(id); })) {
        Reload();
        if (m_model->rowCount() > 0)
            m_table->setCurrentIndex(m_model->index(std::min(row, m_model->rowCount() - 1), 0));
    }
}

bool TJournalWindow::CommitIndicator()
{
    if (m_loading || !m_indicator->isModified())
        return true;
    const std::int64_t id = CurrentId();
    if (id < 0)
        return false;
    std::optional<Extended> reading;
    const QString text = m_indicator->text().trimmed();
    if (!text.isEmpty()) {
        bool ok = false;
        double value = QLocale().toDouble(text, &ok);
        if (!ok)
            value = QLocale::c().toDouble(text, &ok);
        if (!ok) {
            ShowErrorText(MessageText(
                DW_TEXT("Message", "'%1' is not an indicator reading: %2"),
                {MessageText::Verbatim(text.toStdString()), MessageText(DW_TEXT("Message", "not a number"))}));
            return false;
        }
        // Kept as the window shows it, with its two decimals: the number the
        // crew sees is the number kept, and it survives a trip through the
        // metric columns of the exchange file exactly.
        const Extended held = std::round(static_cast<Extended>(value) * 100) / 100;
        if (const std::optional<MessageText> fault = IndicatorFault(held, m_readingUnits)) {
            ShowErrorText(MessageText(DW_TEXT("Message", "'%1' is not an indicator reading: %2"),
                                      {MessageText::Verbatim(text.toStdString()), *fault}));
            return false;
        }
        reading = held;
    }
    m_indicator->setModified(false);
    if (!Reporting([&] { m_journal.Store().SetIndicator(id, reading); }))
        return false;
    Reload();
    return true;
}

bool TJournalWindow::CommitNote()
{
    if (m_loading || !m_note->isModified())
        return true;
    const std::int64_t id = CurrentId();
    if (id < 0)
        return false;
    const std::string note = m_note->text().toStdString();
    if (const std::optional<MessageText> fault = NoteFault(note)) {
        ShowErrorText(*fault);
        return false;
    }
    m_note->setModified(false);
    if (!Reporting([&] { m_journal.Store().SetNote(id, note); }))
        return false;
    Reload();
    return true;
}

void TJournalWindow::Export()
{
    const QString plain = tr("CSV file (*.csv)");
    // A locale that writes a decimal comma has spreadsheets that read
    // semicolons between the fields.
    const bool commaLocale = QLocale().decimalPoint() == QLatin1String(",");
    const QString spreadsheet = tr("CSV file for spreadsheets here: semicolons, decimal comma (*.csv)");
    QString filter = plain;
    const QString file =
        QFileDialog::getSaveFileName(this, tr("Export the journal"), tr("journal.csv"),
                                     commaLocale ? plain + QStringLiteral(";;") + spreadsheet : plain, &filter);
    if (file.isEmpty())
        return;
    const QString named = QFileInfo(file).suffix().isEmpty() ? file + QStringLiteral(".csv") : file;
    ExportTo(named, filter == spreadsheet);
}

bool TJournalWindow::ExportTo(const QString& fileName, bool spreadsheetForm)
{
    std::size_t count = 0;
    if (!Reporting([&] {
            count = ExportJournal(m_journal.Store(), fileName.toStdString(),
                                  spreadsheetForm ? kJournalSpreadsheetCsv : kJournalCsv);
        }))
        return false;
    m_count->setText(tr("%n record(s) exported to %1", nullptr, static_cast<int>(count)).arg(fileName));
    return true;
}

void TJournalWindow::Import()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("Import into the journal"), QString(),
                                                      tr("CSV file (*.csv);;All files (*)"));
    if (!file.isEmpty())
        ImportFrom(file);
}

bool TJournalWindow::ImportFrom(const QString& fileName)
{
    JournalImportCount count;
    if (!Reporting([&] { count = ImportJournal(m_journal.Store(), fileName.toStdString()); }))
        return false;
    Reload();
    m_count->setText(tr("%n record(s) imported, %1 already in the journal", nullptr, static_cast<int>(count.Added))
                         .arg(count.Skipped));
    return true;
}

bool TJournalWindow::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_from || watched == m_to) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            focusNextPrevChild(key == Qt::Key_Tab);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TJournalWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace dw
