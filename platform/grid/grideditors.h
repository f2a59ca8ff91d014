// In-place editors of the grid that Qt does not offer as such: a date editor that can be emptied.
#pragma once

#include <QDateEdit>

namespace korvat::grid {

// QDateEdit has no empty state: the day before the first date it accepts stands for "no date" and
// shows as a blank. Delete on the selected text or Ctrl+Delete empties it; typing into an empty one
// starts from today.
class DateEditor : public QDateEdit {
    Q_OBJECT
public:
    DateEditor(const QString &pattern, QWidget *parent = nullptr);

    void setValue(const QDate &date);   // an invalid date empties the editor
    QDate value() const;                // invalid when empty
    bool isEmpty() const { return date() == minimumDate(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace korvat::grid
