// Base of the working windows: a top level window owned by the main window, whose show handler runs
// on each change from hidden to visible, and which closing only hides.
#pragma once

#include "platform/forms/showtracker.h"

#include <QWidget>

namespace korvat::forms {

// Makes window a top level window owned by owner: it stays above owner, has no taskbar button of
// its own and is destroyed with it. Its other window flags are kept.
void makeOwnedWindow(QWidget *window, QWidget *owner);

class Form : public QWidget {
    Q_OBJECT
public:
    // The window is owned by owner (the main window) as makeOwnedWindow says; without one it is a
    // window of its own (the main window itself).
    explicit Form(QWidget *owner = nullptr);

    // Shows the window modelessly; one already visible is only brought to the front, restored when
    // minimized, and its show handler does not run again.
    void showModeless();

protected:
    // The window's show handler (its FormShow), run through the guard each time the window goes
    // from hidden to visible; not when it is restored from minimized or brought to the front.
    virtual void formShow() {}

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    ShowTracker m_showTracker;
};

// Brings a visible window to the front, out of the minimized state, keeping it maximized if it was.
void bringToFront(QWidget *window);

} // namespace korvat::forms
