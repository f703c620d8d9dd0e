// SPDX-License-Identifier: MIT
// The journal window on a journal of a few weeks' records, drawn to a PNG
// file for a look by eye (in the user's language); not a test.
//   journal_window_gallery OUT.png [JOURNAL.sqlite] [date] [oilfield]
// ("date" plots against the date, "oilfield" draws the plot in oilfield
// units).

#include "app/translations.h"
#include "journal/widgets/crew_journal.h"
#include "journal/widgets/journal_window.h"

#include <QApplication>
#include <QComboBox>
#include <QTableView>
#include <QTemporaryDir>

#include <cmath>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    // The catalogues the build compiled, two folders up from here.
    dw::Translations translations(QLocale::system(),
                                  {QCoreApplication::applicationDirPath() + QStringLiteral("/../../translations")});
    QTemporaryDir folder;
    const std::string file =
        argc > 2 && argv[2][0] != '\0' ? argv[2] : folder.filePath(QStringLiteral("journal.sqlite")).toStdString();
    dw::TCrewJournal journal(file);
    if (argc <= 2 || argv[2][0] == '\0') {
        for (int n = 0; n < 60; ++n) {
            dw::JournalRecord record;
            record.DateTime = QStringLiteral("2026-11-%1T%2:%3:00")
                                  .arg(1 + n / 2, 2, 10, QLatin1Char('0'))
                                  .arg(8 + (n % 2) * 8, 2, 10, QLatin1Char('0'))
                                  .arg(n % 60, 2, 10, QLatin1Char('0'))
                                  .toStdString();
            for (std::size_t i = 0; i < dw::kJournalValueCount; ++i) record.Values[i] = 1;
            const double length = 500 + n * 40;
            record.Values[dw::JournalIndex(dw::WeightResult::TotalLength)] = length;
            record.Values[dw::JournalIndex(dw::WeightResult::HookLoad)] = 11.1 + length * 0.0323;
            record.Values[dw::JournalIndex(dw::WeightResult::NetString)] = length * 0.037;
            record.Values[dw::JournalIndex(dw::WeightResult::BuoyedString)] = length * 0.0323;
            if (n % 3 == 0)
                record.Indicator = 11.1 + length * 0.0323 - 1 + std::sin(n) * 1.5;
            // Every fourth measurement by a crew working in oilfield units.
            if (n % 4 == 1) {
                record.Units = dw::units::TUnitSystem::Oilfield;
                for (std::size_t i = 0; i < dw::kJournalValueCount; ++i)
                    record.Values[i] =
                        dw::units::ConvertForField(record.Values[i], dw::JournalValueKind(i),
                                                   dw::units::TUnitSystem::Metric, dw::units::TUnitSystem::Oilfield);
                if (record.Indicator)
                    record.Indicator =
                        dw::units::ConvertForField(*record.Indicator, dw::kIndicatorKind,
                                                   dw::units::TUnitSystem::Metric, dw::units::TUnitSystem::Oilfield);
            }
            record.Printed = n % 4 == 0;
            record.Note = n % 5 == 0 ? "скважина 7, смена " + std::string(n % 2 ? "Б" : "А") : "";
            journal.Keep(record);
        }
    }
    dw::TJournalWindow window(journal);
    window.show();
    window.Reload();
    window.Table()->setFocus();
    for (int a = 3; a < argc; ++a) {
        if (QString::fromLocal8Bit(argv[a]) == QStringLiteral("date"))
            window.PlotAxis()->setCurrentIndex(1);
        if (QString::fromLocal8Bit(argv[a]) == QStringLiteral("oilfield"))
            window.SetUnits(dw::units::TUnitSystem::Oilfield);
    }
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
