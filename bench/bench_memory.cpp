// Resident memory at idle, against a bare window; and the peak resident memory of the real
// window holding 100,000 live divs, each made by "Új Div" and committed by "KÉSZ", above what
// the window used right after it was shown, without and with every property of the box set on
// each. Each benchmark runs alone in its process (scripts/bench filters), since the peak is the
// process's.

#include "BenchStyleSheet.h"
#include "BenchWindow.h"
#include "Comparison.h"
#include "Figures.h"
#include "Probe.h"
#include "ResidentMemory.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string_view>

namespace {

constexpr double mebibyte = 1024.0 * 1024.0;

// With every property of the box set on each div too, as the dock stores them, when `box`.
void BM_PeakMemory(benchmark::State& state, bool box)
{
    const auto count = state.range(0);
    for (auto _ : state) {
        auto window = showBenchWindow();
        QCoreApplication::processEvents();
        const auto atStart = residentBytes();
        for (std::int64_t number = 0; number < count; ++number) {
            window->jDiv1Click();
            window->Button3Click();
            if (box)
                setEveryBoxProperty(*window->divs[static_cast<std::size_t>(number)], static_cast<int>(number));
        }
        QCoreApplication::processEvents();
        if (window->lastDiv != count - 1)
            state.SkipWithError("the divs were not all made");
        state.counters["at_start_MiB"] = static_cast<double>(atStart) / mebibyte;
        state.counters["peak_MiB"] = static_cast<double>(peakResidentBytes()) / mebibyte;
        state.counters["growth_MiB"] =
            static_cast<double>(peakResidentBytes() - atStart) / mebibyte;
    }
}

BENCHMARK_CAPTURE(BM_PeakMemory, divs, false)->Arg(100'000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PeakMemory, every_property, true)->Arg(100'000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

// Resident memory at the first painted frame, of the real program and of the bare window,
// each in a process of its own (the start-up probes), offscreen.
void reportIdleMemory()
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const ProbeRun prizmo = runProbe(PRIZMO_STARTUP_PROBE);
    const ProbeRun bare = runProbe(BARE_WINDOW_PROBE);
    report({"memory at idle, prizmo (MiB)", prizmo.residentMiB});
    report({"memory at idle, bare window (MiB)", bare.residentMiB});
}

int main(int argc, char* argv[])
{
    // The idle figures once, in the run that is not only the box's.
    if (argc < 2 || std::string_view(argv[1]).find("every_property") == std::string_view::npos)
        reportIdleMemory();
    BenchApplication application(argc, argv);
    return runBenchmarks(argc, argv,
                         {{"memory: 100,000 divs above idle (MiB)",
                           "BM_PeakMemory/divs/100000/iterations:1", "", 64.0, "growth_MiB"},
                          {"memory: 100,000 divs with every property above idle (MiB)",
                           "BM_PeakMemory/every_property/100000/iterations:1", "", 64.0, "growth_MiB"}});
}
