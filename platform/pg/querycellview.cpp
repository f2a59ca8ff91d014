// Query::cellView, the copy-free twin of Query::cell for views that scan many cells (the grid's
// filter row). It follows cell() step by step: edit buffer, posted overlay, then the result itself.
#include "platform/pg/query.h"

#include <libpq-fe.h>

namespace korvat::pg {

namespace {
std::optional<QAnyStringView> viewOf(const std::optional<QString> &text)
{
    return text ? std::optional<QAnyStringView>(QAnyStringView(*text)) : std::nullopt;
}
} // namespace

std::optional<QAnyStringView> Query::cellView(int row, int fieldIndex) const
{
    if (!isOpen() || row < 0 || row >= recordCount() || fieldIndex < 0 || fieldIndex >= fieldCount())
        return std::nullopt;
    if (m_state == State::Edit && row == m_current)
        if (auto it = m_editBuffer.find(fieldIndex); it != m_editBuffer.end())
            return viewOf(it->second);
    const int r = resultRow(row);
    if (!m_overlay.empty())
        if (auto it = m_overlay.find(r); it != m_overlay.end())
            if (auto f = it->second.find(fieldIndex); f != it->second.end())
                return viewOf(f->second);
    const int column = m_columns[size_t(fieldIndex)];
    pg_result *result = m_result.get();
    const int length = PQgetlength(result, r, column);
    if (length == 0 && PQgetisnull(result, r, column))
        return std::nullopt;
    return QAnyStringView(QUtf8StringView(PQgetvalue(result, r, column), length));
}

} // namespace korvat::pg
