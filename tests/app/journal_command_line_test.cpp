// SPDX-License-Identifier: MIT
#include "tests/support/file_bytes.h"
#include "tests/support/profile_sandbox.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

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
