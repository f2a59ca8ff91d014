// The grid's navigator: buttons for moving, deleting, editing, posting and cancelling the current row,
// and the info panel "Record N of M". It only shows and asks; the grid does the work.
#pragma once

#include <QLabel>
#include <QToolButton>
#include <QWidget>
#include <array>

namespace korvat::grid {

class GridNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last, Delete, Edit, Post, Cancel };
    static constexpr int buttonCount = 8;

    explicit GridNavigator(QWidget *parent = nullptr);

    QToolButton *button(Button which) const { return m_buttons[size_t(which)]; }
    QLabel *infoPanel() const { return m_info; }

    // position is 1-based, 0 where no row is current.
    void setRecord(int position, int count);
    void setEnabledButtons(bool canGoBack, bool canGoForward, bool hasRow, bool editing, bool editable);

signals:
    void clicked(korvat::grid::GridNavigator::Button which);

private:
    std::array<QToolButton *, buttonCount> m_buttons{};
    QLabel *m_info;
};

} // namespace korvat::grid
