// Tells a window's real change from hidden to visible apart from the show events Qt also sends,
// spontaneously, when a minimized window is restored.
#pragma once

#include <QHideEvent>
#include <QShowEvent>

namespace korvat::forms {

class ShowTracker {
public:
    // True when this show event makes the hidden window visible.
    bool isRealShow(const QShowEvent *event)
    {
        if (event->spontaneous() || m_visible)
            return false;
        m_visible = true;
        return true;
    }
    // Minimizing hides spontaneously and keeps the window shown as far as the program is concerned.
    void noteHide(const QHideEvent *event)
    {
        if (!event->spontaneous())
            m_visible = false;
    }

private:
    bool m_visible = false;
};

} // namespace korvat::forms
