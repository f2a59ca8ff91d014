// Base of the modal dialogs: modal results OK = 1 and cancel = 2, a show handler run on each
// showing, and Escape doing nothing, since the program's dialogs have no cancel button.
#pragma once

#include "platform/forms/showtracker.h"

#include <QDialog>

namespace korvat::forms {

class Dialog : public QDialog {
    Q_OBJECT
public:
    // QDialog's Rejected is 0; the program's windows know cancel as 2.
    enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

    explicit Dialog(QWidget *owner = nullptr);

    // The close box and reject() end the dialog with mrCancel; accept() with mrOk.
    void reject() override;

protected:
    // The dialog's show handler (its FormShow), run through the guard each time it is shown.
    virtual void formShow() {}

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    // Escape would reject; without a cancel button it does nothing. Enter still presses the default
    // button.
    void keyPressEvent(QKeyEvent *event) override;

private:
    ShowTracker m_showTracker;
};

} // namespace korvat::forms
