// The row indicator: a narrow vertical header that marks the current row with a triangle and, while
// the row is being edited, with an edit mark instead.
#pragma once

#include "platform/grid/gridstyle.h"

#include <QHeaderView>

namespace korvat::grid {

class IndicatorHeader : public QHeaderView {
    Q_OBJECT
public:
    enum class Mark { None, Current, Editing };

    explicit IndicatorHeader(QWidget *parent = nullptr);

    void setGridStyle(const std::optional<GridStyle> &style);
    void setCurrent(int row, bool editing);
    Mark markOf(int row) const;

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    std::optional<GridStyle> m_style;
    int m_currentRow = -1;
    bool m_editing = false;
};

} // namespace korvat::grid
