// The style sheet as the grid paints it.
#include "gridfixture.h"

#include <QImage>
#include <QLineEdit>

namespace korvat::grid::test {
namespace {

class GridStyleTest : public GridFixture {
protected:
    // The colour painted at the right end of a cell, clear of its text and of the grid lines.
    QColor cellColour(const QImage &image, int row, const char *field)
    {
        GridTableView *view = grid->tableView();
        const QRect rect = view->visualRect(cell(row, field));
        return image.pixelColor(view->viewport()->mapTo(grid.get(), QPoint(rect.right() - 4, rect.center().y())));
    }
    QColor colourAt(const QImage &image, QWidget *widget, QPoint point)
    {
        return image.pixelColor(widget->mapTo(grid.get(), point));
    }
};

TEST_F(GridStyleTest, PaintsThePartsTheSheetStyles)
{
    makeGrid();
    grid->setGridStyleSheet(devExpressStyleSheet());
    grid->tableView()->setCurrentIndex(cell(0, "name"));
    const QImage unfocused = grid->grab().toImage();
    grid->activateWindow();
    grid->tableView()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }));
    const QImage focused = grid->grab().toImage();

    FilterHeader *header = grid->filterHeader();
    QLineEdit *filter = header->filterEdit(column("note"));
    const int lastRowBottom = grid->tableView()->visualRect(cell(3, "note")).bottom();
    const struct {
        const char *part;
        QColor painted;
        QRgb expected;
    } cases[] = {
        {"current row, grid focused: Selection", cellColour(focused, 0, "note"), 0x316AC5},
        {"current row, grid not focused: Inactive", cellColour(unfocused, 0, "note"), 0xA4C4EB},
        {"first row after it: ContentOdd", cellColour(focused, 1, "note"), 0xEAF3FB},
        {"next row: ContentEven", cellColour(focused, 2, "note"), 0xD9EAF7},
        {"column header: Header", colourAt(focused, header->viewport(), {header->sectionViewportPosition(column("note")) + 115, 3}), 0x316AC5},
        {"filter cell: FilterBox", colourAt(focused, filter, {filter->width() - 3, filter->height() / 2}), 0xFFFFE1},
        {"row indicator: Indicator", colourAt(focused, grid->indicator()->viewport(), {2, 2}), 0xA4C4EB},
        {"below the rows: Background", colourAt(focused, grid->tableView()->viewport(), {20, lastRowBottom + 20}), 0xFFFBF0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.painted.name(), QColor::fromRgb(c.expected).name()) << c.part;
}

TEST(GridStyleSheetTest, TextColourWinsOverTheFontColour)
{
    const QPalette palette;
    const GridColor red = GridColor::fromRgb(0xFF0000), blue = GridColor::fromRgb(0x0000FF);
    const struct {
        std::optional<GridColor> text;
        std::optional<GridColor> font;
        std::optional<QColor> painted;
    } cases[] = {
        {red, blue, QColor(0xFF0000)},
        {std::nullopt, blue, QColor(0x0000FF)},
        {red, std::nullopt, QColor(0xFF0000)},
        {std::nullopt, GridColor::systemWindowText(), palette.color(QPalette::WindowText)},
        {std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto &c : cases) {
        GridStyle style;
        style.textColor = c.text;
        style.font = GridFont{QStringLiteral("MS Sans Serif"), 11, true, c.font};
        EXPECT_EQ(style.effectiveTextColor(palette), c.painted);
    }
    const QFont font = devExpressStyleSheet()[GridStyleSlot::Header]->effectiveFont(QFont());
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_TRUE(font.bold());
}

} // namespace
} // namespace korvat::grid::test
