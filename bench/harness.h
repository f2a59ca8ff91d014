// The ratio harness: Korvat's path and its baseline measured alternately in one process, a warm-up of
// each first, then the runs in A B B A order so that a drift of the machine falls on both alike.
#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace bench {

// What one run of a path measured: seconds, or bytes for memory.
using Path = std::function<double()>;

struct Series {
    std::vector<double> values;
    double median() const;
    double min() const;
    double max() const;
};

// What the last completed timed() call measured in processor time of the calling thread (the client's
// share: the server's work and the waiting are not in it), in seconds.
extern double lastCpu;

struct Figure {
    QString name;
    QString unit;           // "s" or "B"
    double goal = 0;        // the ratio Korvat is to stay at or under
    QString baseline;       // what the baseline is, for the record
    QString note;           // anything else for the record
    bool info = false;      // a figure beside the table (a proposed change, say): "info", not "ratio"
    Series korvat;
    Series base;
    Series korvatCpu;       // processor time of the client, for timed figures
    Series baseCpu;
    double ratio() const { return korvat.median() / base.median(); }
    bool met() const { return ratio() <= goal; }
};

struct Plan {
    int warmups = 1;
    int runs = 5;
};

// True while compare() warms the paths up: a path whose run is long may warm up on part of its work.
extern bool warmingUp;

// Runs each path plan.warmups times (not kept), then plan.runs times each, interleaved.
Figure compare(const QString &name, const QString &unit, double goal, const QString &baseline,
               const Plan &plan, const Path &korvat, const Path &base);

// Seconds that fn takes on the steady clock; sets lastCpu.
double timed(const std::function<void()> &fn);

// The report: one "ratio NAME VALUE" line per figure of the table and an "info NAME VALUE" line per
// figure beside it, then the medians, minimums and maximums.
void printReport(const std::vector<Figure> &figures, const std::vector<QString> &skipped);

} // namespace bench
