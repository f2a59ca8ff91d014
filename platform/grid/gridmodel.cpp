#include "platform/grid/gridmodel.h"

#include "platform/pg/error.h"

#include <algorithm>

namespace korvat::grid {

namespace {

QString messageOf(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const pg::Error *>(&e))
        return error->message();
    return QString::fromUtf8(e.what());
}

bool isNumeric(pg::FieldKind kind)
{
    return kind == pg::FieldKind::Integer || kind == pg::FieldKind::Float;
}

} // namespace

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent) {}

void GridModel::setQuery(pg::Query *query)
{
    if (m_query == query)
        return;
    beginResetModel();
    if (m_query)
        m_query->disconnect(this);
    m_query = query;
    if (m_query) {
        connect(m_query, &pg::Query::rowsReset, this, &GridModel::queryReset);
        connect(m_query, &pg::Query::rowChanged, this, &GridModel::queryRowChanged);
        connect(m_query, &pg::Query::rowAboutToBeRemoved, this, &GridModel::queryRowAboutToBeRemoved);
        connect(m_query, &pg::Query::rowRemoved, this, &GridModel::queryRowRemoved);
    }
    resolveFields();
    m_format = DisplayFormat();
    rebuildRows();
    endResetModel();
}

void GridModel::setColumns(std::vector<GridColumn> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    m_filters.assign(m_columns.size(), FilterCondition());
    try {
        resolveFields();
    } catch (...) {
        m_columns.clear();
        m_fieldIndexes.clear();
        m_filters.clear();
        rebuildRows();
        endResetModel();
        throw;
    }
    rebuildRows();
    endResetModel();
}

void GridModel::resolveFields()
{
    m_fieldIndexes.clear();
    for (const GridColumn &column : m_columns) {
        const int index = m_query ? m_query->fieldIndex(column.field) : -1;
        if (m_query && index < 0)
            throw pg::Error::about(m_query->name(), QString::fromLatin1(pg::texts::fieldNotFound).arg(column.field));
        m_fieldIndexes.push_back(index);
    }
}

int GridModel::columnOf(const QString &field) const
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const pg::FieldDef &GridModel::fieldDef(int column) const { return m_query->fieldDef(fieldIndex(column)); }

QString GridModel::caption(int column) const
{
    const GridColumn &c = m_columns.at(size_t(column));
    return c.caption.isEmpty() ? c.field : c.caption;
}

bool GridModel::isEditable(int column) const
{
    return m_query && m_query->isEditable() && !m_columns.at(size_t(column)).readOnly
           && !fieldDef(column).readOnly;
}

int GridModel::queryRowCount() const { return m_query && m_query->isOpen() ? m_query->recordCount() : 0; }

int GridModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_rows ? int(m_rows->size()) : m_count;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_query ? 0 : int(m_columns.size());
}

int GridModel::queryRow(int row) const { return m_rows ? m_rows->at(size_t(row)) : row; }

int GridModel::modelRow(int queryRow) const
{
    if (queryRow < 0)
        return -1;
    if (!m_rows)
        return queryRow < m_count ? queryRow : -1;
    const auto it = std::lower_bound(m_rows->begin(), m_rows->end(), queryRow);
    return it != m_rows->end() && *it == queryRow ? int(it - m_rows->begin()) : -1;
}

QString GridModel::displayText(int row, int column) const
{
    const int field = fieldIndex(column);
    return m_format.text(m_query->fieldDef(field).kind, m_query->cell(queryRow(row), field));
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    // A view may ask between the query changing its rows and the signal that tells the model.
    if (queryRow(index.row()) >= queryRowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), index.column());
    case Qt::EditRole:
        return m_query->value(queryRow(index.row()), fieldIndex(index.column()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter
                                   | (isNumeric(fieldDef(index.column()).kind) ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < columnCount())
        return caption(section);
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (isEditable(index.column()))
        result |= Qt::ItemIsEditable;
    return result;
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int row = queryRow(index.row());
    try {
        // The view keeps the query on its current row; this covers a caller that does not.
        if (m_query->currentRow() != row)
            m_query->moveTo(row);
        if (m_query->currentRow() != row)
            return false;
        m_query->setFieldValue(fieldIndex(index.column()), value);
    } catch (const std::exception &e) {
        emit errorOccurred(messageOf(e));
        return false;
    }
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

void GridModel::queryReset()
{
    beginResetModel();
    m_format = DisplayFormat();
    rebuildRows();
    endResetModel();
}

void GridModel::queryRowChanged(int queryRow)
{
    const int row = modelRow(queryRow);
    if (row >= 0 && !m_columns.empty())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::DisplayRole, Qt::EditRole});
}

void GridModel::queryRowAboutToBeRemoved(int queryRow)
{
    m_removing = modelRow(queryRow);
    if (m_removing >= 0)
        beginRemoveRows({}, m_removing, m_removing);
    else
        m_removing = HiddenRemoval;
}

void GridModel::queryRowRemoved(int queryRow)
{
    const bool announced = m_removing != NoRemoval;
    const int row = announced ? m_removing : modelRow(queryRow);
    m_removing = NoRemoval;
    if (!announced && row >= 0)
        beginRemoveRows({}, row, row);
    if (m_rows) {
        if (row >= 0)
            m_rows->erase(m_rows->begin() + row);
        // Rows after the deleted one move up in the query's numbering.
        for (auto it = std::upper_bound(m_rows->begin(), m_rows->end(), queryRow - 1); it != m_rows->end(); ++it)
            --*it;
    } else if (row >= 0) {
        --m_count;
    }
    if (row >= 0)
        endRemoveRows();
}

void GridModel::setFilterText(int column, const QString &text)
{
    FilterCondition &condition = m_filters.at(size_t(column));
    if (condition.text() == text)
        return;
    const bool narrowing = !condition.isEmpty() && m_rows && text.contains(condition.text(), Qt::CaseInsensitive);
    condition = FilterCondition(text);
    beginResetModel();
    if (narrowing)
        narrowRows(column);
    else
        rebuildRows();
    endResetModel();
}

bool GridModel::cellMatches(int queryRow, int column, const FilterCondition &condition) const
{
    const int field = m_fieldIndexes[size_t(column)];
    return condition.matches(m_query->fieldDef(field).kind, m_query->cellView(queryRow, field), m_format, m_scratch);
}

void GridModel::rebuildRows()
{
    m_count = queryRowCount();
    struct Active {
        int field;
        pg::FieldKind kind;
        const FilterCondition *condition;
    };
    std::vector<Active> active;
    for (size_t c = 0; c < m_filters.size() && m_fieldIndexes[c] >= 0; ++c)
        if (!m_filters[c].isEmpty())
            active.push_back({m_fieldIndexes[c], m_query->fieldDef(m_fieldIndexes[c]).kind, &m_filters[c]});
    if (active.empty()) {
        m_rows.reset();
        return;
    }
    std::vector<int> rows;
    rows.reserve(size_t(m_count));
    for (int r = 0; r < m_count; ++r) {
        const bool shown = std::all_of(active.begin(), active.end(), [&](const Active &a) {
            return a.condition->matches(a.kind, m_query->cellView(r, a.field), m_format, m_scratch);
        });
        if (shown)
            rows.push_back(r);
    }
    rows.shrink_to_fit();
    m_rows = std::move(rows);
}

// A longer condition on the same column can only drop rows: test the rows still shown.
void GridModel::narrowRows(int column)
{
    const FilterCondition &condition = m_filters[size_t(column)];
    std::vector<int> &rows = *m_rows;
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](int r) { return !cellMatches(r, column, condition); }),
               rows.end());
}

} // namespace korvat::grid
