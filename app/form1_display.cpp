// SPDX-License-Identifier: MIT
// The main window's side of the crew's language and units: the choice read
// at start-up, put on the fields, the design, the sheet and the catalogues,
// changed in the system menu's dialog and kept in the profile.
#include "app/form1.h"

#include "app/language_units_dialog.h"
#include "app/main_window_design.h"
#include "app/sheet_holder.h"
#include "app/translations.h"
#include "app/weight_fields.h"
#include "common/error_display.h"
#include "decor/transparent_button.h"
#include "decor/window_frame.h"
#include "journal/widgets/journal_window.h"
#include "numeric/widgets/currency_edit.h"
#include "storage/core/ini_file.h"
#include "storage/widgets/form_storage.h"
#include "units/unit_table.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace dw {

namespace {

// "Section 3 length, ft": the field's name and unit in the catalogue's language.
QString ReaderName(const fields::TWeightField& row, units::TUnitSystem system)
{
    const MessageText unit(units::UnitOf(row.Kind, system).Word);
    return TForm1::FieldName(row, system) + QStringLiteral(", ") + QString::fromStdString(Localized(unit));
}

// How a field shows its number: the designed pattern in the designed
// Russian metric window, otherwise the units table's, with the unit word in
// the design's language.
QString FieldPattern(const fields::TWeightField& row, const units::TDisplaySettings& display)
{
    const units::TLanguage language = display.LanguageOrDesigned();
    const units::TUnitSystem system = display.UnitsOrDesigned();
    if (language == units::TLanguage::Russian && system == units::TUnitSystem::Metric)
        return QString::fromUtf8(row.DisplayFormat);
    const QString word = DesignWord(language, units::UnitOf(row.Kind, system).Word);
    return QString::fromStdString(units::DisplayPattern(row.Kind, system, word.toStdString()));
}

// A field keeps at least the designed two decimals, and as many as its unit
// shows (an inch is typed to the thousandth: 6.625).
unsigned FieldDecimals(const fields::TWeightField& row, units::TUnitSystem system)
{
    return std::max(2u, units::UnitOf(row.Kind, system).Decimals);
}

}  // namespace

QString TForm1::FieldName(const fields::TWeightField& row, units::TUnitSystem system)
{
    // A weight per foot is no weight of one metre, and a crew working in
    // pounds per gallon calls the gravities densities.
    const char* name = row.ReaderName;
    if (system == units::TUnitSystem::Oilfield) {
        if (row.Kind == units::TFieldKind::MetreWeight)
            name = QT_TRANSLATE_NOOP("dw::TForm1", "Section %1 weight of one foot");
        else if (row.Calculation == fields::In(WeightInput::MudGravity))
            name = QT_TRANSLATE_NOOP("dw::TForm1", "Mud weight");
        else if (row.Calculation == fields::In(WeightInput::MetalGravity))
            name = QT_TRANSLATE_NOOP("dw::TForm1", "Pipe steel density");
    }
    QString text = tr(name);
    if (row.Section != 0)
        text = text.arg(row.Section);
    return text;
}

void TForm1::SetUpDisplay()
{
    const TIniFile profile(m_formStorage1->ProfileFileName().toStdString());
    m_display = units::ReadDisplaySettings(profile);
    if (m_display.Language)
        UseCatalogueLanguage(m_display.Language);
    ApplyDisplay();
    if (TWindowFrame* frame = TWindowFrame::Of(this))
        connect(frame, &TWindowFrame::SystemMenuBuilt, this, [this](QMenu* menu) {
            QAction* choose = menu->addAction(tr("Language and units…"), this,
                                              [this] { RunReportingErrors([this] { ChooseLanguageAndUnits(); }); });
            choose->setObjectName(QStringLiteral("LanguageUnitsAction"));
        });
}

void TForm1::ApplyDisplay()
{
    ApplyMainWindowDesign(*this, m_display.LanguageOrDesigned(), m_display.UnitsOrDesigned());
    ApplyFieldUnits();
    Retranslate();
}

void TForm1::ApplyFieldUnits()
{
    const units::TUnitSystem system = Units();
    for (const fields::TWeightField& row : fields::kWeightFields) {
        TCurrencyEdit* field = CurrencyEdit(row.Number);
        field->SetDecimalPlaces(FieldDecimals(row, system));
        field->SetDisplayFormat(FieldPattern(row, m_display));
    }
    // What fitted in one unit may not in another.
    m_fits.fill(std::nullopt);
    // The sheet prints in the window's language and units.
    if (m_reportHolder != nullptr)
        m_reportHolder->SetDisplay(m_display.LanguageOrDesigned(), system);
}

QString TForm1::FieldPatternIn(const fields::TWeightField& row, units::TUnitSystem system) const
{
    units::TDisplaySettings display = m_display;
    display.Units = system;
    return FieldPattern(row, display);
}

void TForm1::Retranslate()
{
    m_transparentButton1->setToolTip(tr("Fill in and show the report sheet (Ctrl+P)"));
    m_bitBtn1->setToolTip(tr("Calculate the results (Enter or Space)"));
    Label14()->setAccessibleDescription(tr("Date of the last calculation"));
    for (const fields::TWeightField& row : fields::kWeightFields)
        CurrencyEdit(row.Number)->setAccessibleName(ReaderName(row, Units()));
    if (auto* journal = findChild<QAction*>(QStringLiteral("JournalAction")))
        journal->setText(tr("Journal of measurements...") + QStringLiteral("\tCtrl+J"));
    ShowResultsCurrency();
    ShowPlausibility();
}

QString TForm1::CalculateCaption() const
{
    QString caption = m_bitBtn1->text();
    caption.remove(QLatin1Char('&'));
    return caption.simplified();
}

void TForm1::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange && m_bitBtn1 != nullptr)
        Retranslate();
}

int TForm1::ChangeDisplay(const units::TDisplaySettings& display)
{
    const int converted = PutDisplay(display);
    KeepDisplay();
    return converted;
}

int TForm1::PutDisplay(const units::TDisplaySettings& display)
{
    const units::TUnitSystem from = Units();
    const units::TUnitSystem to = display.UnitsOrDesigned();
    // Every number in the window, in the units it was typed in, before the
    // fields change how many decimals they keep.
    std::array<std::optional<Extended>, 46> converted{};
    int inputs = 0;
    if (from != to) {
        for (const fields::TWeightField& row : fields::kWeightFields) {
            const Extended value = CurrencyEdit(row.Number)->Value();
            converted[static_cast<std::size_t>(row.Number)] = units::ConvertForField(value, row.Kind, from, to);
            if (!fields::IsResult(row) && value != 0)
                ++inputs;
        }
    }
    const bool languageChanged = display.Language != m_display.Language;
    m_display = display;
    if (languageChanged)
        UseCatalogueLanguage(m_display.Language);
    ApplyFieldUnits();
    if (from != to) {
        for (const fields::TWeightField& row : fields::kWeightFields)
            CurrencyEdit(row.Number)->SetValue(*converted[static_cast<std::size_t>(row.Number)]);
        // The results were calculated in the other units: shown converted,
        // they no longer count as calculated from what the fields hold.
        m_calculated.reset();
    }
    ApplyDisplay();
    // The journal window's words are those of the language it was made in:
    // it is made again, and shown again if it was open.
    if (languageChanged && m_journalWindow) {
        const bool shown = m_journalWindow->isVisible();
        m_journalWindow.reset();
        if (shown)
            ShowJournal();
    }
    // The journal's plot draws in the window's units.
    if (m_journalWindow)
        m_journalWindow->SetUnits(Units());
    return inputs;
}

void TForm1::KeepDisplay()
{
    // The choice goes into the profile with the inputs it tells how to read,
    // in one write: a profile whose numbers and units disagree would show
    // feet as metres at the next start.
    m_formStorage1->WriteStoredValuesWith(
        [this](TIniFile& profile) { units::WriteDisplaySettings(profile, m_display); });
}

void TForm1::ChooseLanguageAndUnits()
{
    TLanguageUnitsDialog dialog(m_display, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int converted = PutDisplay(dialog.Choice());
    if (converted > 0) {
        const QString text = Units() == units::TUnitSystem::Oilfield
                                 ? tr("The numbers typed were converted to oilfield units, each rounded to its "
                                      "field's decimals. Press %1 to calculate the results from them.")
                                 : tr("The numbers typed were converted to metric units, each rounded to its "
                                      "field's decimals. Press %1 to calculate the results from them.");
        QMessageBox::information(this, windowTitle(), text.arg(CalculateCaption()));
    }
    // The window shows the choice whether or not the profile can keep it;
    // that it could not is said after what the crew needs to know first.
    KeepDisplay();
}

}  // namespace dw
