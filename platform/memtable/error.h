// The error of the memory table: a file it cannot write or read, or a misuse of the table.
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace korvat::memtable {

class Error : public std::exception {
public:
    explicit Error(QString message) : m_message(std::move(message)), m_what(m_message.toUtf8()) {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what;
};

} // namespace korvat::memtable
