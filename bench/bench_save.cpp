// Saving with the program's writer and its safe replacement, against writing the same bytes
// with one fwrite to the same folder, run by run in turn: a 100,000-div stylesheet and a
// realistic one of 20 divs. Both make the file durable (flush and fsync), as the save does.
//   bench_save [FOLDER]   (default: the working directory)

#include "BenchStyleSheet.h"
#include "Figures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace {

// The same bytes, as the writer made them, in one write.
bool writeAtOnce(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    const bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()
        && std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
    return file != nullptr && std::fclose(file) == 0 && written;
}

bool compare(int divCount, int runs, double limit, const std::filesystem::path& folder)
{
    const BenchStyleSheet sheet = makeBenchStyleSheet(divCount);
    const std::string saved = (folder / "bench-save-writer.css").string();
    const std::string baseline = (folder / "bench-save-fwrite.css").string();
    bool failed = !saveBenchStyleSheet(sheet, saved);
    std::ifstream made(saved, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(made), {}};
    const auto [writer, fwrite] = alternatedMedians(
        runs, [&] { return millisecondsOf([&] { failed |= !saveBenchStyleSheet(sheet, saved); }); },
        [&] { return millisecondsOf([&] { failed |= !writeAtOnce(baseline, bytes); }); });
    std::filesystem::remove(saved);
    std::filesystem::remove(baseline);
    if (failed) {
        std::printf("save of %d divs: a write failed\n", divCount);
        return false;
    }
    const std::string divs = divCount == 20 ? "20" : "100,000";
    return report({"save " + divs + " divs, writer (ms)", writer})
        & report({"save " + divs + " divs, one fwrite (ms)", fwrite})
        & report({"save " + divs + " divs: writer / one fwrite", writer / fwrite, limit});
}

} // namespace

int main(int argc, char* argv[])
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
    const bool large = compare(100'000, 21, 1.25, folder);
    const bool small = compare(20, 101, 1.5, folder);
    return large && small ? 0 : 1;
}
