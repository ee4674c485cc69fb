#pragma once

#include <string>
#include <vector>

// A figure a benchmark run must reach: a benchmark's real time (or one of its counters),
// either divided by a baseline benchmark's figure from the same run or taken on its own,
// and held against the highest acceptable value.
struct Target {
    std::string what;
    std::string measured;       // a benchmark's reported name, "_median" included
    std::string baseline;       // empty: the measured figure is held against the limit itself
    double limit;
    std::string counter = {};   // empty: the real time per iteration
};

// Runs the benchmarks (Google Benchmark's command line applies), prints their figures and
// then reports one figure per target (see Figures.h). Returns 0 when every target was met,
// 1 otherwise.
int runBenchmarks(int argc, char** argv, const std::vector<Target>& targets);
