// SPDX-License-Identifier: MIT
// Writes the program's icon as PNG files for the desktop's icon theme, from
// the very drawing the program puts on its windows, so the menu entry and
// the window never disagree:
//   render_icon OUTDIR SIZE... [svg]  ->  OUTDIR/SIZExSIZE.png, OUTDIR/scalable.svg
// Runs during the build, where there is no display.

#include "app/app_icon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

namespace {

// Qt's remarks about the build machine (no runtime directory) are noise in a
// build log; real failures still get through.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(QuietMessages);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 3) {
        std::fputs("usage: render_icon OUTDIR SIZE... [svg]\n", stderr);
        return 2;
    }
    const QDir outDir(arguments[1]);
    if (!outDir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "render_icon: cannot create %s\n", qPrintable(arguments[1]));
        return 1;
    }
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("svg")) {
            const QString name = outDir.filePath(QStringLiteral("scalable.svg"));
            QFile svg(name);
            if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(dw::IconSvg().toUtf8()) < 0 ||
                !svg.flush()) {
                std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(name));
                return 1;
            }
            continue;
        }
        bool ok = false;
        const int size = arguments[i].toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "render_icon: bad size %s\n", qPrintable(arguments[i]));
            return 2;
        }
        const QString name = outDir.filePath(QStringLiteral("%1x%1.png").arg(size));
        if (!dw::DrawProgramIcon(size).save(name, "PNG")) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
