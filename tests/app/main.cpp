#include "app/application.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

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
    // The program's own application object, so its error box and its
    // last-resort catching are what the tests see.
    dw::TApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProfilePerTest);
    return RUN_ALL_TESTS();
}
