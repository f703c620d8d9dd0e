// SPDX-License-Identifier: MIT
// The extension a save dialog gives a name: what the user typed, as the
// file appears afterwards in the folder.

#include "common/file_names.h"

#include <gtest/gtest.h>

namespace dw {
namespace {

TEST(FileNamesTest, ABareNameGetsTheTypesExtensionAndAnOwnOneIsKept)
{
    struct Row {
        const char* name;
        const char* typed;
        const char* extension;
        const char* written;
    };
    const Row rows[] = {
        {"bare name, report type", "/home/u/отчёт", "VPR", "/home/u/отчёт.VPR"},
        {"bare name, text type", "/home/u/report2", "TXT", "/home/u/report2.TXT"},
        {"bare name, PDF type", "weights", "pdf", "weights.pdf"},
        {"own extension kept under another type", "/home/u/report.txt", "VPR", "/home/u/report.txt"},
        {"own extension of the type kept as typed", "/home/u/report.vpr", "VPR", "/home/u/report.vpr"},
        {"a dot in a folder name is no extension", "/home/u/v1.2/report", "VPR", "/home/u/v1.2/report.VPR"},
        {"a dot in a folder and in the name", "/home/u/v1.2/report.bak", "VPR", "/home/u/v1.2/report.bak"},
        {"a leading dot is a hidden name, not an extension", "/home/u/.report", "pdf", "/home/u/.report.pdf"},
        {"a trailing dot gets no second dot", "/home/u/report.", "TXT", "/home/u/report.TXT"},
        {"every file type adds nothing", "/home/u/report", "", "/home/u/report"},
        {"a folder path is kept", "/home/u/", "VPR", "/home/u/"},
        {"spaces and dates in the name", "Вес инструмента 2026-12-07", "VPR", "Вес инструмента 2026-12-07.VPR"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(WithDefaultExtension(row.typed, row.extension), row.written) << row.name;
    }
}

// A suggested name is offered as it is; a stick or a Windows share must take it.
TEST(FileNamesTest, ASuggestedNameIsOneEveryDiskTakes)
{
    struct Row {
        const char* name;
        const char* suggested;
        const char* portable;
    };
    const Row rows[] = {
        {"the sheet's date and time", "ИЗМЕРЕНИЕ 08.12.2026 01:47:25", "ИЗМЕРЕНИЕ 08.12.2026 01-47-25"},
        {"every refused mark", "a<b>c:d\"e/f\\g|h?i*j", "a-b-c-d-e-f-g-h-i-j"},
        {"control characters", "a\tb\nc", "a-b-c"},
        {"a dot or blank at the end", "report. . ", "report"},
        {"Cyrillic and hyphens stay", "Вес инструмента 2026-12-08 01-47-25", "Вес инструмента 2026-12-08 01-47-25"},
        {"nothing stays nothing", "", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PortableFileName(row.suggested), row.portable) << row.name;
    }
}

}  // namespace
}  // namespace dw
