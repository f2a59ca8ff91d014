#include "platform/grid/filtercondition.h"

namespace korvat::grid {

namespace {
constexpr char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; }
constexpr bool isAscii(char c) { return !(c & 0x80); }
constexpr char asciiOf(char c) { return c; }
constexpr bool isAscii(QChar c) { return c.unicode() < 0x80; }
constexpr char asciiOf(QChar c) { return char(c.unicode()); }
} // namespace

FilterCondition::FilterCondition(QString text) : m_text(std::move(text))
{
    bool ascii = true;
    for (const QChar c : m_text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        m_folded = m_text.toLatin1();
        for (char &c : m_folded)
            c = lower(c);
        m_foldsFromUnicode = m_folded.contains('k') || m_folded.contains('s');
    }
}

template <typename Char>
std::optional<bool> FilterCondition::asciiContains(const Char *text, qsizetype size) const
{
    const char *needle = m_folded.constData();
    const qsizetype length = m_folded.size();
    bool plain = true;
    for (qsizetype i = 0; i < size; ++i) {
        if (!isAscii(text[i])) {
            plain = false;
            continue;
        }
        if (lower(asciiOf(text[i])) != needle[0] || i + length > size)
            continue;
        qsizetype j = 1;
        while (j < length && isAscii(text[i + j]) && lower(asciiOf(text[i + j])) == needle[j])
            ++j;
        if (j == length)
            return true;
    }
    return plain || !m_foldsFromUnicode ? std::optional<bool>(false) : std::nullopt;
}

bool FilterCondition::matches(pg::FieldKind kind, const std::optional<QAnyStringView> &cell,
                              const DisplayFormat &format, DisplayFormat::Scratch &scratch) const
{
    if (!cell)
        return false;
    if (!m_folded.isEmpty() && (kind == pg::FieldKind::String || kind == pg::FieldKind::Memo)) {
        std::optional<bool> found;
        cell->visit([&](auto text) {
            if constexpr (std::is_same_v<decltype(text), QUtf8StringView>)
                found = asciiContains(text.data(), text.size());
        });
        if (found)
            return *found;
    }
    const QStringView shown = format.view(kind, *cell, scratch);
    if (!m_folded.isEmpty())
        if (const std::optional<bool> found = asciiContains(shown.data(), shown.size()))
            return *found;
    return shown.contains(m_text, Qt::CaseInsensitive);
}

} // namespace korvat::grid
