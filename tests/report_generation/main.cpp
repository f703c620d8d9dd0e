#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "tests/report_engine/printer_test_support.h"

int main(int argc, char** argv)
{
    // No test may reach the machine's own print spooler: the spooler is
    // looked up where only the test's private one can ever listen.
    const std::filesystem::path cupsDir =
        std::filesystem::temp_directory_path() / ("dw-cups-" + std::to_string(::getpid()));
    dw::test::SetPrivateCupsDirectory(cupsDir);
    ::setenv("CUPS_SERVER", (cupsDir / "cups.sock").c_str(), 1);

    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(cupsDir, ignored);
    return result;
}
