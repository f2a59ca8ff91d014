#include "platform/pg/connection.h"

#include "platform/pg/error.h"
#include "platform/pg/wait.h"

#include <QRegularExpression>
#include <libpq-fe.h>

namespace korvat::pg {
namespace {

QString &applicationName()
{
    static QString name;
    return name;
}

// A path that names no file, so that no passfile, certificate, key or revocation list of the user's
// (~/.pgpass, ~/.postgresql/...) takes part in a connection. An empty value would mean "the default".
#ifdef Q_OS_WIN
constexpr const char *noFile = "C:\\nonexistent\\korvat\\none";
#else
constexpr const char *noFile = "/nonexistent/korvat/none";
#endif

QString resultMessage(const PGresult *result, const PGconn *conn)
{
    const char *text = result ? PQresultErrorMessage(result) : "";
    if (!text || !*text)
        text = PQerrorMessage(conn);
    return QString::fromUtf8(text).trimmed();
}

bool isIpLiteral(const QString &host)
{
    static const QRegularExpression ipv4(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    static const QRegularExpression ipv6(QStringLiteral("^[0-9A-Fa-f:.]+$"));
    if (const auto m = ipv4.match(host); m.hasMatch()) {
        for (int i = 1; i <= 4; ++i)
            if (m.captured(i).toInt() > 255)
                return false;
        return true;
    }
    return host.contains(QLatin1Char(':')) && ipv6.match(host).hasMatch();
}

} // namespace

QString sslModeName(SslMode mode)
{
    switch (mode) {
    case SslMode::Disable: return QStringLiteral("disable");
    case SslMode::Allow: return QStringLiteral("allow");
    case SslMode::Prefer: return QStringLiteral("prefer");
    case SslMode::Require: return QStringLiteral("require");
    case SslMode::VerifyCa: return QStringLiteral("verify-ca");
    case SslMode::VerifyFull: return QStringLiteral("verify-full");
    }
    return QStringLiteral("prefer");
}

Connection::Connection(QString name) : m_name(std::move(name)) {}

Connection::~Connection()
{
    close();
}

void Connection::setApplicationName(const QString &name)
{
    applicationName() = name;
}

void Connection::setServer(const QString &server)
{
    if (server == m_server)
        return;
    close();
    m_server = server;
}

void Connection::setPort(int port)
{
    if (port == m_port)
        return;
    close();
    m_port = port;
}

void Connection::setDatabase(const QString &database)
{
    if (database == m_database)
        return;
    close();
    m_database = database;
}

void Connection::setSslMode(SslMode mode)
{
    if (mode == m_sslMode)
        return;
    if (isConnected())
        throw Error::about(m_name, QLatin1String(texts::openedConnection));
    m_sslMode = mode;
}

void Connection::setDisconnectedMode(bool on)
{
    m_disconnected = on;
    releaseIfIdle();
}

void Connection::close()
{
    if (m_conn) {
        PQfinish(m_conn);
        m_conn = nullptr;
    }
}

int Connection::backendPid() const
{
    return m_conn ? PQbackendPID(m_conn) : 0;
}

bool Connection::usesSsl() const
{
    return m_conn && PQsslInUse(m_conn);
}

void Connection::connect()
{
    const QByteArray host = m_server.toUtf8();
    // hostaddr is given too where the server is an address, so that no PGHOSTADDR redirects it.
    const QByteArray hostaddr = isIpLiteral(m_server) ? host : QByteArray();
    const QByteArray port = QByteArray::number(m_port);
    const QByteArray dbname = m_database.toUtf8();
    const QByteArray user = m_user.toUtf8();
    const QByteArray password = m_password.toUtf8();
    const QByteArray sslmode = sslModeName(m_sslMode).toUtf8();
    const QByteArray timeout = QByteArray::number(m_connectTimeout);
    const QByteArray appName = applicationName().toUtf8();

    std::vector<const char *> keys;
    std::vector<const char *> values;
    auto set = [&](const char *key, const char *value) {
        keys.push_back(key);
        values.push_back(value);
    };
    set("host", host.constData());
    if (!hostaddr.isEmpty())
        set("hostaddr", hostaddr.constData());
    set("port", port.constData());
    set("dbname", dbname.constData());
    set("user", user.constData());
    set("password", password.constData());
    set("passfile", noFile);
    set("connect_timeout", timeout.constData());
    set("client_encoding", "UTF8");
    // Floating values then travel as text that reads back to the same double; dates in one form.
    set("options", "-c extra_float_digits=3 -c DateStyle=ISO,YMD -c IntervalStyle=postgres");
    set("application_name", appName.constData());
    set("fallback_application_name", "Korvat");
    set("sslmode", sslmode.constData());
    set("sslcert", noFile);
    set("sslkey", noFile);
    set("sslrootcert", noFile);
    set("sslcrl", noFile);
    set("sslcrldir", noFile);
    set("sslsni", "1");
    set("gssencmode", "disable");
    set("target_session_attrs", "any");
    set("keepalives", "1");
    set("channel_binding", "prefer");
    set("requirepeer", "");
    keys.push_back(nullptr);
    values.push_back(nullptr);

    WaitScope wait;
    PGconn *conn = PQconnectdbParams(keys.data(), values.data(), 0);
    if (!conn)
        throw Error(QStringLiteral("out of memory"), {}, m_name);
    if (PQstatus(conn) != CONNECTION_OK) {
        const QString message = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
        PQfinish(conn);
        throw Error(message, QStringLiteral("08001"), m_name);
    }
    m_conn = conn;
    m_fresh = true;
}

// A connection the server dropped while it was idle is noticed here or at its next statement.
void Connection::ensureUsable()
{
    if (m_conn && PQstatus(m_conn) != CONNECTION_OK)
        close();
    if (!m_conn)
        connect();
}

void Connection::releaseIfIdle()
{
    if (m_disconnected && m_leases == 0)
        close();
}

Connection::Lease::Lease(Connection &connection) : m_connection(connection)
{
    m_connection.ensureUsable();
    ++m_connection.m_leases;
}

Connection::Lease::~Lease()
{
    --m_connection.m_leases;
    m_connection.releaseIfIdle();
}

ResultHandle Connection::Lease::exec(const QByteArray &sql, const std::vector<WireParam> &params)
{
    std::vector<const char *> values;
    std::vector<unsigned int> types;
    values.reserve(params.size());
    types.reserve(params.size());
    for (const WireParam &p : params) {
        values.push_back(p.text ? p.text->constData() : nullptr);
        types.push_back(p.typeOid);
    }

    for (int attempt = 0;; ++attempt) {
        const bool wasIdle = !m_connection.m_fresh;
        m_connection.m_fresh = false;
        PGconn *conn = m_connection.m_conn;
        const bool inTransaction = PQtransactionStatus(conn) != PQTRANS_IDLE;
        ResultHandle result;
        {
            WaitScope wait;
            result = ResultHandle(PQexecParams(conn, sql.constData(), int(params.size()), types.data(),
                                               values.data(), nullptr, nullptr, 0),
                                  PQclear);
        }
        const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            return result;

        const QString message = resultMessage(result.get(), conn);
        const char *state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
        if (PQstatus(conn) != CONNECTION_OK) {
            m_connection.close();
            // The server dropped the connection while nobody used it: the statement never ran, so
            // it is safe to send it once more on a new connection. Not inside a transaction, where
            // the earlier statements would be lost.
            if (attempt == 0 && wasIdle && !inTransaction) {
                m_connection.connect();
                continue;
            }
        }
        throw Error(message, state ? QString::fromLatin1(state) : QString(), m_connection.m_name);
    }
}

long Connection::Lease::affectedRows(const ResultHandle &result)
{
    return result ? QByteArray(PQcmdTuples(result.get())).toLong() : 0;
}

} // namespace korvat::pg
