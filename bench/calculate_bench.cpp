// SPDX-License-Identifier: MIT
// РАСЧЕТ on the worked example: the calculation alone (the 24 inputs to the
// five results as their fields hold them, no widgets) and the whole command
// in the main window (the inputs read through their fields, the results
// written in one pass, the date stamped, the colours set once). The gap
// between the two is what showing costs.

#include "app/application.h"
#include "app/form1.h"
#include "app/weight_fields.h"
#include "bench/run_benchmarks.h"
#include "calc/weight_calculation.h"
#include "numeric/widgets/currency_edit.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <utility>

namespace dw {
namespace {

// The worked example's inputs; the rest are 0.
constexpr std::pair<WeightInput, Extended> kWorkedExample[] = {
    {WeightInput::KellyWeight, 2.5L},
    {WeightInput::TravellingBlockWeight, 4.2L},
    {WeightInput::DrillingLineWeight, 1.8L},
    {WeightInput::HookWeight, 1.3L},
    {WeightInput::SwivelWeight, 1.1L},
    {WeightInput::DrillingHoseWeight, 0.2L},
    {SectionLength(1), 1000},
    {SectionMetreWeight(1), 29},
    {SectionLength(2), 150},
    {SectionMetreWeight(2), 97.6L},
    {WeightInput::MudGravity, 1.2L},
    {WeightInput::MetalGravity, 7.85L},
};

void BM_Evaluate(benchmark::State& state)
{
    const WeightInputs inputs = ReadWeightInputs([](WeightInput input) -> Extended {
        for (const auto& [which, value] : kWorkedExample)
            if (which == input)
                return value;
        return 0;
    });
    for (auto _ : state) {
        const WeightResults results = CalculateWeights(inputs);
        benchmark::DoNotOptimize(results.Values);
    }
}
BENCHMARK(BM_Evaluate)->Unit(benchmark::kMicrosecond);

void BM_EvaluateAndShow(benchmark::State& state)
{
    TForm1 form;
    for (const auto& [input, value] : kWorkedExample) form.CurrencyEdit(fields::InputField(input))->SetValue(value);
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
    // No display; the main window's profile goes to a directory of its own.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir profile;
    qputenv("XDG_CONFIG_HOME", profile.path().toUtf8());
    dw::TApplication application(argc, argv);
    return dw::bench::RunBenchmarks(argc, argv);
}
