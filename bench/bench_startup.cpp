// Start-up: from starting the process to the first pass of its event loop, for the real
// program (its own main, on Qt's offscreen platform) and for a bare main window with a
// two-menu bar. Each probe writes one byte when its loop first runs; the clock stops there.

#include "Comparison.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

namespace {

// Starts the probe with its output on a pipe and its errors discarded; returns the seconds
// until its first byte arrived, or a negative number when it never came.
double secondsToFirstEventPass(const char* probe)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    char* arguments[] = {const_cast<char*>(probe), nullptr};
    const auto started = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, probe, &actions, nullptr, arguments, environ);
    ::close(pipeEnds[1]);
    char reached = 0;
    const bool arrived = spawned == 0 && ::read(pipeEnds[0], &reached, 1) == 1;
    const auto stopped = std::chrono::steady_clock::now();
    ::close(pipeEnds[0]);
    posix_spawn_file_actions_destroy(&actions);

    int status = 0;
    if (spawned == 0)
        ::waitpid(child, &status, 0);
    if (!arrived || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double>(stopped - started).count();
}

void BM_StartUp(benchmark::State& state, const char* probe)
{
    for (auto _ : state) {
        const double seconds = secondsToFirstEventPass(probe);
        if (seconds < 0) {
            state.SkipWithError("the probe did not reach its event loop");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

BENCHMARK_CAPTURE(BM_StartUp, prizmo, PRIZMO_STARTUP_PROBE)
    ->UseManualTime()->Iterations(1)->Repetitions(41)->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(BM_StartUp, bare_window, BARE_WINDOW_PROBE)
    ->UseManualTime()->Iterations(1)->Repetitions(41)->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly();

} // namespace

int main(int argc, char* argv[])
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Alternating the two probes spreads the machine's noise over both alike.
    std::vector<char*> arguments(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave.data());
    int count = static_cast<int>(arguments.size());
    return runBenchmarks(count, arguments.data(),
                         {{"start-up: prizmo / bare window (median)",
                           "BM_StartUp/prizmo/iterations:1/repeats:41/manual_time_median",
                           "BM_StartUp/bare_window/iterations:1/repeats:41/manual_time_median",
                           1.3}});
}
