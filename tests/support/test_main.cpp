// SPDX-License-Identifier: MIT
#include "tests/support/test_main.h"

#include "tests/support/printer_test_support.h"
#include "tests/support/private_spooler.h"
#include "tests/support/profile_sandbox.h"

#include <QApplication>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace dw::test {

namespace {

class FreshProfilePerTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { m_sandbox = std::make_unique<ProfileSandbox>(); }
    void OnTestEnd(const ::testing::TestInfo&) override { m_sandbox.reset(); }

    std::unique_ptr<ProfileSandbox> m_sandbox;
};

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv, const TestMain& setup)
{
    if (setup.MakeApplication)
        return setup.MakeApplication(argc, argv);
    switch (setup.Application) {
        case TestApplication::Core:
            return std::make_unique<QCoreApplication>(argc, argv);
        case TestApplication::Gui:
            return std::make_unique<QGuiApplication>(argc, argv);
        case TestApplication::Widgets:
            break;
    }
    return std::make_unique<QApplication>(argc, argv);
}

}  // namespace

int RunAllTests(int argc, char** argv, const TestMain& setup)
{
    // The spooler is looked up where only the tests' private one can ever
    // listen, before anything could ask for it.
    const std::filesystem::path cupsDir =
        std::filesystem::temp_directory_path() / ("dw-cups-" + std::to_string(::getpid()));
    if (setup.PrivateSpooler) {
        SetPrivateCupsDirectory(cupsDir);
        ::setenv("CUPS_SERVER", (cupsDir / "cups.sock").c_str(), 1);
    }
    // Test discovery may start the program outside ctest's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    int result = 0;
    {
        const std::unique_ptr<QCoreApplication> application = MakeApplication(argc, argv, setup);
        if (setup.CNumbers)
            std::setlocale(LC_NUMERIC, "C");
        ::testing::InitGoogleTest(&argc, argv);
        if (setup.AfterStart)
            setup.AfterStart();
        if (setup.ProfilePerTest)
            ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProfilePerTest);
        result = RUN_ALL_TESTS();
        if (setup.PrivateSpooler)
            StopPrivateSpooler();
    }
    if (setup.PrivateSpooler) {
        std::error_code ignored;
        std::filesystem::remove_all(cupsDir, ignored);
    }
    return result;
}

}  // namespace dw::test
