// The grid as the clerk uses it against the sandbox server: editing, posting, cancelling, deleting,
// the editors and the navigator.
#include "gridfixture.h"

#include <QComboBox>
#include <QLineEdit>

namespace korvat::grid::test {
namespace {

class DataGridViewTest : public GridFixture {};

enum class Leave { KeyDown, MouseClick, NavigatorNext, EnterOnLastCell };

void leaveRow(DataGridView &grid, Leave how)
{
    GridTableView *view = grid.tableView();
    switch (how) {
    case Leave::KeyDown:
        QTest::keyClick(view, Qt::Key_Down);
        break;
    case Leave::MouseClick:
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(grid.model()->index(2, 0)).center());
        break;
    case Leave::NavigatorNext:
        grid.navigator()->button(GridNavigator::Button::Next)->click();
        break;
    case Leave::EnterOnLastCell:
        view->setCurrentIndex(grid.model()->index(view->currentIndex().row(), grid.model()->columnCount() - 1));
        QTest::keyClick(view, Qt::Key_Return);
        break;
    }
}

class LeaveRowTest : public GridFixture, public ::testing::WithParamInterface<Leave> {};

TEST_P(LeaveRowTest, PostsTheEditedRowWhenTheClerkLeavesIt)
{
    makeGrid();
    typeInto(0, "name", QStringLiteral("Anx"));
    EXPECT_EQ(query->state(), pg::Query::State::Edit);
    EXPECT_EQ(grid->indicator()->markOf(0), IndicatorHeader::Mark::Editing);
    leaveRow(*grid, GetParam());
    EXPECT_EQ(errors, QStringList());
    EXPECT_EQ(db.scalar(QStringLiteral("select name from t where id = 1")), QStringLiteral("Anx"));
    EXPECT_EQ(query->state(), pg::Query::State::Browse);
    EXPECT_EQ(grid->currentRow(), query->currentRow());
    EXPECT_NE(grid->currentRow(), 0);
    EXPECT_EQ(grid->indicator()->markOf(grid->currentRow()), IndicatorHeader::Mark::Current);
}

// The server refuses a negative quantity (CHECK constraint): the clerk stays on the row, with the
// value typed, and the window's afterScroll does not run.
TEST_P(LeaveRowTest, FailedPostKeepsTheClerkOnTheEditedRow)
{
    makeGrid();
    typeInto(0, "qty", QStringLiteral("-5"));
    leaveRow(*grid, GetParam());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QLatin1String("t_qty_check"))) << errors[0].toStdString();
    EXPECT_EQ(query->currentRow(), 0);
    EXPECT_EQ(grid->currentRow(), 0);
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(query->state(), pg::Query::State::Edit);
    EXPECT_EQ(shown(0, "qty"), QStringLiteral("-5"));
    EXPECT_EQ(grid->indicator()->markOf(0), IndicatorHeader::Mark::Editing);
    EXPECT_EQ(db.scalar(QStringLiteral("select qty from t where id = 1")), QStringLiteral("10"));

    // The clerk corrects the value and leaves again.
    typeInto(0, "qty", QStringLiteral("5"));
    leaveRow(*grid, GetParam());
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("select qty from t where id = 1")), QStringLiteral("5"));
    EXPECT_EQ(scrolls, 1);
}

INSTANTIATE_TEST_SUITE_P(Ways, LeaveRowTest,
                         ::testing::Values(Leave::KeyDown, Leave::MouseClick, Leave::NavigatorNext,
                                           Leave::EnterOnLastCell));

TEST_F(DataGridViewTest, NavigatorPostWritesOnlyTheChangedColumns)
{
    // A column trigger fires when its column is in the UPDATE's SET list, changed or not.
    db.exec(QStringLiteral("create table log (col text);"
                           "create function log_col() returns trigger language plpgsql as $$"
                           " begin insert into log values (tg_argv[0]); return new; end $$;"));
    for (const char *col : {"id", "name", "born", "price", "qty", "note"})
        db.exec(QStringLiteral("create trigger t_%1 before update of %1 on t for each row"
                               " execute function log_col('%1')").arg(QLatin1String(col)));
    makeGrid();
    typeInto(1, "price", QStringLiteral("2,75"));
    typeInto(1, "qty", QStringLiteral("3"));
    typeInto(1, "name", QStringLiteral("bob"));     // typed as it was: not a change
    click(GridNavigator::Button::Post);
    EXPECT_EQ(errors, QStringList());
    EXPECT_EQ(query->state(), pg::Query::State::Browse);
    EXPECT_EQ(db.rows(QStringLiteral("select col from log order by col")),
              (QStringList{QStringLiteral("price"), QStringLiteral("qty")}));
    EXPECT_EQ(db.rows(QStringLiteral("select price, qty from t where id = 2")), QStringList{QStringLiteral("2.75|3")});

    // A row whose cells were typed over with their own values is not written at all.
    db.exec(QStringLiteral("delete from log"));
    typeInto(2, "name", QStringLiteral("Cora"));
    typeInto(2, "qty", QStringLiteral("7"));
    click(GridNavigator::Button::Post);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from log")), QStringLiteral("0"));
}

class CancelTest : public GridFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(CancelTest, CancelRestoresTheRow)
{
    makeGrid();
    typeInto(0, "name", QStringLiteral("Zed"));
    QTest::keyClick(openEditor(0, "born"), Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(grid->tableView()->openEditor(), Qt::Key_Return);
    EXPECT_EQ(shown(0, "born"), QString());
    if (GetParam())
        click(GridNavigator::Button::Cancel);
    else
        QTest::keyClick(grid->tableView(), Qt::Key_Escape);
    EXPECT_EQ(query->state(), pg::Query::State::Browse);
    EXPECT_EQ(shown(0, "name"), QStringLiteral("Ana"));
    EXPECT_EQ(shown(0, "born"), QStringLiteral("05.03.2024"));
    EXPECT_EQ(db.rows(QStringLiteral("select name, born from t where id = 1")), QStringList{QStringLiteral("Ana|2024-03-05")});
}

INSTANTIATE_TEST_SUITE_P(NavigatorOrEscape, CancelTest, ::testing::Bool());

TEST_F(DataGridViewTest, DeleteAsksFirstAndNoDeletesNothing)
{
    struct Case {
        bool answer;
        QStringList idsLeft;
    };
    for (const Case &c : {Case{false, {"1", "2", "3", "4"}}, Case{true, {"1", "3", "4"}}}) {
        makeGrid();
        answer = c.answer;
        questions.clear();
        grid->tableView()->setCurrentIndex(cell(1, "name"));
        click(GridNavigator::Button::Delete);
        EXPECT_EQ(questions, QStringList{DataGridView::deleteQuestion()});
        EXPECT_EQ(db.rows(QStringLiteral("select id from t order by id")), c.idsLeft);
        EXPECT_EQ(shownIds(), c.idsLeft);
        EXPECT_EQ(grid->navigator()->infoPanel()->text(), QStringLiteral("Record 2 of %1").arg(c.idsLeft.size()));
        EXPECT_EQ(errors, QStringList());
    }
}

TEST_F(DataGridViewTest, ComboEditorOffersTheEntriesGivenAndAcceptsTypedText)
{
    makeGrid();
    grid->setComboItems(QStringLiteral("name"), {QStringLiteral("eDA"), QStringLiteral("VAMA")});
    // A second list for the same column replaces the first, in the order given.
    grid->setComboItems(QStringLiteral("name"), {QStringLiteral("VAMA"), QStringLiteral("eDA"), QStringLiteral("ab")});
    for (int row : {0, 2}) {
        auto *combo = qobject_cast<QComboBox *>(openEditor(row, "name"));
        ASSERT_NE(combo, nullptr);
        QStringList entries;
        for (int i = 0; i < combo->count(); ++i)
            entries << combo->itemText(i);
        EXPECT_EQ(entries, (QStringList{QStringLiteral("VAMA"), QStringLiteral("eDA"), QStringLiteral("ab")}));
        EXPECT_TRUE(combo->isEditable());
        EXPECT_EQ(combo->maxVisibleItems(), 8);
        grid->tableView()->discardOpenEditor();
    }
    // "a" is the start of the entry "ab" and must stay "a"; Enter adds nothing to the entries.
    auto *combo = qobject_cast<QComboBox *>(openEditor(0, "name"));
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("a"));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(combo->count(), 3);
    click(GridNavigator::Button::Post);
    EXPECT_EQ(db.scalar(QStringLiteral("select name from t where id = 1")), QStringLiteral("a"));
    EXPECT_TRUE(grid->hasComboEditor(QStringLiteral("name")));
    EXPECT_FALSE(grid->hasComboEditor(QStringLiteral("note")));
}

TEST_F(DataGridViewTest, NumberEditorsRefuseWhatIsNotANumberInTheRegionalSettings)
{
    struct Case {
        const char *field;
        const char *typed;
        const char *inEditor;
        const char *stored;
    };
    const Case cases[] = {
        {"price", "abc", "0,1", "0.1"},    // refused: the value stays
        {"price", "2,5", "2,5", "2.5"},
        {"price", "-3,25", "-3,25", "-3.25"},
        {"price", "1.5", "15", "15"},       // the point groups thousands in Romanian: refused
        {"qty", "4,5", "45", "45"},
        {"qty", "x12", "12", "12"},
    };
    makeGrid();
    for (const Case &c : cases) {
        auto *edit = qobject_cast<QLineEdit *>(openEditor(3, c.field));
        ASSERT_NE(edit, nullptr) << c.field;
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.inEditor)) << c.typed;
        QTest::keyClick(edit, Qt::Key_Return);
        click(GridNavigator::Button::Post);
        EXPECT_EQ(db.scalar(QStringLiteral("select %1 from t where id = 4").arg(QLatin1String(c.field))),
                  QString::fromUtf8(c.stored))
            << c.typed;
    }
    EXPECT_EQ(errors, QStringList());
}

TEST_F(DataGridViewTest, DateEditorCanBeEmptied)
{
    makeGrid();
    QWidget *editor = openEditor(0, "born");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Return);
    click(GridNavigator::Button::Post);
    EXPECT_EQ(db.scalar(QStringLiteral("select born from t where id = 1")), QStringLiteral("<null>"));
    EXPECT_EQ(shown(0, "born"), QString());
}

TEST_F(DataGridViewTest, EnterMovesToTheNextCell)
{
    makeGrid();
    GridTableView *view = grid->tableView();
    const int last = model().columnCount() - 1;
    const struct {
        int row, column, nextRow, nextColumn;
    } cases[] = {{0, 0, 0, 1}, {1, 3, 1, 4}, {1, last, 2, 0}, {3, last, 3, last}};
    for (const auto &c : cases) {
        view->setCurrentIndex(model().index(c.row, c.column));
        QTest::keyClick(view, Qt::Key_Return);
        EXPECT_EQ(view->currentIndex(), model().index(c.nextRow, c.nextColumn)) << c.row << "," << c.column;
        EXPECT_EQ(query->currentRow(), c.nextRow);
    }
}

TEST_F(DataGridViewTest, ShowsTheDeclaredColumns)
{
    makeGrid();
    const struct {
        const char *field;
        const char *caption;
        int width;
        bool editable;
    } expected[] = {{"name", "Nume", 90, true}, {"id", "id", 40, false}, {"born", "born", 64, true},
                    {"price", "price", 64, true}, {"qty", "qty", 64, true}, {"note", "note", 120, true}};
    ASSERT_EQ(model().columnCount(), 6);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(model().columns()[size_t(c)].field, QLatin1String(expected[c].field));
        EXPECT_EQ(model().headerData(c, Qt::Horizontal).toString(), QLatin1String(expected[c].caption));
        EXPECT_EQ(grid->filterHeader()->sectionSize(c), expected[c].width);
        EXPECT_EQ(bool(model().index(0, c).flags() & Qt::ItemIsEditable), expected[c].editable);
    }
    EXPECT_EQ(shown(2, "price"), QStringLiteral("1234,5"));
    EXPECT_EQ(shown(2, "born"), QString());
    EXPECT_THROW(grid->setColumns({{QStringLiteral("missing")}}), pg::Error);
}

} // namespace
} // namespace korvat::grid::test
