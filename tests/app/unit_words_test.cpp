// SPDX-License-Identifier: MIT
// The unit words as a window shows them: from one table, in English under
// the C locale and as oilfield literature writes them under a Russian one.

#include "app/translations.h"
#include "units/unit_table.h"

#include <QLocale>
#include <QString>

#include <gtest/gtest.h>

namespace dw {
namespace {

using units::TFieldKind;
using units::TUnitSystem;

TEST(UnitWords, InTheCrewsLanguage)
{
    struct Row {
        TFieldKind Kind;
        TUnitSystem System;
        const char* English;
        const char* Russian;
    };
    const TUnitSystem metric = TUnitSystem::Metric;
    const TUnitSystem oilfield = TUnitSystem::Oilfield;
    const Row rows[] = {
        {TFieldKind::Length, metric, "m", "м"},
        {TFieldKind::Length, oilfield, "ft", "фт"},
        {TFieldKind::Diameter, metric, "mm", "мм"},
        {TFieldKind::Diameter, oilfield, "in", "дюйм"},
        {TFieldKind::MetreWeight, metric, "kg/m", "кг/м"},
        {TFieldKind::MetreWeight, oilfield, "lb/ft", "фн/фт"},
        {TFieldKind::EquipmentWeight, metric, "t", "т"},
        {TFieldKind::EquipmentWeight, oilfield, "klb", "кип"},
        {TFieldKind::ResultWeight, metric, "t", "т"},
        {TFieldKind::ResultWeight, oilfield, "klb", "кип"},
        {TFieldKind::ResultLength, metric, "m", "м"},
        {TFieldKind::ResultLength, oilfield, "ft", "фт"},
        {TFieldKind::Gravity, metric, "g/cm3", "г/см3"},
        {TFieldKind::Gravity, oilfield, "ppg", "фн/гал"},
    };
    for (const bool russian : {false, true}) {
        Translations language(russian ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c(),
                              {QStringLiteral(DW_TRANSLATIONS_DIR)});
        for (const Row& row : rows) {
            SCOPED_TRACE(row.English);
            const QString shown = TranslatedMessage(MessageText(units::UnitOf(row.Kind, row.System).Word));
            EXPECT_EQ(shown.toStdString(), russian ? row.Russian : row.English);
        }
    }
}

}  // namespace
}  // namespace dw
