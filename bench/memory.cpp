// grid_memory: the peak resident memory of a process that shows the articles grid, against one that
// keeps the bare result of the same query. A peak never falls within a process, so every run is a
// child process of its own, and both kinds start alike (the same program, a QApplication).
#include "bench/scenarios.h"

#include "data/u_dmCon.h"
#include "excise/u_fEmcsArticole.h"
#include "platform/pg/query.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>
#include <libpq-fe.h>
#include <memory>

namespace bench {

namespace {

// VmHWM (the peak) or VmRSS of this process in kB, from /proc.
long statusKb(const char *key)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toLong();
    return -1;
}

double childPeak(const Context &c, const QString &kind, const QString &sql, Series &increase)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(c.program, {QStringLiteral("--child"), kind, QStringLiteral("--host"), c.server.host,
                            QStringLiteral("--port"), QString::number(c.server.port), QStringLiteral("--user"),
                            c.server.user, QStringLiteral("--password"), c.server.password,
                            QStringLiteral("--database"), c.server.database, QStringLiteral("--rows"),
                            QString::number(c.sizes.articles), QStringLiteral("--sql"), sql});
    if (!child.waitForFinished(600000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        throw std::runtime_error("the " + kind.toStdString() + " memory child failed");
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("peak_kb (\\d+) start_kb (\\d+)")).match(out);
    if (!m.hasMatch())
        throw std::runtime_error("the memory child said: " + out.toStdString());
    increase.values.push_back((m.captured(1).toDouble() - m.captured(2).toDouble()) * 1024);
    return m.captured(1).toDouble() * 1024;
}

} // namespace

int memoryChild(const QString &kind, const Server &server, int expectedRows, const QByteArray &sql)
{
    const long startKb = statusKb("VmHWM:");
    if (kind == QLatin1String("korvat")) {
        QWidget menu;
        TdmCon dmCon{TdmCon::Settings{}};
        configure(dmCon, server);
        TfEmcsArticole window(dmCon, &menu);
        window.resize(1284, 661);
        window.show();
        QCoreApplication::processEvents();
        // The last rows too, as a clerk who scrolls to the end sees them.
        window.cxGrid1->last();
        QCoreApplication::processEvents();
        if (window.cxGrid1->model()->rowCount() != expectedRows) {
            std::fprintf(stderr, "the grid shows %d rows\n", window.cxGrid1->model()->rowCount());
            return 1;
        }
        std::printf("peak_kb %ld start_kb %ld\n", statusKb("VmHWM:"), startKb);
    } else {
        Result result;
        {
            const Conn conn = connectLikeTheProgram(server);
            result.reset(PQexecParams(conn.get(), sql.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0));
        }
        if (PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) != expectedRows) {
            std::fprintf(stderr, "the bare query failed\n");
            return 1;
        }
        std::printf("peak_kb %ld start_kb %ld\n", statusKb("VmHWM:"), startKb);
    }
    std::fflush(stdout);
    return 0;
}

void memoryScenarios(Context &c)
{
    const QString name = QStringLiteral("grid_memory");
    if (!c.wanted(name))
        return;
    // The statement the article list sends, for the baseline to send too.
    QString sql;
    {
        QWidget menu;
        TdmCon dmCon{TdmCon::Settings{}};
        try {
            TfEmcsArticole window(dmCon, &menu);
            sql = QString::fromUtf8(korvat::pg::scanParameters(window.dsArticol.sql()).text);
        } catch (const std::exception &e) {
            c.skipped.push_back(name + QStringLiteral(": TfEmcsArticole is not usable yet: ") + QString::fromUtf8(e.what()));
            return;
        }
    }
    Series korvatIncrease, baseIncrease;
    const Path korvat = [&] { return childPeak(c, QStringLiteral("korvat"), sql, korvatIncrease); };
    const Path libpq = [&] { return childPeak(c, QStringLiteral("libpq"), sql, baseIncrease); };
    Figure f = compare(name, QStringLiteral("B"), 1.3,
                       QStringLiteral("peak of a process holding the bare PGresult of the same query"), c.plan,
                       korvat, libpq);
    for (Series *s : {&korvatIncrease, &baseIncrease})
        s->values.erase(s->values.begin(), s->values.begin() + std::min<size_t>(size_t(c.plan.warmups), s->values.size()));
    // The same without what both processes hold before the query (the program and its QApplication).
    f.note = QStringLiteral("growth after start-up: korvat %1 MiB, baseline %2 MiB, ratio %3")
                 .arg(korvatIncrease.median() / 1048576.0, 0, 'f', 1)
                 .arg(baseIncrease.median() / 1048576.0, 0, 'f', 1)
                 .arg(korvatIncrease.median() / baseIncrease.median(), 0, 'f', 3);
    c.figures.push_back(f);
}

} // namespace bench
