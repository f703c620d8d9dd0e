// SPDX-License-Identifier: MIT
#include "app/language_units_dialog.h"

#include "common/error_display.h"
#include "units/unit_table.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QVBoxLayout>

namespace dw {

namespace {

// "m, mm, kg/m, t, g/cm3": the units a system shows, in the catalogue's words.
QString UnitWords(units::TUnitSystem system)
{
    using units::TFieldKind;
    QStringList words;
    for (TFieldKind kind : {TFieldKind::Length, TFieldKind::Diameter, TFieldKind::MetreWeight,
                            TFieldKind::EquipmentWeight, TFieldKind::Gravity})
        words << QString::fromStdString(Localized(MessageText(units::UnitOf(kind, system).Word)));
    return words.join(QStringLiteral(", "));
}

}  // namespace

TLanguageUnitsDialog::TLanguageUnitsDialog(const units::TDisplaySettings& present, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LanguageUnitsDialog"));
    setWindowTitle(tr("Language and units"));

    auto* language = new QGroupBox(tr("&Language of the window, the sheet and the messages"), this);
    // Each language is named in its own words, so a crew that cannot read
    // the other one still finds its own.
    m_russian = new QRadioButton(QStringLiteral("Русский"), language);
    m_russian->setObjectName(QStringLiteral("Russian"));
    m_english = new QRadioButton(QStringLiteral("English"), language);
    m_english->setObjectName(QStringLiteral("English"));
    auto* languageLayout = new QVBoxLayout(language);
    languageLayout->addWidget(m_russian);
    languageLayout->addWidget(m_english);

    auto* unitsBox = new QGroupBox(tr("&Units"), this);
    m_metric = new QRadioButton(tr("Metric (%1)").arg(UnitWords(units::TUnitSystem::Metric)), unitsBox);
    m_metric->setObjectName(QStringLiteral("Metric"));
    m_oilfield = new QRadioButton(tr("Oilfield (%1)").arg(UnitWords(units::TUnitSystem::Oilfield)), unitsBox);
    m_oilfield->setObjectName(QStringLiteral("Oilfield"));
    auto* unitsLayout = new QVBoxLayout(unitsBox);
    unitsLayout->addWidget(m_metric);
    unitsLayout->addWidget(m_oilfield);

    auto* note = new QLabel(tr("Numbers already typed are converted to the units chosen, each rounded to its "
                               "field's decimals; the results are then to be calculated again."),
                            this);
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(language);
    layout->addWidget(unitsBox);
    layout->addWidget(note);
    layout->addWidget(buttons);

    const bool english = present.LanguageOrDesigned() == units::TLanguage::English;
    (english ? m_english : m_russian)->setChecked(true);
    const bool oilfield = present.UnitsOrDesigned() == units::TUnitSystem::Oilfield;
    (oilfield ? m_oilfield : m_metric)->setChecked(true);
    // A group's mnemonic takes the focus to its checked button.
    language->setFocusProxy(english ? m_english : m_russian);
    unitsBox->setFocusProxy(oilfield ? m_oilfield : m_metric);
    (english ? m_english : m_russian)->setFocus();
}

units::TDisplaySettings TLanguageUnitsDialog::Choice() const
{
    units::TDisplaySettings choice;
    choice.Language = m_english->isChecked() ? units::TLanguage::English : units::TLanguage::Russian;
    choice.Units = m_oilfield->isChecked() ? units::TUnitSystem::Oilfield : units::TUnitSystem::Metric;
    return choice;
}

}  // namespace dw
