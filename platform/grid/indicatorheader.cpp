#include "platform/grid/indicatorheader.h"

#include <QPainter>
#include <QPainterPath>

namespace korvat::grid {

namespace {
constexpr int indicatorWidth = 12;
}

IndicatorHeader::IndicatorHeader(QWidget *parent) : QHeaderView(Qt::Vertical, parent)
{
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(false);
    setHighlightSections(false);
}

void IndicatorHeader::setGridStyle(const std::optional<GridStyle> &style)
{
    m_style = style;
    viewport()->update();
}

void IndicatorHeader::setCurrent(int row, bool editing)
{
    if (row == m_currentRow && editing == m_editing)
        return;
    m_currentRow = row;
    m_editing = editing;
    viewport()->update();
}

IndicatorHeader::Mark IndicatorHeader::markOf(int row) const
{
    if (row != m_currentRow || row < 0)
        return Mark::None;
    return m_editing ? Mark::Editing : Mark::Current;
}

// The base class would ask the model for a size hint of every row it samples; the width is fixed.
QSize IndicatorHeader::sizeHint() const { return {indicatorWidth, length()}; }

void IndicatorHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    const QColor background = m_style && m_style->background ? m_style->background->resolve(palette())
                                                             : palette().color(QPalette::Button);
    const QColor ink = palette().color(QPalette::WindowText);
    painter->save();
    painter->fillRect(rect, background);
    painter->setPen(background.darker(140));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    const QPointF c = QRectF(rect).center();
    switch (markOf(logicalIndex)) {
    case Mark::Current: {
        QPainterPath triangle;
        triangle.moveTo(c.x() - 2, c.y() - 4);
        triangle.lineTo(c.x() + 2, c.y());
        triangle.lineTo(c.x() - 2, c.y() + 4);
        triangle.closeSubpath();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(triangle, ink);
        break;
    }
    case Mark::Editing:
        // An I-beam, as a text cursor, for a row whose values are being changed.
        painter->setPen(QPen(ink, 1));
        painter->drawLine(QPointF(c.x(), c.y() - 4), QPointF(c.x(), c.y() + 4));
        painter->drawLine(QPointF(c.x() - 2, c.y() - 4), QPointF(c.x() + 2, c.y() - 4));
        painter->drawLine(QPointF(c.x() - 2, c.y() + 4), QPointF(c.x() + 2, c.y() + 4));
        break;
    case Mark::None:
        break;
    }
    painter->restore();
}

} // namespace korvat::grid
