// Declared fields of a query and the handle through which a window reads and writes the current row.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace korvat::pg {

class Query;

// S and M: text (S bounded by size); B bool; D date; T timestamp; I 32-bit integer; F floating.
enum class FieldKind { String, Memo, Boolean, Date, DateTime, Integer, Float };
QString fieldKindName(FieldKind kind);

struct FieldDef {
    FieldDef(QString column_, FieldKind kind_ = FieldKind::String, int size_ = 0, bool required_ = false,
             bool readOnly_ = false, QString name_ = {})
        : column(std::move(column_)), kind(kind_), size(size_), required(required_), readOnly(readOnly_),
          name(std::move(name_))
    {
    }
    QString column;
    FieldKind kind = FieldKind::String;
    int size = 0;           // maximum characters of a String field; 0 is unbounded
    bool required = false;
    bool readOnly = false;
    QString name;           // object name; query name + column when empty
};

// Reads and writes one field of the query's current row.
class Field {
public:
    Field(Query *query, int index) : m_query(query), m_index(index) {}

    const FieldDef &def() const;
    int index() const { return m_index; }

    bool isNull() const;
    QString asString() const;           // NULL reads as ""
    int asInteger() const;              // NULL reads as 0
    double asFloat() const;
    bool asBoolean() const;
    QDate asDate() const;               // NULL reads as an invalid date
    QDateTime asDateTime() const;
    QVariant value() const;             // null QVariant for NULL

    void setValue(const QVariant &value);   // enters editing when needed
    void setNull() { setValue(QVariant()); }

private:
    Query *m_query;
    int m_index;
};

// Conversions between the server's text form and values of a field's kind.
namespace convert {
QVariant fromText(FieldKind kind, const QString &text);
QString toText(FieldKind kind, const QVariant &value);
} // namespace convert

} // namespace korvat::pg
