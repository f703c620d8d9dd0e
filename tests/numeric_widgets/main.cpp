#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>

// Widget tests need one application object for the whole run; test discovery
// starts the program without the test environment, so the display-less
// platform is chosen here as well.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
