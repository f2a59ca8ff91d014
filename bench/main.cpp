// korvat_bench: Korvat's code paths against the raw client library, measured in one run.
//
//   korvat_bench --sandbox DIR [--quick] [--only NAME,...] [--runs N] [--strict] [--keep-database]
//
// DIR holds the settings that scripts/pg-sandbox wrote. The program makes its own database from
// erp_template, fills it, prints one "ratio NAME VALUE" line per figure and then the medians with
// their minimum and maximum. The figures beside the table come with their row's: open_cell with
// open_libpq, open_server with open_qtsql. --strict makes a skipped scenario an error. --keep-database leaves the
// database for the next run with the option, which then reuses it (for profiling one figure; the
// sizes must stay the same).
#include "bench/data.h"
#include "bench/harness.h"
#include "bench/scenarios.h"
#include "bench/server.h"

#include "platform/forms/application.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <malloc.h>
#include <stdexcept>

namespace {

QString option(const QStringList &args, const QString &name, const QString &fallback = {})
{
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
}

} // namespace

int main(int argc, char **argv)
{
    // The windows are shown, on no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    korvat::forms::Application app;
    QStringList errors;
    app.setErrorPresenter([&errors](const QString &, const QString &text) {
        errors << text;
        std::fprintf(stderr, "bench: the program reported: %s\n", qPrintable(text));
    });
    const QStringList args = QCoreApplication::arguments();

    try {
        if (args.contains(QStringLiteral("--child"))) {
            bench::Server server;
            server.host = option(args, QStringLiteral("--host"));
            server.port = option(args, QStringLiteral("--port")).toInt();
            server.user = option(args, QStringLiteral("--user"));
            server.password = option(args, QStringLiteral("--password"));
            server.database = option(args, QStringLiteral("--database"));
            return bench::memoryChild(option(args, QStringLiteral("--child")), server,
                                      option(args, QStringLiteral("--rows")).toInt(),
                                      option(args, QStringLiteral("--sql")).toUtf8());
        }

        // Freed memory stays with the process: otherwise whichever path happens to free the top of
        // the heap gives it back to the system and pays the page faults of taking it again on its next
        // run, which on this virtual machine cost more than the path's own work. Both paths run alike.
        // (Not in the memory figures' children, whose peaks are the figures.)
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        mallopt(M_MMAP_THRESHOLD, 256 << 20);

        const QString dir = option(args, QStringLiteral("--sandbox"));
        if (dir.isEmpty()) {
            std::fprintf(stderr, "usage: korvat_bench --sandbox DIR [--quick] [--only NAME,...] [--runs N] [--strict] [--keep-database]\n");
            return 2;
        }
        bench::Context c;
        c.sizes = args.contains(QStringLiteral("--quick")) ? bench::Sizes::quick() : bench::Sizes();
        c.plan.runs = option(args, QStringLiteral("--runs"), QStringLiteral("5")).toInt();
        c.program = QCoreApplication::applicationFilePath();
        const QStringList only = option(args, QStringLiteral("--only")).split(QLatin1Char(','), Qt::SkipEmptyParts);
        c.wanted = [only](const QString &name) { return only.isEmpty() || only.contains(name); };

        const bench::Server sandbox = bench::readSandbox(dir);
        const bench::BenchDatabase database(sandbox, QStringLiteral("korvat_bench"),
                                            args.contains(QStringLiteral("--keep-database")));
        c.server = database.server();
        if (!database.reused()) {
            std::fprintf(stderr, "bench: making %d articles, %d invoices, a declaration of %d rows\n",
                         c.sizes.articles, c.sizes.invoices, c.sizes.declarationRows);
            const bench::Conn conn = bench::connectPlain(c.server, c.server.database);
            bench::makeData(conn.get(), c.sizes);
        }

        bench::articleScenarios(c);
        bench::invoiceScenarios(c);
        bench::declarationScenarios(c);
        bench::memoryScenarios(c);

        std::printf("sizes: articles %d, posts %d, invoices %d, moves %d, declaration rows %d; "
                    "%d warm-up and %d runs of each path, A/B interleaved\n",
                    c.sizes.articles, c.sizes.posts, c.sizes.invoices, c.sizes.moves, c.sizes.declarationRows,
                    c.plan.warmups, c.plan.runs);
        bench::printReport(c.figures, c.skipped);
        if (!errors.isEmpty()) {
            std::fprintf(stderr, "bench: the program reported %d errors\n", int(errors.size()));
            return 1;
        }
        if (!c.skipped.empty() && args.contains(QStringLiteral("--strict")))
            return 3;
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench: %s\n", e.what());
        return 1;
    }
}
