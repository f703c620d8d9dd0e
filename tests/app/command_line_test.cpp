// SPDX-License-Identifier: MIT
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <vector>

#include <gtest/gtest.h>

namespace {

QStringList FiftyNames()
{
    QStringList names{QStringLiteral("--")};
    for (int n = 1; n <= 50; ++n) names << QStringLiteral("%1.VPR").arg(n);
    return names;
}

// What the program answers on its command line. Asking what it is, or how to
// use it, works where no display is (a terminal over ssh, a package check):
// those rows run with no platform and no display at all, which is what makes
// the toolkit give up.
TEST(CommandLine, OptionsAreAnsweredNotTakenForReportFiles)
{
    struct Row {
        const char* Name;
        QStringList Arguments;
        bool Display;
        int ExitCode;
        const char* Said;  // on standard output for 0, standard error otherwise
    };
    const std::vector<Row> rows{
        {"help", {"--help"}, false, 0, "Usage: drillweight [FILE.VPR]"},
        {"short help", {"-h"}, false, 0, "Usage: drillweight"},
        {"help names version", {"--help"}, false, 0, "--version"},
        {"version", {"--version"}, false, 0, "drillweight " DW_VERSION "\n"},
        {"version after a toolkit option", {"-reverse", "--version"}, false, 0, "drillweight " DW_VERSION},
        {"unknown option", {"--bogus"}, true, 2, "unknown option --bogus"},
        // One report is shown at a time; the others are not passed over in silence.
        {"two report files", {"a.VPR", "b.VPR"}, true, 2, "one report file at a time: 2 were given (a.VPR, b.VPR)"},
        {"fifty report files after --", FiftyNames(), true, 2,
         "one report file at a time: 50 were given (1.VPR, 2.VPR, ...)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(variable));
        if (row.Display)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(DW_PROGRAM), row.Arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), row.ExitCode);
        const QByteArray said = row.ExitCode == 0 ? program.readAllStandardOutput() : program.readAllStandardError();
        EXPECT_TRUE(said.contains(row.Said)) << said.toStdString();
    }
}

}  // namespace
