// Console output as usual, plus the median of each benchmark's repetitions by
// function name, for the ratios the benchmarks print: the value of the first
// of the given counters that the benchmark sets, else its real time (or CPU
// time when asked). A benchmark run only once stands for itself.
#pragma once
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// benchmark::Initialize with the repetitions of all cases interleaved, so
// that a busy machine slows them alike; later arguments can still override.
inline void InitializeInterleaved(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
}

// Adds the lowest and highest repetition to a benchmark's aggregates.
inline benchmark::internal::Benchmark* WithSpread(benchmark::internal::Benchmark* b) {
    auto lowest = [](const std::vector<double>& v) {
        double m = v.empty() ? 0 : v[0];
        for (double x : v) m = x < m ? x : m;
        return m;
    };
    auto highest = [](const std::vector<double>& v) {
        double m = v.empty() ? 0 : v[0];
        for (double x : v) m = x > m ? x : m;
        return m;
    };
    return b->ComputeStatistics("min", lowest)->ComputeStatistics("max", highest);
}

class MedianReporter : public benchmark::ConsoleReporter {
public:
    enum class Time { Real, Cpu };

    explicit MedianReporter(std::vector<std::string> counters = {}, Time time = Time::Real)
        : counters_(std::move(counters)), time_(time) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (median || single) medians[run.run_name.function_name] = Value(run);
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min")
                lows[run.run_name.function_name] = Value(run);
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "max")
                highs[run.run_name.function_name] = Value(run);
        }
    }

    std::map<std::string, double> medians;
    // The lowest and highest repetition, for benchmarks that ask for them
    // (WithSpread).
    std::map<std::string, double> lows, highs;

private:
    double Value(const Run& run) const {
        for (const std::string& name : counters_) {
            auto it = run.counters.find(name);
            if (it != run.counters.end()) return it->second.value;
        }
        return time_ == Time::Cpu ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
    }

    std::vector<std::string> counters_;
    Time time_;
};
