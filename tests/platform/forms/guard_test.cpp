#include "platform/forms/application.h"
#include "platform/forms/guard.h"
#include "platform/memtable/error.h"
#include "platform/pg/error.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace korvat;
using forms::connectGuarded;

namespace {

struct ErrorsShown {
    forms::Application app;
    QStringList texts;
    ErrorsShown()
    {
        app.setErrorPresenter([this](const QString &, const QString &text) { texts << text; });
    }
};

class Menu : public QObject {
public:
    int clicks = 0;
    void ButtonClick() { ++clicks; }
};

} // namespace

TEST(Guard, ErrorOfAClickHandlerIsShownAndTheProgramCarriesOn)
{
    const struct {
        const char *name;
        std::function<void()> raise;
        QString shown;
    } cases[] = {
        {"database", [] { throw pg::Error(QStringLiteral("Companie inexistenta")); }, QStringLiteral("Companie inexistenta.")},
        {"storage", [] { throw memtable::Error(QStringLiteral("Cannot create file \"/x\". Nu")); },
         QStringLiteral("Cannot create file \"/x\". Nu.")},
        {"standard, UTF-8 text", [] { throw std::runtime_error("Eroare la ţară"); }, QStringLiteral("Eroare la ţară.")},
        {"not an exception", [] { throw 42; }, QStringLiteral("Unexpected error.")},
    };
    for (const auto &c : cases) {
        ErrorsShown errors;
        QPushButton button(QStringLiteral("Login"));
        button.show();
        int clicks = 0;
        connectGuarded(&button, &QPushButton::clicked, &button, [&] {
            ++clicks;
            c.raise();
        });
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        EXPECT_EQ(clicks, 2) << c.name;
        EXPECT_EQ(errors.texts, QStringList({c.shown, c.shown})) << c.name;
    }
}

TEST(Guard, HandlersTakeTheLeadingArgumentsOfTheSignal)
{
    QPushButton button;
    button.show();
    Menu menu;
    connectGuarded(&button, &QPushButton::clicked, &menu, &Menu::ButtonClick);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(menu.clicks, 1);

    QLineEdit edit;
    QString seen;
    connectGuarded(&edit, &QLineEdit::textChanged, &edit, [&](const QString &text) { seen = text; });
    QTest::keyClicks(&edit, QStringLiteral("ab"));
    EXPECT_EQ(seen, QStringLiteral("ab"));
}

TEST(Guard, ScopeGuardCleansUpOnEveryOutcomeAndNeverThrows)
{
    ErrorsShown errors;
    QStringList steps;
    forms::guarded([&] {
        forms::ScopeGuard closing([&] { steps << "closed"; });
        throw pg::Error(QStringLiteral("User, Password eronate"));
    });
    EXPECT_EQ(steps, QStringList{"closed"});
    EXPECT_EQ(errors.texts, QStringList{"User, Password eronate."});

    errors.texts.clear();
    forms::guarded([&] {
        forms::ScopeGuard closing([] { throw pg::Error(QStringLiteral("dsZubMobil: closing failed")); });
        steps << "done";
    });
    EXPECT_EQ(steps, QStringList({"closed", "done"}));
    EXPECT_EQ(errors.texts, QStringList{"dsZubMobil: closing failed."});
}
