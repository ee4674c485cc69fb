// Saving 100,000 divs with the program's writers, against writing the same bytes with one
// fwrite to the same folder. Both make the file durable (flush and fsync), as the save does.
//   bench_save [FOLDER]   (default: the working directory)

#include "Comparison.h"

#include "model/BodyStyle.h"
#include "model/DivStyle.h"
#include "output/OutputFile.h"
#include "output/StyleSheetWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int divCount = 100'000;
std::filesystem::path folder = std::filesystem::current_path();

struct StyleSheet {
    BodyStyle body;
    std::vector<std::unique_ptr<DivStyle>> divs;
};

// Divs as people leave them: some at the defaults, some with colours or a picture.
const StyleSheet& styleSheet()
{
    static const StyleSheet sheet = [] {
        StyleSheet made;
        made.body.setBackground("#FFFFFF");
        made.body.setFontSize(16);
        made.body.setFontColor("#000000");
        for (int number = 0; number < divCount; ++number) {
            auto div = std::make_unique<DivStyle>();
            div->setWidth(100 + number % 700);
            div->setHeight(200 + number % 300);
            if (number % 3 == 1)
                div->setBackground("#12AB03");
            if (number % 7 == 2)
                div->setBackground("/home/éva/képek/háttér " + std::to_string(number) + ".png");
            div->setFontSize(10 + number % 20);
            if (number % 2 == 0)
                div->setFontColor("#0000FF");
            div->setFloat(number % 4);
            div->setPosition(number % 3);
            made.divs.push_back(std::move(div));
        }
        return made;
    }();
    return sheet;
}

bool save(const std::string& path)
{
    const StyleSheet& sheet = styleSheet();
    OutputFile file(path);
    writeStyleSheet(file, &sheet.body, sheet.divs);
    return file.close();
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
