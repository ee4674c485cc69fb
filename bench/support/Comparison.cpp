#include "Comparison.h"

#include "Figures.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <optional>

#include <unistd.h>

namespace {

// Prints as the console reporter does and keeps every figure for the targets.
class RecordingReporter : public benchmark::ConsoleReporter
{
public:
    RecordingReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            recorded[run.benchmark_name()] = run;
        ConsoleReporter::ReportRuns(runs);
    }

    std::optional<double> figure(const std::string& name, const std::string& counter) const
    {
        const auto found = recorded.find(name);
        if (found == recorded.end())
            return std::nullopt;
        const Run& run = found->second;
        if (counter.empty())
            return run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        const auto value = run.counters.find(counter);
        if (value == run.counters.end())
            return std::nullopt;
        return value->second.value;
    }

private:
    std::map<std::string, Run> recorded;
};

} // namespace

int runBenchmarks(int argc, char** argv, const std::vector<Target>& targets)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    bool allMet = true;
    std::printf("\n");
    for (const Target& target : targets) {
        const auto measured = reporter.figure(target.measured, target.counter);
        const auto baseline = target.baseline.empty()
                                  ? std::optional<double>(1.0)
                                  : reporter.figure(target.baseline, target.counter);
        if (!measured || !baseline || *baseline <= 0) {
            std::printf("%-44s not measured in this run\n", target.what.c_str());
            continue;
        }
        allMet = report({target.what, *measured / *baseline, target.limit}) && allMet;
    }
    return allMet ? 0 : 1;
}
