#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/pg/error.h"

#include <QPointer>
#include <QShowEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace korvat;

namespace {

class WorkingWindow : public forms::Form {
public:
    using Form::Form;
    int prepared = 0;
    int spontaneousShows = 0;
    std::function<void()> onShow;

protected:
    void formShow() override
    {
        ++prepared;
        if (onShow)
            onShow();
    }
    void showEvent(QShowEvent *event) override
    {
        spontaneousShows += event->spontaneous();
        Form::showEvent(event);
    }
};

} // namespace

TEST(Form, ShowHandlerRunsOnEachChangeFromHiddenToVisible)
{
    QWidget menu;
    menu.show();
    WorkingWindow window(&menu);
    const QPointer<WorkingWindow> alive(&window);

    const struct {
        const char *step;
        std::function<void()> act;
        int prepared;
    } steps[] = {
        {"first showing", [&] { window.showModeless(); }, 1},
        {"shown again while visible", [&] { window.showModeless(); }, 1},
        {"show() while visible", [&] { window.show(); }, 1},
        {"minimized and restored", [&] { window.showMinimized(); window.showNormal(); }, 1},
        {"minimized, then shown modelessly", [&] { window.showMinimized(); window.showModeless(); }, 1},
        {"closed and shown again", [&] { window.close(); window.showModeless(); }, 2},
        {"hidden and shown again", [&] { window.hide(); window.show(); }, 3},
    };
    for (const auto &s : steps) {
        s.act();
        EXPECT_EQ(window.prepared, s.prepared) << s.step;
        EXPECT_TRUE(window.isVisible()) << s.step;
        EXPECT_FALSE(window.isMinimized()) << s.step;
    }
    // Restoring did send the spontaneous show events the form has to tell apart.
    EXPECT_GE(window.spontaneousShows, 2);
    ASSERT_TRUE(alive);
}

TEST(Form, ClosingOnlyHidesAWindowOwnedByTheMainWindow)
{
    QWidget menu;
    menu.show();
    auto *window = new WorkingWindow(&menu);
    const QPointer<WorkingWindow> alive(window);
    window->showModeless();
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->parentWidget(), &menu);

    EXPECT_TRUE(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(alive);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(menu.isVisible());
}

TEST(Form, ErrorOfTheShowHandlerIsShownAndTheWindowStaysOpen)
{
    forms::Application app;
    QStringList errors;
    app.setErrorPresenter([&](const QString &, const QString &text) { errors << text; });
    WorkingWindow window;
    window.onShow = [] { throw pg::Error(QStringLiteral("dsEmcsAutorizatie: Field 'cod' not found")); };
    window.showModeless();
    EXPECT_EQ(errors, QStringList{"dsEmcsAutorizatie: Field 'cod' not found."});
    EXPECT_TRUE(window.isVisible());
}
