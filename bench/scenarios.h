// The benchmark's scenarios, one per window: each measures Korvat's path and its baseline and adds
// its figures, or says why it was skipped.
#pragma once

#include "bench/data.h"
#include "bench/harness.h"
#include "bench/server.h"

#include <QString>
#include <stdexcept>
#include <vector>

namespace bench {

struct Context {
    Server server;          // the benchmark's database
    Sizes sizes;
    Plan plan;
    QString program;        // this executable, for the memory figures' child processes
    std::vector<Figure> figures;
    std::vector<QString> skipped;
    // Whether a figure is wanted (--only).
    std::function<bool(const QString &name)> wanted;
};

// Raised where a window cannot be used yet; the scenario is skipped with the reason.
struct WindowNotUsable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void articleScenarios(Context &context);        // open_libpq, open_qtsql, filter, post
void invoiceScenarios(Context &context);        // row_change
void declarationScenarios(Context &context);    // declaration
void memoryScenarios(Context &context);         // grid_memory

// The child process of grid_memory: "korvat" shows the articles grid, "libpq" keeps the bare result.
// Prints "peak_kb N start_kb M" and returns the exit status.
int memoryChild(const QString &kind, const Server &server, int expectedRows, const QByteArray &sql);

// Keeps the compiler from dropping a read that nothing else uses.
extern volatile unsigned long long sink;

} // namespace bench
