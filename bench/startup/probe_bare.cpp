// SPDX-License-Identifier: MIT
// The yardsticks: an empty window of the same size, shown, painted and closed;
// with "--text" it also shows one line of text, so the font system starts up
// as it must in any program that shows words.
#include "close_after_first_paint.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[])
{
    bool withText = false;
    for (int i = 1; i < argc; ++i) withText = withText || std::strcmp(argv[i], "--text") == 0;
    QApplication application(argc, argv);
    QWidget window;
    window.setGeometry(192, 109, 437, 338);
    if (withText) {
        auto* label = new QLabel(QStringLiteral("ИЗМЕРЕНИЕ ВЕСА"), &window);
        label->move(5, 17);
        label->adjustSize();
    }
    CloseAfterFirstPaint closer(&window, QCoreApplication::arguments().contains(QStringLiteral("--shown-only")));
    window.show();
    return QApplication::exec();
}
