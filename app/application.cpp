// SPDX-License-Identifier: MIT
#include "app/application.h"

#include "app/fonts.h"
#include "common/error_display.h"
#include "common/errors.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QStyle>
#include <QStyleFactory>

#include <clocale>

namespace dw {

QString ApplicationTitleFromPath(const QString& programPath)
{
    QString name = QFileInfo(programPath).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // QApplication switched the C library to the user's locale; the program's
    // own number texts never go through it, and nothing else may depend on it.
    std::setlocale(LC_NUMERIC, "C");
    // Every control and message box starts from the form's font. A line edit
    // lays out its empty text in the default font before it is given its own,
    // so any other default would cost a font search and an engine per run.
    setFont(FormFont(11));
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
        setStyle(classic);
    m_title = ApplicationTitleFromPath(argc > 0 ? QString::fromLocal8Bit(argv[0]) : QString());
    SetErrorDisplay([this](const std::string& message) { ShowErrorBox(QString::fromStdString(message)); });
}

TApplication::~TApplication()
{
    SetErrorDisplay({});
}

void TApplication::ShowErrorBox(const QString& message)
{
    const QString text = QString::fromStdString(MessageWithFullStop(message.toStdString()));
    QMessageBox box(QMessageBox::Critical, m_title, text, QMessageBox::Ok, activeWindow());
    box.exec();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    // Last line of defence: handlers report their own errors, but nothing may
    // ever unwind out of the event loop and end the program.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(error);
    } catch (...) {
        ShowErrorText(DW_TEXT("Message", "Unexpected error"));
    }
    return false;
}

}  // namespace dw
