#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One row of the benchmark table: what was measured, its figure and, where it has one, the
// highest figure its target allows.
struct Figure {
    std::string what;
    double value;
    std::optional<double> limit = std::nullopt;
};

// Prints the row and adds it to the file named by PRIZMO_BENCH_TABLE, from which
// scripts/bench prints one table of every benchmark's figures. True when it holds.
bool report(const Figure& figure);
// A figure that could not be measured: a row that says why, and counts as missed.
bool reportNotMeasured(const std::string& what, const std::string& why);

double median(std::vector<double> values);

// Runs `first` and `second` in turn, `runs` times each, so that the machine's moods reach both
// alike; gives the median of each one's figures.
std::pair<double, double> alternatedMedians(int runs, const std::function<double()>& first,
                                            const std::function<double()>& second);

// Milliseconds spent in `work`.
double millisecondsOf(const std::function<void()>& work);
