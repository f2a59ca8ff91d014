#include "reliability_world.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <exception>
#include <gtest/gtest.h>

namespace reliability {

bool sandboxScript(const QStringList &arguments, QString *output)
{
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral(KORVAT_SOURCE_DIR "/scripts/pg-sandbox"), arguments);
    const bool finished = script.waitForFinished(60'000);
    if (!finished)
        script.kill();
    if (output)
        *output = QString::fromLocal8Bit(script.readAll());
    return finished && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}

PrivateServer::PrivateServer()
{
    QString output;
    if (!m_dir.isValid() || !sandboxScript({QStringLiteral("start"), m_dir.path()}, &output)) {
        m_failure = QStringLiteral("the private sandbox did not start: ") + output;
        return;
    }
    // Read once, at the first use of the sandbox in this process.
    qputenv("KORVAT_SANDBOX_TLS", QFile::encodeName(m_dir.path()));
    try {
        m_ready = korvat::test::sandbox(true).dir == m_dir.path();
    } catch (const std::exception &e) {
        m_failure = QString::fromUtf8(e.what());
    }
    if (!m_ready && m_failure.isEmpty())
        m_failure = QStringLiteral("this process already uses the shared sandbox; run the test on its own");
}

PrivateServer::~PrivateServer()
{
    sandboxScript({QStringLiteral("stop"), m_dir.path()});
}

void PrivateServer::halt()
{
    QString output;
    if (!sandboxScript({QStringLiteral("halt"), m_dir.path()}, &output))
        ADD_FAILURE() << "halt: " << output.toStdString();
}

void PrivateServer::resume()
{
    QString output;
    if (!sandboxScript({QStringLiteral("resume"), m_dir.path()}, &output))
        ADD_FAILURE() << "resume: " << output.toStdString();
}

void reconnectAfterRestart(korvat::test::TestDatabase &db)
{
    try {
        db.scalar(QStringLiteral("select 1"));
    } catch (const std::exception &) {
        // The dead connection noticed; the next statement connects anew.
    }
}

SilentListener::SilentListener()
{
    m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || ::listen(m_socket, 16) != 0
        || ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        ADD_FAILURE() << "no listener on 127.0.0.1";
        return;
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] {
        // Bounded: two minutes at most, whatever the test does.
        const QDeadlineTimer lifetime(120'000);
        while (!m_stop && !lifetime.hasExpired()) {
            pollfd waiting{m_socket, POLLIN, 0};
            if (::poll(&waiting, 1, 50) > 0) {
                const int client = ::accept(m_socket, nullptr, nullptr);
                if (client >= 0)
                    m_accepted.push_back(client);
            }
        }
    });
}

SilentListener::~SilentListener()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    for (int client : m_accepted)
        ::close(client);
    if (m_socket >= 0)
        ::close(m_socket);
}

namespace {
QtMessageHandler previousHandler = nullptr;
}

LogCapture::LogCapture()
{
    lines().clear();
    previousHandler = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
        lines() << message;
    });
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previousHandler);
}

QStringList &LogCapture::lines()
{
    static QStringList captured;
    return captured;
}

QString tableContent(korvat::test::TestDatabase &db, const QString &table)
{
    return db.scalar(QStringLiteral("select count(*) || ':' || coalesce(md5(string_agg(t::text, '|' order by t::text)), '') "
                                    "from %1 t")
                         .arg(table));
}

} // namespace reliability
