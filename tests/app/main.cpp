#include "app/application.h"
#include "tests/report_engine/printer_test_support.h"
#include "tests/report_engine/private_spooler.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

// Every test gets a profile directory of its own: the main window restores
// "davov" when shown and saves it when destroyed, so tests would otherwise
// feed each other's values.
class FreshProfilePerTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir->path().toUtf8());
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        qputenv("XDG_CONFIG_HOME", m_saved);
        m_dir.reset();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_saved;
};

}  // namespace

int main(int argc, char** argv)
{
    // Printing tests reach only a spooler of their own (started by the tests
    // that print), never the machine's.
    const std::filesystem::path cupsDir =
        std::filesystem::temp_directory_path() / ("dw-app-cups-" + std::to_string(::getpid()));
    dw::test::SetPrivateCupsDirectory(cupsDir);
    ::setenv("CUPS_SERVER", (cupsDir / "cups.sock").c_str(), 1);

    // The program's own application object, so its error box and its
    // last-resort catching are what the tests see.
    dw::TApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProfilePerTest);
    const int result = RUN_ALL_TESTS();
    dw::test::StopPrivateSpooler();
    std::error_code ignored;
    std::filesystem::remove_all(cupsDir, ignored);
    return result;
}
