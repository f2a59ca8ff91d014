#include "support/sandbox.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <stdexcept>

namespace korvat::test {
namespace {

QString readSetting(const QString &dir, const char *name)
{
    QFile file(dir + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("sandbox setting missing: " + file.fileName().toStdString());
    return QString::fromUtf8(file.readAll()).trimmed();
}

Sandbox load(const char *variable, const char *builtIn)
{
    const QString dir = qEnvironmentVariable(variable, QString::fromUtf8(builtIn));
    Sandbox s;
    s.dir = dir;
    s.host = readSetting(dir, "host");
    s.port = readSetting(dir, "port").toInt();
    s.user = readSetting(dir, "user");
    s.password = readSetting(dir, "password");
    return s;
}

pg_conn *connectTo(const Sandbox &s, const QString &database)
{
    const QByteArray host = s.host.toUtf8(), port = QByteArray::number(s.port), db = database.toUtf8(),
                     user = s.user.toUtf8(), password = s.password.toUtf8();
    const char *keys[] = {"host", "port", "dbname", "user", "password", "sslmode", "gssencmode", nullptr};
    const char *values[] = {host.constData(), port.constData(), db.constData(), user.constData(),
                            password.constData(), "prefer", "disable", nullptr};
    pg_conn *conn = PQconnectdbParams(keys, values, 0);
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string message = PQerrorMessage(conn);
        PQfinish(conn);
        throw std::runtime_error("cannot connect to the sandbox: " + message);
    }
    return conn;
}

void run(pg_conn *conn, const QString &sql)
{
    PGresult *res = PQexec(conn, sql.toUtf8().constData());
    const auto status = PQresultStatus(res);
    const std::string message = PQresultErrorMessage(res);
    PQclear(res);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error("sandbox SQL failed: " + message + "\n" + sql.toStdString());
}

} // namespace

const Sandbox &sandbox(bool tls)
{
    static const Sandbox withTls = load("KORVAT_SANDBOX_TLS", KORVAT_SANDBOX_TLS_DIR);
    static const Sandbox plain = load("KORVAT_SANDBOX_PLAIN", KORVAT_SANDBOX_PLAIN_DIR);
    return tls ? withTls : plain;
}

TestDatabase::TestDatabase(Kind kind, bool tls) : m_server(&sandbox(tls))
{
    static int counter = 0;
    m_name = QStringLiteral("t_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    const char *templ = kind == Kind::Directory ? "directory_template"
                        : kind == Kind::Erp     ? "erp_template"
                                                : "template0";
    pg_conn *maintenance = connectTo(*m_server, QStringLiteral("postgres"));
    try {
        run(maintenance, QStringLiteral("create database %1 template %2").arg(m_name, QLatin1String(templ)));
    } catch (...) {
        PQfinish(maintenance);
        throw;
    }
    PQfinish(maintenance);
}

TestDatabase::~TestDatabase()
{
    if (m_conn)
        PQfinish(m_conn);
    try {
        pg_conn *maintenance = connectTo(*m_server, QStringLiteral("postgres"));
        PGresult *res = PQexec(maintenance,
                               QStringLiteral("drop database if exists %1 with (force)").arg(m_name).toUtf8());
        PQclear(res);
        PQfinish(maintenance);
    } catch (...) {
        // A server stopped by the test itself: the whole sandbox goes at the end of the run.
    }
}

pg_conn *TestDatabase::admin()
{
    if (m_conn && PQstatus(m_conn) != CONNECTION_OK) {
        PQfinish(m_conn);
        m_conn = nullptr;
    }
    if (!m_conn)
        m_conn = connectTo(*m_server, m_name);
    return m_conn;
}

void TestDatabase::exec(const QString &sql)
{
    run(admin(), sql);
}

QStringList TestDatabase::rows(const QString &sql)
{
    PGresult *res = PQexec(admin(), sql.toUtf8().constData());
    if (PQresultStatus(res) != PGRES_TUPLES_OK) {
        const std::string message = PQresultErrorMessage(res);
        PQclear(res);
        throw std::runtime_error("sandbox query failed: " + message + "\n" + sql.toStdString());
    }
    QStringList out;
    for (int r = 0; r < PQntuples(res); ++r) {
        QStringList cols;
        for (int c = 0; c < PQnfields(res); ++c)
            cols << (PQgetisnull(res, r, c) ? QStringLiteral("<null>")
                                            : QString::fromUtf8(PQgetvalue(res, r, c)));
        out << cols.join(QLatin1Char('|'));
    }
    PQclear(res);
    return out;
}

QString TestDatabase::scalar(const QString &sql)
{
    const QStringList r = rows(sql);
    return r.isEmpty() ? QString() : r.first().section(QLatin1Char('|'), 0, 0);
}

void TestDatabase::configure(korvat::pg::Connection &connection) const
{
    connection.setServer(m_server->host);
    connection.setPort(m_server->port);
    connection.setDatabase(m_name);
    connection.setUsername(m_server->user);
    connection.setPassword(m_server->password);
}

QString sqlLiteral(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

} // namespace korvat::test
