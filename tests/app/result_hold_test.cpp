// SPDX-License-Identifier: MIT
// The calculation holds each result the way the window's result field holds
// it once written and read back; the two must never part, or the buoyed
// weight and the hook load would be worked out from a number the crew never
// saw. Compared to the bit around every rounding tie of two decimals, under
// a decimal comma and a decimal point.

#include "calc/weight_calculation.h"
#include "numeric/core/locale_formats.h"
#include "numeric/widgets/currency_edit.h"
#include "tests/support/number_marks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace dw {
namespace {

bool SameBits(Extended a, Extended b)
{
    // The ten significant bytes: a sign or a last bit apart is a difference.
    return std::memcmp(&a, &b, 10) == 0;
}

TEST(ResultHold, TheCalculationHoldsAResultAsItsFieldDoes)
{
    const struct {
        const char* name;
        Extended value;
    } rows[] = {
        {"zero", 0},
        {"negative zero", -0.0L},
        {"half a hundredth", 0.005L},
        {"just below half a hundredth", 0.0049999999999999999L},
        {"one and a half hundredths", 0.015L},
        {"an eighth, a tie in binary too", 0.125L},
        {"2.675 lies below its tie in binary", 2.675L},
        {"1.005 lies below its tie in binary", 1.005L},
        {"99.995 carries into the hundreds", 99.995L},
        {"9.995 carries into a new digit", 9.995L},
        {"negative tie", -0.005L},
        {"negative tie below its binary", -2.675L},
        {"the worked example's buoyed weight", 36.968917197452229299L},
        {"three decimals of a result", 12.3456L},
        {"a tie at a million", 1000000.125L},
        {"a tie past the digits a double keeps", 123456789012345.125L},
        {"past eighteen digits", 1.2345678901234567e25L},
        {"the largest a six-byte real holds", 1.7e38L},
        {"tiny", 1e-30L},
        {"tiny negative", -3e-38L},
    };
    for (const auto* marks : {",", "."}) {
        const ScopedLocaleFormats locale(test::Marks(marks, std::string(marks) == "," ? " " : ","));
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.name) + ", decimal mark " + marks);
            TCurrencyEdit field;
            field.SetDisplayFormat(QStringLiteral(",0.000 т'.';-,0.000 т'.'"));
            field.SetValue(row.value);
            const Extended held = field.Value();
            EXPECT_TRUE(SameBits(HeldInField(row.value), held))
                << static_cast<double>(HeldInField(row.value)) << " against " << static_cast<double>(held);
        }
    }
}

}  // namespace
}  // namespace dw
