// Time from process start to the main window shown (drawn once) and the
// program closed again, beside a bare window program, on the offscreen
// platform; the *ShownOnly pair closes before the first paint.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

void RunProcess(benchmark::State& state, const char* program, const char* argument = nullptr,
                const char* second = nullptr)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // A throw-away profile directory: start-up reads the profile file.
    setenv("XDG_CONFIG_HOME", "/tmp/drillweight-startup-bench", 1);
    std::vector<char*> argv{const_cast<char*>(program), const_cast<char*>(argument), const_cast<char*>(second),
                            nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, program, nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot start the probe");
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("probe failed");
            return;
        }
    }
}

void BM_StartupBareWindow(benchmark::State& state) { RunProcess(state, PROBE_BARE); }
void BM_StartupBareWindowWithText(benchmark::State& state) { RunProcess(state, PROBE_BARE, "--text"); }
void BM_StartupProgram(benchmark::State& state) { RunProcess(state, PROBE_PROGRAM); }
// Closed before the first paint: shown, but not yet drawn.
void BM_StartupBareWindowShownOnly(benchmark::State& state) { RunProcess(state, PROBE_BARE, "--shown-only"); }
void BM_StartupProgramShownOnly(benchmark::State& state) { RunProcess(state, PROBE_PROGRAM, "--shown-only"); }

BENCHMARK(BM_StartupBareWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_StartupBareWindowWithText)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_StartupProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_StartupBareWindowShownOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_StartupProgramShownOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace
