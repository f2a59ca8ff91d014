#include "platform/forms/form.h"

#include "platform/forms/guard.h"

namespace korvat::forms {

void makeOwnedWindow(QWidget *window, QWidget *owner)
{
    // A parent makes a Qt::Window an owned window on Windows and a transient one under X11: above
    // its owner, without a taskbar button, and not counted when the last window closes.
    window->setParent(owner, (window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
}

void bringToFront(QWidget *window)
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

Form::Form(QWidget *owner)
    : QWidget(nullptr, Qt::Window)
{
    if (owner)
        makeOwnedWindow(this, owner);
}

void Form::showModeless()
{
    if (isVisible()) {
        bringToFront(this);
        return;
    }
    show();
    raise();
    activateWindow();
}

void Form::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_showTracker.isRealShow(event))
        guarded([this] { formShow(); });
}

void Form::hideEvent(QHideEvent *event)
{
    m_showTracker.noteHide(event);
    QWidget::hideEvent(event);
}

} // namespace korvat::forms
