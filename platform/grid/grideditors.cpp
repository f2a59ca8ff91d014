#include "platform/grid/grideditors.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>

namespace korvat::grid {

DateEditor::DateEditor(const QString &pattern, QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(pattern);
    setCalendarPopup(true);
    setMinimumDate(QDate(1899, 12, 31));
    // An empty text would switch the blank placeholder off.
    setSpecialValueText(QStringLiteral(" "));
    setValue({});
}

void DateEditor::setValue(const QDate &date) { setDate(date.isValid() ? date : minimumDate()); }

QDate DateEditor::value() const { return isEmpty() ? QDate() : date(); }

void DateEditor::keyPressEvent(QKeyEvent *event)
{
    const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (erase && ((event->modifiers() & Qt::ControlModifier) || lineEdit()->selectedText() == lineEdit()->text())) {
        setValue({});
        lineEdit()->selectAll();
        return;
    }
    if (isEmpty() && !event->text().isEmpty() && event->text()[0].isDigit()) {
        setDate(QDate::currentDate());
        setSelectedSection(sectionAt(0));
    }
    QDateEdit::keyPressEvent(event);
}

void DateEditor::mousePressEvent(QMouseEvent *event)
{
    const bool wasEmpty = isEmpty();
    QDateEdit::mousePressEvent(event);
    // The calendar opens on the editor's date; for an empty one that is the placeholder day.
    if (wasEmpty && calendarWidget() && calendarWidget()->isVisible()) {
        const QDate today = QDate::currentDate();
        calendarWidget()->setCurrentPage(today.year(), today.month());
    }
}

} // namespace korvat::grid
