// Saving with the program's writer and its safe replacement, against the least a safe save
// must do with the same bytes (a new file beside the old, one write, fsync, rename, fsync of
// the folder), run by run in turn: a 100,000-div stylesheet and a realistic one of 20 divs.
// One plain fwrite and fsync over the file is measured too, for reference.
//   bench_save [FOLDER]   (default: the working directory)

#include "BenchStyleSheet.h"
#include "Figures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The same bytes, as safely as the save writes them and with nothing more.
bool writeSafelyAtOnce(const std::string& path, const std::string& bytes)
{
    const std::string beside = path + ".new";
    const int file = ::open(beside.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool written = file >= 0 && ::write(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size())
        && ::fsync(file) == 0;
    written = file >= 0 && ::close(file) == 0 && written && ::rename(beside.c_str(), path.c_str()) == 0;
    const int folder = ::open(std::filesystem::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    written = folder >= 0 && ::fsync(folder) == 0 && written;
    if (folder >= 0)
        ::close(folder);
    return written;
}

// The same bytes, as the writer made them, in one write.
bool writeAtOnce(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    const bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()
        && std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
    return file != nullptr && std::fclose(file) == 0 && written;
}

bool compare(int divCount, int runs, double limit, const std::filesystem::path& folder, bool everyProperty = false)
{
    const BenchStyleSheet sheet = makeBenchStyleSheet(divCount, everyProperty);
    const std::string saved = (folder / "bench-save-writer.css").string();
    const std::string baseline = (folder / "bench-save-baseline.css").string();
    const std::string plain = (folder / "bench-save-fwrite.css").string();
    bool failed = !saveBenchStyleSheet(sheet, saved);
    std::ifstream made(saved, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(made), {}};
    const auto [writer, safe] = alternatedMedians(
        runs, [&] { return millisecondsOf([&] { failed |= !saveBenchStyleSheet(sheet, saved); }); },
        [&] { return millisecondsOf([&] { failed |= !writeSafelyAtOnce(baseline, bytes); }); });
    const auto [again, fwrite] = alternatedMedians(
        runs, [&] { return millisecondsOf([&] { failed |= !saveBenchStyleSheet(sheet, saved); }); },
        [&] { return millisecondsOf([&] { failed |= !writeAtOnce(plain, bytes); }); });
    (void)again;
    for (const std::string& file : {saved, baseline, plain})
        std::filesystem::remove(file);
    if (failed) {
        std::printf("save of %d divs: a write failed\n", divCount);
        return false;
    }
    const std::string divs = std::string(divCount == 20 ? "20" : "100,000") + (everyProperty ? " every-property" : "");
    return report({"save " + divs + " divs, writer (ms)", writer})
        & report({"save " + divs + " divs, safe write of the same bytes (ms)", safe})
        & report({"save " + divs + " divs: writer / safe write", writer / safe, limit})
        & report({"save " + divs + " divs, one fwrite, not safe (ms)", fwrite});
}

} // namespace

int main(int argc, char* argv[])
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
    const bool large = compare(100'000, 21, 1.20, folder);
    const bool small = compare(20, 101, 1.10, folder);
    const bool everyProperty = compare(100'000, 21, 1.20, folder, true);
    return large && small && everyProperty ? 0 : 1;
}
