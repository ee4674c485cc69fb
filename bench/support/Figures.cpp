#include "Figures.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

bool report(const Figure& figure)
{
    const bool holds = !figure.limit || figure.value <= *figure.limit;
    char target[32] = "—";
    if (figure.limit)
        std::snprintf(target, sizeof target, "≤ %g", *figure.limit);
    const char* verdict = !figure.limit ? "" : holds ? "holds" : "MISSED";
    std::printf("%-52s %10.2f   %-10s %s\n", figure.what.c_str(), figure.value, target, verdict);
    if (const char* table = std::getenv("PRIZMO_BENCH_TABLE")) {
        if (std::FILE* rows = std::fopen(table, "a")) {
            std::fprintf(rows, "%s\t%.2f\t%s\t%s\n", figure.what.c_str(), figure.value, target, verdict);
            std::fclose(rows);
        }
    }
    return holds;
}

bool reportNotMeasured(const std::string& what, const std::string& why)
{
    const std::string verdict = "MISSED: not measured, " + why;
    std::printf("%-52s %10s   %-10s %s\n", what.c_str(), "—", "—", verdict.c_str());
    if (const char* table = std::getenv("PRIZMO_BENCH_TABLE")) {
        if (std::FILE* rows = std::fopen(table, "a")) {
            std::fprintf(rows, "%s\t—\t—\t%s\n", what.c_str(), verdict.c_str());
            std::fclose(rows);
        }
    }
    return false;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::pair<double, double> alternatedMedians(int runs, const std::function<double()>& first,
                                            const std::function<double()>& second)
{
    std::vector<double> firsts, seconds;
    for (int run = 0; run < runs; ++run) {
        firsts.push_back(first());
        seconds.push_back(second());
    }
    return {median(firsts), median(seconds)};
}

double millisecondsOf(const std::function<void()>& work)
{
    const auto started = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
}
