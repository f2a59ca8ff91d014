#include "platform/forms/dialog.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using korvat::forms::Dialog;

namespace {

class LoginDialog : public Dialog {
public:
    LoginDialog() { m_edit.setFocus(); }
    QLineEdit m_edit{this};
    int prepared = 0;

protected:
    void formShow() override { ++prepared; }
};

} // namespace

TEST(Dialog, ModalResults)
{
    constexpr int stillOpen = 42;
    const struct {
        const char *action;
        std::function<void(LoginDialog &)> act;
        int result;
    } cases[] = {
        {"Escape in a box", [](LoginDialog &d) { QTest::keyClick(&d.m_edit, Qt::Key_Escape); }, stillOpen},
        {"Escape on the dialog", [](LoginDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); }, stillOpen},
        {"close box", [](LoginDialog &d) { d.close(); }, Dialog::mrCancel},
        {"reject", [](LoginDialog &d) { d.reject(); }, Dialog::mrCancel},
        {"accept", [](LoginDialog &d) { d.accept(); }, Dialog::mrOk},
    };
    LoginDialog dialog;
    int shown = 0;
    for (const auto &c : cases) {
        QTimer::singleShot(0, &dialog, [&] {
            c.act(dialog);
            if (dialog.isVisible())
                dialog.done(stillOpen);
        });
        EXPECT_EQ(dialog.exec(), c.result) << c.action;
        EXPECT_EQ(dialog.prepared, ++shown) << c.action;
    }
}
