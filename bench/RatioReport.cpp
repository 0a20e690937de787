// The ratio targets' registry, the reporter that keeps every run for them,
// and the main() shared by the benchmark programs (see RatioReport.h).
#include "RatioReport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tvbench {
namespace {

constexpr const char* kEnforceFlag = "--enforce-ratios";

struct RatioTarget {
    RatioKind kind;
    std::string numerator;
    std::string denominator;
    double limit;
    std::string counter; // for CounterAtMost and CounterShown
};

// A function-local static: targets are added from other files' namespace-scope
// initialisers, whose order relative to this file's is unspecified.
std::vector<RatioTarget>& Targets()
{
    static std::vector<RatioTarget> targets;
    return targets;
}

// What the runs of one benchmark measured, one value per run (repetition).
struct Samples {
    std::vector<double> secondsPerIteration; // real time
    std::vector<double> bytesPerSecond;
    std::vector<double> itemsPerSecond;
    std::map<std::string, std::vector<double>> counters; // every counter by name
    size_t runs = 0;
    size_t runsWithBytes = 0;
    size_t runsWithItems = 0;
    size_t errors = 0;
    std::string errorMessage;
    size_t aggregatedRepetitions = 0; // for a median the library computed
};

// The name a target uses: function name and arguments, without the parts the
// library adds for repetitions, time type, threads and the like, so that a
// target keeps matching whichever of those flags a run is given.
std::string TargetKey(const benchmark::BenchmarkReporter::Run& run)
{
    std::string key = run.run_name.function_name;
    if (!run.run_name.args.empty())
        key += "/" + run.run_name.args;
    return key;
}

void AddSample(Samples& s, const benchmark::BenchmarkReporter::Run& run)
{
    if (run.error_occurred) {
        ++s.errors;
        s.errorMessage = run.error_message;
        return;
    }
    if (run.iterations <= 0)
        return;
    ++s.runs;
    s.secondsPerIteration.push_back(run.real_accumulated_time / static_cast<double>(run.iterations));
    // Counters reach the reporter already turned into rates.
    if (auto it = run.counters.find("bytes_per_second"); it != run.counters.end()) {
        ++s.runsWithBytes;
        s.bytesPerSecond.push_back(it->second.value);
    }
    if (auto it = run.counters.find("items_per_second"); it != run.counters.end()) {
        ++s.runsWithItems;
        s.itemsPerSecond.push_back(it->second.value);
    }
    for (const auto& [name, counter] : run.counters)
        s.counters[name].push_back(counter.value);
}

// Passes everything on to the reporter the --benchmark_format flag chose, and
// keeps a copy of every run for the ratios.
class CollectingReporter final : public benchmark::BenchmarkReporter {
public:
    explicit CollectingReporter(benchmark::BenchmarkReporter* display) : m_display(display) {}

    bool ReportContext(const Context& context) override { return m_display->ReportContext(context); }

    void ReportRuns(const std::vector<Run>& reports) override
    {
        for (const Run& run : reports) {
            if (run.run_type == Run::RT_Iteration)
                AddSample(m_iterations[TargetKey(run)], run);
            // Only used when the flags hide the single runs from the display
            // (--benchmark_display_aggregates_only, ..._report_aggregates_only).
            else if (run.aggregate_name == "median") {
                Samples& median = m_medians[TargetKey(run)];
                AddSample(median, run);
                median.aggregatedRepetitions = static_cast<size_t>(run.repetitions);
            }
            m_anyRun = true;
        }
        m_display->ReportRuns(reports);
    }

    void Finalize() override { m_display->Finalize(); }

    bool AnyRun() const { return m_anyRun; }

    // The single runs of a benchmark if it reported any, else the library's
    // median over its repetitions; nullptr when it did not run at all.
    const Samples* Find(const std::string& key, size_t& repetitions) const
    {
        if (auto it = m_iterations.find(key); it != m_iterations.end()) {
            repetitions = it->second.runs;
            return &it->second;
        }
        if (auto it = m_medians.find(key); it != m_medians.end()) {
            repetitions = it->second.aggregatedRepetitions;
            return &it->second;
        }
        return nullptr;
    }

private:
    benchmark::BenchmarkReporter* m_display;
    std::map<std::string, Samples> m_iterations;
    std::map<std::string, Samples> m_medians;
    bool m_anyRun = false;
};

// The median, so that one run disturbed by other work on the machine moves
// the ratio as little as possible.
double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::string FormatNumber(double v, const char* format)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// Three significant digits, trailing zeros kept ("4.90", "952", "37.9").
std::string ThreeDigits(double v)
{
    return FormatNumber(v, v >= 100.0 ? "%.0f" : v >= 10.0 ? "%.1f" : "%.2f");
}

std::string FormatSeconds(double s)
{
    if (s >= 1.0)
        return ThreeDigits(s) + " s";
    if (s >= 1e-3)
        return ThreeDigits(s * 1e3) + " ms";
    if (s >= 1e-6)
        return ThreeDigits(s * 1e6) + " us";
    return ThreeDigits(s * 1e9) + " ns";
}

std::string FormatRate(double perSecond, const char* unit)
{
    if (perSecond >= 1e9)
        return ThreeDigits(perSecond / 1e9) + " G" + unit;
    if (perSecond >= 1e6)
        return ThreeDigits(perSecond / 1e6) + " M" + unit;
    if (perSecond >= 1e3)
        return ThreeDigits(perSecond / 1e3) + " k" + unit;
    return ThreeDigits(perSecond) + " " + unit;
}

std::string DescribeCount(size_t a, size_t b)
{
    if (a == 0 || b == 0)
        return "median of the repetitions";
    if (a == 1 && b == 1)
        return "one run each";
    if (a == b)
        return "median of " + std::to_string(a);
    return "medians of " + std::to_string(a) + " and " + std::to_string(b);
}

// The line of a target in milliseconds, named by the time ("2ms") where a
// ratio names its baseline; returns 1 when it was missed or not measurable.
int ReportMedianTime(const RatioTarget& t, const CollectingReporter& collector, std::ostream& out)
{
    const std::string line = "ratio " + t.numerator + "/" + FormatNumber(t.limit, "%g") + "ms: ";
    const std::string target = "(target <= 1.00)";
    size_t runs = 0;
    const Samples* s = collector.Find(t.numerator, runs);
    if (!s) {
        out << line << "not measured " << target << " skipped  [" << t.numerator << " did not run]\n";
        return 0;
    }
    if (s->secondsPerIteration.empty()) {
        out << line << "not measured " << target << " FAIL  [error: " << s->errorMessage << "]\n";
        return 1;
    }
    const double seconds = Median(s->secondsPerIteration);
    const double ratio = seconds * 1e3 / t.limit;
    const bool ok = ratio <= 1.0;
    out << line << FormatNumber(ratio, "%.3f") << " " << target << (ok ? " ok" : " FAIL") << "  ["
        << FormatSeconds(seconds) << ", "
        << (runs == 0 ? "median of the repetitions" : runs == 1 ? "one run" : "median of " + std::to_string(runs))
        << "]\n";
    return ok ? 0 : 1;
}

// The line of a counter's ratio; returns 1 when its target was missed or a
// side could not be measured.
int ReportCounter(const RatioTarget& t, const CollectingReporter& collector, std::ostream& out)
{
    const bool shown = t.kind == RatioKind::CounterShown;
    const std::string line = "ratio " + t.numerator + "/" + t.denominator + ": ";
    const std::string target = shown ? "(for information)" : "(target <= " + FormatNumber(t.limit, "%.2f") + ")";
    size_t numRuns = 0, denRuns = 0;
    const Samples* num = collector.Find(t.numerator, numRuns);
    const Samples* den = collector.Find(t.denominator, denRuns);
    if (!num || !den) {
        out << line << "not measured " << target << " skipped  [" << (!num ? t.numerator : t.denominator)
            << " did not run]\n";
        return 0;
    }
    const auto a = num->counters.find(t.counter);
    const auto b = den->counters.find(t.counter);
    if (a == num->counters.end() || b == den->counters.end()) {
        const Samples* bad = a == num->counters.end() ? num : den;
        out << line << "not measured " << target << (shown ? "" : " FAIL") << "  ["
            << (bad->errors ? "error: " + bad->errorMessage : "no counter " + t.counter) << "]\n";
        return shown ? 0 : 1;
    }
    const double numValue = Median(a->second), denValue = Median(b->second);
    const double ratio = numValue / denValue;
    const bool ok = shown || ratio <= t.limit;
    out << line << FormatNumber(ratio, "%.3f") << " " << target << (shown ? "" : ok ? " ok" : " FAIL") << "  ["
        << FormatNumber(numValue, "%.4g") << " / " << FormatNumber(denValue, "%.4g") << " " << t.counter << ", "
        << DescribeCount(numRuns, denRuns) << "]\n";
    return ok ? 0 : 1;
}

// Prints one line per target; returns the number of targets missed or not
// measurable because a benchmark failed. A target whose benchmarks were left
// out (by --benchmark_filter) is reported but not counted.
int ReportRatios(const CollectingReporter& collector, std::ostream& out)
{
    int missed = 0;
    for (const RatioTarget& t : Targets()) {
        if (t.kind == RatioKind::MedianTimeAtMost) {
            missed += ReportMedianTime(t, collector, out);
            continue;
        }
        if (t.kind == RatioKind::CounterAtMost || t.kind == RatioKind::CounterShown) {
            missed += ReportCounter(t, collector, out);
            continue;
        }
        const bool time = t.kind == RatioKind::TimeAtMost;
        // Names with arguments hold slashes of their own; brackets keep the
        // two apart then.
        const bool plain = t.numerator.find('/') == std::string::npos && t.denominator.find('/') == std::string::npos;
        std::string line = "ratio " + (plain ? t.numerator + "/" + t.denominator
                                             : "(" + t.numerator + ")/(" + t.denominator + ")") +
                           (time ? "" : " (throughput)") + ": ";
        const std::string target = std::string("(target ") + (time ? "<= " : ">= ") +
                                   FormatNumber(t.limit, "%.2f") + ")";

        size_t numRuns = 0;
        size_t denRuns = 0;
        const Samples* num = collector.Find(t.numerator, numRuns);
        const Samples* den = collector.Find(t.denominator, denRuns);
        if (!num || !den) {
            out << line << "not measured " << target << " skipped  ["
                << (!num ? t.numerator : t.denominator) << " did not run]\n";
            continue;
        }
        if (num->secondsPerIteration.empty() || den->secondsPerIteration.empty()) {
            const Samples* bad = num->secondsPerIteration.empty() ? num : den;
            out << line << "not measured " << target << " FAIL  [error: " << bad->errorMessage << "]\n";
            ++missed;
            continue;
        }

        double ratio = 0.0;
        std::string detail;
        const double numSeconds = Median(num->secondsPerIteration);
        const double denSeconds = Median(den->secondsPerIteration);
        if (time) {
            ratio = numSeconds / denSeconds;
            detail = FormatSeconds(numSeconds) + " / " + FormatSeconds(denSeconds);
        } else if (num->runsWithBytes == num->runs && den->runsWithBytes == den->runs) {
            const double a = Median(num->bytesPerSecond);
            const double b = Median(den->bytesPerSecond);
            ratio = a / b;
            detail = FormatRate(a, "B/s") + " / " + FormatRate(b, "B/s");
        } else if (num->runsWithItems == num->runs && den->runsWithItems == den->runs) {
            const double a = Median(num->itemsPerSecond);
            const double b = Median(den->itemsPerSecond);
            ratio = a / b;
            detail = FormatRate(a, "items/s") + " / " + FormatRate(b, "items/s");
        } else {
            // Neither counter on both sides: the same work per iteration is
            // assumed, and throughput is the inverse of the time.
            ratio = denSeconds / numSeconds;
            detail = FormatRate(1.0 / numSeconds, "iter/s") + " / " + FormatRate(1.0 / denSeconds, "iter/s");
        }
        const bool ok = time ? ratio <= t.limit : ratio >= t.limit;
        if (!ok)
            ++missed;
        // Three decimals, so that a ratio just over a two-decimal limit does
        // not print as equal to it.
        out << line << FormatNumber(ratio, "%.3f") << " " << target << (ok ? " ok" : " FAIL") << "  ["
            << detail << ", " << DescribeCount(numRuns, denRuns) << "]\n";
    }
    out.flush();
    return missed;
}

void PrintHelp()
{
    benchmark::PrintDefaultHelp();
    std::printf("          [%s]   exit with status 2 when a ratio target is missed\n", kEnforceFlag);
}

} // namespace

bool AddRatioTarget(RatioKind kind, std::string numerator, std::string denominator, double limit)
{
    Targets().push_back({kind, std::move(numerator), std::move(denominator), limit, {}});
    return true;
}

bool AddCounterTarget(RatioKind kind, std::string numerator, std::string denominator, std::string counter,
                      double limit)
{
    Targets().push_back({kind, std::move(numerator), std::move(denominator), limit, std::move(counter)});
    return true;
}

int RunBenchmarksAndRatios(int argc, char** argv)
{
    // Our flag is taken out before the library sees the arguments: it
    // refuses any it does not know.
    bool enforce = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strcmp(argv[i], kEnforceFlag) == 0)
            enforce = true;
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);

    benchmark::Initialize(&count, args.data(), PrintHelp);
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    // Not owned: the library keeps the default reporter for the whole process.
    benchmark::BenchmarkReporter* display = benchmark::CreateDefaultDisplayReporter();
    CollectingReporter collector(display);
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    // Nothing ran with --benchmark_list_tests or a filter that matched
    // nothing; ratio lines would only clutter that output.
    if (!collector.AnyRun())
        return 0;
    std::cout.flush();
    const bool console = dynamic_cast<benchmark::ConsoleReporter*>(display) != nullptr;
    const int missed = ReportRatios(collector, console ? std::cout : std::cerr);
    return enforce && missed > 0 ? 2 : 0;
}

} // namespace tvbench

int main(int argc, char** argv)
{
    return tvbench::RunBenchmarksAndRatios(argc, argv);
}
