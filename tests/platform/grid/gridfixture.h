// A grid over a small editable table of the sandbox server, with the grid's error box and question
// answered by the test.
#pragma once

#include "platform/grid/datagridview.h"
#include "platform/pg/error.h"
#include "platform/pg/query.h"
#include "support/sandbox.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace korvat::grid::test {

using korvat::pg::FieldKind;

class GridFixture : public ::testing::Test {
protected:
    korvat::test::TestDatabase db{korvat::test::TestDatabase::Kind::Empty};
    korvat::pg::Connection connection{QStringLiteral("conTest")};
    std::unique_ptr<korvat::pg::Query> query;
    std::unique_ptr<DataGridView> grid;
    QStringList errors;
    QStringList questions;
    bool answer = true;
    int scrolls = 0;

    void SetUp() override
    {
        db.exec(QStringLiteral(
            "create table t (id int primary key, name varchar(5) not null, born date,"
            " price float8, qty int check (qty >= 0), note text);"
            "insert into t values"
            " (1, 'Ana', '2024-03-05', 1.5, 10, 'first'),"
            " (2, 'bob', '2023-12-31', -0.25, null, null),"
            " (3, 'Cora', null, 1234.5, 7, 'ANA x'),"
            " (4, 'dana', '2024-11-05', 0.1, 100, '')"));
        db.configure(connection);
        query = std::make_unique<korvat::pg::Query>(QStringLiteral("dsT"), &connection);
        query->setSql(QStringLiteral("select id, name, born, price, qty, note from t order by id"));
        query->addField({QStringLiteral("id"), FieldKind::Integer, 0, true});
        query->addField({QStringLiteral("name"), FieldKind::String, 5, true});
        query->addField({QStringLiteral("born"), FieldKind::Date});
        query->addField({QStringLiteral("price"), FieldKind::Float});
        query->addField({QStringLiteral("qty"), FieldKind::Integer});
        query->addField({QStringLiteral("note"), FieldKind::Memo});
        query->setUpdateTable(QStringLiteral("t"), {QStringLiteral("id")});
        query->afterScroll = [this](korvat::pg::Query &) { ++scrolls; };
    }

    void TearDown() override
    {
        grid.reset();
        query.reset();
    }

    // The columns in another order than the query's fields.
    static std::vector<GridColumn> defaultColumns()
    {
        return {{QStringLiteral("name"), QStringLiteral("Nume"), 90},
                {QStringLiteral("id"), {}, 40, true},
                {QStringLiteral("born")},
                {QStringLiteral("price")},
                {QStringLiteral("qty")},
                {QStringLiteral("note"), {}, 120}};
    }

    DataGridView &makeGrid(std::vector<GridColumn> columns = defaultColumns())
    {
        query->open();
        grid = std::make_unique<DataGridView>();
        grid->errorHandler = [this](const QString &message) { errors << message; };
        grid->confirmer = [this](const QString &question) {
            questions << question;
            return answer;
        };
        grid->setQuery(query.get());
        grid->setColumns(std::move(columns));
        grid->resize(760, 300);
        grid->show();
        scrolls = 0;
        return *grid;
    }

    GridModel &model() { return *grid->model(); }
    int column(const char *field) { return model().columnOf(QLatin1String(field)); }
    QModelIndex cell(int row, const char *field) { return model().index(row, column(field)); }
    QString shown(int row, const char *field) { return cell(row, field).data().toString(); }

    // The ids of the rows the grid shows, in its order.
    QStringList shownIds()
    {
        QStringList ids;
        for (int r = 0; r < model().rowCount(); ++r)
            ids << shown(r, "id");
        return ids;
    }

    QWidget *openEditor(int row, const char *field)
    {
        GridTableView *view = grid->tableView();
        view->setCurrentIndex(cell(row, field));
        view->edit(cell(row, field));
        return view->openEditor();
    }

    // Replaces an editor's text as the clerk would and confirms it with Enter.
    void typeInto(int row, const char *field, const QString &text)
    {
        QWidget *editor = openEditor(row, field);
        ASSERT_NE(editor, nullptr);
        QWidget *target = editor;
        while (target->focusProxy())
            target = target->focusProxy();
        QTest::keyClicks(target, text);
        QTest::keyClick(target, Qt::Key_Return);
    }

    void click(GridNavigator::Button button) { grid->navigator()->button(button)->click(); }
};

} // namespace korvat::grid::test
