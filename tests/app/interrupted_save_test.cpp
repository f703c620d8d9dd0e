// SPDX-License-Identifier: MIT
#include "tests/support/qt_files.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <string>

namespace dw {
namespace {

// A person saves a report opened from the file manager over last week's
// file, and the session ends (or the machine is killed) half-way: the file
// is last week's or the whole new report, and the folder holds nothing else.
TEST(InterruptedSave, TheFolderIsAsItWasOrHoldsTheWholeReport)
{
    struct Row {
        const char* Name;
        int Signal;
    };
    const Row rows[] = {{"killed", SIGKILL}, {"terminated", SIGTERM}, {"interrupted", SIGINT}};

    QTemporaryDir sources;
    QTemporaryDir config;
    ASSERT_TRUE(sources.isValid() && config.isValid());
    const QString page = sources.filePath(QStringLiteral("large.emf"));
    ASSERT_NO_FATAL_FAILURE(test::WriteAll(page, test::LargePage(2'000'000)));
    const QString report = sources.filePath(QStringLiteral("report.VPR"));
    QStringList pack{QStringLiteral("pack"), report};
    for (int i = 0; i < 12; ++i) pack << page;
    const test::CommandRun packed = test::RunCommand(QStringLiteral(DW_VPRTOOL), pack);
    ASSERT_TRUE(packed.Finished && packed.ExitCode == 0) << packed.Err.toStdString();
    const QByteArray whole = test::ReadAll(report);
    const QByteArray old("the report sent last week");

    int stopped = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        const QString target = folder.filePath(QStringLiteral("report.VPR"));
        ASSERT_NO_FATAL_FAILURE(test::WriteAll(target, old));
        const auto entries = [&] {
            return QDir(folder.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .join(QStringLiteral(", "))
                .toStdString();
        };
        const std::string before = entries();

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(DW_PREVIEW_SAVE_PROBE), {report, target});
        ASSERT_TRUE(program.waitForStarted());
        const bool caught = test::WaitForOutputIn(program.processId(), folder.path(), report);
        if (caught) {
            ::kill(static_cast<pid_t>(program.processId()), row.Signal);
            ++stopped;
        }
        ASSERT_TRUE(program.waitForFinished(120000));

        const QByteArray now = test::ReadAll(target);
        EXPECT_TRUE(now == old || now == whole) << now.size() << " bytes, neither the old file nor the whole report";
        EXPECT_EQ(entries(), before);
    }
    if (stopped < static_cast<int>(std::size(rows)))
        std::cout << "[  NOTE    ] " << std::size(rows) - stopped << " save(s) ended before they could be stopped\n";
}

}  // namespace
}  // namespace dw
