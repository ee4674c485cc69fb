// "Megnyitás" of a 100,000-div stylesheet through the real window, against writing the same
// stylesheet with the writer; the time per div opened at 100,000 against 1,000 divs; the
// resident memory the opened stylesheet takes; and the peak while a stylesheet of one div
// with a 600 MiB value opens, over what the window then holds; "Megnyitás" of the web
// page "Weboldal" writes of the same rules (nested two deep), against their stylesheet and
// against libgumbo parsing its bytes alone (the floor); and the peak while the page of
// 400,000 divs opens, against the page's size.
//   bench_open [FOLDER]   (default: the working directory)

#include "BenchStyleSheet.h"
#include "BenchWindow.h"
#include "Comparison.h"
#include "ResidentMemory.h"
#include "output/OutputFile.h"
#include "output/WebPageWriter.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <gumbo.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>
#include <vector>

namespace {

constexpr double mebibyte = 1024.0 * 1024.0;
std::filesystem::path folder = std::filesystem::current_path();

// The stylesheet of `count` divs, or the web page "Weboldal" writes of them (every third div
// inside the one before it), saved once per run.
std::map<std::tuple<int, bool, bool>, std::string> saved;
const std::string& savedFile(int count, bool asPage, bool everyProperty = false)
{
    auto [found, added] = saved.try_emplace({count, asPage, everyProperty});
    if (!added)
        return found->second;
    found->second = (folder / ("bench-open-" + std::to_string(count) + (everyProperty ? "-box" : "")
                               + (asPage ? ".html" : ".css"))).string();
    BenchStyleSheet sheet = makeBenchStyleSheet(count, everyProperty);
    bool written = false;
    if (asPage) {
        for (int n = 1; n < count; n += 3)
            sheet.divs[static_cast<std::size_t>(n)]->setParent(n - 1);
        OutputFile file(found->second);
        file.write(webPage("bench", &sheet.body, sheet.divs, folder.string()));
        written = file.close();
    } else {
        written = saveBenchStyleSheet(sheet, found->second);
    }
    if (!written)
        found->second.clear();
    return found->second;
}
const std::string& savedStyleSheet(int count) { return savedFile(count, false); }

bool openIn(TForm1& window, const std::string& path, int count)
{
    answerOpenDialogWith(path);
    window.Megynits1->trigger();
    QCoreApplication::processEvents();
    return window.lastDiv == count - 1;
}

void BM_MemoryAfterOpening(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::string& path = savedStyleSheet(count);
    for (auto _ : state) {
        auto window = showBenchWindow();
        QCoreApplication::processEvents();
        const auto atStart = residentBytes();
        if (path.empty() || !openIn(*window, path, count))
            state.SkipWithError("the stylesheet was not opened");
        state.counters["growth_MiB"] = (static_cast<double>(residentBytes()) - static_cast<double>(atStart)) / mebibyte;
    }
}

void BM_PeakOpeningALargeValue(benchmark::State& state)
{
    const std::string path = (folder / "bench-open-large.css").string();
    {
        std::ofstream file(path, std::ios::binary);
        file << "\n\r#div0\n\r{\n\rwidth:100px;\n\rheight:200px;\n\rbackground:";
        const std::string piece(1024 * 1024, 'a');
        for (int mebibytes = 0; mebibytes < 600; ++mebibytes)
            file << piece;
        file << ";\n\rfont-size:14px;\n\rfont-color:;\n\rfloat:none;\n\rposition:relative;\n\r}";
    }
    for (auto _ : state) {
        auto window = showBenchWindow();
        QCoreApplication::processEvents();
        std::ofstream("/proc/self/clear_refs") << "5";   // the peak starts over from here
        const auto atStart = residentBytes();
        if (!openIn(*window, path, 1))
            state.SkipWithError("the stylesheet was not opened");
        const auto held = residentBytes();
        state.counters["held_MiB"] = (static_cast<double>(held) - static_cast<double>(atStart)) / mebibyte;
        state.counters["peak_over_held_MiB"] = static_cast<double>(peakResidentBytes() - held) / mebibyte;
    }
    std::filesystem::remove(path);
}

void BM_PeakOpeningAWebPage(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::string& path = savedFile(count, true);
    for (auto _ : state) {
        auto window = showBenchWindow();
        QCoreApplication::processEvents();
        std::ofstream("/proc/self/clear_refs") << "5";   // the peak starts over from here
        const auto atStart = residentBytes();
        if (path.empty() || !openIn(*window, path, count))
            state.SkipWithError("the page was not opened");
        const auto size = static_cast<double>(std::filesystem::file_size(path));
        state.counters["peak_over_size"] = static_cast<double>(peakResidentBytes() - atStart) / size;
        state.counters["held_MiB"] = (static_cast<double>(residentBytes()) - static_cast<double>(atStart)) / mebibyte;
    }
}

// "Megnyitás" of the stylesheet or of the web page.
void BM_Open(benchmark::State& state, bool asPage, bool everyProperty)
{
    const int count = static_cast<int>(state.range(0));
    const std::string& path = savedFile(count, asPage, everyProperty);
    auto window = showBenchWindow();
    for (auto _ : state)
        if (path.empty() || !openIn(*window, path, count))
            state.SkipWithError("the file was not opened");
    state.counters["per_div"] = benchmark::Counter(
        static_cast<double>(count),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The floor of opening a page: libgumbo's parse of its bytes, read from the file, and the
// tree freed, with nothing else.
void BM_GumboParseAlone(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::string& path = savedFile(count, true);
    for (auto _ : state) {
        std::ifstream file(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, bytes.data(), bytes.size());
        benchmark::DoNotOptimize(output->root);
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
}

void BM_WriteWithTheWriter(benchmark::State& state)
{
    const BenchStyleSheet sheet = makeBenchStyleSheet(static_cast<int>(state.range(0)));
    const std::string path = (folder / "bench-open-written.css").string();
    for (auto _ : state)
        if (!saveBenchStyleSheet(sheet, path))
            state.SkipWithError("the save failed");
    std::filesystem::remove(path);
}

// First: the memory a process holds after the open, with nothing measured before it.
BENCHMARK(BM_MemoryAfterOpening)->Arg(100'000)->Iterations(1)->Unit(benchmark::kMillisecond);
// The floor is the best of libgumbo's runs: they differ by up to a half with the heap they
// find (a process's first runs, or runs after the other figures, are the slowest).
BENCHMARK(BM_GumboParseAlone)
    ->Arg(100'000)
    ->Repetitions(5)
    ->ComputeStatistics("min", [](const std::vector<double>& runs) { return *std::min_element(runs.begin(), runs.end()); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakOpeningALargeValue)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakOpeningAWebPage)->Arg(400'000)->Iterations(1)->Unit(benchmark::kMillisecond);
// The window sleeps while a file is read on its own thread: its per-div figures are by the clock.
BENCHMARK_CAPTURE(BM_Open, stylesheet, false, false)
    ->Arg(1'000)->Arg(100'000)->Repetitions(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, stylesheet_every_property, false, true)
    ->Arg(1'000)->Arg(100'000)->Repetitions(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, web_page, true, false)
    ->Arg(1'000)->Arg(100'000)->Repetitions(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteWithTheWriter)->Arg(100'000)->Repetitions(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && argv[argc - 1][0] != '-')
        folder = argv[--argc];
    BenchApplication application(argc, argv);
    const int status = runBenchmarks(
        argc, argv,
        {{"open 100,000 divs: window / writer", "BM_Open/stylesheet/100000/repeats:5/real_time_median",
          "BM_WriteWithTheWriter/100000/repeats:5_median", 2.5},
         {"open: per div at 100,000 / at 1,000", "BM_Open/stylesheet/100000/repeats:5/real_time_median",
          "BM_Open/stylesheet/1000/repeats:5/real_time_median", 1.3, "per_div"},
         {"open every property: per div at 100,000 / at 1,000",
          "BM_Open/stylesheet_every_property/100000/repeats:5/real_time_median",
          "BM_Open/stylesheet_every_property/1000/repeats:5/real_time_median", 1.3, "per_div"},
         {"open: memory of 100,000 divs (MiB)", "BM_MemoryAfterOpening/100000/iterations:1", "",
          64.0, "growth_MiB"},
         {"open 600 MiB of one div: peak over what it holds (MiB)", "BM_PeakOpeningALargeValue/iterations:1", "",
          64.0, "peak_over_held_MiB"},
         {"open the web page of 100,000 divs / their stylesheet", "BM_Open/web_page/100000/repeats:5/real_time_median",
          "BM_Open/stylesheet/100000/repeats:5/real_time_median", 3.0},
         {"open the web page of 100,000 divs / libgumbo's parse alone", "BM_Open/web_page/100000/repeats:5/real_time_median",
          "BM_GumboParseAlone/100000/repeats:5_min", 1.3},
         {"open a web page: per div at 100,000 / at 1,000", "BM_Open/web_page/100000/repeats:5/real_time_median",
          "BM_Open/web_page/1000/repeats:5/real_time_median", 1.3, "per_div"},
         {"open the web page of 400,000 divs: peak / its size", "BM_PeakOpeningAWebPage/400000/iterations:1", "",
          4.0, "peak_over_size"}});
    for (const auto& [made, path] : saved)   // only those the benchmarks run made
        if (!path.empty())
            std::filesystem::remove(path);
    return status;
}
