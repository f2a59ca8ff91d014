#include "platform/grid/datagridview.h"

#include "platform/forms/guard.h"
#include "platform/pg/error.h"

#include <QApplication>
#include <QMessageBox>
#include <QScrollBar>
#include <QVBoxLayout>

namespace korvat::grid {

DataGridView::DataGridView(QWidget *parent)
    : QWidget(parent),
      m_model(new GridModel(this)),
      m_table(new GridTableView(this)),
      m_delegate(new GridDelegate(m_model, this)),
      m_filterHeader(new FilterHeader(m_table)),
      m_indicator(new IndicatorHeader(m_table)),
      m_navigator(new GridNavigator(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_navigator);

    m_table->setHorizontalHeader(m_filterHeader);
    m_table->setVerticalHeader(m_indicator);
    m_table->setModel(m_model);
    m_table->setGridDelegate(m_delegate);
    m_table->rowChangeRequest = [this](int row) { return moveQueryTo(row); };
    setFocusProxy(m_table);

    connect(m_table->horizontalScrollBar(), &QScrollBar::valueChanged, m_filterHeader, &FilterHeader::positionEdits);
    connect(m_filterHeader, &FilterHeader::filterChanged, this, &DataGridView::filterChanged);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this, &DataGridView::refreshState);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DataGridView::followQuery);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &DataGridView::followQuery);
    connect(m_model, &GridModel::errorOccurred, this, &DataGridView::report);
    connect(m_table, &GridTableView::cancelRequested, this, &DataGridView::cancelRow);
    connect(m_table, &GridTableView::deleteRequested, this, &DataGridView::deleteFocusedRow);
    connect(m_navigator, &GridNavigator::clicked, this, [this](GridNavigator::Button which) {
        using B = GridNavigator::Button;
        switch (which) {
        case B::First: first(); break;
        case B::Prior: prior(); break;
        case B::Next: next(); break;
        case B::Last: last(); break;
        case B::Delete: deleteFocusedRow(); break;
        case B::Edit: editRow(); break;
        case B::Post: postRow(); break;
        case B::Cancel: cancelRow(); break;
        }
    });
    setGridStyleSheet({});
}

QString DataGridView::deleteQuestion() { return QStringLiteral("Delete record?"); }

void DataGridView::setQuery(pg::Query *query)
{
    if (m_query)
        m_query->disconnect(this);
    m_query = query;
    if (m_query) {
        connect(m_query, &pg::Query::currentRowChanged, this, &DataGridView::followQuery);
        connect(m_query, &pg::Query::stateChanged, this, &DataGridView::refreshState);
    }
    m_model->setQuery(query);
    applyColumnWidths();
}

void DataGridView::setColumns(std::vector<GridColumn> columns)
{
    m_table->discardOpenEditor();
    m_filterHeader->clearFilters();
    m_delegate->clearComboItems();
    m_model->setColumns(std::move(columns));
    applyColumnWidths();
}

void DataGridView::applyColumnWidths()
{
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_filterHeader->resizeSection(c, m_model->columns()[size_t(c)].width);
}

int DataGridView::requireColumn(const QString &field) const
{
    const int column = m_model->columnOf(field);
    if (column < 0)
        throw pg::Error::about(objectName(), QStringLiteral("Column '%1' not found").arg(field));
    return column;
}

void DataGridView::setComboItems(const QString &field, const QStringList &items)
{
    m_delegate->setComboItems(requireColumn(field), items);
}

QStringList DataGridView::comboItems(const QString &field) const
{
    const QStringList *items = m_delegate->comboItems(requireColumn(field));
    return items ? *items : QStringList();
}

bool DataGridView::hasComboEditor(const QString &field) const
{
    const int column = m_model->columnOf(field);
    return column >= 0 && m_delegate->comboItems(column);
}

void DataGridView::setGridStyleSheet(const GridStyleSheet &sheet)
{
    using S = GridStyleSlot;
    m_delegate->setSheet(sheet);
    QPalette palette = m_table->palette();
    const QPalette system = QApplication::palette(m_table);
    palette.setColor(QPalette::Base, sheet[S::Background] && sheet[S::Background]->background
                                         ? sheet[S::Background]->background->resolve(system)
                                         : system.color(QPalette::Base));
    m_table->setPalette(palette);
    const QFont base = font();
    m_filterHeader->setStyles(sheet[S::Header], sheet[S::FilterBox], base);
    m_indicator->setGridStyle(sheet[S::Indicator]);
    const QFont content = m_delegate->contentFont(base);
    m_indicator->setDefaultSectionSize(QFontMetrics(content).height() + 5);
    m_table->viewport()->update();
}

void DataGridView::setFilterText(const QString &field, const QString &text)
{
    m_filterHeader->filterEdit(requireColumn(field))->setText(text);
}

void DataGridView::reloadQuery()
{
    if (m_query->isOpen()) {
        m_table->commitOpenEditor();
        m_query->refresh();
    } else {
        m_query->open();
    }
}

int DataGridView::currentRow() const { return m_table->currentIndex().row(); }

void DataGridView::report(const QString &message)
{
    if (errorHandler)
        errorHandler(message);
    else
        forms::reportError(message);
}

// Every entry from Qt into the query passes here: the grid shows what the query raises and carries on.
void DataGridView::run(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const pg::Error &e) {
        report(e.message());
    } catch (const std::exception &e) {
        report(QString::fromUtf8(e.what()));
    }
}

// The query posts the row being left; when that fails it stays on the row, and so does the grid.
bool DataGridView::moveQueryTo(int row)
{
    if (!m_query || !m_query->isOpen())
        return true;
    const int target = m_model->queryRow(row);
    if (m_query->currentRow() != target) {
        m_moving = true;
        run([&] { m_query->moveTo(target); });
        m_moving = false;
    }
    return m_query->currentRow() == target;
}

void DataGridView::moveToRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const int column = std::max(0, m_table->currentIndex().column());
    m_table->setCurrentIndex(m_model->index(row, column));
}

// The query moved by itself (opened, reloaded, moved by the window, a row deleted): the grid follows.
void DataGridView::followQuery()
{
    if (!m_query || m_moving || m_model->isRemovingRow())
        return;
    const int row = m_model->modelRow(m_query->currentRow());
    if (row >= 0 && row != m_table->currentIndex().row())
        moveToRow(row);
    else if (row < 0)
        m_table->selectionModel()->clearCurrentIndex();
    refreshState();
}

void DataGridView::filterChanged(int column, const QString &text)
{
    m_table->commitOpenEditor();
    m_model->setFilterText(column, text);
    // The current row went out of sight: the first row the filter leaves takes its place.
    if (m_query && m_model->modelRow(m_query->currentRow()) < 0)
        moveToRow(0);
    refreshState();
}

void DataGridView::refreshState()
{
    const int row = currentRow();
    const int count = m_model->rowCount();
    const bool editing = m_query && m_query->state() == pg::Query::State::Edit;
    const bool editable = m_query && m_query->isEditable();
    m_navigator->setRecord(row + 1, count);
    m_navigator->setEnabledButtons(row > 0, row + 1 < count, row >= 0, editing, editable);
    m_indicator->setCurrent(row, editing);
}

void DataGridView::first() { moveToRow(0); }

void DataGridView::prior() { moveToRow(std::max(0, currentRow() - 1)); }

void DataGridView::next() { moveToRow(currentRow() + 1); }

void DataGridView::last() { moveToRow(m_model->rowCount() - 1); }

void DataGridView::deleteFocusedRow()
{
    const int row = currentRow();
    if (!m_query || !m_query->isOpen() || !m_query->isEditable() || row < 0)
        return;
    m_table->discardOpenEditor();
    const bool yes = confirmer ? confirmer(deleteQuestion())
                               : QMessageBox::question(window(), QApplication::applicationName(), deleteQuestion(),
                                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                                     == QMessageBox::Yes;
    if (!yes)
        return;
    run([&] {
        if (m_query->currentRow() != m_model->queryRow(row))
            m_query->moveTo(m_model->queryRow(row));
        m_query->deleteRecord();
    });
    followQuery();
}

void DataGridView::editRow()
{
    if (!m_query || currentRow() < 0)
        return;
    run([&] { m_query->edit(); });
    const QModelIndex current = m_table->currentIndex();
    if (current.flags() & Qt::ItemIsEditable)
        m_table->edit(current);
}

void DataGridView::postRow()
{
    if (!m_query)
        return;
    m_table->commitOpenEditor();
    run([&] {
        if (m_query->state() == pg::Query::State::Edit)
            m_query->post();
    });
    refreshState();
}

void DataGridView::cancelRow()
{
    if (!m_query)
        return;
    m_table->discardOpenEditor();
    run([&] {
        if (m_query->state() == pg::Query::State::Edit)
            m_query->cancel();
    });
    refreshState();
}

} // namespace korvat::grid
