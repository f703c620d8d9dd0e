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
    SetSheetDisplay(*m_vpReport1, m_labels, language, units);
}

}  // namespace dw
