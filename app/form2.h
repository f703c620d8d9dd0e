// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include <memory>

namespace dw {

class TVpLabel;
class TVpReport;

// The hidden holder of the printed report sheet. It is created at start-up,
// never shown, and lives until the program ends; the print command reaches
// the report through it.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    TVpReport& VpReport1() const { return *m_vpReport1; }
    // VpLabel1 ... VpLabel59.
    TVpLabel& VpLabel(int number) const;

private:
    std::unique_ptr<TVpReport> m_vpReport1;
};

extern TForm2* Form2;

}  // namespace dw
