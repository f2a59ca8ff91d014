#include "app/u_fMenuEMCS.h"
#include "data/u_dmCon.h"
#include "platform/forms/application.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Stands in for the login dialog: ends with the result it is given, filling the login context on OK
// as a real login does.
class ScriptedLogin : public QDialog {
public:
    ScriptedLogin(TdmCon &dmCon, QWidget *owner) : QDialog(owner), m_dmCon(dmCon) {}
    int result = 2;
    int shown = 0;
    int exec() override
    {
        ++shown;
        if (result == 1) {
            m_dmCon.glDataBase = QStringLiteral("zub1");
            m_dmCon.glUser = QStringLiteral("Ana Popescu");
        }
        return result;
    }

private:
    TdmCon &m_dmCon;
};

// A working window that counts how often its show handler ran.
class CountingWindow : public korvat::forms::Form {
public:
    using Form::Form;
    int shows = 0;

protected:
    void formShow() override { ++shows; }
};

struct Menu : ::testing::Test {
    korvat::forms::Application app;
    TfMenuEMCS menu;
    TdmCon dmCon{TdmCon::Settings{}};
    ScriptedLogin login{dmCon, &menu};
    CountingWindow decl{&menu}, invoices{&menu}, articles{&menu};

    void SetUp() override
    {
        menu.setLinks({&dmCon, &login, &decl, &invoices, &articles});
        menu.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    }
};

} // namespace

TEST_F(Menu, OffersOnlyLoginUntilALoginSucceeds)
{
    EXPECT_EQ(menu.windowTitle(), "fMenuEMCS");
    EXPECT_TRUE(menu.ButtonLogin->isVisible());
    EXPECT_EQ(menu.Label1->text(), "Korvat v. 2025.10.13");
    EXPECT_TRUE(menu.Label1->isVisible());
    for (QPushButton *b : {menu.Button1, menu.Button2, menu.Button3})
        EXPECT_FALSE(b->isVisible());
    for (QPushButton *b : menu.findChildren<QPushButton *>())
        EXPECT_FALSE(b->isDefault() || b->autoDefault()) << b->text().toStdString();

    login.result = 2;
    QTest::mouseClick(menu.ButtonLogin, Qt::LeftButton);
    QTest::mouseClick(menu.ButtonLogin, Qt::LeftButton);
    EXPECT_EQ(login.shown, 2);
    EXPECT_TRUE(menu.ButtonLogin->isVisible());
    EXPECT_FALSE(menu.Button1->isVisible());

    login.result = 1;
    QTest::mouseClick(menu.ButtonLogin, Qt::LeftButton);
    EXPECT_FALSE(menu.PanelLogin->isVisible());
    EXPECT_EQ(menu.PanelMenu->geometry(), QRect(0, 0, menu.width(), menu.height()));
    EXPECT_EQ(menu.LabelDataBase->text(), "zub1");
    EXPECT_EQ(menu.LabelUser->text(), "User Ana Popescu");
    EXPECT_EQ(menu.LabelDataBase->pos(), QPoint(6, 2));
    EXPECT_EQ(menu.LabelUser->pos(), QPoint(6, 23));
    EXPECT_TRUE(menu.Label2->isVisible());
    for (QPushButton *b : {menu.Button1, menu.Button2, menu.Button3})
        EXPECT_TRUE(b->isVisible() && b->isEnabled());
    EXPECT_EQ(menu.Button1->text(), "Generare declaratie A47 - accize ( Anexa 19)");
}

TEST_F(Menu, AWorkingWindowRunsItsShowHandlerOncePerShowing)
{
    login.result = 1;
    QTest::mouseClick(menu.ButtonLogin, Qt::LeftButton);
    QTest::mouseClick(menu.Button3, Qt::LeftButton);
    QTest::mouseClick(menu.Button3, Qt::LeftButton);
    EXPECT_TRUE(articles.isVisible());
    EXPECT_EQ(articles.shows, 1);
    EXPECT_EQ(articles.parentWidget(), &menu);

    articles.close();
    EXPECT_FALSE(articles.isVisible());
    QTest::mouseClick(menu.Button3, Qt::LeftButton);
    EXPECT_EQ(articles.shows, 2);

    // All three side by side, the menu still usable.
    QTest::mouseClick(menu.Button1, Qt::LeftButton);
    QTest::mouseClick(menu.Button2, Qt::LeftButton);
    EXPECT_TRUE(decl.isVisible() && invoices.isVisible() && articles.isVisible());
    EXPECT_TRUE(menu.isEnabled());
}

TEST_F(Menu, VersionLabelsAreNeverClippedAndKeepTheirRightEdge)
{
    for (QLabel *label : {menu.Label1, menu.Label2}) {
        const int textWidth = QFontMetrics(label->font()).horizontalAdvance(label->text());
        EXPECT_GE(label->width(), textWidth);
        EXPECT_EQ(menu.width() - (label->x() + label->width()), 373 - (248 + 118));
    }
    menu.resize(500, 229);
    EXPECT_EQ(menu.width() - (menu.Label1->x() + menu.Label1->width()), 373 - (248 + 118));
}

TEST(MenuWithoutWindows, FunctionButtonsWithoutAWindowOfferNothing)
{
    korvat::forms::Application app;
    TfMenuEMCS menu;
    TdmCon dmCon{TdmCon::Settings{}};
    menu.setLinks({&dmCon, nullptr, nullptr, nullptr, nullptr});
    EXPECT_FALSE(menu.Button1->isEnabled());
}
