// The one error type of the data-access layer: the text shown to the clerk, the server's SQLSTATE
// where it gave one, and the name of the component the error is about.
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace korvat::pg {

class Error : public std::exception {
public:
    explicit Error(QString message, QString sqlState = {}, QString component = {});

    // Error about one of the layer's components: "name: text".
    static Error about(const QString &component, const QString &text);

    const QString &message() const noexcept { return m_message; }
    const QString &sqlState() const noexcept { return m_sqlState; }
    const QString &component() const noexcept { return m_component; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QString m_sqlState;
    QString m_component;
    QByteArray m_what;
};

// The texts the layer raises, kept in one place.
namespace texts {
inline const char *const openedConnection = "Cannot perform this operation on an opened connection";
inline const char *const fieldNotFound = "Field '%1' not found";
inline const char *const typeMismatch = "Type mismatch for field '%1', expecting: %2 actual: %3";
inline const char *const notOpen = "Cannot perform this operation on a closed dataset";
inline const char *const notEditable = "Cannot modify a read-only dataset";
inline const char *const readOnlyField = "Field '%1' cannot be modified";
inline const char *const noCurrentRow = "Cannot perform this operation on an empty dataset";
inline const char *const rowChangedByOther =
    "Inregistrarea a fost modificata sau stearsa de alt utilizator. "
    "Anulati modificarea si reincarcati lista";
} // namespace texts

} // namespace korvat::pg
