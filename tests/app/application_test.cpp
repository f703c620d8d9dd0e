// SPDX-License-Identifier: MIT
#include "app/application.h"

#include <gtest/gtest.h>

namespace {

TEST(ApplicationTitle, ComesFromTheProgramFileName)
{
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"WEIGHT.EXE", "Weight"},
        {"/usr/local/bin/drillweight", "drillweight"},
        {"./build/DrillWeight", "Drillweight"},
        {"/opt/x.y/Prog.tar.gz", "Prog"},
        {"", ""},
        {"A", "A"},
        {"/opt/ВЕС.bin", "Вес"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dw::ApplicationTitleFromPath(QString::fromUtf8(c.path)), QString::fromUtf8(c.title)) << c.path;
}

}  // namespace

#include "common/error_display.h"
#include "common/errors.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>

namespace {

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    int count = 0;
};

// Reads the error box as soon as it is up and presses OK.
void AnswerNextBox(SeenBox& seen)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, &seen] {
        QMessageBox* box = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* candidate = qobject_cast<QMessageBox*>(widget); candidate && candidate->isVisible())
                box = candidate;
        if (!box)
            return;
        poll->stop();
        poll->deleteLater();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        ++seen.count;
        box->button(QMessageBox::Ok)->click();
    });
    poll->start(5);
}

dw::TApplication& App()
{
    return *static_cast<dw::TApplication*>(QApplication::instance());
}

TEST(ErrorBox, ShowsTheMessageWithItsFullStopUnderTheTitle)
{
    SeenBox seen;
    AnswerNextBox(seen);
    dw::ShowError(dw::EInvalidOp());
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(seen.text, QStringLiteral("Invalid floating point operation."));
    EXPECT_EQ(seen.title, App().Title());
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

class Throwing : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw dw::EConvertError(DW_TEXT("Message", "'x' is not a valid floating point value"));
        return QObject::event(event);
    }
};

TEST(ErrorBox, AnErrorReachingTheEventLoopIsShownAndTheProgramCarriesOn)
{
    Throwing target;
    SeenBox seen;
    AnswerNextBox(seen);
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(seen.text, QStringLiteral("'x' is not a valid floating point value."));
    // Still running: the next event is delivered as usual.
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    AnswerNextBox(seen);
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.count, 2);
}

}  // namespace
