// The settings store on the worst files known for it, each beside QSettings
// reading that same file: the store reads the file through QSettings a few
// times, so a ratio that stays as small on every file means that its own work
// grows no faster than a read, that is linearly with the file.
#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {
constexpr qsizetype kMiB = 1 << 20;

struct Input {
    std::string name;
    QString date;
    QByteArray text;
};

// The files, each just under the 1 MiB the store reads.
const std::vector<Input> &inputs()
{
    static const std::vector<Input> all = [] {
        const QByteArray x(kMiB / 2 - 64, 'x');
        std::vector<Input> in{
            // An old date that a plain search compares almost whole at each byte of the other.
            {"two long values alike but for the end", QStringLiteral("2027-01-03"),
             "[Settings]\nDuration=" + x + "\n[General]\nSettings\\Duration=" + x.chopped(1)
                 + "y\n"},
            {"one long value", QStringLiteral("2027-01-03"),
             "[Settings]\nDuration=" + QByteArray(kMiB - 64, 'x') + '\n'},
            {"date lines only", QStringLiteral("2027-01-03"),
             "[Settings]\n" + QByteArray("Duration=2020-01-01\n").repeated(kMiB / 21)},
            {"groups only", QStringLiteral("2027-01-03"),
             QByteArray("[g]\nk=v\n").repeated(kMiB / 9)},
        };
        // What the fuzz target found, in its own format: a byte (the date's length
        // is byte / 3 % 32), the date, the file.
        QFile found(QStringLiteral(XELT_FUZZ_CORPUS "/long-old-date-in-a-long-line"));
        if (found.open(QIODevice::ReadOnly)) {
            const QByteArray data = found.readAll();
            const int length = data.isEmpty() ? 0 : uchar(data[0]) / 3 % 32;
            in.push_back({"found by the fuzz target", QString::fromUtf8(data.mid(1, length)),
                          data.mid(1 + length)});
        }
        return in;
    }();
    return all;
}

// In memory, and the config folder the store is pointed at.
const QTemporaryDir &folder()
{
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/xelt-bench-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/xelt-bench-XXXXXX"));
    return dir;
}

void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        std::abort();
}

// Both write the file first, so that the two differ in what follows alone.
void BM_Store(benchmark::State &state, const Input *in)
{
    const QString conf = folder().filePath(QStringLiteral("xelt-ombrel-astrology.conf"));
    for (auto _ : state) {
        writeFile(conf, in->text);
        benchmark::DoNotOptimize(platform::userSettings()->setDate(in->date));
    }
}

// A name of its own each time: QSettings takes a name it has read as unchanged.
void BM_QSettingsRead(benchmark::State &state, const Input *in)
{
    int count = 0;
    for (auto _ : state) {
        const QString path = folder().filePath(QStringLiteral("read-%1.conf").arg(++count));
        writeFile(path, in->text);
        benchmark::DoNotOptimize(QSettings(path, QSettings::IniFormat).allKeys());
        QFile::remove(path);
    }
}

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs)
            ms[r.benchmark_name()] = r.GetAdjustedRealTime(); // ms, as registered
    }
};
} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (!folder().isValid() || !qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder().path())))
        return 1;
    for (const Input &in : inputs()) {
        benchmark::RegisterBenchmark(("QSettings read/" + in.name).c_str(), BM_QSettingsRead, &in)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("store/" + in.name).c_str(), BM_Store, &in)
            ->Unit(benchmark::kMillisecond);
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nthe store beside QSettings reading the same file (goal: a fraction of a "
                "second, and about the same ratio for every file):\n");
    for (const Input &in : inputs()) {
        const double read = reporter.ms["QSettings read/" + in.name];
        const double store = reporter.ms["store/" + in.name];
        if (read > 0 && store > 0)
            std::printf("  %-40s %7.1f KiB  store %7.1f ms  read %6.1f ms  ratio %5.1f\n",
                        in.name.c_str(), double(in.text.size()) / 1024, store, read, store / read);
    }
    benchmark::Shutdown();
    return 0;
}
