#include "platform/pg/field.h"

#include "platform/pg/error.h"
#include "platform/pg/query.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace korvat::pg {

QString fieldKindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::String: return QStringLiteral("String");
    case FieldKind::Memo: return QStringLiteral("Memo");
    case FieldKind::Boolean: return QStringLiteral("Boolean");
    case FieldKind::Date: return QStringLiteral("Date");
    case FieldKind::DateTime: return QStringLiteral("DateTime");
    case FieldKind::Integer: return QStringLiteral("Integer");
    case FieldKind::Float: return QStringLiteral("Float");
    }
    return {};
}

namespace convert {
namespace {

double floatFromText(const QString &text)
{
    if (text == QLatin1String("NaN"))
        return std::numeric_limits<double>::quiet_NaN();
    if (text == QLatin1String("Infinity"))
        return std::numeric_limits<double>::infinity();
    if (text == QLatin1String("-Infinity"))
        return -std::numeric_limits<double>::infinity();
    return text.toDouble();
}

// The server's timestamps: "2026-12-11 10:20:30[.123456][+02[:30]]".
QDateTime dateTimeFromText(const QString &text)
{
    static const QRegularExpression form(QStringLiteral(
        "^(\\d{4,}-\\d\\d-\\d\\d)[ T](\\d\\d:\\d\\d:\\d\\d)(\\.\\d+)?([+-]\\d\\d(?::?\\d\\d)?(?::\\d\\d)?)?$"));
    const auto m = form.match(text);
    if (!m.hasMatch())
        return {};
    const QDate date = QDate::fromString(m.captured(1), Qt::ISODate);
    QTime time = QTime::fromString(m.captured(2), Qt::ISODate);
    if (const QString fraction = m.captured(3); !fraction.isEmpty())
        time = time.addMSecs(qRound((QStringLiteral("0") + fraction).toDouble() * 1000.0));
    QDateTime result(date, time);
    if (const QString zone = m.captured(4); !zone.isEmpty()) {
        const int sign = zone.startsWith(QLatin1Char('-')) ? -1 : 1;
        const QString digits = zone.mid(1).remove(QLatin1Char(':'));
        const int seconds = digits.left(2).toInt() * 3600 + digits.mid(2, 2).toInt() * 60
                            + digits.mid(4, 2).toInt();
        result = QDateTime(date, time, Qt::OffsetFromUTC, sign * seconds);
    }
    return result;
}

} // namespace

QVariant fromText(FieldKind kind, const QString &text)
{
    switch (kind) {
    case FieldKind::String:
    case FieldKind::Memo: return text;
    case FieldKind::Boolean: return text == QLatin1String("t") || text == QLatin1String("true");
    case FieldKind::Date: return QDate::fromString(text.left(10), Qt::ISODate);
    case FieldKind::DateTime: return dateTimeFromText(text);
    case FieldKind::Integer: return text.toInt();
    case FieldKind::Float: return floatFromText(text);
    }
    return text;
}

QString toText(FieldKind kind, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate: return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime: return value.toDateTime().toString(Qt::ISODateWithMs);
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("t") : QStringLiteral("f");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (std::isnan(d))
            return QStringLiteral("NaN");
        if (std::isinf(d))
            return d > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
        // The shortest text that reads back as the same double.
        return QString::number(d, 'g', QLocale::FloatingPointShortest);
    }
    default: break;
    }
    if (kind == FieldKind::Boolean && value.typeId() != QMetaType::QString)
        return value.toBool() ? QStringLiteral("t") : QStringLiteral("f");
    return value.toString();
}

} // namespace convert

const FieldDef &Field::def() const
{
    return m_query->fieldDef(m_index);
}

bool Field::isNull() const
{
    return m_query->currentRow() < 0 || !m_query->cell(m_query->currentRow(), m_index).has_value();
}

QString Field::asString() const
{
    if (m_query->currentRow() < 0)
        return {};
    return m_query->cell(m_query->currentRow(), m_index).value_or(QString());
}

QVariant Field::value() const
{
    if (m_query->currentRow() < 0)
        return {};
    return m_query->value(m_query->currentRow(), m_index);
}

int Field::asInteger() const
{
    return isNull() ? 0 : convert::fromText(FieldKind::Integer, asString()).toInt();
}

double Field::asFloat() const
{
    return isNull() ? 0.0 : convert::fromText(FieldKind::Float, asString()).toDouble();
}

bool Field::asBoolean() const
{
    return !isNull() && convert::fromText(FieldKind::Boolean, asString()).toBool();
}

QDate Field::asDate() const
{
    return isNull() ? QDate() : convert::fromText(FieldKind::Date, asString()).toDate();
}

QDateTime Field::asDateTime() const
{
    return isNull() ? QDateTime() : convert::fromText(FieldKind::DateTime, asString()).toDateTime();
}

void Field::setValue(const QVariant &value)
{
    m_query->setFieldValue(m_index, value);
}

} // namespace korvat::pg
