// Figures the benchmarks report: one `name: value` line each, collected from
// Google Benchmark runs and the ratios between them.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace payroll::bench {

// Seconds per iteration of each benchmark that ran, by name.
using Timings = std::map<std::string, double>;

// Whether the quick (CI-sized) variant was asked for.
bool Quick();

// Seconds per iteration of the named benchmark; -1 when it did not run.
double SecondsOf(const Timings& timings, const char* name);

// `units` over the seconds per iteration of the named benchmark, and the
// seconds of one benchmark over another's; -1 when one did not run.
double PerSecond(const Timings& timings, const char* name, double units);
double RatioOf(const Timings& timings, const char* over, const char* under);

// Registers a benchmark run `iterations` times and timed in real time (in
// the order of registration); returns the name its timing is kept under.
const char* Timed(const char* name, void (*run)(benchmark::State&), int iterations);

// Registers a figure computed after all benchmarks ran.
void AddFigure(const std::string& name, double (*compute)(const Timings& timings));
// Registers a figure known directly (counts, sizes).
void SetFigure(const std::string& name, double value);

}  // namespace payroll::bench
