// A PostgreSQL client connection with stored settings. It connects lazily, when an operation needs the
// server; in disconnected mode it is released again as soon as no operation needs it.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QByteArray>
#include <memory>
#include <optional>
#include <vector>

struct pg_conn;
struct pg_result;

namespace korvat::pg {

// libpq's sslmode words.
enum class SslMode { Disable, Allow, Prefer, Require, VerifyCa, VerifyFull };
QString sslModeName(SslMode mode);

// A result that outlives its connection: a PGresult does not depend on the connection it came from.
using ResultHandle = std::shared_ptr<pg_result>;

// A parameter value as it travels to the server: text, or SQL NULL; the type OID 0 leaves the type
// for the server to infer.
struct WireParam {
    std::optional<QByteArray> text;
    unsigned int typeOid = 0;
};

class Connection {
public:
    explicit Connection(QString name);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    const QString &name() const { return m_name; }

    // Changing server, port or database to another value closes an open connection.
    void setServer(const QString &server);
    void setPort(int port);
    void setDatabase(const QString &database);
    const QString &server() const { return m_server; }
    int port() const { return m_port; }
    const QString &database() const { return m_database; }

    void setUsername(const QString &user) { m_user = user; }
    void setPassword(const QString &password) { m_password = password; }
    const QString &username() const { return m_user; }

    // Refused on an open connection unless the mode stays the same.
    void setSslMode(SslMode mode);
    SslMode sslMode() const { return m_sslMode; }

    void setDisconnectedMode(bool on);
    bool disconnectedMode() const { return m_disconnected; }

    void setConnectTimeout(int seconds) { m_connectTimeout = seconds; }
    int connectTimeout() const { return m_connectTimeout; }

    // application_name the server sees; the application sets its title here.
    static void setApplicationName(const QString &name);

    bool isConnected() const { return m_conn != nullptr; }
    void close();

    // Server process of the open connection, 0 when closed.
    int backendPid() const;
    bool usesSsl() const;

    // Holds the connection open for one operation: connects if needed, and in disconnected mode
    // releases the connection when the last lease ends.
    class Lease {
    public:
        explicit Lease(Connection &connection);
        ~Lease();
        Lease(const Lease &) = delete;
        Lease &operator=(const Lease &) = delete;

        // Runs one statement; a failed result raises Error with the server's message and SQLSTATE.
        ResultHandle exec(const QByteArray &sql, const std::vector<WireParam> &params = {});
        // The number of rows a command changed.
        static long affectedRows(const ResultHandle &result);

    private:
        Connection &m_connection;
    };

private:
    void connect();
    void ensureUsable();
    void releaseIfIdle();

    QString m_name;
    QString m_server;
    int m_port = 5432;
    QString m_database;
    QString m_user;
    QString m_password;
    SslMode m_sslMode = SslMode::Prefer;
    bool m_disconnected = false;
    int m_connectTimeout = 15;

    pg_conn *m_conn = nullptr;
    int m_leases = 0;
    // Whether the open connection has already served a statement: a connection that was idle may have
    // been dropped by the server, and its first statement is then tried once more on a new one.
    bool m_fresh = false;
};

} // namespace korvat::pg
