#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

#include <clocale>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs the binary outside ctest's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    return RUN_ALL_TESTS();
}
