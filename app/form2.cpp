// SPDX-License-Identifier: MIT
#include "app/form2.h"

#include "report/elements/label.h"
#include "report/engine/vp_printer.h"
#include "report/generation/report.h"

#include <QLocale>

#include <stdexcept>

namespace dw {

TForm2::TForm2()
{
    VpEnvironment environment;
    environment.Resolution = ScreenPixelsPerInch();
    environment.UsMeasurement = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    m_vpReport1 = std::make_unique<TVpReport>(environment);
    m_labels = BuildReportSheet(*m_vpReport1);
    // The printer set-up of the last run, if its printer is still there.
    m_vpReport1->UseKeptPrinterSetup();
}

TForm2::~TForm2() = default;

TVpLabel& TForm2::VpLabel(int number) const
{
    if (number < 1 || number > kSheetLabelCount)
        throw std::out_of_range("no such report label");
    return *m_labels[static_cast<std::size_t>(number)];
}

}  // namespace dw
