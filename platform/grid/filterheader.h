// The column headers with the filter row under them: one line edit per column, placed in the header's
// bottom viewport margin, whose text is that column's condition as the clerk types it.
#pragma once

#include "platform/grid/gridstyle.h"

#include <QHeaderView>
#include <QLineEdit>
#include <vector>

namespace korvat::grid {

class FilterHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit FilterHeader(QWidget *parent = nullptr);

    void setStyles(const std::optional<GridStyle> &header, const std::optional<GridStyle> &filterBox,
                   const QFont &baseFont);
    QLineEdit *filterEdit(int section) const;
    // Empties every filter cell without announcing it: for a new set of columns.
    void clearFilters();

    QSize sizeHint() const override;

signals:
    void filterChanged(int section, const QString &text);

public slots:
    void positionEdits();

protected:
    void updateGeometries() override;
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    void syncEditCount();
    int sectionsHeight() const;

    std::vector<QLineEdit *> m_edits;       // children of the header
    std::optional<GridStyle> m_headerStyle;
    QPalette m_editPalette;
    QFont m_editFont;
    int m_editHeight = 18;
};

} // namespace korvat::grid
