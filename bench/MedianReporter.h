#pragma once
// What every benchmark here shares: nine repetitions in random order unless the command
// line asks otherwise, so a burst of load on a shared machine falls on every benchmark
// alike, and the median run of each benchmark kept for the closing table.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace orv::bench {

class MedianReporter : public benchmark::ConsoleReporter {
public:
    // The median run of the benchmark (the only run without repetitions); null when
    // it did not run.
    const Run* Median(const std::string& name) const
    {
        auto found = medians.find(name);
        return found == medians.end() ? nullptr : &found->second;
    }
    double Counter(const std::string& name, const std::string& counter) const
    {
        const Run* run = Median(name);
        return run && run->counters.count(counter) ? run->counters.at(counter).value : 0.0;
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            std::string name = run.run_name.function_name;
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !medians.count(name)))
                medians.insert_or_assign(name, run);
        }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    std::map<std::string, Run> medians;
};

// Runs the registered benchmarks into the reporter.
inline void RunBenchmarks(int argc, char** argv, MedianReporter& reporter)
{
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=9";
    std::string interleaving = "--benchmark_enable_random_interleaving=true";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    if (argc == 1) {
        args.push_back(repetitions.data());
        args.push_back(interleaving.data());
        args.push_back(aggregates.data());
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
}

}  // namespace orv::bench
