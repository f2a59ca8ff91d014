// The grid's model over a real query: the model contract, reading in place, and the filter row.
#include "gridfixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
#define KORVAT_ASAN
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVAT_ASAN
#endif
#endif
#ifdef KORVAT_ASAN
// The sanitizer runtime's own count of the bytes handed out (GCC ships no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace korvat::grid::test {
namespace {

QStringList testerFailures;

void recordTesterFailure(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.contains(QLatin1String("FAIL")))
        testerFailures << message;
}

class GridModelTest : public GridFixture {};

TEST_F(GridModelTest, KeepsTheModelContractThroughEveryChangeOfTheQuery)
{
    makeGrid();
    testerFailures.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordTesterFailure);
    {
        QAbstractItemModelTester tester(&model(), QAbstractItemModelTester::FailureReportingMode::Warning);
        grid->setFilterText(QStringLiteral("name"), QStringLiteral("a"));
        grid->setFilterText(QStringLiteral("name"), QString());
        ASSERT_TRUE(model().setData(cell(1, "name"), QStringLiteral("Bo")));
        query->post();
        model().setData(cell(2, "qty"), 8);
        query->cancel();
        query->moveTo(1);
        query->deleteRecord();
        grid->setFilterText(QStringLiteral("note"), QStringLiteral("a"));
        query->moveTo(0);
        query->deleteRecord();      // a row the filter hides
        query->refresh();
        query->close();
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(testerFailures, QStringList());
    EXPECT_EQ(errors, QStringList());
}

// The model has no cells of its own: what the query holds is what it shows, with no reset, whoever
// changed it.
TEST_F(GridModelTest, ShowsThePostedValuesOfTheQueryWithoutReset)
{
    makeGrid();
    QSignalSpy resets(&model(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model(), &QAbstractItemModel::dataChanged);
    query->moveTo(2);
    query->field(QStringLiteral("name")).setValue(QStringLiteral("Dora"));
    EXPECT_EQ(shown(2, "name"), QStringLiteral("Dora"));    // the edit buffer
    query->post();
    EXPECT_EQ(shown(2, "name"), QStringLiteral("Dora"));    // the posted overlay
    EXPECT_EQ(resets.count(), 0);
    EXPECT_GE(changes.count(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("select name from t where id = 3")), QStringLiteral("Dora"));
}

size_t heapInUse()
{
#ifdef KORVAT_ASAN
    // The sanitizer's allocator keeps its own books; mallinfo2 reports nothing under it.
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// A model that copied the result would need at least the result's size again once every cell has
// been shown.
TEST_F(GridModelTest, ShowingEveryCellAddsNoCopyOfTheResult)
{
    db.exec(QStringLiteral("insert into t select g, 'n', '2020-01-01'::date + g % 1000, g / 7.0, g,"
                           " repeat('memo text ', 8) || g from generate_series(10, 60009) g"));
    const size_t beforeOpen = heapInUse();
    query->open();
    const size_t result = heapInUse() - beforeOpen;
    ASSERT_GT(result, size_t(5'000'000));

    const size_t beforeGrid = heapInUse();
    grid = std::make_unique<DataGridView>();
    grid->setQuery(query.get());
    grid->setColumns(defaultColumns());
    grid->resize(760, 300);
    grid->show();
    QApplication::processEvents();
    for (int r = 0; r < model().rowCount(); ++r)
        for (int c = 0; c < model().columnCount(); ++c)
            model().index(r, c).data();
    const size_t grown = heapInUse() > beforeGrid ? heapInUse() - beforeGrid : 0;
    EXPECT_LT(grown, result / 4) << "result " << result << " bytes, grid " << grown << " bytes";
}

struct FilterCase {
    const char *name;
    std::vector<std::pair<const char *, const char *>> typed;   // column, whole text of its filter cell
    QStringList ids;
};

class GridFilterTest : public GridFixture, public ::testing::WithParamInterface<FilterCase> {};

// The rows: 1 Ana 05.03.2024 1,5 10 "first" | 2 bob 31.12.2023 -0,25 NULL NULL |
// 3 Cora NULL 1234,5 7 "ANA x" | 4 dana 05.11.2024 0,1 100 "".
const FilterCase filterCases[] = {
    {"letter case ignored both ways", {{"name", "AN"}}, {"1", "4"}},
    {"contains, not begins with", {{"note", "a x"}}, {"3"}},
    {"typed letter by letter", {{"name", "a"}, {"name", "an"}, {"name", "ana"}}, {"1", "4"}},
    {"shortened again", {{"name", "ana"}, {"name", "a"}}, {"1", "3", "4"}},
    {"changed to another text", {{"name", "an"}, {"name", "bo"}}, {"2"}},
    {"columns combine", {{"name", "a"}, {"note", "x"}}, {"3"}},
    {"clearing removes the condition", {{"name", "ana"}, {"note", "first"}, {"name", ""}}, {"1"}},
    {"everything cleared", {{"name", "ana"}, {"name", ""}}, {"1", "2", "3", "4"}},
    {"date as displayed", {{"born", "05.03"}}, {"1"}},
    {"date not in the server's form", {{"born", "2024-03"}}, {}},
    {"year of dates", {{"born", "2024"}}, {"1", "4"}},
    {"float with the regional decimal comma", {{"price", "1,5"}}, {"1"}},
    {"float not with a point", {{"price", "1.5"}}, {}},
    {"negative float", {{"price", "-0,2"}}, {"2"}},
    {"integer digits", {{"qty", "10"}}, {"1", "4"}},
    {"NULL cells match no text", {{"qty", "0"}}, {"1", "4"}},
    {"NULL and empty text match no text", {{"note", " "}}, {"3"}},
    {"nothing matches", {{"name", "zz"}}, {}},
};

TEST_P(GridFilterTest, ShowsTheRowsWhoseDisplayedTextContainsEveryCondition)
{
    makeGrid();
    for (const auto &[field, text] : GetParam().typed)
        grid->setFilterText(QLatin1String(field), QString::fromUtf8(text));
    EXPECT_EQ(shownIds(), GetParam().ids);
    const int count = int(GetParam().ids.size());
    EXPECT_EQ(grid->navigator()->infoPanel()->text(),
              QStringLiteral("Record %1 of %2").arg(count ? 1 : 0).arg(count));
}

INSTANTIATE_TEST_SUITE_P(Cases, GridFilterTest, ::testing::ValuesIn(filterCases),
                         [](const auto &info) {
                             std::string name = info.param.name;
                             for (char &c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST_F(GridModelTest, FilterCellTypingMovesTheQueryToTheFirstRowShown)
{
    makeGrid();
    query->moveTo(0);
    QTest::keyClicks(grid->filterHeader()->filterEdit(column("name")), QStringLiteral("bo"));
    EXPECT_EQ(shownIds(), QStringList{QStringLiteral("2")});
    EXPECT_EQ(query->currentRow(), 1);
    EXPECT_EQ(grid->currentRow(), 0);
    EXPECT_EQ(model().columns()[size_t(column("name"))].width, grid->filterHeader()->sectionSize(column("name")));
}

} // namespace
} // namespace korvat::grid::test
