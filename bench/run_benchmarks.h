// SPDX-License-Identifier: MIT
#pragma once

#include <benchmark/benchmark.h>

namespace dw::bench {

// Runs the benchmarks the command line names (all of them by default), for
// the benchmark programs that make their application object first; 1 when
// an argument is not understood.
inline int RunBenchmarks(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace dw::bench
