// SPDX-License-Identifier: MIT
// РАСЧЕТ on the worked example: the calculation alone (the 24 inputs to the
// five results as their fields hold them, no widgets) and the whole command
// in the main window (the inputs read through their fields, the results
// written in one pass, the date stamped, the colours set once). The gap
// between the two is what showing costs.

#include "app/form1.h"
#include "app/weight_fields.h"
#include "bench/program_benchmarks.h"
#include "calc/weight_calculation.h"
#include "numeric/widgets/currency_edit.h"
#include "tests/support/worked_example.h"

#include <benchmark/benchmark.h>

namespace dw {
namespace {

void BM_Evaluate(benchmark::State& state)
{
    const WeightInputs inputs = test::ReadGivenInputs(test::WorkedExample());
    for (auto _ : state) {
        const WeightResults results = CalculateWeights(inputs);
        benchmark::DoNotOptimize(results.Values);
    }
}
BENCHMARK(BM_Evaluate)->Unit(benchmark::kMicrosecond);

void BM_EvaluateAndShow(benchmark::State& state)
{
    TForm1 form;
    for (const test::GivenInput& input : test::WorkedExample())
        form.CurrencyEdit(fields::InputField(input.Which))->SetValue(input.Value);
    form.show();
    for (auto _ : state) {
        form.BitBtn1Click(nullptr);
        benchmark::DoNotOptimize(form.ResultsCurrent());
    }
}
BENCHMARK(BM_EvaluateAndShow)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace dw

int main(int argc, char** argv)
{
    return dw::bench::RunInTheProgramsApplication(argc, argv);
}
