// SPDX-License-Identifier: MIT
// The main window's side of the crew's journal: a record kept for every
// successful calculation, the printed sheet kept with it, the journal window
// and a record brought back into the window or onto a sheet.

#include "app/form1.h"
#include "app/sheet_holder.h"
#include "app/weight_fields.h"
#include "common/error_display.h"
#include "decor/window_frame.h"
#include "journal/core/journal_record.h"
#include "journal/widgets/crew_journal.h"
#include "journal/widgets/journal_model.h"
#include "journal/widgets/journal_window.h"
#include "numeric/core/date_time.h"
#include "numeric/core/date_time_format.h"
#include "numeric/core/number_format.h"
#include "numeric/widgets/currency_edit.h"
#include "report/elements/label.h"
#include "report/generation/report.h"

#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QTableView>

namespace dw {

namespace {

// Where a field's value stands in a record.
std::size_t RecordIndex(const fields::TWeightField& row)
{
    switch (row.Role) {
        case fields::TFieldRole::Input:
            return JournalIndex(static_cast<WeightInput>(row.Calculation));
        case fields::TFieldRole::Diameter:
            return JournalDiameterIndex(row.Number - 16);  // CurrencyEdit17 is section 1
        default:
            return JournalIndex(static_cast<WeightResult>(row.Calculation));
    }
}

// The sheet's captions, label by label, as the record keeps its page:
// "<number> US <caption> RS" for each of the 59 labels.
std::vector<std::uint8_t> SheetBytes(const TSheetHolder& sheet)
{
    std::string bytes;
    for (const TSheetLabel& row : SheetLabels()) {
        bytes += std::to_string(row.Number);
        bytes += '\x1f';
        bytes += sheet.VpLabel(row.Number).Caption().toStdString();
        bytes += '\x1e';
    }
    return {bytes.begin(), bytes.end()};
}

// Puts a kept page's captions back on the sheet; false when the bytes are
// not a page (then the sheet is made from the record instead).
bool RestoreSheet(TSheetHolder& sheet, const std::vector<std::uint8_t>& page)
{
    const std::string bytes(page.begin(), page.end());
    std::vector<std::pair<int, QString>> captions;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t unit = bytes.find('\x1f', pos);
        const std::size_t end = bytes.find('\x1e', pos);
        if (unit == std::string::npos || end == std::string::npos || unit > end)
            return false;
        bool ok = false;
        const int number = QString::fromStdString(bytes.substr(pos, unit - pos)).toInt(&ok);
        if (!ok || number < 1 || number > kSheetLabelCount)
            return false;
        captions.emplace_back(number, QString::fromStdString(bytes.substr(unit + 1, end - unit - 1)));
        pos = end + 1;
    }
    if (captions.size() != static_cast<std::size_t>(kSheetLabelCount))
        return false;
    sheet.ShowKeptCaptions(captions);
    return true;
}

DateTimeValue RecordDate(const JournalRecord& record)
{
    const QDateTime when = JournalDateTime(record.DateTime);
    return EncodeDateValue(when.date().year(), when.date().month(), when.date().day());
}

}  // namespace

TCrewJournal& TForm1::Journal()
{
    if (!m_journal)
        m_journal = std::make_unique<TCrewJournal>();
    return *m_journal;
}

void TForm1::SetUpJournal()
{
    auto* open = new QAction(tr("Journal of measurements...") + QStringLiteral("\tCtrl+J"), this);
    open->setObjectName(QStringLiteral("JournalAction"));
    connect(open, &QAction::triggered, this, [this] { RunReportingErrors([this] { ShowJournal(); }); });
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_J), this);
    connect(key, &QShortcut::activated, open, &QAction::trigger);
    // Below the usual entries of the window menu, after a line.
    if (TWindowFrame* frame = TWindowFrame::Of(this))
        connect(frame, &TWindowFrame::SystemMenuBuilt, open, [open](QMenu* menu) {
            menu->addSeparator();
            menu->addAction(open);
        });
}

void TForm1::KeepMeasurement()
{
    // The journal never stops a calculation: whatever goes wrong here costs
    // the record only (the journal itself says so once).
    try {
        JournalRecord record;
        record.DateTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString();
        record.DateText = Label14()->text().toStdString();
        record.TimeText = TimeToText(CurrentTime());
        // The numbers are kept in the units they were typed in.
        record.Units = Units();
        // Each value as the calculation used it, each text as its field shows it.
        for (const fields::TWeightField& row : fields::kWeightFields) {
            TCurrencyEdit* field = CurrencyEdit(row.Number);
            const std::size_t index = RecordIndex(row);
            if (row.Role == fields::TFieldRole::Input)
                record.Values[index] = m_calculated->Inputs[static_cast<std::size_t>(row.Calculation)];
            else if (fields::IsResult(row))
                record.Values[index] = m_calculated->Results[static_cast<std::size_t>(row.Calculation)];
            else
                record.Values[index] = field->EditTextValue();
            record.Shown[index] = field->DisplayedText().toStdString();
        }
        m_recordId = Journal().Keep(record);
    } catch (const std::exception&) {
        m_recordId.reset();
    }
}

void TForm1::KeepPrintedSheet()
{
    // Nor a print.
    try {
        if (m_recordId && m_reportHolder != nullptr)
            Journal().MarkPrinted(*m_recordId, SheetBytes(*m_reportHolder));
    } catch (const std::exception&) {
    }
}

void TForm1::ShowJournal()
{
    if (!m_journalWindow) {
        m_journalWindow = std::make_unique<TJournalWindow>(Journal());
        connect(m_journalWindow.get(), &TJournalWindow::OpenRecordRequested, this,
                [this](const JournalRecord& record) { OpenRecord(record); });
        connect(m_journalWindow.get(), &TJournalWindow::ShowSheetRequested, this, [this](const JournalRecord& record) {
            RunReportingErrors([this, &record] { ShowRecordSheet(record); });
        });
    }
    m_journalWindow->SetUnits(Units());
    m_journalWindow->show();
    m_journalWindow->Reload();
    m_journalWindow->raise();
    m_journalWindow->activateWindow();
    m_journalWindow->Table()->setFocus();
}

void TForm1::OpenRecord(const JournalRecord& record)
{
    // A record typed in the other system stands in the window's units, each
    // value converted as its field would hold it: never feet in a field of
    // metres.
    const bool converted = record.Units != Units();
    for (const fields::TWeightField& row : fields::kWeightFields)
        CurrencyEdit(row.Number)
            ->SetValue(units::ConvertForField(record.Values[RecordIndex(row)], row.Kind, record.Units, Units()));
    Label14()->setText(record.DateText.empty() ? QString::fromStdString(DateToText(RecordDate(record)))
                                               : QString::fromStdString(record.DateText));
    Label14()->adjustSize();
    if (converted) {
        // Results converted and rounded are not what the calculation gives
        // for the converted inputs: they stand marked until РАСЧЕТ, and a
        // print calculates first, as for any inputs changed.
        m_calculated.reset();
        m_recordId.reset();
        ShowResultsCurrency();
        if (m_journalWindow) {
            const QString when = QString::fromStdString(record.DateTime).replace(QLatin1Char('T'), QLatin1Char(' '));
            m_journalWindow->Status()->setText(
                (record.Units == units::TUnitSystem::Oilfield
                     ? tr("The record of %1 was typed in oilfield units: the window shows it converted to metric "
                          "units; press %2 for its results in them.")
                     : tr("The record of %1 was typed in metric units: the window shows it converted to oilfield "
                          "units; press %2 for its results in them."))
                    .arg(when, CalculateCaption()));
        }
    } else {
        // The record's results belong to its inputs: they are current, and a
        // print now prints this record.
        TCalculated calculated;
        for (std::size_t i = 0; i < kWeightInputCount; ++i)
            calculated.Inputs[i] = CurrencyEdit(fields::kInputFields[i])->EditTextValue();
        for (std::size_t i = 0; i < kWeightResultCount; ++i)
            calculated.Results[i] = CurrencyEdit(fields::kResultFields[i])->EditTextValue();
        m_calculated = calculated;
        m_recordId = record.Id;
        ShowResultsCurrency();
    }
    show();
    raise();
    activateWindow();
}

void TForm1::ShowRecordSheet(const JournalRecord& record)
{
    if (m_reportHolder == nullptr)
        return;
    TSheetHolder& sheet = *m_reportHolder;
    if (!sheet.VpReport1().Available())
        return;
    if (record.Printed && RestoreSheet(sheet, record.Sheet)) {
        sheet.VpReport1().Preview();
        return;
    }
    // The sheet of the crew's language in the record's units, whatever page
    // was shown last.
    sheet.ShowChosenLanguageIn(record.Units);
    for (const fields::TWeightField& row : fields::kWeightFields) {
        const std::size_t index = RecordIndex(row);
        QString caption = QString::fromStdString(record.Shown[index]);
        if (caption.isEmpty()) {
            // A record from a file keeps numbers only: shown as the field
            // would in the record's units, with their word.
            const std::string pattern = FieldPatternIn(row, record.Units).toStdString();
            try {
                caption = QString::fromStdString(FormatNumberPattern(pattern, record.Values[index]));
            } catch (const std::exception&) {
                caption = QString::fromStdString(JournalNumberText(record.Values[index]));
            }
        }
        sheet.VpLabel(row.SheetLabel).SetCaption(caption);
    }
    const QDateTime when = JournalDateTime(record.DateTime);
    const QString date = record.DateText.empty() ? QString::fromStdString(DateToText(RecordDate(record)))
                                                 : QString::fromStdString(record.DateText);
    const QString time = record.TimeText.empty() ? when.time().toString(QStringLiteral("HH:mm:ss"))
                                                 : QString::fromStdString(record.TimeText);
    // Never printed then: the sheet says it was made afterwards, and when.
    const QString made = MadeFromJournalText(sheet.Language(), time, QString::fromStdString(DateToText(CurrentDate())));
    for (const TSheetLabel& row : SheetLabels()) {
        if (row.Source == TSheetSource::Date)
            sheet.VpLabel(row.Number).SetCaption(date);
        else if (row.Source == TSheetSource::Time)
            sheet.VpLabel(row.Number).SetCaption(made);
    }
    sheet.VpReport1().Preview();
}

}  // namespace dw
