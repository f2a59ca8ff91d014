// A small in-memory table of string fields with a maximum length, kept in a JSON file of its own
// layout: {"table": name, "fields": [{"name", "type": "string", "size"}...], "rows": [{field: text}]}.
#pragma once

#include "platform/memtable/error.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

namespace korvat::memtable {

// A value is stored as soon as it is set, so there is never a pending change to post. Texts longer
// than a field's size (in UTF-16 units, as QLineEdit::maxLength counts) are cut to it, on setValue and
// on load alike, never in the middle of a surrogate pair. The program keeps no row or one; the current
// row is the first.
class MemTable : public QObject {
    Q_OBJECT
public:
    // Larger files are refused without being read.
    static constexpr qint64 maxFileSize = 1024 * 1024;

    explicit MemTable(QString name, QObject *parent = nullptr);

    const QString &name() const { return m_name; }

    // Declares a field while the table is closed. Field names are matched without regard to case.
    void addStringField(const QString &name, int size);
    int fieldSize(const QString &name) const;

    void open();
    bool isOpen() const { return m_open; }
    int recordCount() const { return int(m_rows.size()); }

    // The current row's value; "" without a row or when closed.
    QString value(const QString &field) const;
    // Sets the current row's value; the first set on an empty table creates the row.
    void setValue(const QString &field, const QString &text);
    // Removes every row.
    void clear();

    // Replaces the file atomically (QSaveFile): a save that fails leaves the previous file whole.
    void saveToFile(const QString &path);
    // Replaces the content with the file's and opens the table. A file that cannot be read, is too
    // large or is not a table of this name raises Error and leaves the table open and empty. Fields
    // the table does not declare are ignored; a value that is not a text (or null, read as "") is an
    // error.
    void loadFromFile(const QString &path);

signals:
    void valueChanged(const QString &field);
    // Every row may have changed: after a load, clear or open.
    void contentReset();

private:
    struct Field {
        QString name;
        int size = 0;
    };

    int fieldIndex(const QString &name) const;     // -1 when not declared
    int requireField(const QString &name) const;   // raises when not declared
    void requireOpen() const;
    QByteArray toJson() const;
    QList<QStringList> readRows(const QString &path) const;

    QString m_name;
    std::vector<Field> m_fields;
    QList<QStringList> m_rows;
    bool m_open = false;
};

} // namespace korvat::memtable
