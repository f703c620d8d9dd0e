// SPDX-License-Identifier: MIT
// vprtool: saved report files on a machine without the program, for crews
// who send a report by e-mail or print it elsewhere.

#include "common/errors.h"
#include "common/replace_file.h"
#include "tools/vprtool/tool_arguments.h"
#include "tools/vprtool/vpr_commands.h"

#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <exception>
#include <memory>
#include <new>

namespace {

// Qt's own chatter (a missing runtime directory, font fallbacks) is no
// business of someone converting a report; the tool says what went wrong
// in its own words. Real failures still get through.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg || qEnvironmentVariableIsSet("VPRTOOL_QT_MESSAGES")) {
        std::fputs(message.toLocal8Bit().constData(), stderr);
        std::fputc('\n', stderr);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(QuietMessages);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }

    dw::vprtool::ToolArguments parsed;
    try {
        parsed = dw::vprtool::ParseArguments(arguments);
    } catch (const dw::vprtool::UsageError& e) {
        err << "vprtool: " << e.Message() << "\nTry \"vprtool --help\".\n";
        return 2;
    }
    if (parsed.Action == dw::vprtool::Command::Help) {
        out << dw::vprtool::UsageText();
        return 0;
    }
    if (parsed.Action == dw::vprtool::Command::Version) {
        out << dw::vprtool::VersionText();
        return 0;
    }

    // Fonts and painting need an application object; a tool run from a
    // terminal or a script must not need a display for that.
    std::unique_ptr<QGuiApplication> application;
    if (dw::vprtool::NeedsGui(parsed.Action)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        application = std::make_unique<QGuiApplication>(argc, argv);
    }

    // A tool stopped by an operator or a script's timeout leaves no part of
    // the file it was writing.
    dw::RemoveUnfinishedFilesOnSignals();

    int status = 1;
    try {
        status = dw::vprtool::RunCommand(parsed, out, err);
    } catch (const dw::vprtool::UsageError& e) {
        out.flush();
        err << "vprtool: " << e.Message() << '\n';
        status = 2;
    } catch (const dw::Exception& e) {
        out.flush();
        err << "vprtool: " << QString::fromStdString(e.Message()) << '\n';
        status = 1;
    } catch (const std::bad_alloc&) {
        out.flush();
        err << "vprtool: out of memory\n";
        status = 1;
    }
    out.flush();
    err.flush();
    return status;
}
