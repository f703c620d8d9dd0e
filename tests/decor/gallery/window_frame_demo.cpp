// SPDX-License-Identifier: MIT
// Shows a window with the drawn frame and the gradient caption, sized like
// the main window, for a look by eye and a screenshot; not a test.
//   window_frame_demo [--inactive] [--maximized] [--narrow] [--seconds N]
#include "decor/gradient_caption.h"
#include "decor/window_frame.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace dw;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool inactive = args.contains(QStringLiteral("--inactive"));
    const bool maximized = args.contains(QStringLiteral("--maximized"));
    const bool narrow = args.contains(QStringLiteral("--narrow"));
    int seconds = 6;
    if (int at = static_cast<int>(args.indexOf(QStringLiteral("--seconds"))); at > 0 && at + 1 < args.size())
        seconds = args.at(at + 1).toInt();

    QWidget form;
    form.setWindowTitle(QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"));
    QPalette palette = form.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    form.setPalette(palette);
    form.setAutoFillBackground(true);
    auto* client = new QWidget(&form);
    client->setGeometry(0, 0, narrow ? 200 : 437, 338);
    auto* label = new QLabel(QStringLiteral("Клиентская область 437 x 338"), client);
    label->move(10, 10);
    auto* button = new QPushButton(QStringLiteral("РАСЧЕТ"), client);
    button->setGeometry(20, 200, 87, 49);
    form.setGeometry(192, 109, client->width(), client->height());

    auto* frame = new TWindowFrame(&form, client);
    auto* caption = new TGradientCaption(&form);
    caption->setObjectName(QStringLiteral("GradientCaption1"));
    caption->SetFormCaption(QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"));
    caption->SetGradientInactive(true);
    (void)frame;

    form.show();
    if (maximized)
        form.setWindowState(form.windowState() | Qt::WindowMaximized);
    QWidget other;
    if (inactive) {
        other.setWindowTitle(QStringLiteral("other"));
        other.setGeometry(700, 500, 200, 100);
        other.show();
        QTimer::singleShot(300, &other, [&] { other.activateWindow(); });
    } else {
        QTimer::singleShot(300, &form, [&] { form.activateWindow(); });
    }
    QTimer::singleShot(1500, &form, [&] {
        label->setText(QStringLiteral("%1 x %2 at (%3, %4), client %5 x %6, state %7")
                           .arg(form.width())
                           .arg(form.height())
                           .arg(form.x())
                           .arg(form.y())
                           .arg(client->width())
                           .arg(client->height())
                           .arg(static_cast<int>(form.windowState())));
        qInfo("%s", qPrintable(label->text()));
        if (args.contains(QStringLiteral("--grab")))
            form.grab().save(QStringLiteral("window_frame_demo.png"));
        label->adjustSize();
    });
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    return app.exec();
}
