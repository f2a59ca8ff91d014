// How the grid shows a cell and reads an editor back: the server's text form of a value turned into
// the user's regional settings (QLocale(), which tests can set), NULL as an empty cell. Built once per
// model reset so that formatting and filtering 200 000 cells stays cheap.
#pragma once

#include "platform/pg/field.h"

#include <QAnyStringView>
#include <QLocale>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <QString>
#include <optional>
#include <vector>

namespace korvat::grid {

class DisplayFormat {
public:
    // Room for view() to decode and format in; a filter pass reuses one for every cell, so that a
    // cell costs no allocation.
    struct Scratch {
        QStringDecoder decoder{QStringDecoder::Utf8, QStringConverter::Flag::Stateless};
        QVarLengthArray<QChar, 256> source;
        QVarLengthArray<QChar, 64> out;
        QString text;
    };

    explicit DisplayFormat(const QLocale &locale = QLocale());

    QString text(pg::FieldKind kind, const std::optional<QString> &serverText) const;
    // The same for a cell seen through Query::cellView; the result lives in the cell or in scratch.
    QStringView view(pg::FieldKind kind, QAnyStringView cell, Scratch &scratch) const;
    QString dateText(const QDate &date) const;
    QString floatText(double value) const;
    QString integerText(int value) const;
    // A Boolean cell's two texts, which its editor offers and reads back too.
    static constexpr QStringView trueText() { return u"True"; }
    static constexpr QStringView falseText() { return u"False"; }

    // Editors: the user's text back to a value; nullopt when it is not a number in these settings.
    std::optional<double> parseFloat(const QString &text) const;
    std::optional<int> parseInteger(const QString &text) const;

    // The short date pattern of the settings with four-digit years, for cells and the date editor:
    // a two-digit year in an editor would put the clerk's dates in the wrong century.
    const QString &datePattern() const { return m_datePattern; }
    const QString &dateTimePattern() const { return m_dateTimePattern; }
    // The settings without group separators, which a grid cell does not show and an editor refuses.
    const QLocale &locale() const { return m_locale; }

private:
    struct DateToken {
        enum Kind { Day, Day2, Month, Month2, Year4, Literal } kind;
        QString literal;
    };
    void compileDatePattern();
    using Out = QVarLengthArray<QChar, 64>;
    QStringView format(pg::FieldKind kind, QStringView server, Scratch &scratch) const;
    bool fastDate(QStringView iso, Out &out) const;
    bool fastNumber(QStringView server, bool isFloat, Out &out) const;
    bool shortestFloat(QStringView server, Out &out) const;
    void appendNumberText(const char *ascii, qsizetype size, Out &out) const;

    QLocale m_locale;
    QString m_datePattern;
    QString m_dateTimePattern;
    std::vector<DateToken> m_dateTokens;    // empty when the pattern needs QLocale's formatter
    qsizetype m_dateLength = 0;
    QChar m_decimalPoint;
    QString m_negativeSign;
    bool m_latinDigits = true;
};

} // namespace korvat::grid
