// SPDX-License-Identifier: MIT
#include "numeric/core/extended.h"

#include <gtest/gtest.h>

TEST(Extended, ThousandthIsTheNearestValue)
{
    const dw::Extended t = dw::ExtendedThousandth();
    EXPECT_EQ(t, 0.001L);
    const auto bits = dw::BitsOf(t);
    EXPECT_EQ(bits.significand, 0x83126E978D4FDF3Bull);
    EXPECT_EQ(bits.signExponent, 0x3FF5);
}
