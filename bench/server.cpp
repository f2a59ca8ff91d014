#include "bench/server.h"

#include "data/u_dmCon.h"

#include <QFile>
#include <libpq-fe.h>
#include <stdexcept>
#include <vector>

namespace bench {

namespace {

// As the program does: no file of the user's takes part in a connection.
const QByteArray noFile = "/nonexistent/korvat/none";

QString setting(const QString &dir, const char *name)
{
    QFile file(dir + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("sandbox setting missing: " + file.fileName().toStdString());
    return QString::fromUtf8(file.readAll()).trimmed();
}

Conn connectWith(const std::vector<std::pair<const char *, QByteArray>> &params)
{
    std::vector<const char *> keys, values;
    for (const auto &[key, value] : params) {
        keys.push_back(key);
        values.push_back(value.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    Conn conn(PQconnectdbParams(keys.data(), values.data(), 0));
    if (PQstatus(conn.get()) != CONNECTION_OK)
        throw std::runtime_error(std::string("cannot connect: ") + PQerrorMessage(conn.get()));
    return conn;
}

} // namespace

void ConnDeleter::operator()(pg_conn *conn) const { PQfinish(conn); }
void ResultDeleter::operator()(pg_result *result) const { PQclear(result); }

Server readSandbox(const QString &dir)
{
    Server s;
    s.host = setting(dir, "host");
    s.port = setting(dir, "port").toInt();
    s.user = setting(dir, "user");
    s.password = setting(dir, "password");
    s.database = QStringLiteral("postgres");
    return s;
}

Conn connectLikeTheProgram(const Server &s)
{
    return connectWith({
        {"host", s.host.toUtf8()},
        {"hostaddr", s.host.toUtf8()},
        {"port", QByteArray::number(s.port)},
        {"dbname", s.database.toUtf8()},
        {"user", s.user.toUtf8()},
        {"password", s.password.toUtf8()},
        {"connect_timeout", "15"},
        {"client_encoding", "UTF8"},
        {"options", "-c extra_float_digits=3 -c DateStyle=ISO,YMD -c IntervalStyle=postgres"},
        {"application_name", "Korvat_bench"},
        {"sslmode", "require"},
        {"sslcert", noFile},
        {"sslkey", noFile},
        {"sslrootcert", noFile},
        {"sslcrl", noFile},
        {"sslcrldir", noFile},
        {"passfile", noFile},
        {"sslsni", "1"},
        {"gssencmode", "disable"},
        {"channel_binding", "prefer"},
        {"keepalives", "1"},
    });
}

Conn connectPlain(const Server &s, const QString &database)
{
    Conn conn = connectWith({
        {"host", s.host.toUtf8()},
        {"port", QByteArray::number(s.port)},
        {"dbname", database.toUtf8()},
        {"user", s.user.toUtf8()},
        {"password", s.password.toUtf8()},
        {"sslmode", "prefer"},
        {"gssencmode", "disable"},
    });
    // The server's notices ("does not exist, skipping") are not the benchmark's output.
    PQsetNoticeProcessor(conn.get(), [](void *, const char *) {}, nullptr);
    return conn;
}

Result run(pg_conn *conn, const QString &sql)
{
    Result result(PQexec(conn, sql.toUtf8().constData()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error("SQL failed: " + std::string(PQresultErrorMessage(result.get())) + "\n"
                                 + sql.left(400).toStdString());
    return result;
}

QString scalar(pg_conn *conn, const QString &sql)
{
    const Result result = run(conn, sql);
    return PQntuples(result.get()) > 0 ? QString::fromUtf8(PQgetvalue(result.get(), 0, 0)) : QString();
}

void configure(TdmCon &dmCon, const Server &s)
{
    dmCon.conZub.setServer(s.host);
    dmCon.conZub.setPort(s.port);
    dmCon.conZub.setDatabase(s.database);
    dmCon.conZub.setUsername(s.user);
    dmCon.conZub.setPassword(s.password);
}

BenchDatabase::BenchDatabase(const Server &sandbox, const QString &name, bool keep)
    : m_server(sandbox), m_keep(keep)
{
    m_server.database = name;
    const Conn admin = connectPlain(sandbox, QStringLiteral("postgres"));
    if (keep && scalar(admin.get(), QStringLiteral("select count(*) from pg_database where datname = '%1'").arg(name)) == QLatin1String("1")) {
        m_reused = true;
        return;
    }
    run(admin.get(), QStringLiteral("drop database if exists %1 with (force)").arg(name));
    run(admin.get(), QStringLiteral("create database %1 template erp_template").arg(name));
}

BenchDatabase::~BenchDatabase()
{
    if (m_keep)
        return;
    try {
        const Conn admin = connectPlain(m_server, QStringLiteral("postgres"));
        run(admin.get(), QStringLiteral("drop database if exists %1 with (force)").arg(m_server.database));
    } catch (const std::exception &) {
        // The sandbox goes as a whole at the end of scripts/bench.
    }
}

} // namespace bench
