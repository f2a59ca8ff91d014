// What the excise window tests run against: a company database of the test's own, the connection
// module pointed at it, the application's error box captured, and the clerk's hands on a grid.
#pragma once

#include "data/u_dmCon.h"
#include "platform/forms/application.h"
#include "platform/grid/datagridview.h"
#include "support/sandbox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace excise_test {

using korvat::grid::DataGridView;
using korvat::grid::GridNavigator;
using korvat::test::TestDatabase;

struct World {
    World()
    {
        app.setErrorPresenter([this](const QString &, const QString &text) { errors << text; });
        db.configure(dmCon.conZub);
    }

    korvat::forms::Application app;
    QStringList errors;
    TestDatabase db{TestDatabase::Kind::Erp};
    TdmCon dmCon{TdmCon::Settings{}};
};

inline QModelIndex cellAt(DataGridView *grid, int row, const QString &field)
{
    const int column = grid->model()->columnOf(field);
    EXPECT_GE(column, 0) << field.toStdString();
    return grid->model()->index(row, column);
}

inline QString shown(DataGridView *grid, int row, const QString &field)
{
    return cellAt(grid, row, field).data().toString();
}

// Every row of one column as the grid shows it.
inline QStringList shownColumn(DataGridView *grid, const QString &field)
{
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << shown(grid, row, field);
    return texts;
}

// A click on the cell, which makes its row the current one.
inline void clickCell(DataGridView *grid, int row, const QString &field)
{
    QTableView *view = grid->tableView();
    const QModelIndex index = cellAt(grid, row, field);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

// Clicks the cell and opens its editor with F2; nullptr when the cell gives none.
inline QWidget *openEditor(DataGridView *grid, int row, const QString &field)
{
    clickCell(grid, row, field);
    QTest::keyClick(grid->tableView(), Qt::Key_F2);
    return grid->tableView()->openEditor();
}

// The entries of the cell's combo-box editor as the drop-down offers them; the editor is cancelled.
inline QStringList dropDownEntries(DataGridView *grid, int row, const QString &field)
{
    auto *combo = qobject_cast<QComboBox *>(openEditor(grid, row, field));
    if (!combo) {
        ADD_FAILURE() << "no combo box in " << field.toStdString();
        return {};
    }
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    QTest::keyClick(combo, Qt::Key_Escape);
    return entries;
}

// Types text over the cell's value (an empty text clears it) and presses Enter, which commits the
// editor and moves to the next cell of the row.
inline void typeIntoCell(DataGridView *grid, int row, const QString &field, const QString &text)
{
    QWidget *editor = openEditor(grid, row, field);
    ASSERT_NE(editor, nullptr) << field.toStdString();
    QWidget *input = editor;
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        input = combo->lineEdit();
    QTest::keyClick(input, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(input, Qt::Key_Delete);
    else
        QTest::keyClicks(input, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

inline void clickNavigator(DataGridView *grid, GridNavigator::Button which)
{
    QTest::mouseClick(grid->navigator()->button(which), Qt::LeftButton);
}

} // namespace excise_test
