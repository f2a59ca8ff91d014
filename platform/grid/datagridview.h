// The data grid view both lists of the program use: one Query shown in the columns a window declares,
// with a filter row, a row indicator, a navigator with its info panel, in-place editing that the query
// writes back, and deletion of the focused row after a confirmation question.
#pragma once

#include "platform/grid/filterheader.h"
#include "platform/grid/griddelegate.h"
#include "platform/grid/gridmodel.h"
#include "platform/grid/gridnavigator.h"
#include "platform/grid/gridstyle.h"
#include "platform/grid/gridtableview.h"
#include "platform/grid/indicatorheader.h"

#include <QPointer>
#include <QWidget>
#include <functional>

namespace korvat::grid {

class DataGridView : public QWidget {
    Q_OBJECT
public:
    explicit DataGridView(QWidget *parent = nullptr);

    // The grid's data source: the query it shows and moves.
    void setQuery(pg::Query *query);
    pg::Query *query() const { return m_query; }
    // Opens the query, or runs an open one again. A value still in a cell editor belongs to the row in
    // editing, which the reload posts first, so it is committed before; the reload would throw the
    // editor away. Errors reach the caller.
    void reloadQuery();

    // Raise the query's "Field 'x' not found" for a column that names no declared field.
    void setColumns(std::vector<GridColumn> columns);

    // Gives the column that shows field a combo-box editor with these entries, in this order, for
    // every row; a column that has one keeps it and gets the new entries.
    void setComboItems(const QString &field, const QStringList &items);
    QStringList comboItems(const QString &field) const;
    bool hasComboEditor(const QString &field) const;

    void setGridStyleSheet(const GridStyleSheet &sheet);

    // As if the clerk had typed text into the filter cell of field's column.
    void setFilterText(const QString &field, const QString &text);

    // What the navigator's buttons do.
    void first();
    void prior();
    void next();
    void last();
    void deleteFocusedRow();
    void editRow();
    void postRow();
    void cancelRow();

    GridTableView *tableView() const { return m_table; }
    GridModel *model() const { return m_model; }
    FilterHeader *filterHeader() const { return m_filterHeader; }
    IndicatorHeader *indicator() const { return m_indicator; }
    GridNavigator *navigator() const { return m_navigator; }
    int currentRow() const;     // model row, -1 when none

    // How the grid shows an error and asks its question: by default the application's error box and a
    // message box; tests put their answers here.
    std::function<void(const QString &message)> errorHandler;
    std::function<bool(const QString &question)> confirmer;
    static QString deleteQuestion();

private:
    void run(const std::function<void()> &operation);
    void report(const QString &message);
    bool moveQueryTo(int row);
    void moveToRow(int row);
    void followQuery();
    void filterChanged(int column, const QString &text);
    void refreshState();
    void applyColumnWidths();
    int requireColumn(const QString &field) const;

    QPointer<pg::Query> m_query;
    GridModel *m_model;
    GridTableView *m_table;
    GridDelegate *m_delegate;
    FilterHeader *m_filterHeader;
    IndicatorHeader *m_indicator;
    GridNavigator *m_navigator;
    bool m_moving = false;      // the grid itself is moving the query
};

} // namespace korvat::grid
