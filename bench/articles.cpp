// The article window's paths: opening dsArticol and reading every cell, one keystroke in the filter
// row, and single-row edits posted one by one in disconnected mode.
#include "bench/scenarios.h"

#include "data/u_dmCon.h"
#include "excise/u_fEmcsArticole.h"
#include "platform/pg/error.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <libpq-fe.h>
#include <memory>
#include <optional>

namespace bench {

volatile unsigned long long sink = 0;

namespace {

using korvat::pg::Query;

// Every cell as an owning QString, as a window reads the fields of its current row.
void readEveryCell(const Query &query)
{
    unsigned long long total = 0;
    const int rows = query.recordCount(), fields = query.fieldCount();
    for (int r = 0; r < rows; ++r)
        for (int f = 0; f < fields; ++f)
            if (const std::optional<QString> text = query.cell(r, f))
                total += quint64(text->size());
    sink = sink + total;
}

// Every cell as text through the layer's copy-free view of the result, as the program's bulk
// readers (the grid's filter, the declaration writer) read them.
void viewEveryCell(const Query &query)
{
    unsigned long long total = 0;
    const int rows = query.recordCount(), fields = query.fieldCount();
    for (int r = 0; r < rows; ++r)
        for (int f = 0; f < fields; ++f)
            if (const std::optional<QAnyStringView> text = query.cellView(r, f))
                total += quint64(text->size());
    sink = sink + total;
}

Result execText(pg_conn *conn, const QByteArray &sql)
{
    Result result(PQexecParams(conn, sql.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw std::runtime_error(std::string("baseline query failed: ") + PQresultErrorMessage(result.get()));
    return result;
}

struct ArticleWindow {
    explicit ArticleWindow(const Server &server)
    {
        configure(dmCon, server);
        try {
            window = std::make_unique<TfEmcsArticole>(dmCon, &menu);
        } catch (const std::exception &e) {
            throw WindowNotUsable(std::string("TfEmcsArticole cannot be built: ") + e.what());
        }
        if (!window->cxGrid1 || window->cxGrid1->query() != &window->dsArticol)
            throw WindowNotUsable("TfEmcsArticole does not show dsArticol in its grid yet");
    }
    QWidget menu;
    TdmCon dmCon{TdmCon::Settings{}};
    std::unique_ptr<TfEmcsArticole> window;
};

void openFigures(Context &c, ArticleWindow &w)
{
    Query &ds = w.window->dsArticol;
    const QByteArray sql = korvat::pg::scanParameters(ds.sql()).text;
    const int expected = c.sizes.articles;
    // KORVAT_BENCH_DEBUG=1: the phases of each run on standard error.
    const bool debug = qEnvironmentVariableIsSet("KORVAT_BENCH_DEBUG");

    const Path korvat = [&] {
        ds.close();
        double open = 0;
        const double t = timed([&] {
            open = timed([&] { ds.open(); });
            viewEveryCell(ds);
        });
        if (debug)
            std::fprintf(stderr, "[korvat: open %.1f ms, read %.1f ms]", open * 1000, (t - open) * 1000);
        if (ds.recordCount() != expected)
            throw std::runtime_error("dsArticol has " + std::to_string(ds.recordCount()) + " rows");
        return t;
    };

    if (c.wanted(QStringLiteral("open_libpq"))) {
        // Connected per open as conZub is in disconnected mode; the connection goes once the rows are in.
        // The result is freed after the clock stops, as Korvat's is freed by the close before its run.
        const Path libpq = [&] {
            Result result;
            double connect = 0, exec = 0;
            const double t = timed([&] {
                {
                    Conn conn;
                    connect = timed([&] { conn = connectLikeTheProgram(c.server); });
                    exec = timed([&] { result = execText(conn.get(), sql); });
                }
                pg_result *res = result.get();
                unsigned long long total = 0;
                const int rows = PQntuples(res), fields = PQnfields(res);
                for (int r = 0; r < rows; ++r)
                    for (int f = 0; f < fields; ++f)
                        total += static_cast<unsigned char>(*PQgetvalue(res, r, f));
                sink = sink + total;
            });
            if (debug)
                std::fprintf(stderr, "[libpq: connect %.1f ms, exec %.1f ms, read %.1f ms]", connect * 1000,
                             exec * 1000, (t - connect - exec) * 1000);
            return t;
        };
        c.figures.push_back(compare(QStringLiteral("open_libpq"), QStringLiteral("s"), 1.15,
                                    QStringLiteral("libpq: connect, PQexecParams, finish, PQgetvalue of every cell"),
                                    c.plan, korvat, libpq));

        if (c.wanted(QStringLiteral("open_cell"))) {
            // Beside the table: the same open with every cell copied into a QString through
            // Query::cell(), the price of a UTF-16 string per cell that no bulk path pays.
            const Path copied = [&] {
                ds.close();
                return timed([&] {
                    ds.open();
                    readEveryCell(ds);
                });
            };
            Figure f = compare(QStringLiteral("open_cell"), QStringLiteral("s"), 1.15,
                               QStringLiteral("the same baseline"), c.plan, copied, libpq);
            f.info = true;
            f.note = QStringLiteral("dsArticol read through cell() instead of cellView()");
            c.figures.push_back(f);
        }
    }

    if (c.wanted(QStringLiteral("open_qtsql"))) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench"));
        db.setHostName(c.server.host);
        db.setPort(c.server.port);
        db.setDatabaseName(c.server.database);
        db.setUserName(c.server.user);
        db.setPassword(c.server.password);
        db.setConnectOptions(QStringLiteral("sslmode=require;gssencmode=disable;"
                                            "options='-c extra_float_digits=3 -c DateStyle=ISO,YMD'"));
        const QString text = QString::fromUtf8(sql);
        const Path qtsql = [&] {
            return timed([&] {
                if (!db.open())
                    throw std::runtime_error("QPSQL cannot connect: " + db.lastError().text().toStdString());
                {
                    QSqlQuery query(db);
                    query.setForwardOnly(true);
                    if (!query.exec(text))
                        throw std::runtime_error("QPSQL query failed: " + query.lastError().text().toStdString());
                    unsigned long long total = 0;
                    const int fields = 12;
                    while (query.next())
                        for (int f = 0; f < fields; ++f)
                            total += quint64(query.value(f).toString().size());
                    sink = sink + total;
                }
                db.close();
            });
        };
        Figure f = compare(QStringLiteral("open_qtsql"), QStringLiteral("s"), 0.5,
                           QStringLiteral("QtSql QPSQL: open, forward-only QSqlQuery, value(i).toString(), close"),
                           c.plan, korvat, qtsql);
        // The server's work bounds every client alike: a layer that cost nothing over libpq would
        // still be at libpq's own ratio to QtSql.
        for (const Figure &other : c.figures)
            if (other.name == QLatin1String("open_libpq"))
                f.note = QStringLiteral("raw libpq's own ratio to QtSql in this run: %1 (the floor for any layer on it)")
                             .arg(other.base.median() / f.base.median(), 0, 'f', 3);
        c.figures.push_back(f);

        if (c.wanted(QStringLiteral("open_server"))) {
            // Beside the table: the server alone making the same rows and turning every value into
            // its text, with no client reading them. Any client of this query waits at least this
            // long, so it bounds what open_qtsql can show on this machine.
            QByteArray inner = sql.trimmed();
            while (inner.endsWith(';'))
                inner.chop(1);
            const QString alone = QStringLiteral("select count(*), sum(octet_length(rows::text)) from (%1) rows")
                                      .arg(QString::fromUtf8(inner));
            const Conn conn = connectPlain(c.server, c.server.database);
            const Path server = [&] { return timed([&] { run(conn.get(), alone); }); };
            Figure s = compare(QStringLiteral("open_server"), QStringLiteral("s"), 0.5,
                               QStringLiteral("the same QtSql baseline"), c.plan, server, qtsql);
            s.info = true;
            s.note = QStringLiteral("the server alone: the query and every value's text, nothing sent");
            c.figures.push_back(s);
        }
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    }
}

void filterFigure(Context &c, ArticleWindow &w)
{
    korvat::grid::DataGridView *grid = w.window->cxGrid1;
    korvat::grid::GridModel *model = grid->model();
    const int column = model->columnOf(QStringLiteral("articol"));
    QLineEdit *edit = grid->filterHeader()->filterEdit(column);
    if (!edit)
        throw WindowNotUsable("the articles grid has no filter row yet");
    const QString needle = QStringLiteral("w");

    // The texts the grid shows in the column, made once: the baseline only tests them.
    std::vector<QString> shown;
    shown.reserve(size_t(model->rowCount()));
    for (int r = 0; r < model->rowCount(); ++r)
        shown.push_back(model->displayText(r, column));
    qsizetype expected = 0;
    for (const QString &s : shown)
        expected += s.contains(needle, Qt::CaseInsensitive);

    Series repaint;
    const Path korvat = [&] {
        edit->clear();
        QCoreApplication::processEvents();
        if (model->rowCount() != int(shown.size()))
            throw std::runtime_error("the emptied filter does not show every row");
        // The model has settled when it holds the rows the condition leaves; a filter that works
        // in the background would get there through the event loop.
        const double t = timed([&] {
            QTest::keyClick(edit, 'w');
            QElapsedTimer deadline;
            deadline.start();
            while (model->rowCount() != expected && deadline.elapsed() < 60000)
                QCoreApplication::processEvents();
        });
        // The repaint that follows is the view's, for the rows on screen whatever their number.
        repaint.values.push_back(timed([] { QCoreApplication::processEvents(); }));
        if (model->rowCount() != expected)
            throw std::runtime_error("the filter shows " + std::to_string(model->rowCount()) + " rows, not "
                                     + std::to_string(expected));
        return t;
    };
    const Path loop = [&] {
        return timed([&] {
            std::vector<int> rows;
            for (size_t r = 0; r < shown.size(); ++r)
                if (shown[r].contains(needle, Qt::CaseInsensitive))
                    rows.push_back(int(r));
            sink = sink + rows.size();
        });
    };
    Figure f = compare(QStringLiteral("filter"), QStringLiteral("s"), 2.0,
                       QStringLiteral("loop: QString::contains(\"w\", CaseInsensitive) over the shown texts"), c.plan,
                       korvat, loop);
    f.note = QStringLiteral("then the grid's repaint of the rows on screen: median %1 ms (not in the ratio)")
                 .arg(repaint.median() * 1000, 0, 'f', 1);
    c.figures.push_back(f);
    edit->clear();
    QCoreApplication::processEvents();
}

void postFigure(Context &c, ArticleWindow &w)
{
    Query &ds = w.window->dsArticol;
    const int field = ds.fieldIndex(QStringLiteral("cod_nc"));
    const int key = ds.fieldIndex(QStringLiteral("articol"));
    const int count = ds.recordCount();
    const int posts = std::min(c.sizes.posts, count / 2);
    const int step = count / (2 * posts);
    // Korvat edits the even slots and the baseline the odd ones: neither finds a row the other changed.
    std::vector<int> korvatRows, baseRows;
    for (int i = 0; i < posts; ++i) {
        korvatRows.push_back(2 * i * step);
        baseRows.push_back((2 * i + 1) * step);
    }
    std::vector<QByteArray> baseKeys;
    std::vector<std::optional<QByteArray>> baseValues;
    for (int row : baseRows) {
        baseKeys.push_back(ds.cell(row, key)->toUtf8());
        const std::optional<QString> v = ds.cell(row, field);
        baseValues.push_back(v ? std::optional<QByteArray>(v->toUtf8()) : std::nullopt);
    }
    // The statements the layer sends for one post, as the server received them: a trigger records the
    // UPDATE of one post on a row neither side edits, and the baseline sends that text with the same
    // parameters in the same order (new value, key, value read).
    QByteArray update;
    {
        const Conn admin = connectPlain(c.server, c.server.database);
        run(admin.get(), QStringLiteral(
            "create table bench_statement (sql text);"
            "create function bench_capture() returns trigger language plpgsql as $$"
            " begin insert into bench_statement values (current_query()); return new; end $$;"
            "create trigger bench_capture before update on articol for each row execute function bench_capture();"));
        ds.moveTo(count - 1);
        ds.setFieldValue(field, QStringLiteral("capture"));
        ds.post();
        update = scalar(admin.get(), QStringLiteral("select sql from bench_statement")).toUtf8();
        run(admin.get(), QStringLiteral("drop trigger bench_capture on articol; drop function bench_capture();"
                                        "drop table bench_statement;"));
        if (!update.startsWith("UPDATE"))
            throw std::runtime_error("the layer's UPDATE was not seen: " + update.toStdString());
    }

    int korvatRun = 0, baseRun = 0;
    QStringList errors;
    // A warm-up posts a tenth of the rows: a connection is what it warms, and each costs the same.
    const auto postsNow = [posts] { return warmingUp ? std::max(1, posts / 10) : posts; };
    const Path korvat = [&] {
        ++korvatRun;
        const int n = postsNow();
        const double t = timed([&] {
            for (int i = 0; i < n; ++i) {
                ds.moveTo(korvatRows[size_t(i)]);
                ds.setFieldValue(field, QStringLiteral("K%1-%2").arg(korvatRun).arg(i));
                ds.post();
            }
        });
        if (ds.state() != Query::State::Browse)
            throw std::runtime_error("dsArticol is still in editing after the posts");
        return t;
    };
    const Path libpq = [&] {
        ++baseRun;
        const int n = postsNow();
        return timed([&] {
            for (int i = 0; i < n; ++i) {
                const QByteArray value = QStringLiteral("B%1-%2").arg(baseRun).arg(i).toUtf8();
                const std::optional<QByteArray> &old = baseValues[size_t(i)];
                const char *values[3] = {value.constData(), baseKeys[size_t(i)].constData(),
                                         old ? old->constData() : nullptr};
                const Conn conn = connectLikeTheProgram(c.server);
                Result begin(PQexec(conn.get(), "BEGIN"));
                Result result(PQexecParams(conn.get(), update.constData(), 3, nullptr, values, nullptr, nullptr, 0));
                const ExecStatusType status = PQresultStatus(result.get());
                if ((status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
                    || std::string(PQcmdTuples(result.get())) != "1")
                    throw std::runtime_error(std::string("baseline update failed: ") + PQresultErrorMessage(result.get()));
                Result commit(PQexec(conn.get(), "COMMIT"));
                if (PQresultStatus(commit.get()) != PGRES_COMMAND_OK)
                    throw std::runtime_error("baseline commit failed");
                baseValues[size_t(i)] = value;
            }
        });
    };
    Figure f = compare(QStringLiteral("post"), QStringLiteral("s"), 1.1,
                       QStringLiteral("libpq per row: connect, BEGIN, the same UPDATE, COMMIT, finish"), c.plan,
                       korvat, libpq);
    f.note = QStringLiteral("the UPDATE both send: ") + QString::fromUtf8(update);
    c.figures.push_back(f);

    // What the server holds is what was posted.
    const Conn conn = connectPlain(c.server, c.server.database);
    const int stored = scalar(conn.get(), QStringLiteral("select count(*) from articol where cod_nc like 'K%1-%'")
                                              .arg(korvatRun)).toInt();
    if (stored != postsNow())
        throw std::runtime_error("the server holds " + std::to_string(stored) + " of the posted edits");
}

} // namespace

void articleScenarios(Context &c)
{
    const QStringList names{QStringLiteral("open_libpq"), QStringLiteral("open_qtsql"), QStringLiteral("filter"),
                            QStringLiteral("post")};
    bool any = false;
    for (const QString &n : names)
        any = any || c.wanted(n);
    if (!any)
        return;
    std::unique_ptr<ArticleWindow> w;
    try {
        w = std::make_unique<ArticleWindow>(c.server);
    } catch (const WindowNotUsable &e) {
        for (const QString &n : names)
            if (c.wanted(n))
                c.skipped.push_back(n + QStringLiteral(": ") + QString::fromUtf8(e.what()));
        return;
    }

    if (c.wanted(names[0]) || c.wanted(names[1]))
        openFigures(c, *w);

    if (c.wanted(names[2]) || c.wanted(names[3])) {
        // From here on as the clerk sees it: the window shown, which opens the list.
        w->window->resize(1284, 661);
        w->window->show();
        QCoreApplication::processEvents();
        if (!w->window->dsArticol.isOpen() || w->window->cxGrid1->model()->rowCount() != c.sizes.articles)
            throw std::runtime_error("the shown articles window does not list every article");
        if (c.wanted(names[2]))
            filterFigure(c, *w);
        if (c.wanted(names[3]))
            postFigure(c, *w);
        w->window->hide();
    }
}

} // namespace bench
