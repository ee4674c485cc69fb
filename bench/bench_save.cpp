// Saving 100,000 divs with the program's writers, against writing the same bytes with one
// fwrite to the same folder. Both make the file durable (flush and fsync), as the save does.
//   bench_save [FOLDER]   (default: the working directory)

#include "BenchStyleSheet.h"
#include "Comparison.h"


#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace {

constexpr int divCount = 100'000;
std::filesystem::path folder = std::filesystem::current_path();

const BenchStyleSheet& styleSheet()
{
    static const BenchStyleSheet sheet = makeBenchStyleSheet(divCount);
    return sheet;
}

bool save(const std::string& path)
{
    return saveBenchStyleSheet(styleSheet(), path);
}

void BM_SaveWithWriters(benchmark::State& state)
{
    const std::string path = (folder / "bench-writers.css").string();
    for (auto _ : state)
        if (!save(path))
            state.SkipWithError("the save failed");
    state.SetBytesProcessed(state.iterations()
                            * static_cast<std::int64_t>(std::filesystem::file_size(path)));
    std::filesystem::remove(path);
}

// The same bytes, as the writers made them, in one write.
void BM_OneFwrite(benchmark::State& state)
{
    const std::string path = (folder / "bench-fwrite.css").string();
    if (!save(path)) {
        state.SkipWithError("the save failed");
        return;
    }
    std::ifstream saved(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(saved), {}};
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "w");
        const bool written = file != nullptr
                             && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()
                             && std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
        if (file == nullptr || std::fclose(file) != 0 || !written)
            state.SkipWithError("the write failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
    std::filesystem::remove(path);
}

BENCHMARK(BM_SaveWithWriters)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_OneFwrite)->Unit(benchmark::kMillisecond)->Repetitions(5);

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && argv[argc - 1][0] != '-')
        folder = argv[--argc];
    return runBenchmarks(argc, argv,
                         {{"save 100,000 divs: writers / one fwrite", "BM_SaveWithWriters/repeats:5_median",
                           "BM_OneFwrite/repeats:5_median", 2.0}});
}
