// The article window through its grid, against a company database of the test's own.
#include "excise_world.h"

#include "excise/u_fEmcsArticole.h"

#include <QLabel>

using namespace excise_test;

namespace {

const QString attributes = QStringLiteral(
    "select articol, um, cod_nc, packaging, grad_alcoolic, capacitate_litri, greutate_neta, emcs_density, "
    "emcs_plato_degree, acciza_id from articol order by articol");
const QStringList attributeColumns = QStringLiteral("articol um cod_nc packaging grad_alcoolic capacitate_litri "
                                                    "greutate_neta emcs_density emcs_plato_degree acciza_id")
                                         .split(QLatin1Char(' '));

// Beer and wine with their categories, an article without one and one whose category is not defined.
void addArticles(TestDatabase &db)
{
    db.exec("insert into acciza values (10, 'B000', 'Bere'), (20, 'W200', 'Vinuri linistite')");
    db.exec("insert into articol values "
            "('Bere blonda 0.5L', 'buc', '22030001', 'BO', 5, 0.5, 0.52, null, 11.8, 10), "
            "('Vin alb sec 0.75L', 'buc', '22042179', 'BO', 12.5, 0.75, 0.78, null, null, 20), "
            "('Apa minerala 0.5L', 'buc', '22011011', 'BO', null, 0.5, 0.52, null, null, null), "
            "('Ulei de motor 4L', 'buc', '27101981', 'CN', null, 4, 3.45, 0.86, null, 60)");
}

int rowOf(DataGridView *grid, const QString &article)
{
    return int(shownColumn(grid, QStringLiteral("articol")).indexOf(article));
}

// The table as it should be after one cell of one article was changed.
QStringList withCell(QStringList table, const QString &article, const QString &column, const QString &value)
{
    for (QString &row : table) {
        QStringList cells = row.split(QLatin1Char('|'));
        if (cells.first() == article) {
            cells[attributeColumns.indexOf(column)] = value;
            row = cells.join(QLatin1Char('|'));
        }
    }
    table.sort();
    return table;
}

} // namespace

TEST(Articles, LaidOutAsDefinedWithTheGridTheOnlyControlTakingTheFocus)
{
    World world;
    TfEmcsArticole w(world.dmCon, nullptr);

    EXPECT_EQ(w.windowTitle(), "fEmcsArticole");
    EXPECT_EQ(w.size(), QSize(1284, 661));
    EXPECT_EQ(w.Label1->text(), "Articole");
    EXPECT_EQ(w.Label1->pos(), QPoint(8, 8));
    EXPECT_TRUE(w.Label1->font().bold());
    EXPECT_EQ(w.Label1->font().pixelSize(), 16);
    EXPECT_EQ(w.Label1->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(w.cxGrid1->geometry(), QRect(8, 32, 1268, 621));
    // A hidden window is resized only when it is shown.
    w.show();
    w.resize(1384, 761);
    EXPECT_EQ(w.cxGrid1->geometry(), QRect(8, 32, 1368, 721));

    const struct {
        const char *field;
        int width;
        bool editable;
    } columns[] = {
        {"articol", 293, true},       {"um", 37, true},
        {"cod_nc", 62, true},         {"greutate_neta", 96, true},
        {"grad_alcoolic", 88, true},  {"capacitate_litri", 96, true},
        {"packaging", 73, true},      {"emcs_plato_degree", 123, true},
        {"emcs_density", 90, true},   {"acciza_id", 64, true},
        {"cod_acciza_ro", 94, false}, {"den_acciza", 120, false},
    };
    ASSERT_EQ(w.cxGrid1->model()->columnCount(), int(std::size(columns)));
    for (int c = 0; c < int(std::size(columns)); ++c) {
        EXPECT_EQ(w.cxGrid1->model()->headerData(c, Qt::Horizontal).toString(), columns[c].field);
        EXPECT_EQ(w.cxGrid1->tableView()->horizontalHeader()->sectionSize(c), columns[c].width) << columns[c].field;
        EXPECT_EQ(w.cxGrid1->model()->isEditable(c), columns[c].editable) << columns[c].field;
    }

    for (QWidget *child : w.findChildren<QWidget *>()) {
        if (child->focusPolicy() & Qt::TabFocus) {
            EXPECT_TRUE(w.cxGrid1->isAncestorOf(child)) << child->metaObject()->className();
        }
    }
}

TEST(Articles, ListsEveryArticleInOrderWithItsCategoryOrNone)
{
    World world;
    addArticles(world.db);
    TfEmcsArticole w(world.dmCon, nullptr);
    EXPECT_FALSE(w.dsArticol.isOpen());
    w.show();

    QStringList listed;
    for (int row = 0; row < w.cxGrid1->model()->rowCount(); ++row)
        listed << shown(w.cxGrid1, row, "articol") + '|' + shown(w.cxGrid1, row, "cod_acciza_ro") + '|'
                      + shown(w.cxGrid1, row, "den_acciza");
    EXPECT_EQ(listed, QStringList({"Apa minerala 0.5L||", "Bere blonda 0.5L|B000|Bere", "Ulei de motor 4L||",
                                   "Vin alb sec 0.75L|W200|Vinuri linistite"}));
    EXPECT_EQ(world.errors, QStringList());
}

TEST(Articles, EachShowWritesThePendingRowThenReloads)
{
    const struct {
        const char *label;
        bool pressEnter;    // without it the clerk's text is still in the cell editor
    } cases[] = {{"row in editing", true}, {"cell editor open", false}};
    for (const auto &c : cases) {
        World world;
        addArticles(world.db);
        TfEmcsArticole w(world.dmCon, nullptr);
        w.show();

        QWidget *editor = openEditor(w.cxGrid1, rowOf(w.cxGrid1, "Bere blonda 0.5L"), "cod_nc");
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, "22030009");
        if (c.pressEnter)
            QTest::keyClick(editor, Qt::Key_Return);
        w.close();
        world.db.exec("update articol set um = 'l' where articol = 'Vin alb sec 0.75L'");
        world.db.exec("insert into articol (articol, um) values ('Bere bruna 0.33L', 'buc')");

        w.show();
        EXPECT_EQ(world.db.scalar("select cod_nc from articol where articol = 'Bere blonda 0.5L'"), "22030009")
            << c.label;
        EXPECT_EQ(shownColumn(w.cxGrid1, "articol"), QStringList({"Apa minerala 0.5L", "Bere blonda 0.5L",
                                                                   "Bere bruna 0.33L", "Ulei de motor 4L",
                                                                   "Vin alb sec 0.75L"}))
            << c.label;
        EXPECT_EQ(shown(w.cxGrid1, 1, "cod_nc"), "22030009") << c.label;
        EXPECT_EQ(shown(w.cxGrid1, 4, "um"), "l") << c.label;
        EXPECT_EQ(world.errors, QStringList()) << c.label;
    }
}

TEST(Articles, AnEditReachesExactlyThatArticle)
{
    World world;
    addArticles(world.db);
    TfEmcsArticole w(world.dmCon, nullptr);
    w.show();

    const struct {
        const char *article, *field, *typed, *stored;
    } cases[] = {
        {"Bere blonda 0.5L", "cod_nc", "22030009", "22030009"},
        {"Bere blonda 0.5L", "grad_alcoolic", "4,75", "4.75"},
        {"Ulei de motor 4L", "emcs_density", "0,872", "0.872"},
        {"Vin alb sec 0.75L", "emcs_plato_degree", "7", "7"},
        {"Apa minerala 0.5L", "acciza_id", "20", "20"},
        {"Vin alb sec 0.75L", "articol", "Vin alb demisec 0.75L", "Vin alb demisec 0.75L"},
    };
    for (const auto &c : cases) {
        const QStringList before = world.db.rows(attributes);
        typeIntoCell(w.cxGrid1, rowOf(w.cxGrid1, c.article), c.field, c.typed);
        clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
        EXPECT_EQ(world.db.rows(attributes), withCell(before, c.article, c.field, c.stored)) << c.field;
    }
    EXPECT_EQ(world.errors, QStringList());

    // The category's texts are those read at the last show.
    const int water = rowOf(w.cxGrid1, "Apa minerala 0.5L");
    EXPECT_EQ(shown(w.cxGrid1, water, "acciza_id"), "20");
    EXPECT_EQ(shown(w.cxGrid1, water, "cod_acciza_ro"), "");
    w.close();
    w.show();
    EXPECT_EQ(shown(w.cxGrid1, rowOf(w.cxGrid1, "Apa minerala 0.5L"), "cod_acciza_ro"), "W200");
    EXPECT_EQ(shown(w.cxGrid1, rowOf(w.cxGrid1, "Apa minerala 0.5L"), "den_acciza"), "Vinuri linistite");
}

TEST(Articles, AFailedWriteIsShownInTheErrorBoxAndKeepsTheRowInEditing)
{
    World world;
    addArticles(world.db);
    TfEmcsArticole w(world.dmCon, nullptr);
    w.show();
    const QStringList before = world.db.rows(attributes);

    const int beer = rowOf(w.cxGrid1, "Bere blonda 0.5L");
    typeIntoCell(w.cxGrid1, beer, "articol", "Vin alb sec 0.75L");
    clickNavigator(w.cxGrid1, GridNavigator::Button::Post);

    ASSERT_EQ(world.errors.size(), 1);
    EXPECT_TRUE(world.errors[0].contains("articol_pkey")) << world.errors[0].toStdString();
    EXPECT_EQ(w.dsArticol.state(), korvat::pg::Query::State::Edit);
    EXPECT_EQ(shown(w.cxGrid1, beer, "articol"), "Vin alb sec 0.75L");
    EXPECT_EQ(world.db.rows(attributes), before);
}

TEST(Articles, DeletingAsksAndRemovesTheArticleOnYesOnly)
{
    World world;
    addArticles(world.db);
    TfEmcsArticole w(world.dmCon, nullptr);
    w.show();

    const struct {
        bool answer;
        int articles;
    } cases[] = {{false, 4}, {true, 3}};
    for (const auto &c : cases) {
        QStringList asked;
        w.cxGrid1->confirmer = [&](const QString &question) {
            asked << question;
            return c.answer;
        };
        clickCell(w.cxGrid1, rowOf(w.cxGrid1, "Ulei de motor 4L"), "um");
        clickNavigator(w.cxGrid1, GridNavigator::Button::Delete);
        EXPECT_EQ(asked, QStringList(DataGridView::deleteQuestion()));
        EXPECT_EQ(world.db.scalar("select count(*) from articol"), QString::number(c.articles));
        EXPECT_EQ(world.db.scalar("select count(*) from articol where articol = 'Ulei de motor 4L'"),
                  c.answer ? "0" : "1");
    }
    EXPECT_EQ(rowOf(w.cxGrid1, "Ulei de motor 4L"), -1);
    EXPECT_EQ(world.errors, QStringList());
}
