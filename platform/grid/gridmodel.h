// The table model of a grid: the columns a window declares over one Query, read in place through the
// query (no cell is copied), and the filter row's conditions as an index of the query rows shown.
// It never shows UI: failures go out through errorOccurred for the view to show.
#pragma once

#include "platform/grid/displayformat.h"
#include "platform/grid/filtercondition.h"
#include "platform/pg/query.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <optional>
#include <vector>

namespace korvat::grid {

struct GridColumn {
    GridColumn(QString field, QString caption = {}, int width = 64, bool readOnly = false)
        : field(std::move(field)), caption(std::move(caption)), width(width), readOnly(readOnly)
    {
    }
    QString field;          // the query's column
    QString caption;        // the field's name where empty
    int width = 64;         // 96-dpi pixels
    bool readOnly = false;
};

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject *parent = nullptr);

    void setQuery(pg::Query *query);
    pg::Query *query() const { return m_query; }
    // Raises the query's "Field 'x' not found" for a column naming no declared field.
    void setColumns(std::vector<GridColumn> columns);
    const std::vector<GridColumn> &columns() const { return m_columns; }
    int columnOf(const QString &field) const;       // -1 when no column shows it
    int fieldIndex(int column) const { return m_fieldIndexes.at(size_t(column)); }
    const pg::FieldDef &fieldDef(int column) const;
    QString caption(int column) const;
    bool isEditable(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    QString displayText(int row, int column) const;
    const DisplayFormat &format() const { return m_format; }

    int queryRow(int row) const;            // the query row a model row shows
    int modelRow(int queryRow) const;       // -1 when the filter hides it
    bool isRemovingRow() const { return m_removing != NoRemoval; }

    // A cell's text matches when it contains the condition without regard to letter case; the
    // conditions of several columns combine; an empty one is no condition.
    void setFilterText(int column, const QString &text);

signals:
    void errorOccurred(const QString &message);

private:
    void queryReset();
    void queryRowChanged(int queryRow);
    void queryRowAboutToBeRemoved(int queryRow);
    void queryRowRemoved(int queryRow);
    void resolveFields();
    void rebuildRows();
    void narrowRows(int column);
    bool cellMatches(int queryRow, int column, const FilterCondition &condition) const;
    int queryRowCount() const;

    static constexpr int NoRemoval = -2, HiddenRemoval = -1;

    QPointer<pg::Query> m_query;
    std::vector<GridColumn> m_columns;
    std::vector<int> m_fieldIndexes;
    std::vector<FilterCondition> m_filters;
    DisplayFormat m_format;
    mutable DisplayFormat::Scratch m_scratch;   // for the filter's pass over the cells
    int m_count = 0;                        // rows shown while no filter is set
    std::optional<std::vector<int>> m_rows; // query rows shown, in the query's order, while filtered
    int m_removing = NoRemoval;             // model row announced for removal
};

} // namespace korvat::grid
