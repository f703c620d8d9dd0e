// SPDX-License-Identifier: MIT
// Reports made to cost far more than their size (tests/support/costly_reports.h),
// each at its first size and four times it, through the two readers a user
// starts: "vprtool info REPORT" and "drillweight REPORT" (the program's
// start-up probe, until the preview has been drawn once or the refusal has
// shown). Each run is a whole process; its time is the benchmark's (manual
// time) and its peak resident memory the counter "peak_MB". What is to be
// seen: both grow with the file at most linearly, and stay within a second
// and 64 MB for the tool, two seconds for the window.
//
// ProgramAnswersAKill times, on the report of tiny records, how long the
// program takes to end after SIGTERM arrives just as the preview starts to
// draw its page (the probe's "--kill-at-first-paint"): from the moment the
// signal is sent to the end of the process; "exit" should read 143.
//
//   shared_string   one poly-text record whose entries all read one string
//   empty_records   a report of N records that hold no page
//   tiny_records    one compressed page of N eight-byte records

#include "tests/support/costly_reports.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Made {
    const char* name;
    dw::test::CostlyBytes (*make)(int scale);
};

const Made kReports[] = {
    {"shared_string",
     [](int scale) {
         return dw::test::CostlyReport({dw::test::SharedStringPage(static_cast<std::size_t>(scale) * 262144)}, false);
     }},
    {"empty_records",
     [](int scale) { return dw::test::EmptyRecordsReport(static_cast<std::uint32_t>(scale) * 10000); }},
    {"tiny_records",
     [](int scale) {
         return dw::test::CostlyReport({dw::test::SaveDcPage(static_cast<std::size_t>(scale) * 2000000)}, true);
     }},
};

// Made on first use and never freed, so that it outlives the remover below.
const std::filesystem::path* g_folder = nullptr;

const std::filesystem::path& Folder()
{
    if (g_folder == nullptr) {
        std::string pattern = (std::filesystem::temp_directory_path() / "dw-costly-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        g_folder = new std::filesystem::path(pattern);
    }
    return *g_folder;
}

// The report of that kind and scale, written once.
std::string ReportFile(int kind, int scale)
{
    const std::filesystem::path path =
        Folder() / (std::string(kReports[kind].name) + "_x" + std::to_string(scale) + ".VPR");
    if (!std::filesystem::exists(path)) {
        // Made in a process of its own: a child's peak memory starts from
        // its parent's, so the benchmark's must stay small.
        const pid_t maker = ::fork();
        if (maker == 0) {
            const dw::test::CostlyBytes bytes = kReports[kind].make(scale);
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(maker, &status, 0);
    }
    return path.string();
}

struct ProcessRun {
    double seconds = 0;
    double peakMb = 0;
    int status = -1;
};

// Runs the program to its end, its output discarded.
ProcessRun Run(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (::wait4(pid, &status, 0, &usage) == pid) {
            run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
        }
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

void Measure(benchmark::State& state, const std::vector<std::string>& command)
{
    double peak = 0;
    int status = 0;
    for (auto _ : state) {
        const ProcessRun run = Run(command);
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakMb);
        status = run.status;
    }
    state.counters["peak_MB"] = peak;
    state.counters["exit"] = status;
}

void ToolInfo(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    const int scale = static_cast<int>(state.range(1));
    state.SetLabel(std::string(kReports[kind].name) + " x" + std::to_string(scale));
    Measure(state, {VPRTOOL, "info", ReportFile(kind, scale)});
}

void ProgramOpens(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    const int scale = static_cast<int>(state.range(1));
    state.SetLabel(std::string(kReports[kind].name) + " x" + std::to_string(scale));
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Measure(state, {PROBE_PROGRAM, "--close-messages", ReportFile(kind, scale)});
}

void Cases(benchmark::internal::Benchmark* b)
{
    for (int kind = 0; kind < 3; ++kind)
        for (int scale : {1, 4}) b->Args({kind, scale});
    b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
}

void ProgramAnswersAKill(benchmark::State& state)
{
    const int kind = 2;  // tiny_records: the only one of the three that shows a page
    const int scale = static_cast<int>(state.range(0));
    state.SetLabel(std::string(kReports[kind].name) + " x" + std::to_string(scale));
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string stamp = (Folder() / "kill-stamp").string();
    ::setenv("DW_KILL_STAMP", stamp.c_str(), 1);
    const std::string report = ReportFile(kind, scale);
    double peak = 0;
    int status = 0;
    for (auto _ : state) {
        std::filesystem::remove(stamp);
        const ProcessRun run = Run({PROBE_PROGRAM, "--kill-at-first-paint", report});
        const auto ended = std::chrono::steady_clock::now().time_since_epoch();
        long long sentNs = 0;
        std::ifstream(stamp) >> sentNs;
        if (sentNs == 0) {
            state.SkipWithError("the page was never drawn");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(ended - std::chrono::nanoseconds(sentNs)).count());
        peak = std::max(peak, run.peakMb);
        status = run.status;
    }
    ::unsetenv("DW_KILL_STAMP");
    state.counters["peak_MB"] = peak;
    state.counters["exit"] = status;
}

BENCHMARK(ToolInfo)->Apply(Cases);
BENCHMARK(ProgramOpens)->Apply(Cases);
// x16 is the largest page there may be: 32 million records, 256 MB.
BENCHMARK(ProgramAnswersAKill)->Arg(1)->Arg(4)->Arg(16)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The folder of reports goes with the program.
struct RemoveFolder {
    ~RemoveFolder()
    {
        std::error_code ignored;
        if (g_folder != nullptr)
            std::filesystem::remove_all(*g_folder, ignored);
    }
} g_removeFolder;

}  // namespace
