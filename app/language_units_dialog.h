// SPDX-License-Identifier: MIT
#pragma once

#include "units/display_settings.h"

#include <QDialog>

class QRadioButton;

namespace dw {

// "Language and units…": the language of the window, the sheet and the
// messages, and the units fields are typed and shown in, chosen apart from
// each other. It only asks; the window applies the choice.
class TLanguageUnitsDialog : public QDialog {
    Q_OBJECT

public:
    // Opens showing the present choice (nothing chosen shows the designed
    // Russian and metric).
    explicit TLanguageUnitsDialog(const units::TDisplaySettings& present, QWidget* parent = nullptr);

    // Both chosen, as the buttons stand.
    units::TDisplaySettings Choice() const;

    QRadioButton* Russian() const { return m_russian; }
    QRadioButton* English() const { return m_english; }
    QRadioButton* Metric() const { return m_metric; }
    QRadioButton* Oilfield() const { return m_oilfield; }

private:
    QRadioButton* m_russian = nullptr;
    QRadioButton* m_english = nullptr;
    QRadioButton* m_metric = nullptr;
    QRadioButton* m_oilfield = nullptr;
};

}  // namespace dw
