// The table part of a grid: Qt's table view with the grid's rules for the current row. The current row
// moves only when the grid lets its query move there, it stands for the selection, and Enter goes on
// to the next cell.
#pragma once

#include "platform/grid/griddelegate.h"

#include <QItemSelectionModel>
#include <QPointer>
#include <QTableView>
#include <functional>

namespace korvat::grid {

class GridTableView : public QTableView {
    Q_OBJECT
public:
    explicit GridTableView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    void setGridDelegate(GridDelegate *delegate);
    using QTableView::edit;

    // Asked before the current row changes to another row, with the model row it would go to;
    // false keeps the current row where it is.
    std::function<bool(int row)> rowChangeRequest;

    QWidget *openEditor() const { return m_editor; }
    void commitOpenEditor();
    void discardOpenEditor();
    void goToNextCell();

signals:
    void cancelRequested();
    void deleteRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    friend class GridSelectionModel;
    bool allowRowChange(int row);

    GridDelegate *m_delegate = nullptr;
    QPointer<QWidget> m_editor;
};

// Every change of the current index, by mouse, keyboard or code, passes through setCurrentIndex: the
// one place where a move to another row can be refused before anything has changed.
class GridSelectionModel : public QItemSelectionModel {
    Q_OBJECT
public:
    GridSelectionModel(QAbstractItemModel *model, GridTableView *view);
    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override;

private:
    GridTableView *m_view;
};

} // namespace korvat::grid
