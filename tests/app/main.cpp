#include "app/application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The program's own application object, so its error box and its
    // last-resort catching are what the tests see.
    dw::TApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
