#include "app/application.h"

#include <gtest/gtest.h>

namespace {

TEST(ApplicationTitle, ComesFromTheProgramFileName)
{
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"WEIGHT.EXE", "Weight"},
        {"/usr/local/bin/drillweight", "drillweight"},
        {"./build/DrillWeight", "Drillweight"},
        {"/opt/x.y/Prog.tar.gz", "Prog"},
        {"", ""},
        {"A", "A"},
        {"/opt/ВЕС.bin", "Вес"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dw::ApplicationTitleFromPath(QString::fromUtf8(c.path)), QString::fromUtf8(c.title)) << c.path;
}

}  // namespace
