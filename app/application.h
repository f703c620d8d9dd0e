// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <QString>

namespace dw {

// The title shown on the task bar and as the caption of error boxes comes
// from the program file's name: the directory dropped, the name cut at its
// first ".", every character after the first in lower case.
QString ApplicationTitleFromPath(const QString& programPath);

// The application object: owns the title and shows every error that reaches
// the event loop in a message box (the message with its full stop, the title
// as caption, an error icon, OK), then carries on.
class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    const QString& Title() const { return m_title; }

    // The error box itself; also what dw::ShowError shows while this object lives.
    void ShowErrorBox(const QString& message);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    QString m_title;
};

}  // namespace dw
