// SPDX-License-Identifier: MIT
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

// What the program answers on its command line before any window opens.
TEST(CommandLine, OptionsAreAnsweredNotTakenForReportFiles)
{
    struct Row {
        const char* Argument;
        int ExitCode;
        const char* Said;  // on standard output for 0, standard error otherwise
    };
    for (const Row& row : {Row{"--help", 0, "Usage: drillweight [FILE.VPR]"}, Row{"-h", 0, "Usage: drillweight"},
                           Row{"--bogus", 2, "unknown option --bogus"}}) {
        SCOPED_TRACE(row.Argument);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(DW_PROGRAM), {QString::fromUtf8(row.Argument)});
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), row.ExitCode);
        const QByteArray said = row.ExitCode == 0 ? program.readAllStandardOutput() : program.readAllStandardError();
        EXPECT_TRUE(said.contains(row.Said)) << said.toStdString();
    }
}

}  // namespace
