#include "platform/memtable/editbinding.h"

#include "platform/forms/guard.h"
#include "platform/memtable/memtable.h"

#include <QLineEdit>
#include <QScopedValueRollback>

namespace korvat::memtable {

EditBinding::EditBinding(QLineEdit *edit, MemTable *table, const QString &field)
    : QObject(edit), m_edit(edit), m_table(table), m_field(field)
{
    m_edit->setMaxLength(table->fieldSize(field));
    showValue();
    forms::connectGuarded(edit, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_showing && m_table)
            m_table->setValue(m_field, text);
    });
    forms::connectGuarded(table, &MemTable::contentReset, this, &EditBinding::showValue);
    forms::connectGuarded(table, &MemTable::valueChanged, this, [this](const QString &changed) {
        if (changed.compare(m_field, Qt::CaseInsensitive) == 0)
            showValue();
    });
}

void EditBinding::showValue()
{
    if (!m_table)
        return;
    const QString value = m_table->value(m_field);
    if (m_edit->text() == value)
        return;
    const QScopedValueRollback showing(m_showing, true);
    m_edit->setText(value);
}

} // namespace korvat::memtable
