// SPDX-License-Identifier: MIT
// Time from process start to the main window shown (drawn once) and the
// program closed again, beside a bare window program, on the offscreen
// platform; the *ShownOnly pair closes before the first paint.
//
// The machines this runs on drift in speed by tens of percent within seconds,
// so the ratio benchmarks run the two processes in turn, pair by pair, and
// report the median of the pairs' ratios ("ratio"); the single-process
// benchmarks give the absolute times.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

extern char** environ;

namespace {

// One start of a probe; false when it could not start or did not end cleanly.
bool RunOnce(const char* program, std::initializer_list<const char*> arguments)
{
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const char* argument : arguments) argv.push_back(const_cast<char*>(argument));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void SetProbeEnvironment()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // A throw-away profile directory: start-up reads the profile file.
    setenv("XDG_CONFIG_HOME", "/tmp/drillweight-startup-bench", 1);
    // Nor the user's journal, should a probe live long enough to look at it.
    setenv("XDG_DATA_HOME", "/tmp/drillweight-startup-bench", 1);
}

void RunProcess(benchmark::State& state, const char* program, std::initializer_list<const char*> arguments = {})
{
    SetProbeEnvironment();
    for (auto _ : state)
        if (!RunOnce(program, arguments)) {
            state.SkipWithError("probe failed");
            return;
        }
}

double Seconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// The program beside the bare window, started in turn; the time reported is
// the pair's, the "ratio" counter the median of program / bare over the pairs.
void RunPairs(benchmark::State& state, std::initializer_list<const char*> programArguments,
              std::initializer_list<const char*> bareArguments)
{
    SetProbeEnvironment();
    std::vector<double> ratios;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool bareRan = RunOnce(PROBE_BARE, bareArguments);
        const auto middle = std::chrono::steady_clock::now();
        const bool programRan = RunOnce(PROBE_PROGRAM, programArguments);
        const auto end = std::chrono::steady_clock::now();
        if (!bareRan || !programRan) {
            state.SkipWithError("probe failed");
            return;
        }
        ratios.push_back(Seconds(end - middle) / Seconds(middle - start));
    }
    if (ratios.empty())
        return;
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
}

void BM_StartupBareWindow(benchmark::State& state)
{
    RunProcess(state, PROBE_BARE);
}
void BM_StartupBareWindowWithText(benchmark::State& state)
{
    RunProcess(state, PROBE_BARE, {"--text"});
}
void BM_StartupProgram(benchmark::State& state)
{
    RunProcess(state, PROBE_PROGRAM);
}
void BM_StartupRatioToBareWindow(benchmark::State& state)
{
    RunPairs(state, {}, {});
}
void BM_StartupRatioToBareWindowWithText(benchmark::State& state)
{
    RunPairs(state, {}, {"--text"});
}
// Closed before the first paint: shown, but not yet drawn.
void BM_StartupRatioShownOnly(benchmark::State& state)
{
    RunPairs(state, {"--shown-only"}, {"--shown-only"});
}

// From the moment the program's last window closes to the end of its
// process: what a user waits for before the program is really gone (the
// profile is written meanwhile). Each iteration is timed on its own, from
// the close stamp the probe writes.
void BM_ExitAfterLastWindowCloses(benchmark::State& state)
{
    SetProbeEnvironment();
    const char* stamp = "/tmp/drillweight-startup-bench/close-stamp";
    std::error_code ignored;
    std::filesystem::create_directories("/tmp/drillweight-startup-bench", ignored);
    setenv("DW_CLOSE_STAMP", stamp, 1);
    for (auto _ : state) {
        std::remove(stamp);
        if (!RunOnce(PROBE_PROGRAM, {})) {
            state.SkipWithError("probe failed");
            break;
        }
        const auto ended = std::chrono::steady_clock::now().time_since_epoch();
        std::FILE* file = std::fopen(stamp, "rb");
        long long closedNs = 0;
        const bool read = file != nullptr && std::fscanf(file, "%lld", &closedNs) == 1;
        if (file != nullptr)
            std::fclose(file);
        if (!read) {
            state.SkipWithError("no close stamp");
            break;
        }
        state.SetIterationTime(Seconds(ended - std::chrono::nanoseconds(closedNs)));
    }
    unsetenv("DW_CLOSE_STAMP");
}

BENCHMARK(BM_StartupBareWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_StartupBareWindowWithText)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_StartupProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_StartupRatioToBareWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(4.0);
BENCHMARK(BM_StartupRatioToBareWindowWithText)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(4.0);
BENCHMARK(BM_StartupRatioShownOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(4.0);
BENCHMARK(BM_ExitAfterLastWindowCloses)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);

}  // namespace
