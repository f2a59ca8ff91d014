// The main menu shows the real login dialog modally and swaps its panels only on a login.
#include "login_world.h"

#include "app/u_fMenuEMCS.h"

#include <QLabel>
#include <QTimer>
#include <functional>

using namespace login_test;

TEST(MenuLogin, MenuShowsUserAndDatabaseAfterALoginOnly)
{
    World world;
    const struct {
        const char *label;
        std::function<void(TfrmLogin &)> inDialog;
        bool loggedIn;
    } cases[] = {
        {"close box", [](TfrmLogin &d) { d.close(); }, false},
        {"wrong password, then the close box",
         [](TfrmLogin &d) {
             QTest::keyClicks(d.Edit1, "Firma");
             QTest::keyClicks(d.Edit2, "ion");
             QTest::keyClicks(d.Edit3, "wrong");
             QTest::mouseClick(d.Button1, Qt::LeftButton);
             d.close();
         },
         false},
        {"login",
         [](TfrmLogin &d) {
             QTest::keyClicks(d.Edit1, "Firma");
             QTest::keyClicks(d.Edit2, "ion");
             QTest::keyClicks(d.Edit3, "secret");
             QTest::mouseClick(d.Button1, Qt::LeftButton);
         },
         true},
    };
    for (const auto &c : cases) {
        QFile::remove(world.lastLoginPath());
        Session s(world);
        TfMenuEMCS menu;
        TfMenuEMCS::Links links;
        links.dmCon = &s.dmCon;
        links.frmLogin = &s.frmLogin;
        menu.setLinks(links);
        menu.show();

        bool ranInDialog = false;
        QTimer::singleShot(0, &s.frmLogin, [&] {
            ranInDialog = s.frmLogin.isVisible();
            c.inDialog(s.frmLogin);
            // A dialog the case left open would block the test.
            if (s.frmLogin.isVisible())
                s.frmLogin.done(0);
        });
        QTest::mouseClick(menu.ButtonLogin, Qt::LeftButton);

        EXPECT_TRUE(ranInDialog) << c.label;
        EXPECT_FALSE(s.frmLogin.isVisible()) << c.label;
        EXPECT_EQ(menu.PanelLogin->isVisible(), !c.loggedIn) << c.label;
        EXPECT_EQ(menu.PanelMenu->isVisible(), c.loggedIn) << c.label;
        if (c.loggedIn) {
            EXPECT_EQ(menu.LabelUser->text(), "User ion") << c.label;
            EXPECT_EQ(menu.LabelDataBase->text(), world.erp.name()) << c.label;
        }
    }
}
