#include "bench/harness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace bench {

bool warmingUp = false;
double lastCpu = 0;

namespace {
double threadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
} // namespace

double Series::median() const
{
    std::vector<double> v = values;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Series::min() const { return values.empty() ? 0 : *std::min_element(values.begin(), values.end()); }

double Series::max() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }

double timed(const std::function<void()> &fn)
{
    const double cpu = threadCpu();
    const auto start = std::chrono::steady_clock::now();
    fn();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    lastCpu = threadCpu() - cpu;
    return seconds;
}

Figure compare(const QString &name, const QString &unit, double goal, const QString &baseline,
               const Plan &plan, const Path &korvat, const Path &base)
{
    Figure figure;
    figure.name = name;
    figure.unit = unit;
    figure.goal = goal;
    figure.baseline = baseline;
    std::fprintf(stderr, "bench: %s ", qPrintable(name));
    warmingUp = true;
    for (int i = 0; i < plan.warmups; ++i) {
        korvat();
        base();
    }
    warmingUp = false;
    for (int i = 0; i < plan.runs; ++i) {
        static const bool debug = qEnvironmentVariableIsSet("KORVAT_BENCH_DEBUG");
        const auto runKorvat = [&] {
            figure.korvat.values.push_back(korvat());
            figure.korvatCpu.values.push_back(lastCpu);
            if (debug)
                std::fprintf(stderr, "{korvat %.1f ms, cpu %.1f ms}", figure.korvat.values.back() * 1000, lastCpu * 1000);
        };
        const auto runBase = [&] {
            figure.base.values.push_back(base());
            figure.baseCpu.values.push_back(lastCpu);
            if (debug)
                std::fprintf(stderr, "{base %.1f ms, cpu %.1f ms}", figure.base.values.back() * 1000, lastCpu * 1000);
        };
        if (i % 2 == 0) {
            runKorvat();
            runBase();
        } else {
            runBase();
            runKorvat();
        }
        std::fputc('.', stderr);
    }
    std::fprintf(stderr, " %.3f\n", figure.ratio());
    return figure;
}

namespace {

QString amount(double value, const QString &unit)
{
    if (unit == QLatin1String("B"))
        return QStringLiteral("%1 MiB").arg(value / (1024.0 * 1024.0), 0, 'f', 1);
    if (value < 1)
        return QStringLiteral("%1 ms").arg(value * 1000, 0, 'f', value < 0.01 ? 3 : 1);
    return QStringLiteral("%1 s").arg(value, 0, 'f', 3);
}

QString spread(const Series &s, const QString &unit)
{
    return QStringLiteral("%1 (min %2, max %3)").arg(amount(s.median(), unit), amount(s.min(), unit), amount(s.max(), unit));
}

} // namespace

void printReport(const std::vector<Figure> &figures, const std::vector<QString> &skipped)
{
    for (const Figure &f : figures)
        if (!f.info)
            std::printf("ratio %s %.3f\n", qPrintable(f.name), f.ratio());
    for (const Figure &f : figures)
        if (f.info)
            std::printf("info %s %.3f\n", qPrintable(f.name), f.ratio());
    for (const QString &line : skipped)
        std::printf("skipped %s\n", qPrintable(line));
    std::printf("\n");
    for (const Figure &f : figures) {
        if (f.info)
            std::printf("%-12s (beside the table; goal of its row <= %.2f): ratio %.3f of medians, runs %d\n",
                        qPrintable(f.name), f.goal, f.ratio(), int(f.korvat.values.size()));
        else
            std::printf("%-12s goal <= %.2f %s: ratio %.3f of medians, runs %d\n", qPrintable(f.name), f.goal,
                        f.met() ? "met" : "MISSED", f.ratio(), int(f.korvat.values.size()));
        std::printf("  korvat    %s\n", qPrintable(spread(f.korvat, f.unit)));
        std::printf("  baseline  %s  [%s]\n", qPrintable(spread(f.base, f.unit)), qPrintable(f.baseline));
        if (f.unit == QLatin1String("s"))
            std::printf("  client processor time (not in the ratio): korvat %s, baseline %s, ratio %.3f\n",
                        qPrintable(amount(f.korvatCpu.median(), f.unit)), qPrintable(amount(f.baseCpu.median(), f.unit)),
                        f.korvatCpu.median() / f.baseCpu.median());
        if (!f.note.isEmpty())
            std::printf("  %s\n", qPrintable(f.note));
    }
    std::fflush(stdout);
}

} // namespace bench
