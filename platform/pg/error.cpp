#include "platform/pg/error.h"

namespace korvat::pg {

Error::Error(QString message, QString sqlState, QString component)
    : m_message(std::move(message)), m_sqlState(std::move(sqlState)),
      m_component(std::move(component)), m_what(m_message.toUtf8())
{
}

Error Error::about(const QString &component, const QString &text)
{
    return Error(component + QStringLiteral(": ") + text, {}, component);
}

} // namespace korvat::pg
