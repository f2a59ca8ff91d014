// One filter cell's condition: a cell matches when its displayed text contains the condition without
// regard to letter case. An ASCII condition is looked for in the server's UTF-8 bytes of a text cell
// without decoding it, which keeps a keystroke over 200 000 rows close to the cost of the search.
#pragma once

#include "platform/grid/displayformat.h"

#include <QByteArray>
#include <QString>

namespace korvat::grid {

class FilterCondition {
public:
    explicit FilterCondition(QString text = {});

    const QString &text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }

    // cell as Query::cellView gives it; NULL shows as an empty cell and matches no condition.
    bool matches(pg::FieldKind kind, const std::optional<QAnyStringView> &cell, const DisplayFormat &format,
                 DisplayFormat::Scratch &scratch) const;

private:
    // Whether the text contains the folded condition, compared as ASCII. Of all other characters
    // only the Kelvin sign and the long s fold to ASCII letters (k, s): for a condition with either,
    // nullopt where it was not found in a text that has characters outside ASCII.
    template <typename Char>
    std::optional<bool> asciiContains(const Char *text, qsizetype size) const;

    QString m_text;
    QByteArray m_folded;    // lower-case ASCII; empty when the condition is not ASCII
    bool m_foldsFromUnicode = false;
};

} // namespace korvat::grid
