// Access to the sandbox servers that the test run starts, and throwaway databases on them.
#pragma once

#include "platform/pg/connection.h"

#include <QString>
#include <QStringList>

struct pg_conn;

namespace korvat::test {

struct Sandbox {
    QString host;       // 127.0.0.1
    int port = 0;
    QString user;       // the login role of both connections
    QString password;
    QString dir;        // the folder the sandbox script wrote its settings to
};

// The TLS server (tls = true) or the one without TLS.
const Sandbox &sandbox(bool tls = true);

// text as an SQL string literal, for the statements a test writes itself.
QString sqlLiteral(const QString &text);

// A database of its own for one test, made from a template the sandbox loaded, dropped at the end.
class TestDatabase {
public:
    enum class Kind { Directory, Erp, Empty };
    explicit TestDatabase(Kind kind, bool tls = true);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    const QString &name() const { return m_name; }
    const Sandbox &server() const { return *m_server; }

    // Runs SQL on a connection of the test's own (not the program's); fails the test on error.
    void exec(const QString &sql);
    // First column of the first row, or "" when no row; NULL reads as "<null>".
    QString scalar(const QString &sql);
    // Every row, its columns joined by "|" (NULL as "<null>").
    QStringList rows(const QString &sql);

    // Points a program connection at this database.
    void configure(korvat::pg::Connection &connection) const;

private:
    pg_conn *admin();
    QString m_name;
    const Sandbox *m_server;
    pg_conn *m_conn = nullptr;
};

} // namespace korvat::test
