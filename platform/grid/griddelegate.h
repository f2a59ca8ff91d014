// Paints the grid's cells in the style sheet's content, even/odd, selection and inactive styles, and
// gives each editable cell the editor of its field's kind or the combo box a window gave its column.
#pragma once

#include "platform/grid/gridmodel.h"
#include "platform/grid/gridstyle.h"

#include <QPointer>
#include <QStringList>
#include <QStyledItemDelegate>
#include <map>

namespace korvat::grid {

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    GridDelegate(GridModel *model, QObject *parent = nullptr);

    void setSheet(const GridStyleSheet &sheet) { m_sheet = sheet; }
    QFont contentFont(const QFont &fallback) const;

    // Gives a column a combo-box editor, or replaces the entries of the one it has.
    void setComboItems(int column, const QStringList &items);
    const QStringList *comboItems(int column) const;
    void clearComboItems() { m_comboItems.clear(); }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    QWidget *lastEditor() const { return m_lastEditor; }

signals:
    // Enter in an editor: its value is committed and the editor closed; the view moves on.
    void enterPressed();

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void applyStyle(QStyleOptionViewItem *option, GridStyleSlot slot) const;

    GridModel *m_model;
    GridStyleSheet m_sheet;
    std::map<int, QStringList> m_comboItems;
    mutable QPointer<QWidget> m_lastEditor;
};

} // namespace korvat::grid
