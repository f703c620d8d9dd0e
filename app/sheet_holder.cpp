// SPDX-License-Identifier: MIT
#include "app/sheet_holder.h"

#include "report/elements/label.h"
#include "report/generation/report.h"
#include "report/output/vp_printer.h"

#include <QLocale>

#include <stdexcept>

namespace dw {

TSheetHolder::TSheetHolder()
{
    VpEnvironment environment;
    environment.Resolution = ScreenPixelsPerInch();
    environment.UsMeasurement = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    m_vpReport1 = std::make_unique<TVpReport>(environment);
    m_labels = BuildReportSheet(*m_vpReport1);
    // The printer set-up of the last run, if its printer is still there.
    m_vpReport1->UseKeptPrinterSetup();
}

TSheetHolder::~TSheetHolder() = default;

TVpLabel& TSheetHolder::VpLabel(int number) const
{
    if (number < 1 || number > kSheetLabelCount)
        throw std::out_of_range("no such report label");
    return *m_labels[static_cast<std::size_t>(number)];
}

void TSheetHolder::SetDisplay(units::TLanguage language, units::TUnitSystem units)
{
    m_chosen = TDisplay{language, units};
    Show(m_chosen);
}

void TSheetHolder::Show(TDisplay display)
{
    SetSheetDisplay(*m_vpReport1, m_labels, display.Language, display.Units);
    m_shown = display;
}

void TSheetHolder::ShowChosenDisplay()
{
    ShowIfOther(m_chosen);
}

void TSheetHolder::ShowChosenLanguageIn(units::TUnitSystem units)
{
    ShowIfOther(TDisplay{m_chosen.Language, units});
}

void TSheetHolder::ShowIfOther(TDisplay display)
{
    bool same = m_shown == display;
    for (const TSheetLabel& row : SheetLabels()) {
        if (row.Source == TSheetSource::Caption)
            same = same && VpLabel(row.Number).Caption() == SheetCaption(row, display.Language, display.Units);
    }
    // Nothing is laid out again when nothing differs: the designed sheet
    // stays exactly as it was made.
    if (!same)
        Show(display);
}

void TSheetHolder::ShowKeptCaptions(const std::vector<std::pair<int, QString>>& captions)
{
    const auto keptCaption = [&captions](int number) {
        for (const auto& [kept, caption] : captions)
            if (kept == number)
                return caption;
        return QString();
    };
    for (const units::TLanguage language : {units::TLanguage::Russian, units::TLanguage::English}) {
        for (const units::TUnitSystem system : {units::TUnitSystem::Metric, units::TUnitSystem::Oilfield}) {
            bool same = true;
            for (const TSheetLabel& row : SheetLabels())
                if (row.Source == TSheetSource::Caption)
                    same = same && keptCaption(row.Number) == SheetCaption(row, language, system);
            if (same) {
                if (m_shown != TDisplay{language, system})
                    Show(TDisplay{language, system});
                for (const auto& [number, caption] : captions) VpLabel(number).SetCaption(caption);
                return;
            }
        }
    }
    for (const auto& [number, caption] : captions) VpLabel(number).SetCaption(caption);
}

}  // namespace dw
