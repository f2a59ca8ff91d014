#include "platform/pg/query.h"

namespace korvat::pg {
namespace {

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Length of a dollar-quote tag ("$$" or "$tag$") starting at i, or 0 when none starts there.
int dollarTag(const QString &sql, int i)
{
    int j = i + 1;
    if (j < sql.size() && sql[j].isDigit())
        return 0;   // $1 is a positional parameter, not a quote
    while (j < sql.size() && isIdentChar(sql[j]))
        ++j;
    return j < sql.size() && sql[j] == QLatin1Char('$') ? j - i + 1 : 0;
}

} // namespace

ScannedSql scanParameters(const QString &sql)
{
    ScannedSql out;
    QString text;
    text.reserve(sql.size());
    const int n = int(sql.size());
    int i = 0;
    auto copyUntil = [&](int end) {
        text += QStringView(sql).mid(i, end - i);
        i = end;
    };
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'')) {
            // E'...' strings take backslash escapes; in the others only '' stands for a quote.
            const bool escapes = i > 0 && (sql[i - 1] == QLatin1Char('E') || sql[i - 1] == QLatin1Char('e'))
                                 && (i < 2 || !isIdentChar(sql[i - 2]));
            int j = i + 1;
            while (j < n) {
                if (escapes && sql[j] == QLatin1Char('\\')) {
                    j += 2;
                    continue;
                }
                if (sql[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && sql[j + 1] == QLatin1Char('\'')) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            copyUntil(qMin(j + 1, n));
        } else if (c == QLatin1Char('"')) {
            int j = i + 1;
            while (j < n) {
                if (sql[j] == QLatin1Char('"')) {
                    if (j + 1 < n && sql[j + 1] == QLatin1Char('"')) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            copyUntil(qMin(j + 1, n));
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            int j = sql.indexOf(QLatin1Char('\n'), i);
            copyUntil(j < 0 ? n : j);
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            int depth = 1, j = i + 2;
            while (j < n && depth > 0) {
                if (sql[j] == QLatin1Char('/') && j + 1 < n && sql[j + 1] == QLatin1Char('*')) {
                    ++depth;
                    j += 2;
                } else if (sql[j] == QLatin1Char('*') && j + 1 < n && sql[j + 1] == QLatin1Char('/')) {
                    --depth;
                    j += 2;
                } else {
                    ++j;
                }
            }
            copyUntil(j);
        } else if (c == QLatin1Char('$') && !(i > 0 && isIdentChar(sql[i - 1])) && dollarTag(sql, i) > 0) {
            const int len = dollarTag(sql, i);
            const QString tag = sql.mid(i, len);
            const int close = sql.indexOf(tag, i + len);
            copyUntil(close < 0 ? n : close + len);
        } else if (c == QLatin1Char(':') && i + 1 < n && sql[i + 1] == QLatin1Char(':')) {
            copyUntil(i + 2);
        } else if (c == QLatin1Char(':') && i + 1 < n && isIdentStart(sql[i + 1])) {
            int j = i + 1;
            while (j < n && isIdentChar(sql[j]))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1);
            int position = -1;
            for (int k = 0; k < out.names.size(); ++k)
                if (out.names[k].compare(name, Qt::CaseInsensitive) == 0)
                    position = k;
            if (position < 0) {
                out.names << name;
                position = int(out.names.size()) - 1;
            }
            text += QLatin1Char('$') + QString::number(position + 1);
            i = j;
        } else {
            int j = i + 1;
            while (j < n && !QStringLiteral("'\"-/$:").contains(sql[j]))
                ++j;
            copyUntil(j);
        }
    }
    out.text = text.toUtf8();
    return out;
}

} // namespace korvat::pg
