// Speed targets stated as ratios between two benchmarks of the same run, and
// the main() every benchmark program uses to check them. Absolute times differ
// from one machine to the next; the ratio to a baseline measured a moment
// earlier on the same machine does not, so that is what a target names.
//
// A benchmark file registers each target with one line at namespace scope:
//
//   TV_RATIO_TIME_AT_MOST("archive_open", "raw_fread", 1.20);
//   TV_RATIO_THROUGHPUT_AT_LEAST("tga_read", "memcpy_copy", 0.50);
//
// A wait that a user sees (moving to the next portrait) has a target in
// milliseconds rather than against a baseline; its line gives the median over
// the target time, so that it reads like the others:
//
//   TV_MEDIAN_TIME_AT_MOST("portrait_switch", 2.0);
//
// A quality rather than a speed is a value the benchmark sets itself as a
// counter (state.counters["mean_oklab"] = ...); two benchmarks' values of it
// make a ratio with a target, or one shown for information only:
//
//   TV_COUNTER_RATIO_AT_MOST("new_palette_error", "unconstrained_error", "mean_oklab", 1.05);
//   TV_COUNTER_RATIO_SHOWN("keep_error", "unconstrained_error", "mean_oklab");
//
// After all benchmarks ran, one line per target is printed, e.g.
//
//   ratio archive_open/raw_fread: 1.068 (target <= 1.20) ok  [6.81 ms / 6.37 ms, median of 5]
//   ratio portrait_switch/2ms: 0.615 (target <= 1.00) ok  [1.23 ms, median of 5]
//   ratio new_palette_error/unconstrained_error: 1.031 (target <= 1.05) ok  [0.0131 / 0.0127 mean_oklab, median of 5]
//   ratio keep_error/unconstrained_error: 2.874 (for information)  [0.0365 / 0.0127 mean_oklab, median of 5]
//
// The exit status is non-zero for a missed target only when the program is
// given --enforce-ratios; by default the lines are for reading.
#pragma once

#include <string>

namespace tvbench {

enum class RatioKind {
    // Real time per iteration of the first benchmark divided by that of the
    // second; lower is better, the target is a maximum.
    TimeAtMost,
    // Throughput of the first divided by that of the second; higher is
    // better, the target is a minimum. Throughput is the bytes_per_second
    // counter when both benchmarks set it (SetBytesProcessed), else
    // items_per_second (SetItemsProcessed), else iterations per second of
    // real time. The counters are rates over CPU time unless the benchmark
    // calls UseRealTime(), so give both sides the same choice.
    ThroughputAtLeast,
    // Real time per iteration of the first benchmark, the median over its
    // runs, against a time in milliseconds (the limit); there is no second
    // benchmark. The target is a maximum.
    MedianTimeAtMost,
    // A counter that both benchmarks set, the median over the runs of the
    // first divided by that of the second; the target is a maximum.
    CounterAtMost,
    // As CounterAtMost, without a target: the line is for information.
    CounterShown,
};

// Benchmarks are named as registered, with their arguments but without the
// decorations the library appends ("/real_time", "/repeats:5", ...):
// "archive_open", or "decode/4096" for BENCHMARK(decode)->Arg(4096).
// MedianTimeAtMost takes an empty denominator and a limit in milliseconds.
// Returns true so that the call can initialise a namespace-scope constant.
bool AddRatioTarget(RatioKind kind, std::string numerator, std::string denominator, double limit);

// A target (or a line for information) on a counter of two benchmarks.
bool AddCounterTarget(RatioKind kind, std::string numerator, std::string denominator, std::string counter,
                      double limit);

// The body of main(), which RatioReport.cpp defines: benchmark files define
// none. Runs the benchmarks chosen by the usual --benchmark_* flags through the
// reporter the flags ask for, then prints the ratio lines (to standard output
// for the console format, to standard error otherwise so that JSON or CSV
// output stays parseable). Extra flag: --enforce-ratios.
int RunBenchmarksAndRatios(int argc, char** argv);

} // namespace tvbench

#define TV_RATIO_CONCAT_INNER(a, b) a##b
#define TV_RATIO_CONCAT(a, b) TV_RATIO_CONCAT_INNER(a, b)

// numerator's real time per iteration <= maxRatio x denominator's.
#define TV_RATIO_TIME_AT_MOST(numerator, denominator, maxRatio)                         \
    [[maybe_unused]] static const bool TV_RATIO_CONCAT(tvRatioTarget_, __LINE__) =      \
        ::tvbench::AddRatioTarget(::tvbench::RatioKind::TimeAtMost, numerator, denominator, \
                                  maxRatio)

// numerator's throughput >= minRatio x denominator's.
#define TV_RATIO_THROUGHPUT_AT_LEAST(numerator, denominator, minRatio)                  \
    [[maybe_unused]] static const bool TV_RATIO_CONCAT(tvRatioTarget_, __LINE__) =      \
        ::tvbench::AddRatioTarget(::tvbench::RatioKind::ThroughputAtLeast, numerator,     \
                                  denominator, minRatio)

// name's median real time per iteration <= maxMilliseconds.
#define TV_MEDIAN_TIME_AT_MOST(name, maxMilliseconds)                                   \
    [[maybe_unused]] static const bool TV_RATIO_CONCAT(tvRatioTarget_, __LINE__) =      \
        ::tvbench::AddRatioTarget(::tvbench::RatioKind::MedianTimeAtMost, name, "",     \
                                  maxMilliseconds)

// numerator's counter <= maxRatio x denominator's, as medians over the runs.
#define TV_COUNTER_RATIO_AT_MOST(numerator, denominator, counter, maxRatio)              \
    [[maybe_unused]] static const bool TV_RATIO_CONCAT(tvRatioTarget_, __LINE__) =      \
        ::tvbench::AddCounterTarget(::tvbench::RatioKind::CounterAtMost, numerator,       \
                                    denominator, counter, maxRatio)

// numerator's counter over denominator's, shown without a target.
#define TV_COUNTER_RATIO_SHOWN(numerator, denominator, counter)                          \
    [[maybe_unused]] static const bool TV_RATIO_CONCAT(tvRatioTarget_, __LINE__) =      \
        ::tvbench::AddCounterTarget(::tvbench::RatioKind::CounterShown, numerator,        \
                                    denominator, counter, 0.0)
