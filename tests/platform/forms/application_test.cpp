#include "platform/forms/application.h"
#include "platform/pg/wait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using korvat::forms::Application;

TEST(Application, TitleFromExecutable)
{
    const struct {
        const char *path;
        const char *title;
    } cases[] = {
        {"Korvat", "Korvat"},
        {"KORVAT.EXE", "Korvat"},
        {"korvat.v2.exe", "korvat"},
        {"/usr/bin/Korvat", "Korvat"},
        {"C:\\Program Files\\Korvat\\KorVat.exe", "Korvat"},
        {"/opt/app.d/Korvat", "Korvat"},
        {"ŢARĂ.exe", "Ţară"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Application::titleFromExecutable(QString::fromUtf8(c.path)), QString::fromUtf8(c.title)) << c.path;
}

TEST(Application, ErrorBoxCaptionIsTheTitleAndTextEndsWithFullStop)
{
    const struct {
        const char *message;
        const char *shown;
    } cases[] = {
        {"Companie inexistenta", "Companie inexistenta."},
        {"abc.", "abc."},
        {"abc!", "abc!"},
        {"", ""},
        {"a-", "a-"},   // '-' comes just before '.'
        {"a/", "a/."},  // '/' just after
        {"x 1", "x 1."},
        {"Ţară", "Ţară."},
    };
    Application app;
    QString caption;
    QStringList shown;
    app.setErrorPresenter([&](const QString &c, const QString &text) {
        caption = c;
        shown << text;
    });
    for (const auto &c : cases) {
        app.showError(QString::fromUtf8(c.message));
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_EQ(shown.takeLast(), QString::fromUtf8(c.shown)) << c.message;
    }
    // The executable is test_platform_forms; its first character keeps its case.
    EXPECT_EQ(caption, QStringLiteral("test_platform_forms"));
}

TEST(Application, ErrorBoxIsAnErrorIconWithOk)
{
    Application app;
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    app.showError(QStringLiteral("User, Password eronate"));
    EXPECT_EQ(caption, app.title());
    EXPECT_EQ(text, QStringLiteral("User, Password eronate."));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QMessageBox::Ok);
}

TEST(Application, WaitCursorWhileTheDatabaseWorks)
{
    Application app;
    {
        korvat::pg::WaitScope waiting;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
