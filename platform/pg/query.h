// A query with a name, an SQL text with :name parameters, declared fields and a cursor over its rows.
// The rows are the server's result itself; posted edits live in an overlay and deleted rows leave the
// row index. An editable query names its table and key columns and writes one row at a time.
#pragma once

#include "platform/pg/connection.h"
#include "platform/pg/field.h"

#include <QAnyStringView>
#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <vector>

namespace korvat::pg {

enum class ParamType { Unknown, String, Date, Integer, Float, Boolean };

struct Param {
    QString name;           // as written in the SQL text (first occurrence)
    ParamType type = ParamType::Unknown;
    QVariant value;         // a null QVariant is SQL NULL
};

// The SQL text rewritten to $1..$n, and the parameter name of each position, in order of first use.
struct ScannedSql {
    QByteArray text;
    QStringList names;
};
// Skips string literals, quoted identifiers, comments, dollar-quoted bodies and :: casts.
ScannedSql scanParameters(const QString &sql);

class Query : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit };

    Query(QString name, Connection *connection, QObject *parent = nullptr);
    ~Query() override;

    const QString &name() const { return m_name; }
    Connection *connection() const { return m_connection; }

    void setSql(const QString &sql);
    void setSql(const QStringList &lines) { setSql(lines.join(QLatin1Char('\n'))); }
    const QString &sql() const { return m_sql; }

    // Parameters are found in the SQL text; declaring one gives it a type. Names match without
    // regard to case.
    void declareParam(const QString &name, ParamType type);
    void setParam(const QString &name, const QVariant &value);
    const Param &param(const QString &name) const;
    const std::vector<Param> &params() const { return m_params; }

    // Declared fields, checked against the result at every open. The object name is query name +
    // column unless given.
    Field addField(const FieldDef &def);
    // Declarations written "column KIND [R] [RO]": KIND is S<size>, M, B, D, T, I or F; R marks a
    // required field, RO a read-only one.
    void addFields(std::initializer_list<const char *> declarations);
    int fieldCount() const { return int(m_fields.size()); }
    const FieldDef &fieldDef(int index) const { return m_fields.at(size_t(index)); }
    int fieldIndex(const QString &columnOrName) const;    // -1 when unknown
    Field field(const QString &columnOrName);             // raises "Field 'x' not found"
    Field field(int index) { return Field(this, index); }

    // A detail query takes the value of each parameter named like a master field from the master's
    // current row when it opens.
    void setMaster(Query *master) { m_master = master; }
    Query *master() const { return m_master; }

    // Writing back: the table and the columns that find a row. Without them the query is read-only.
    void setUpdateTable(const QString &table, const QStringList &keyColumns);
    bool isEditable() const { return !m_updateTable.isEmpty(); }

    void open();
    void close();
    // Posts a row in editing (or drops it when nothing changed), then runs the query again.
    void refresh();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    int currentRow() const { return m_current; }    // -1 on an empty or closed query
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    // Moving away from a row in editing posts it first; a failed post leaves the cursor where it was.
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);

    // Cell of a visible row: the edit buffer on the row in editing, else the posted overlay, else the
    // server's value. std::nullopt is SQL NULL.
    std::optional<QString> cell(int row, int fieldIndex) const;
    // The same without a copy, for views that go through many cells: the server's UTF-8 bytes where
    // the cell is as read, else the edited or posted text. Valid until the query next changes.
    std::optional<QAnyStringView> cellView(int row, int fieldIndex) const;
    // The same converted to the field's kind (QDate, QDateTime, int, double, bool, QString); a null
    // QVariant for NULL.
    QVariant value(int row, int fieldIndex) const;

    void edit();
    void setFieldValue(int fieldIndex, const QVariant &value);
    // Runs beforePost, then writes the changed columns of the row, if any, in one statement.
    void post();
    void cancel();
    void deleteRecord();
    // Whether the row in editing differs from what was read or last posted.
    bool isModified() const;

    // Handlers of the window that owns the query. They may raise; the error reaches the caller.
    std::function<void(Query &)> afterScroll;
    std::function<void(Query &)> beforePost;

signals:
    // For views: the rows were replaced (open, close, refresh).
    void rowsReset();
    void rowChanged(int row);
    // A deleted row, after the server removed it and before the row index drops it, so that a model
    // can announce the removal while the row is still readable.
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void currentRowChanged(int row);
    void stateChanged();

protected:
    // Runs the statement and takes its rows.
    void fetch();
    ResultHandle runStatement(Connection::Lease &lease);

private:
    friend class Field;
    Param *findParam(const QString &name);
    const Param *findParam(const QString &name) const;
    void checkFields();
    int resultRow(int row) const;
    bool isVisibleCell(int row, int fieldIndex) const;
    const std::optional<QString> *editedCell(int row, int fieldIndex) const;
    std::optional<QAnyStringView> storedView(int row, int fieldIndex) const;
    std::optional<QString> storedCell(int row, int fieldIndex) const;
    void scrollTo(int row);
    void requireOpen() const;
    void requireRow() const;
    void writeRow(const std::map<int, std::optional<QString>> &changes);
    void appendKeyCondition(QByteArray &sql, std::vector<WireParam> &wire) const;
    ResultHandle changeOneRow(const QByteArray &sql, const std::vector<WireParam> &wire);

    QString m_name;
    Connection *m_connection;
    QString m_sql;
    ScannedSql m_scanned;
    std::vector<Param> m_params;
    std::vector<FieldDef> m_fields;
    std::vector<int> m_columns;     // result column of each field
    Query *m_master = nullptr;
    QString m_updateTable;
    QStringList m_keyColumns;

    State m_state = State::Inactive;
    ResultHandle m_result;
    int m_resultRows = 0;
    std::optional<std::vector<int>> m_rowIndex;     // identity until a row is deleted
    std::map<int, std::map<int, std::optional<QString>>> m_overlay;   // result row -> field -> value
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    std::map<int, std::optional<QString>> m_editBuffer;
};

} // namespace korvat::pg
