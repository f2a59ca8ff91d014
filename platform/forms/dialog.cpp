#include "platform/forms/dialog.h"

#include "platform/forms/guard.h"

#include <QKeyEvent>

namespace korvat::forms {

Dialog::Dialog(QWidget *owner)
    : QDialog(owner)
{
    setModal(true);
}

void Dialog::reject()
{
    done(mrCancel);
}

void Dialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_showTracker.isRealShow(event))
        guarded([this] { formShow(); });
}

void Dialog::hideEvent(QHideEvent *event)
{
    m_showTracker.noteHide(event);
    QDialog::hideEvent(event);
}

void Dialog::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace korvat::forms
