// SPDX-License-Identifier: MIT
// How a page is put on a sheet smaller than itself: what it draws lies
// within the printable area at full size, or it is scaled down; never cut.

#include "report/output/page_fit.h"

#include <gtest/gtest.h>

namespace dw {
namespace {

TEST(PageFitTest, APageIsScaledOnlyWhenWhatItDrawsReachesBeyondTheSheet)
{
    struct Row {
        const char* name;
        TDrawnExtent drawn;  // device pixels from the printable corner
        double width, height;
        double scale;
    };
    // A4 at 300 per inch with 4 mm borders: 2386 x 3413 printable pixels;
    // the sheet's texts end at 150 x 137 mm (1772 x 1618 pixels).
    const Row rows[] = {
        {"the sheet's texts on A4", {1772, 1618}, 2386, 3413, 1.0},
        {"exactly the printable width", {2386, 100}, 2386, 3413, 1.0},
        {"too wide by half", {3579, 100}, 2386, 3413, 2386.0 / 3579},
        {"too tall: the height decides", {100, 6826}, 2386, 3413, 0.5},
        {"too wide and too tall: the tighter side", {4772, 4000}, 2386, 3413, 0.5},
        {"a whole A3 page on A4: the width decides", {3508, 4961}, 2480, 3508, 2480.0 / 3508},
        {"no printable area known: printed as it is", {5000, 5000}, 0, 0, 1.0},
    };
    for (const Row& row : rows) {
        EXPECT_NEAR(FitScale(row.drawn, row.width, row.height), row.scale, 1e-9) << row.name;
    }
}

}  // namespace
}  // namespace dw
