// SPDX-License-Identifier: MIT
#include "app/form2.h"

#include "app/report_sheet.h"
#include "report/elements/label.h"
#include "report/engine/vp_printer.h"
#include "report/generation/report.h"

#include <QLocale>

#include <stdexcept>
#include <string>

namespace dw {

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    VpEnvironment environment;
    environment.Resolution = ScreenPixelsPerInch();
    environment.UsMeasurement = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    m_vpReport1 = std::make_unique<TVpReport>(environment);
    BuildReportSheet(*m_vpReport1);
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}

TVpLabel& TForm2::VpLabel(int number) const
{
    auto* label = dynamic_cast<TVpLabel*>(m_vpReport1->FindElement("VpLabel" + std::to_string(number)));
    if (label == nullptr)
        throw std::out_of_range("no such report label");
    return *label;
}

}  // namespace dw
