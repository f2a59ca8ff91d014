#include "platform/grid/gridtableview.h"

#include <QApplication>
#include <QKeyEvent>

namespace korvat::grid {

GridTableView::GridTableView(QWidget *parent) : QTableView(parent)
{
    // The current row is the grid's one selection, painted by the delegate; Qt's own selection would
    // follow a mouse press even where the move to the row is refused.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSortingEnabled(false);
    setCornerButtonEnabled(false);
    // Selection and inactive styles depend on whether the grid, its editor or its filter row has
    // the focus.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        const auto inside = [this](QWidget *w) { return w && (w == this || isAncestorOf(w)); };
        if (inside(old) != inside(now))
            viewport()->update();
    });
}

void GridTableView::setModel(QAbstractItemModel *model)
{
    QTableView::setModel(model);
    QItemSelectionModel *plain = selectionModel();
    setSelectionModel(new GridSelectionModel(model, this));
    if (plain)
        plain->deleteLater();
}

void GridTableView::setGridDelegate(GridDelegate *delegate)
{
    m_delegate = delegate;
    setItemDelegate(delegate);
    connect(delegate, &GridDelegate::enterPressed, this, &GridTableView::goToNextCell);
}

bool GridTableView::allowRowChange(int row)
{
    // The clerk's last value belongs to the row being left, and is posted with it.
    commitOpenEditor();
    return !rowChangeRequest || rowChangeRequest(row);
}

void GridTableView::commitOpenEditor()
{
    if (QWidget *editor = m_editor) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void GridTableView::discardOpenEditor()
{
    if (QWidget *editor = m_editor)
        closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void GridTableView::goToNextCell()
{
    if (!model())
        return;
    const QModelIndex current = currentIndex();
    QModelIndex next;
    if (!current.isValid())
        next = model()->index(0, 0);
    else if (current.column() + 1 < model()->columnCount())
        next = model()->index(current.row(), current.column() + 1);
    else if (current.row() + 1 < model()->rowCount())
        next = model()->index(current.row() + 1, 0);
    if (next.isValid())
        setCurrentIndex(next);
}

void GridTableView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        goToNextCell();
        return;
    case Qt::Key_Escape:
        emit cancelRequested();
        return;
    case Qt::Key_Delete:
        if (event->modifiers() & Qt::ControlModifier) {
            emit deleteRequested();
            return;
        }
        break;
    case Qt::Key_Insert:
        return;     // rows are never inserted or appended
    default:
        break;
    }
    QTableView::keyPressEvent(event);
}

bool GridTableView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // A double click on a row the grid refused to move to must not edit that row.
    if (index.isValid() && index.row() != currentIndex().row())
        return false;
    const bool editing = QTableView::edit(index, trigger, event);
    if (editing && state() == EditingState && m_delegate)
        m_editor = m_delegate->lastEditor();
    return editing;
}

void GridTableView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor == m_editor)
        m_editor = nullptr;
    QTableView::closeEditor(editor, hint);
}

void GridTableView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.row() != previous.row())
        viewport()->update();
}

GridSelectionModel::GridSelectionModel(QAbstractItemModel *model, GridTableView *view)
    : QItemSelectionModel(model, view), m_view(view)
{
}

void GridSelectionModel::setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command)
{
    if (index.isValid() && index.row() != currentIndex().row() && !m_view->allowRowChange(index.row()))
        return;
    QItemSelectionModel::setCurrentIndex(index, command);
}

} // namespace korvat::grid
