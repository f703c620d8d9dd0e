// SPDX-License-Identifier: MIT
#include "tests/support/file_bytes.h"
#include "tests/support/profile_sandbox.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

std::string Header()
{
    std::string header = "datetime,kelly_t,block_t,line_t,hook_t,swivel_t,hose_t,mud_sg,metal_sg";
    for (const char* name : {"length%1_m", "diameter%1_mm", "metre_weight%1_kg"})
        for (int s = 1; s <= 8; ++s) header += ',' + QString::fromLatin1(name).arg(s).toStdString();
    return header +
           ",travelling_system_t,net_string_t,buoyed_string_t,hook_load_t,total_length_m,indicator_t,printed,note\r\n";
}

std::string Record(const char* dateTime, const char* note)
{
    std::string row = dateTime;
    for (int i = 0; i < 37; ++i) row += "," + std::to_string(i + 1) + ".5";
    return row + ",," + "1," + note + "\r\n";
}

// A crew takes the shift's records to the office from a terminal, where no
// display is: the command says how many records went, or why none did.
TEST(JournalCommandLine, ExportAndImportWithoutADisplay)
{
    dw::test::ProfileSandbox sandbox;
    const fs::path shift = sandbox.Root() / "shift.csv";
    const fs::path bad = sandbox.Root() / "bad.csv";
    const fs::path back = sandbox.Root() / "back.csv";
    dw::test::WriteBytes(shift, Header() + Record("2026-12-07T08:00:00", "\"скважина 7, смена \"\"Б\"\"\"") +
                                    Record("2026-12-07T09:30:00", "well 8"));
    dw::test::WriteBytes(bad, Header() + Record("2026-12-07T10:00:00", "ok") + Record("2026-13-07T10:00:00", "x"));
    struct Row {
        const char* Name;
        QStringList Arguments;
        int ExitCode;
        const char* Said;  // on standard output for 0, standard error otherwise
    };
    const std::vector<Row> rows{
        {"export of a journal never made",
         {"--export-journal", QString::fromStdString(back.string())},
         0,
         "0 records exported"},
        {"import", {"--import-journal", QString::fromStdString(shift.string())}, 0, "2 records imported"},
        {"the same file again", {"--import-journal", QString::fromStdString(shift.string())}, 0, "0 records imported"},
        {"bad line", {"--import-journal", QString::fromStdString(bad.string())}, 1, "line 3: datetime"},
        {"missing file",
         {"--import-journal", QString::fromStdString((sandbox.Root() / "none.csv").string())},
         1,
         "Cannot open file"},
        {"export", {"--export-journal", QString::fromStdString(back.string())}, 0, "2 records exported"},
        {"export into a folder", {"--export-journal", QString::fromStdString(sandbox.Root().string())}, 1, "folder"},
        {"no file named", {"--import-journal"}, 2, "needs a file name"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(variable));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(DW_PROGRAM), row.Arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), row.ExitCode);
        const QByteArray said = row.ExitCode == 0 ? program.readAllStandardOutput() : program.readAllStandardError();
        EXPECT_TRUE(said.contains(row.Said)) << said.toStdString();
    }
    // What went out is what came in, the note's quotes and comma included.
    const std::string exported = dw::test::ReadBytes(back);
    EXPECT_NE(exported.find("\"скважина 7, смена \"\"Б\"\"\""), std::string::npos) << exported;
    EXPECT_EQ(exported.find("2026-12-07T10:00:00"), std::string::npos);
}

}  // namespace

namespace {

// Two crews' files brought in at the same moment by two runs of the program:
// each waits for the other, and every record of both is kept.
TEST(JournalCommandLine, TwoImportsAtOnceKeepEveryRecord)
{
    dw::test::ProfileSandbox sandbox;
    std::vector<fs::path> files;
    for (int f = 0; f < 2; ++f) {
        std::string csv = Header();
        for (int i = 0; i < 2000; ++i) {
            const std::string when = "2026-1" + std::to_string(f + 1) + "-0" + std::to_string(1 + i % 9) + "T" +
                                     (i / 540 < 10 ? "0" : "") + std::to_string(i / 540 % 24) + ":" +
                                     (i / 9 % 60 < 10 ? "0" : "") + std::to_string(i / 9 % 60) + ":0" +
                                     std::to_string(i % 9 % 6);
            csv += Record(when.c_str(), "смена");
        }
        files.push_back(sandbox.Root() / ("crew" + std::to_string(f) + ".csv"));
        dw::test::WriteBytes(files.back(), csv);
    }
    std::vector<std::unique_ptr<QProcess>> runs;
    for (const fs::path& file : files) {
        auto& run = runs.emplace_back(std::make_unique<QProcess>());
        run->start(QStringLiteral(DW_PROGRAM), {QStringLiteral("--import-journal"), QString::fromStdString(file)});
    }
    std::size_t imported = 0;
    for (auto& run : runs) {
        ASSERT_TRUE(run->waitForFinished(60000));
        EXPECT_EQ(run->exitCode(), 0) << run->readAllStandardError().toStdString();
        const QByteArray said = run->readAllStandardOutput();
        imported += static_cast<std::size_t>(said.mid(said.indexOf(' ') + 1).split(' ').front().toInt());
    }
    QProcess exporter;
    const fs::path all = sandbox.Root() / "all.csv";
    exporter.start(QStringLiteral(DW_PROGRAM), {QStringLiteral("--export-journal"), QString::fromStdString(all)});
    ASSERT_TRUE(exporter.waitForFinished(60000));
    const QByteArray said = exporter.readAllStandardOutput();
    EXPECT_TRUE(said.contains(QByteArray::number(static_cast<qulonglong>(imported)) + " records exported"))
        << said.toStdString() << " after " << imported;
    EXPECT_GT(imported, 3000u);
}

}  // namespace
