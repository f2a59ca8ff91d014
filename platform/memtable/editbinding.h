// Binds a line edit to a field of a memory table: the field follows every change of the box's text
// (the first on an empty table creates the row), and the box shows the field after a load.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLineEdit;

namespace korvat::memtable {

class MemTable;

// A child of the box, so it lives as long as the box does. The box takes at most the field's size.
class EditBinding : public QObject {
    Q_OBJECT
public:
    EditBinding(QLineEdit *edit, MemTable *table, const QString &field);

private:
    void showValue();

    QLineEdit *m_edit;
    QPointer<MemTable> m_table;
    QString m_field;
    // Set while the box is being given the table's value, so that change does not write back (which
    // would create a row in an empty table).
    bool m_showing = false;
};

} // namespace korvat::memtable
