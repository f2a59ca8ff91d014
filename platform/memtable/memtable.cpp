#include "platform/memtable/memtable.h"

#include "platform/pg/error.h"
#include "platform/shell/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace korvat::memtable {
namespace {

const QString stringType = QStringLiteral("string");

QString clipped(const QString &text, int size)
{
    if (text.size() <= size)
        return text;
    qsizetype cut = size;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate() && text.at(cut).isLowSurrogate())
        --cut;
    return text.left(cut);
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

MemTable::MemTable(QString name, QObject *parent)
    : QObject(parent), m_name(std::move(name))
{
}

void MemTable::addStringField(const QString &name, int size)
{
    if (m_open)
        throw Error(m_name + QStringLiteral(": Cannot add a field to an opened dataset"));
    if (name.isEmpty() || size <= 0 || fieldIndex(name) >= 0)
        throw Error(m_name + QStringLiteral(": Invalid field '%1' of size %2").arg(name).arg(size));
    m_fields.push_back({name, size});
}

int MemTable::fieldSize(const QString &name) const
{
    return m_fields[size_t(requireField(name))].size;
}

void MemTable::open()
{
    if (m_open)
        return;
    m_open = true;
    emit contentReset();
}

QString MemTable::value(const QString &field) const
{
    const int index = requireField(field);
    if (!m_open || m_rows.isEmpty())
        return {};
    return m_rows.front().at(index);
}

void MemTable::setValue(const QString &field, const QString &text)
{
    const int index = requireField(field);
    requireOpen();
    const QString stored = clipped(text, m_fields[size_t(index)].size);
    if (m_rows.isEmpty())
        m_rows.append(QStringList(qsizetype(m_fields.size())));
    else if (m_rows.front().at(index) == stored)
        return;
    m_rows.front()[index] = stored;
    emit valueChanged(m_fields[size_t(index)].name);
}

void MemTable::clear()
{
    m_rows.clear();
    emit contentReset();
}

void MemTable::saveToFile(const QString &path)
{
    requireOpen();
    const QByteArray json = toJson();
    if (const QString failure = shell::replaceFile(path, json); !failure.isEmpty())
        throw Error(failure);
}

void MemTable::loadFromFile(const QString &path)
{
    m_open = true;
    try {
        m_rows = readRows(path);
    } catch (...) {
        // A row of an earlier load must not pass for the content of the file that failed.
        m_rows.clear();
        emit contentReset();
        throw;
    }
    emit contentReset();
}

int MemTable::fieldIndex(const QString &name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int MemTable::requireField(const QString &name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw Error(m_name + QStringLiteral(": ") + QString::fromLatin1(pg::texts::fieldNotFound).arg(name));
    return index;
}

void MemTable::requireOpen() const
{
    if (!m_open)
        throw Error(m_name + QStringLiteral(": ") + QLatin1String(pg::texts::notOpen));
}

QByteArray MemTable::toJson() const
{
    QJsonArray fields;
    for (const Field &f : m_fields)
        fields.append(QJsonObject{{"name", f.name}, {"type", stringType}, {"size", f.size}});
    QJsonArray rows;
    for (const QStringList &row : m_rows) {
        QJsonObject object;
        for (size_t i = 0; i < m_fields.size(); ++i)
            object.insert(m_fields[i].name, row.at(qsizetype(i)));
        rows.append(object);
    }
    const QJsonObject table{{"table", m_name}, {"fields", fields}, {"rows", rows}};
    return QJsonDocument(table).toJson(QJsonDocument::Indented);
}

QList<QStringList> MemTable::readRows(const QString &path) const
{
    const auto cannotOpen = [&](const QString &reason) {
        return Error(QStringLiteral("Cannot open file \"%1\". %2").arg(shown(path), reason));
    };
    const auto invalid = [&](const QString &reason) {
        return Error(QStringLiteral("File \"%1\" does not hold the table %2: %3").arg(shown(path), m_name, reason));
    };

    if (QFileInfo(path).isDir())
        throw cannotOpen(QStringLiteral("It is a folder"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpen(file.errorString());
    // Bounded read: a device or a file still growing may report a size of 0.
    if (file.size() > maxFileSize)
        throw invalid(QStringLiteral("it is larger than %1 bytes").arg(maxFileSize));
    const QByteArray bytes = file.read(maxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw cannotOpen(file.errorString());
    if (bytes.size() > maxFileSize)
        throw invalid(QStringLiteral("it is larger than %1 bytes").arg(maxFileSize));
    if (bytes.trimmed().isEmpty())
        throw invalid(QStringLiteral("it is empty"));

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw invalid(QStringLiteral("it is not JSON (%1 at offset %2)").arg(parseError.errorString()).arg(parseError.offset));
    const QJsonObject table = document.object();
    if (!document.isObject() || !table.value("fields").isArray() || !table.value("rows").isArray())
        throw invalid(QStringLiteral("it is not an object with \"table\", \"fields\" and \"rows\""));
    if (table.value("table").toString() != m_name)
        throw invalid(QStringLiteral("it holds the table '%1'").arg(table.value("table").toString()));

    QList<QStringList> rows;
    const QJsonArray fileRows = table.value("rows").toArray();
    for (qsizetype r = 0; r < fileRows.size(); ++r) {
        if (!fileRows.at(r).isObject())
            throw invalid(QStringLiteral("row %1 is not an object").arg(r + 1));
        const QJsonObject fileRow = fileRows.at(r).toObject();
        QStringList row(qsizetype(m_fields.size()));
        for (auto it = fileRow.begin(); it != fileRow.end(); ++it) {
            const int index = fieldIndex(it.key());
            if (index < 0)
                continue;
            if (!it.value().isString() && !it.value().isNull())
                throw invalid(QStringLiteral("the value of '%1' in row %2 is not a text").arg(it.key()).arg(r + 1));
            row[index] = clipped(it.value().toString(), m_fields[size_t(index)].size);
        }
        rows.append(row);
    }
    return rows;
}

} // namespace korvat::memtable
