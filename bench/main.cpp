// Runs every benchmark, then prints the figures as `name: value` lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "bench/figures.h"

namespace payroll::bench {
namespace {

bool g_quick = false;

std::vector<std::pair<std::string, double (*)(const Timings&)>>& Computed() {
    static std::vector<std::pair<std::string, double (*)(const Timings&)>> v;
    return v;
}

std::map<std::string, double>& Direct() {
    static std::map<std::string, double> m;
    return m;
}

class Collector : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (!r.error_occurred && r.iterations > 0)
                timings[r.benchmark_name()] =
                    r.real_accumulated_time / static_cast<double>(r.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
    Timings timings;
};

}  // namespace

bool Quick() {
    return g_quick;
}

double SecondsOf(const Timings& timings, const char* name) {
    auto it = timings.find(name);
    return it == timings.end() ? -1.0 : it->second;
}

double PerSecond(const Timings& timings, const char* name, double units) {
    const double s = SecondsOf(timings, name);
    return s > 0 ? units / s : -1.0;
}

double RatioOf(const Timings& timings, const char* over, const char* under) {
    const double a = SecondsOf(timings, over), b = SecondsOf(timings, under);
    return a > 0 && b > 0 ? a / b : -1.0;
}

const char* Timed(const char* name, void (*run)(benchmark::State&), int iterations) {
    static std::deque<std::string> names;  // keeps the returned texts in place
    benchmark::RegisterBenchmark(name, run)
        ->Iterations(iterations)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    names.push_back(std::string(name) + "/iterations:" + std::to_string(iterations) + "/real_time");
    return names.back().c_str();
}

void AddFigure(const std::string& name, double (*compute)(const Timings&)) {
    Computed().emplace_back(name, compute);
}

void SetFigure(const std::string& name, double value) {
    Direct()[name] = value;
}

}  // namespace payroll::bench

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            payroll::bench::g_quick = true;
        else
            args.push_back(argv[i]);
    }
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    payroll::bench::Collector collector;
    // Progress to standard error; figures alone on standard output.
    collector.SetOutputStream(&std::cerr);
    collector.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&collector);
    for (auto& [name, value] : payroll::bench::Direct())
        std::printf("%s: %.6g\n", name.c_str(), value);
    for (auto& [name, compute] : payroll::bench::Computed())
        std::printf("%s: %.6g\n", name.c_str(), compute(collector.timings));
    benchmark::Shutdown();
    return 0;
}
