#include "platform/pg/query.h"

#include "platform/pg/error.h"

#include <libpq-fe.h>

namespace korvat::pg {
namespace {

// Type OIDs of the server's built-in types that declared fields accept.
enum Oid : unsigned int {
    BoolOid = 16, NameOid = 19, Int2Oid = 21, Int4Oid = 23, TextOid = 25, Float4Oid = 700,
    Float8Oid = 701, BpcharOid = 1042, VarcharOid = 1043, DateOid = 1082, TimestampOid = 1114,
    TimestamptzOid = 1184, NumericOid = 1700, Int8Oid = 20, TimeOid = 1083, JsonOid = 114,
    JsonbOid = 3802, UuidOid = 2950, ByteaOid = 17, XmlOid = 142
};

bool accepts(FieldKind kind, unsigned int oid)
{
    switch (kind) {
    case FieldKind::String:
    case FieldKind::Memo: return oid == TextOid || oid == VarcharOid || oid == BpcharOid || oid == NameOid;
    case FieldKind::Boolean: return oid == BoolOid;
    case FieldKind::Date: return oid == DateOid;
    case FieldKind::DateTime: return oid == TimestampOid || oid == TimestamptzOid;
    case FieldKind::Integer: return oid == Int2Oid || oid == Int4Oid;
    case FieldKind::Float: return oid == Float4Oid || oid == Float8Oid || oid == NumericOid;
    }
    return false;
}

QString typeName(unsigned int oid)
{
    switch (oid) {
    case BoolOid: return QStringLiteral("bool");
    case NameOid: return QStringLiteral("name");
    case Int2Oid: return QStringLiteral("int2");
    case Int4Oid: return QStringLiteral("int4");
    case Int8Oid: return QStringLiteral("int8");
    case TextOid: return QStringLiteral("text");
    case Float4Oid: return QStringLiteral("float4");
    case Float8Oid: return QStringLiteral("float8");
    case BpcharOid: return QStringLiteral("bpchar");
    case VarcharOid: return QStringLiteral("varchar");
    case DateOid: return QStringLiteral("date");
    case TimeOid: return QStringLiteral("time");
    case TimestampOid: return QStringLiteral("timestamp");
    case TimestamptzOid: return QStringLiteral("timestamptz");
    case NumericOid: return QStringLiteral("numeric");
    case JsonOid: return QStringLiteral("json");
    case JsonbOid: return QStringLiteral("jsonb");
    case UuidOid: return QStringLiteral("uuid");
    case ByteaOid: return QStringLiteral("bytea");
    case XmlOid: return QStringLiteral("xml");
    default: return QStringLiteral("type %1").arg(oid);
    }
}

WireParam wireValue(ParamType type, const QVariant &value)
{
    WireParam p;
    if (type == ParamType::Date)
        p.typeOid = DateOid;
    if (value.isNull() || !value.isValid())
        return p;
    FieldKind kind = FieldKind::String;
    switch (type) {
    case ParamType::Date: kind = FieldKind::Date; break;
    case ParamType::Integer: kind = FieldKind::Integer; break;
    case ParamType::Float: kind = FieldKind::Float; break;
    case ParamType::Boolean: kind = FieldKind::Boolean; break;
    default: break;
    }
    QVariant v = value;
    // A date parameter given a date and time sends the date part only.
    if (type == ParamType::Date && v.typeId() == QMetaType::QDateTime)
        v = v.toDateTime().date();
    p.text = convert::toText(kind, v).toUtf8();
    return p;
}

QByteArray quoteIdent(const QString &identifier)
{
    QString quoted = identifier;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return (QLatin1Char('"') + quoted + QLatin1Char('"')).toUtf8();
}

std::optional<QAnyStringView> viewOf(const std::optional<QString> &text)
{
    return text ? std::optional<QAnyStringView>(QAnyStringView(*text)) : std::nullopt;
}

// A cell of a result as text; std::nullopt for NULL.
std::optional<QString> textAt(const pg_result *result, int row, int column)
{
    if (PQgetisnull(result, row, column))
        return std::nullopt;
    return QString::fromUtf8(PQgetvalue(result, row, column), PQgetlength(result, row, column));
}

WireParam wireCell(const std::optional<QString> &cell)
{
    WireParam p;
    if (cell)
        p.text = cell->toUtf8();
    return p;
}

} // namespace

Query::Query(QString name, Connection *connection, QObject *parent)
    : QObject(parent), m_name(std::move(name)), m_connection(connection)
{
    setObjectName(m_name);
}

Query::~Query() = default;

void Query::setSql(const QString &sql)
{
    if (isOpen())
        close();
    m_sql = sql;
    m_scanned = scanParameters(sql);
    std::vector<Param> params;
    for (const QString &name : m_scanned.names) {
        Param p;
        p.name = name;
        if (const Param *old = findParam(name)) {
            p.type = old->type;
            p.value = old->value;
        }
        params.push_back(p);
    }
    m_params = std::move(params);
}

Param *Query::findParam(const QString &name)
{
    for (Param &p : m_params)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

const Param *Query::findParam(const QString &name) const
{
    return const_cast<Query *>(this)->findParam(name);
}

void Query::declareParam(const QString &name, ParamType type)
{
    Param *p = findParam(name);
    if (!p)
        throw Error::about(m_name, QStringLiteral("Parameter '%1' not found").arg(name));
    p->type = type;
}

void Query::setParam(const QString &name, const QVariant &value)
{
    Param *p = findParam(name);
    if (!p)
        throw Error::about(m_name, QStringLiteral("Parameter '%1' not found").arg(name));
    p->value = value;
}

const Param &Query::param(const QString &name) const
{
    const Param *p = findParam(name);
    if (!p)
        throw Error::about(m_name, QStringLiteral("Parameter '%1' not found").arg(name));
    return *p;
}

Field Query::addField(const FieldDef &def)
{
    FieldDef d = def;
    if (d.name.isEmpty())
        d.name = m_name + d.column;
    m_fields.push_back(d);
    return Field(this, int(m_fields.size()) - 1);
}

void Query::addFields(std::initializer_list<const char *> declarations)
{
    for (const char *declaration : declarations) {
        const QStringList parts = QString::fromUtf8(declaration).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() < 2)
            throw Error::about(m_name, QStringLiteral("Bad field declaration '%1'").arg(QLatin1String(declaration)));
        FieldDef def(parts[0]);
        const QString kind = parts[1];
        switch (kind.at(0).toLatin1()) {
        case 'S': def.kind = FieldKind::String; def.size = kind.mid(1).toInt(); break;
        case 'M': def.kind = FieldKind::Memo; break;
        case 'B': def.kind = FieldKind::Boolean; break;
        case 'D': def.kind = FieldKind::Date; break;
        case 'T': def.kind = FieldKind::DateTime; break;
        case 'I': def.kind = FieldKind::Integer; break;
        case 'F': def.kind = FieldKind::Float; break;
        default:
            throw Error::about(m_name, QStringLiteral("Bad field declaration '%1'").arg(QLatin1String(declaration)));
        }
        def.required = parts.contains(QLatin1String("R"));
        def.readOnly = parts.contains(QLatin1String("RO"));
        addField(def);
    }
}

int Query::fieldIndex(const QString &columnOrName) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].column.compare(columnOrName, Qt::CaseInsensitive) == 0
            || m_fields[i].name.compare(columnOrName, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

Field Query::field(const QString &columnOrName)
{
    const int i = fieldIndex(columnOrName);
    if (i < 0)
        throw Error::about(m_name, QString::fromLatin1(texts::fieldNotFound).arg(columnOrName));
    return Field(this, i);
}

void Query::setUpdateTable(const QString &table, const QStringList &keyColumns)
{
    m_updateTable = table;
    m_keyColumns = keyColumns;
}

ResultHandle Query::runStatement(Connection::Lease &lease)
{
    std::vector<WireParam> wire;
    wire.reserve(size_t(m_scanned.names.size()));
    for (const QString &name : m_scanned.names) {
        const Param *p = findParam(name);
        QVariant value = p->value;
        if (m_master) {
            const int masterField = m_master->fieldIndex(name);
            if (masterField >= 0)
                value = m_master->currentRow() >= 0 ? m_master->value(m_master->currentRow(), masterField)
                                                    : QVariant();
        }
        wire.push_back(wireValue(p->type, value));
    }
    return lease.exec(m_scanned.text, wire);
}

void Query::checkFields()
{
    std::vector<int> columns;
    columns.reserve(m_fields.size());
    pg_result *res = m_result.get();
    const int n = PQnfields(res);
    for (const FieldDef &def : m_fields) {
        const QByteArray wanted = def.column.toUtf8();
        int column = -1;
        for (int c = 0; c < n && column < 0; ++c)
            if (wanted == PQfname(res, c))
                column = c;
        for (int c = 0; c < n && column < 0; ++c)
            if (def.column.compare(QString::fromUtf8(PQfname(res, c)), Qt::CaseInsensitive) == 0)
                column = c;
        if (column < 0)
            throw Error::about(m_name, QString::fromLatin1(texts::fieldNotFound).arg(def.column));
        const unsigned int oid = PQftype(res, column);
        if (!accepts(def.kind, oid))
            throw Error::about(m_name, QString::fromLatin1(texts::typeMismatch)
                                           .arg(def.name, fieldKindName(def.kind), typeName(oid)));
        columns.push_back(column);
    }
    m_columns = std::move(columns);
}

void Query::fetch()
{
    ResultHandle result;
    {
        Connection::Lease lease(*m_connection);
        result = runStatement(lease);
    }
    m_result = std::move(result);
    try {
        checkFields();
    } catch (...) {
        m_result.reset();
        m_state = State::Inactive;
        throw;
    }
    m_resultRows = PQntuples(m_result.get());
    m_rowIndex.reset();
    m_overlay.clear();
    m_editBuffer.clear();
    m_state = State::Browse;
}

void Query::open()
{
    if (isOpen())
        return;
    fetch();
    m_current = m_resultRows > 0 ? 0 : -1;
    m_bof = true;
    m_eof = m_resultRows == 0;
    emit rowsReset();
    emit stateChanged();
    emit currentRowChanged(m_current);
    if (afterScroll)
        afterScroll(*this);
}

void Query::close()
{
    if (!isOpen())
        return;
    m_result.reset();
    m_resultRows = 0;
    m_rowIndex.reset();
    m_overlay.clear();
    m_editBuffer.clear();
    m_columns.clear();
    m_current = -1;
    m_eof = m_bof = true;
    m_state = State::Inactive;
    emit rowsReset();
    emit stateChanged();
}

void Query::refresh()
{
    requireOpen();
    post();
    const int keep = m_current;
    fetch();
    const int count = recordCount();
    m_current = count == 0 ? -1 : qBound(0, keep, count - 1);
    m_bof = m_current <= 0;
    m_eof = count == 0;
    emit rowsReset();
    emit stateChanged();
    emit currentRowChanged(m_current);
    if (afterScroll)
        afterScroll(*this);
}

int Query::recordCount() const
{
    if (!isOpen())
        return 0;
    return m_rowIndex ? int(m_rowIndex->size()) : m_resultRows;
}

int Query::resultRow(int row) const
{
    return m_rowIndex ? (*m_rowIndex)[size_t(row)] : row;
}

void Query::requireOpen() const
{
    if (!isOpen())
        throw Error::about(m_name, QLatin1String(texts::notOpen));
}

void Query::requireRow() const
{
    requireOpen();
    if (m_current < 0)
        throw Error::about(m_name, QLatin1String(texts::noCurrentRow));
}

void Query::scrollTo(int row)
{
    if (m_state == State::Edit)
        post();
    const bool moved = row != m_current;
    m_current = row;
    if (moved) {
        emit currentRowChanged(m_current);
        if (afterScroll)
            afterScroll(*this);
    }
}

void Query::first()
{
    requireOpen();
    if (recordCount() > 0)
        scrollTo(0);
    m_bof = true;
    m_eof = recordCount() == 0;
}

void Query::last()
{
    requireOpen();
    if (recordCount() > 0)
        scrollTo(recordCount() - 1);
    m_eof = true;
    m_bof = recordCount() == 0;
}

void Query::next()
{
    requireOpen();
    if (m_current + 1 < recordCount()) {
        scrollTo(m_current + 1);
        m_bof = false;
        m_eof = false;
    } else {
        if (m_state == State::Edit)
            post();
        m_eof = true;
    }
}

void Query::prior()
{
    requireOpen();
    if (m_current > 0) {
        scrollTo(m_current - 1);
        m_bof = false;
        m_eof = false;
    } else {
        if (m_state == State::Edit)
            post();
        m_bof = true;
    }
}

void Query::moveTo(int row)
{
    requireOpen();
    if (row < 0 || row >= recordCount())
        throw Error::about(m_name, QStringLiteral("Row %1 out of range").arg(row));
    scrollTo(row);
    m_bof = row == 0;
    m_eof = false;
}

// A cell as posted or read: the posted overlay, else the server's UTF-8 bytes. A NULL has length 0,
// so only an empty cell needs the second question.
std::optional<QAnyStringView> Query::storedView(int row, int fieldIndex) const
{
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

std::optional<QString> Query::storedCell(int row, int fieldIndex) const
{
    const std::optional<QAnyStringView> view = storedView(row, fieldIndex);
    return view ? std::optional<QString>(view->toString()) : std::nullopt;
}

bool Query::isVisibleCell(int row, int fieldIndex) const
{
    return isOpen() && row >= 0 && row < recordCount() && fieldIndex >= 0 && fieldIndex < fieldCount();
}

const std::optional<QString> *Query::editedCell(int row, int fieldIndex) const
{
    if (m_state == State::Edit && row == m_current)
        if (auto it = m_editBuffer.find(fieldIndex); it != m_editBuffer.end())
            return &it->second;
    return nullptr;
}

std::optional<QString> Query::cell(int row, int fieldIndex) const
{
    if (!isVisibleCell(row, fieldIndex))
        return std::nullopt;
    if (const std::optional<QString> *edited = editedCell(row, fieldIndex))
        return *edited;
    return storedCell(row, fieldIndex);
}

std::optional<QAnyStringView> Query::cellView(int row, int fieldIndex) const
{
    if (!isVisibleCell(row, fieldIndex))
        return std::nullopt;
    if (const std::optional<QString> *edited = editedCell(row, fieldIndex))
        return viewOf(*edited);
    return storedView(row, fieldIndex);
}

QVariant Query::value(int row, int fieldIndex) const
{
    const std::optional<QString> text = cell(row, fieldIndex);
    if (!text)
        return {};
    return convert::fromText(m_fields[size_t(fieldIndex)].kind, *text);
}

void Query::edit()
{
    requireRow();
    if (m_state == State::Edit)
        return;
    if (!isEditable())
        throw Error::about(m_name, QLatin1String(texts::notEditable));
    m_state = State::Edit;
    m_editBuffer.clear();
    emit stateChanged();
}

void Query::setFieldValue(int fieldIndex, const QVariant &value)
{
    requireRow();
    const FieldDef &def = m_fields.at(size_t(fieldIndex));
    if (def.readOnly)
        throw Error::about(m_name, QString::fromLatin1(texts::readOnlyField).arg(def.name));
    edit();
    std::optional<QString> text;
    if (value.isValid() && !value.isNull())
        text = convert::toText(def.kind, value);
    m_editBuffer[fieldIndex] = text;
    emit rowChanged(m_current);
}

bool Query::isModified() const
{
    if (m_state != State::Edit)
        return false;
    for (const auto &[field, value] : m_editBuffer)
        if (value != storedCell(m_current, field))
            return true;
    return false;
}

void Query::post()
{
    if (m_state != State::Edit)
        return;
    if (beforePost)
        beforePost(*this);
    std::map<int, std::optional<QString>> changes;
    for (const auto &[field, value] : m_editBuffer)
        if (value != storedCell(m_current, field))
            changes[field] = value;
    if (!changes.empty())
        writeRow(changes);
    m_editBuffer.clear();
    m_state = State::Browse;
    emit rowChanged(m_current);
    emit stateChanged();
}

// One UPDATE of the changed columns, found by the row's key and by the values the clerk started from,
// so that a row another user changed or deleted meanwhile is not overwritten. Exactly one row must
// change, or nothing is committed. The row then shows the written columns as the server stored them,
// which is what the next post of the row compares with: a numeric(5,2) column keeps 4.76 of a typed
// 4.755, a trigger may rewrite a value.
void Query::writeRow(const std::map<int, std::optional<QString>> &changes)
{
    QByteArray sql = "UPDATE " + quoteIdent(m_updateTable) + " SET ";
    std::vector<WireParam> wire;
    bool firstItem = true;
    for (const auto &[field, value] : changes) {
        wire.push_back(wireCell(value));
        sql += (firstItem ? "" : ", ") + quoteIdent(m_fields[size_t(field)].column) + " = $"
               + QByteArray::number(wire.size());
        firstItem = false;
    }
    appendKeyCondition(sql, wire);
    for (const auto &[field, value] : changes) {
        wire.push_back(wireCell(storedCell(m_current, field)));
        sql += " AND " + quoteIdent(m_fields[size_t(field)].column) + " IS NOT DISTINCT FROM $"
               + QByteArray::number(wire.size());
    }
    firstItem = true;
    for (const auto &[field, value] : changes) {
        sql += (firstItem ? " RETURNING " : ", ") + quoteIdent(m_fields[size_t(field)].column);
        firstItem = false;
    }
    const ResultHandle result = changeOneRow(sql, wire);
    auto &overlay = m_overlay[resultRow(m_current)];
    int column = 0;
    for (const auto &change : changes)
        overlay[change.first] = textAt(result.get(), 0, column++);
}

// " WHERE key = $n AND ..." with the current row's key as it was read or last posted.
void Query::appendKeyCondition(QByteArray &sql, std::vector<WireParam> &wire) const
{
    sql += " WHERE ";
    const char *joiner = "";
    for (const QString &key : m_keyColumns) {
        const int f = fieldIndex(key);
        if (f < 0)
            throw Error::about(m_name, QString::fromLatin1(texts::fieldNotFound).arg(key));
        wire.push_back(wireCell(storedCell(m_current, f)));
        sql += joiner + quoteIdent(key) + " = $" + QByteArray::number(wire.size());
        joiner = " AND ";
    }
}

// Runs one UPDATE or DELETE in a transaction of its own, committed only when it changed exactly one
// row; anything else is rolled back and reported as a row another user changed or deleted.
ResultHandle Query::changeOneRow(const QByteArray &sql, const std::vector<WireParam> &wire)
{
    Connection::Lease lease(*m_connection);
    lease.exec("BEGIN");
    try {
        ResultHandle result = lease.exec(sql, wire);
        if (Connection::Lease::affectedRows(result) != 1)
            throw Error(QString::fromLatin1(texts::rowChangedByOther), {}, m_name);
        lease.exec("COMMIT");
        return result;
    } catch (...) {
        if (m_connection->isConnected()) {
            try {
                lease.exec("ROLLBACK");
            } catch (const Error &) {
                m_connection->close();
            }
        }
        throw;
    }
}

void Query::cancel()
{
    if (m_state != State::Edit)
        return;
    m_editBuffer.clear();
    m_state = State::Browse;
    emit rowChanged(m_current);
    emit stateChanged();
}

void Query::deleteRecord()
{
    requireRow();
    if (!isEditable())
        throw Error::about(m_name, QLatin1String(texts::notEditable));
    cancel();
    QByteArray sql = "DELETE FROM " + quoteIdent(m_updateTable);
    std::vector<WireParam> wire;
    appendKeyCondition(sql, wire);
    changeOneRow(sql, wire);
    const int removed = m_current;
    emit rowAboutToBeRemoved(removed);
    if (!m_rowIndex) {
        m_rowIndex.emplace(size_t(m_resultRows));
        for (int i = 0; i < m_resultRows; ++i)
            (*m_rowIndex)[size_t(i)] = i;
    }
    m_overlay.erase(resultRow(removed));
    m_rowIndex->erase(m_rowIndex->begin() + removed);
    const int count = recordCount();
    m_current = count == 0 ? -1 : qMin(removed, count - 1);
    m_eof = count == 0;
    emit rowRemoved(removed);
    emit currentRowChanged(m_current);
    if (afterScroll)
        afterScroll(*this);
}

} // namespace korvat::pg
