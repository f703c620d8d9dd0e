// SPDX-License-Identifier: MIT
#pragma once

#include "decor/gradient_caption.h"
#include "decor/window_frame.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <string>

namespace dw::testing {

// Desktop colours that tell every part of the bar apart.
inline TCaptionColours TestColours()
{
    TCaptionColours colours;
    colours.GradientCaptions = true;
    colours.WindowText = QColor(0, 0, 0);
    colours.ActiveCaption = QColor(0, 0, 128);
    colours.GradientActiveCaption = QColor(0, 0, 255);
    colours.InactiveCaption = QColor(128, 128, 128);
    colours.GradientInactiveCaption = QColor(0, 160, 0);
    colours.CaptionText = QColor(255, 255, 0);
    colours.InactiveCaptionText = QColor(255, 0, 255);
    return colours;
}

inline bool Near(QRgb a, QRgb b, int tolerance = 2)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

inline std::string Hex(QRgb c)
{
    return QString::asprintf("#%02x%02x%02x", qRed(c), qGreen(c), qBlue(c)).toStdString();
}

// A window laid out like the main window: a 437 x 338 client area at
// (192, 109), framed and captioned; the frame makes it 445 x 365.
struct FramedWindow {
    explicit FramedWindow(int clientWidth = 437, int clientHeight = 338, bool withCaption = true)
    {
        SetDesktopCaptionColours(TestColours());
        form = std::make_unique<QWidget>();
        form->setWindowTitle(QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"));
        QPixmap icon(16, 16);
        icon.fill(QColor(255, 0, 0));
        form->setWindowIcon(QIcon(icon));
        client = new QWidget(form.get());
        client->setObjectName(QStringLiteral("ClientArea"));
        client->setGeometry(0, 0, clientWidth, clientHeight);
        form->setGeometry(192, 109, clientWidth, clientHeight);
        frame = new TWindowFrame(form.get(), client);
        if (withCaption) {
            caption = new TGradientCaption(form.get());
            caption->SetFormCaption(QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"));
            caption->SetGradientInactive(true);
        }
    }
    ~FramedWindow()
    {
        form.reset();
        SetDesktopCaptionColours(std::nullopt);
    }

    void ShowActive()
    {
        form->show();
        form->activateWindow();
        (void)QTest::qWaitForWindowActive(form.get());
    }

    // The window as painted, frame included.
    QImage Paint() { return form->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget* NonClient() const { return frame->NonClientWidget(); }

    std::unique_ptr<QWidget> form;
    QWidget* client = nullptr;
    TWindowFrame* frame = nullptr;
    TGradientCaption* caption = nullptr;
};

}  // namespace dw::testing
