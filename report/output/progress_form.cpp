// SPDX-License-Identifier: MIT
#include "report/output/progress_form.h"

#include "report/output/printer_notices.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace dw {

namespace {

// The window was laid out with a dialog frame of this width on each side,
// and the bar's width was taken from the outer width.
constexpr int kDialogFrame = 3;
constexpr int kOuterWidth = TVpProgressForm::kClientWidth + 2 * kDialogFrame;

}  // namespace

TVpProgressForm::TVpProgressForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("VpProgressForm"));
    setWindowTitle(tr("Printing progress"));
    setFixedSize(kClientWidth, kClientHeight);

    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("Info"));
    m_info->setGeometry(0, 28, 145, 13);
    m_info->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("CancelButton"));
    m_cancelButton->setGeometry(36, 52, 75, 25);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressBar->setGeometry(10, 10, kOuterWidth - 20, 15);
}

void TVpProgressForm::CancelButtonClick()
{
    if (m_vpPrinter != nullptr) {
        m_vpPrinter->Cancel();
    }
}

void TVpProgressForm::customEvent(QEvent* event)
{
    // The page count notice is for previews; this window shows percent only.
    if (event->type() == TVpPrinterNotice::kProgress) {
        ShowProgress();
        return;
    }
    QDialog::customEvent(event);
}

void TVpProgressForm::ShowProgress()
{
    if (m_vpPrinter == nullptr) {
        return;
    }
    // The printer's current value counts, not the one the notice carried:
    // a late notice must not move the bar back.
    const int percent = m_vpPrinter->Progress();
    if (percent % 5 != 0) {
        return;
    }
    m_progressBar->setValue(percent);
    // The digits, "% " and " Completed": two spaces between the sign and the word.
    m_info->setText(tr("%1%  Completed").arg(percent));
    QCoreApplication::processEvents();
}

void TVpProgressForm::showEvent(QShowEvent* event)
{
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - frameGeometry().width()) / 2,
             area.top() + (area.height() - frameGeometry().height()) / 2);
    }
    QDialog::showEvent(event);
}

}  // namespace dw
