#include "platform/grid/displayformat.h"

#include <QDate>
#include <QDateTime>
#include <charconv>
#include <cmath>

namespace korvat::grid {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

QChar *writeNumber(QChar *out, int value, int width)
{
    char buffer[12];
    int length = 0;
    do {
        buffer[length++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int i = length; i < width; ++i)
        *out++ = QLatin1Char('0');
    while (length > 0)
        *out++ = QLatin1Char(buffer[--length]);
    return out;
}

int digitsAt(QStringView s, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        if (!isDigit(s[i]))
            return -1;
        value = value * 10 + (s[i].unicode() - '0');
    }
    return value;
}

} // namespace

DisplayFormat::DisplayFormat(const QLocale &locale) : m_locale(locale)
{
    m_locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    const QString decimal = m_locale.decimalPoint();
    m_decimalPoint = decimal.size() == 1 ? decimal[0] : QLatin1Char('.');
    m_negativeSign = m_locale.negativeSign();
    m_latinDigits = m_locale.zeroDigit() == QLatin1String("0") && decimal.size() == 1;
    compileDatePattern();

    QString time = m_locale.timeFormat(QLocale::ShortFormat);
    if (!time.contains(QLatin1Char('s')))
        time.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
    m_dateTimePattern = m_datePattern + QLatin1Char(' ') + time;
}

// Reads the locale's short date pattern once, widening two-digit years, and keeps it as tokens when it
// uses only numeric day, month and year, which every common regional setting does.
void DisplayFormat::compileDatePattern()
{
    const QString pattern = m_locale.dateFormat(QLocale::ShortFormat);
    bool fast = true;
    QString literal;
    const auto flushLiteral = [&] {
        if (!literal.isEmpty())
            m_dateTokens.push_back({DateToken::Literal, literal});
        literal.clear();
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\'')) {
            const qsizetype end = pattern.indexOf(QLatin1Char('\''), i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end;
            const QString quoted = pattern.mid(i + 1, stop - i - 1);
            literal += quoted.isEmpty() ? QStringLiteral("'") : quoted;
            m_datePattern += pattern.mid(i, stop + 1 - i);
            i = stop + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        if (c == QLatin1Char('y')) {
            flushLiteral();
            m_dateTokens.push_back({DateToken::Year4, {}});
            fast = fast && (run == 2 || run == 4);
            m_datePattern += QStringLiteral("yyyy");
        } else if (c == QLatin1Char('d') || c == QLatin1Char('M')) {
            flushLiteral();
            const bool day = c == QLatin1Char('d');
            m_dateTokens.push_back({day ? (run == 1 ? DateToken::Day : DateToken::Day2)
                                        : (run == 1 ? DateToken::Month : DateToken::Month2),
                                    {}});
            fast = fast && run <= 2;
            m_datePattern += QString(run, c);
        } else {
            fast = fast && !c.isLetter();
            literal += QString(run, c);
            m_datePattern += QString(run, c);
        }
        i += run;
    }
    flushLiteral();
    if (!fast || !m_latinDigits)
        m_dateTokens.clear();
    // The longest a date can come out: room for the formatting to write into without checks.
    m_dateLength = 0;
    for (const DateToken &token : m_dateTokens)
        m_dateLength += token.kind == DateToken::Literal ? token.literal.size() : 4;
}

QString DisplayFormat::dateText(const QDate &date) const
{
    return date.isValid() ? m_locale.toString(date, m_datePattern) : QString();
}

QString DisplayFormat::floatText(double value) const
{
    return m_locale.toString(value, 'f', QLocale::FloatingPointShortest);
}

QString DisplayFormat::integerText(int value) const { return m_locale.toString(value); }

bool DisplayFormat::fastDate(QStringView iso, Out &out) const
{
    if (m_dateTokens.empty() || iso.size() != 10 || iso[4] != QLatin1Char('-') || iso[7] != QLatin1Char('-'))
        return false;
    const int year = digitsAt(iso, 0, 4), month = digitsAt(iso, 5, 2), day = digitsAt(iso, 8, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    out.resize(m_dateLength);
    QChar *p = out.data();
    for (const DateToken &token : m_dateTokens) {
        switch (token.kind) {
        case DateToken::Day: p = writeNumber(p, day, 1); break;
        case DateToken::Day2: p = writeNumber(p, day, 2); break;
        case DateToken::Month: p = writeNumber(p, month, 1); break;
        case DateToken::Month2: p = writeNumber(p, month, 2); break;
        case DateToken::Year4: p = writeNumber(p, year, 4); break;
        case DateToken::Literal: p = std::copy(token.literal.cbegin(), token.literal.cend(), p); break;
        }
    }
    out.resize(p - out.data());
    return true;
}

// Digits as they are, the signs and the decimal point of the regional settings.
void DisplayFormat::appendNumberText(const char *ascii, qsizetype size, Out &out) const
{
    out.resize(0);
    for (qsizetype i = 0; i < size; ++i) {
        if (ascii[i] == '-')
            out.append(m_negativeSign.constData(), m_negativeSign.size());
        else
            out.append(ascii[i] == '.' ? m_decimalPoint : QChar(QLatin1Char(ascii[i])));
    }
}

// The server prints floats in their shortest exact form (extra_float_digits=3) and a numeric with
// its scale: in fixed notation, the text itself without trailing fraction zeros is the number as the
// grid shows it, only the signs differ.
bool DisplayFormat::fastNumber(QStringView server, bool isFloat, Out &out) const
{
    if (!m_latinDigits || server.isEmpty() || server.size() > 60)
        return false;
    const qsizetype sign = server[0] == QLatin1Char('-') ? 1 : 0;
    qsizetype point = -1, end = server.size();
    for (qsizetype i = sign; i < server.size(); ++i) {
        const QChar c = server[i];
        if (c == QLatin1Char('.') && isFloat && point < 0)
            point = i;
        else if (!isDigit(c))
            return false;
    }
    if (point == sign || point == server.size() - 1 || server.size() == sign)
        return false;
    if (point >= 0) {
        while (server[end - 1] == QLatin1Char('0'))
            --end;
        if (end - 1 == point)
            --end;
    }
    out.resize(end - sign + (sign ? m_negativeSign.size() : 0));
    QChar *p = out.data();
    if (sign)
        p = std::copy(m_negativeSign.cbegin(), m_negativeSign.cend(), p);
    for (qsizetype i = sign; i < end; ++i)
        *p++ = i == point ? m_decimalPoint : server[i];
    return true;
}

// A float the server wrote with an exponent: the shortest text that reads back as the same double,
// in fixed notation, as QLocale gives it for FloatingPointShortest, without QLocale's cost.
bool DisplayFormat::shortestFloat(QStringView server, Out &out) const
{
    if (!m_latinDigits || server.isEmpty() || server.size() > 60)
        return false;
    char ascii[64];
    for (qsizetype i = 0; i < server.size(); ++i) {
        if (server[i].unicode() > 127)
            return false;
        ascii[i] = char(server[i].unicode());
    }
    double value = 0;
    const auto [end, error] = std::from_chars(ascii, ascii + server.size(), value);
    if (error != std::errc() || end != ascii + server.size() || !std::isfinite(value))
        return false;
    char shortest[400];
    const auto result = std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return false;
    appendNumberText(shortest, result.ptr - shortest, out);
    return true;
}

QStringView DisplayFormat::format(pg::FieldKind kind, QStringView server, Scratch &scratch) const
{
    Out &out = scratch.out;
    const auto viewOf = [](const Out &o) { return QStringView(o.constData(), o.size()); };
    switch (kind) {
    case pg::FieldKind::String:
    case pg::FieldKind::Memo:
        return server;
    case pg::FieldKind::Boolean:
        return server == u"t" ? trueText() : falseText();
    case pg::FieldKind::Date:
        if (fastDate(server, out))
            return viewOf(out);
        scratch.text = dateText(pg::convert::fromText(kind, server.toString()).toDate());
        return scratch.text;
    case pg::FieldKind::DateTime: {
        const QDateTime value = pg::convert::fromText(kind, server.toString()).toDateTime();
        scratch.text = value.isValid() ? m_locale.toString(value, m_dateTimePattern) : server.toString();
        return scratch.text;
    }
    case pg::FieldKind::Integer:
        if (fastNumber(server, false, out))
            return viewOf(out);
        scratch.text = integerText(server.toInt());
        return scratch.text;
    case pg::FieldKind::Float:
        if (fastNumber(server, true, out) || shortestFloat(server, out))
            return viewOf(out);
        scratch.text = floatText(pg::convert::fromText(kind, server.toString()).toDouble());
        return scratch.text;
    }
    return server;
}

QStringView DisplayFormat::view(pg::FieldKind kind, QAnyStringView cell, Scratch &scratch) const
{
    QStringView server;
    cell.visit([&](auto text) {
        using Text = decltype(text);
        if constexpr (std::is_same_v<Text, QStringView>) {
            server = text;
        } else if constexpr (std::is_same_v<Text, QLatin1StringView>) {
            scratch.text = text.toString();
            server = scratch.text;
        } else if (kind != pg::FieldKind::String && kind != pg::FieldKind::Memo && text.size() <= 64) {
            // The server's form of dates and numbers is ASCII: widening it costs less than a call
            // into the decoder.
            scratch.source.resize(text.size());
            QChar *out = scratch.source.data();
            for (const char c : text)
                *out++ = QLatin1Char(c);
            server = QStringView(scratch.source.constData(), text.size());
        } else {
            // UTF-8 never needs more UTF-16 units than it has bytes.
            scratch.source.resize(text.size());
            QChar *end = scratch.decoder.appendToBuffer(scratch.source.data(), QByteArrayView(text.data(), text.size()));
            server = QStringView(scratch.source.constData(), end - scratch.source.constData());
        }
    });
    return format(kind, server, scratch);
}

QString DisplayFormat::text(pg::FieldKind kind, const std::optional<QString> &serverText) const
{
    if (!serverText)
        return {};
    if (kind == pg::FieldKind::String || kind == pg::FieldKind::Memo)
        return *serverText;
    Scratch scratch;
    return format(kind, *serverText, scratch).toString();
}

std::optional<double> DisplayFormat::parseFloat(const QString &text) const
{
    bool ok = false;
    const double value = m_locale.toDouble(text.trimmed(), &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

std::optional<int> DisplayFormat::parseInteger(const QString &text) const
{
    bool ok = false;
    const int value = m_locale.toInt(text.trimmed(), &ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace korvat::grid
