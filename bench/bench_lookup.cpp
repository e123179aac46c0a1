// The sign lookup from the three list texts, against reading the sign from a
// precomputed per-day array, over every date the main window's lists offer.
#include "core/modPlanetSign.h"

#include <QStringList>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace modPlanetSign;

namespace {
struct Inputs {
    QStringList years, months, days;
    std::vector<Sign> perDay; // indexed like the loops below
};

const Inputs &inputs()
{
    static const Inputs in = [] {
        Inputs i;
        for (int y = 1946; y <= 2016; ++y)
            i.years << QString::number(y);
        for (const QStringView m : modPlanetSign::kMonthNames)
            i.months << m.toString();
        for (int d = 1; d <= 31; ++d)
            i.days << QString::number(d);
        for (const QString &y : i.years)
            for (const QString &m : i.months)
                for (const QString &d : i.days)
                    i.perDay.push_back(lookupSign(y, m, d).sign);
        return i;
    }();
    return in;
}

void BM_PerDayArray(benchmark::State &state)
{
    const Inputs &in = inputs();
    for (auto _ : state) {
        std::size_t n = 0;
        for (qsizetype y = 0; y < in.years.size(); ++y)
            for (qsizetype m = 0; m < in.months.size(); ++m)
                for (qsizetype d = 0; d < in.days.size(); ++d) {
                    // A copy: newer Google Benchmark drops the const-reference form.
                    auto sign =
                        in.perDay[(std::size_t(y) * 12 + std::size_t(m)) * 31 + std::size_t(d)];
                    benchmark::DoNotOptimize(sign);
                    ++n;
                }
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * qint64(in.perDay.size()));
}

void BM_LookupFromTexts(benchmark::State &state)
{
    const Inputs &in = inputs();
    for (auto _ : state) {
        for (const QString &y : in.years)
            for (const QString &m : in.months)
                for (const QString &d : in.days) {
                    auto sign = lookupSign(y, m, d);
                    benchmark::DoNotOptimize(sign);
                }
    }
    state.SetItemsProcessed(state.iterations() * qint64(in.perDay.size()));
}

BENCHMARK(BM_PerDayArray);
BENCHMARK(BM_LookupFromTexts);

// Keeps each benchmark's time per lookup, to print the ratio after the run.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> nsPerLookup;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        const double lookups = double(inputs().perDay.size());
        for (const Run &r : runs)
            nsPerLookup[r.benchmark_name()] =
                r.GetAdjustedRealTime() * 1.0 / lookups; // reported in ns per iteration
    }
};
} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double base = reporter.nsPerLookup["BM_PerDayArray"];
    const double lookup = reporter.nsPerLookup["BM_LookupFromTexts"];
    if (base > 0 && lookup > 0) {
        const double ratio = lookup / base;
        std::printf("\nper lookup: array %.2f ns, lookup from texts %.2f ns, ratio %.2f "
                    "(goal: within 10)\n",
                    base, lookup, ratio);
    }
    benchmark::Shutdown();
    return 0;
}
