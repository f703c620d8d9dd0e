// SPDX-License-Identifier: MIT
#include "tests/support/test_main.h"

int main(int argc, char** argv)
{
    return dw::test::RunAllTests(argc, argv, {});
}
