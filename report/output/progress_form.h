// SPDX-License-Identifier: MIT
#pragma once

// The small window shown while a report prints straight to the printer:
// a bar, a line of text and a Cancel button. It follows the progress
// notices its report printer posts to it.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace dw {

// What the window needs of the printer it watches.
class IVpProgressSource {
public:
    // Percent of the run done.
    virtual int Progress() const = 0;
    // Stops the run at the next chance.
    virtual void Cancel() = 0;

protected:
    ~IVpProgressSource() = default;
};

class TVpProgressForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 147;
    static constexpr int kClientHeight = 84;

    explicit TVpProgressForm(QWidget* parent = nullptr);

    IVpProgressSource* VpPrinter() const noexcept { return m_vpPrinter; }
    // Not owned; the printer must outlive the window or be taken away first.
    void SetVpPrinter(IVpProgressSource* printer) noexcept { m_vpPrinter = printer; }

    QLabel* Info() const noexcept { return m_info; }
    QPushButton* CancelButton() const noexcept { return m_cancelButton; }
    QProgressBar* ProgressBar() const noexcept { return m_progressBar; }

protected:
    void customEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CancelButtonClick();
    void ShowProgress();

    IVpProgressSource* m_vpPrinter = nullptr;
    QLabel* m_info;
    QPushButton* m_cancelButton;
    QProgressBar* m_progressBar;
};

}  // namespace dw
