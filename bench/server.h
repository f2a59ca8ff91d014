// The sandbox server the benchmark runs against, its own database made from erp_template, and the
// raw client connections the baselines use.
#pragma once

#include <QString>
#include <memory>

struct pg_conn;
struct pg_result;
class TdmCon;

namespace bench {

struct Server {
    QString host;
    int port = 0;
    QString user;
    QString password;
    QString database;
};

// Reads the settings that scripts/pg-sandbox wrote into dir.
Server readSandbox(const QString &dir);

struct ConnDeleter {
    void operator()(pg_conn *conn) const;
};
struct ResultDeleter {
    void operator()(pg_result *result) const;
};
using Conn = std::unique_ptr<pg_conn, ConnDeleter>;
using Result = std::unique_ptr<pg_result, ResultDeleter>;

// A connection with the parameters conZub connects with (TLS required, the same session options, so
// that the server sends the same text), the way a hand-written libpq program would open it.
Conn connectLikeTheProgram(const Server &server);
// An administrative connection for making data (no TLS requirement).
Conn connectPlain(const Server &server, const QString &database);

// Runs SQL that must succeed; raises std::runtime_error with the server's message.
Result run(pg_conn *conn, const QString &sql);
QString scalar(pg_conn *conn, const QString &sql);

// Points the program's connection module at the benchmark's database.
void configure(TdmCon &dmCon, const Server &server);

// The benchmark's database: made from erp_template on construction, dropped on destruction. Kept
// instead for a later run to reuse (profiling one figure at a time) when keep is set.
class BenchDatabase {
public:
    BenchDatabase(const Server &sandbox, const QString &name, bool keep = false);
    // Whether an earlier kept database was found, which then already holds the data.
    bool reused() const { return m_reused; }
    ~BenchDatabase();
    BenchDatabase(const BenchDatabase &) = delete;
    BenchDatabase &operator=(const BenchDatabase &) = delete;
    const Server &server() const { return m_server; }

private:
    Server m_server;
    bool m_keep = false;
    bool m_reused = false;
};

} // namespace bench
