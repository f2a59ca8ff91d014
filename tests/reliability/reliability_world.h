// What the reliability tests need beyond the window worlds: a sandbox server of the test's own that
// it may stop, a listener that never answers, the program's log lines captured, and the clerk's
// unprivileged hands for permission bits that root would ignore.
#pragma once

#include "support/sandbox.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <thread>
#include <vector>

namespace reliability {

// Runs scripts/pg-sandbox with these arguments and waits for it (at most a minute); false and the
// script's output in output when it failed.
bool sandboxScript(const QStringList &arguments, QString *output = nullptr);

// A sandbox server started for one test, so that stopping it touches no other test of a parallel
// run. It takes the place of the shared TLS server for this process: every TestDatabase made after
// it lives on it. It is stopped and removed when the object goes.
class PrivateServer {
public:
    PrivateServer();
    ~PrivateServer();
    PrivateServer(const PrivateServer &) = delete;
    PrivateServer &operator=(const PrivateServer &) = delete;

    // Whether it runs and the shared TLS server of this process is this one.
    bool ready() const { return m_ready; }
    const QString &failure() const { return m_failure; }
    QString dir() const { return m_dir.path(); }

    // Fast shutdown (every session ends) and a start on the same port.
    void halt();
    void resume();

private:
    QTemporaryDir m_dir;
    bool m_ready = false;
    QString m_failure;
};

// The test's own connection to a database outlives a restart of the server without knowing it: its
// first statement afterwards fails and tells libpq, and the next one connects anew.
void reconnectAfterRestart(korvat::test::TestDatabase &db);

// A TCP listener on 127.0.0.1 that accepts every connection and never sends a byte.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener &) = delete;
    SilentListener &operator=(const SilentListener &) = delete;

    int port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::vector<int> m_accepted;
    std::thread m_thread;
};

// Every Qt log line written while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;
    static QStringList &lines();
};

// The rows of a table as one text, to see that nothing changed it.
QString tableContent(korvat::test::TestDatabase &db, const QString &table);

} // namespace reliability
