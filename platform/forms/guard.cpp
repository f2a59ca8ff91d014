#include "platform/forms/guard.h"

#include "platform/forms/application.h"
#include "platform/pg/error.h"

#include <QDebug>
#include <exception>

namespace korvat::forms {

void reportError(const QString &message) noexcept
{
    try {
        if (const Application *app = Application::instance())
            app->showError(message);
        else
            qCritical().noquote() << Application::errorText(message);
    } catch (...) {
        // The report itself failed (out of memory, say); there is nobody left to tell.
    }
}

void guarded(const std::function<void()> &fn) noexcept
{
    try {
        fn();
    } catch (const pg::Error &e) {
        reportError(e.message());
    } catch (const std::exception &e) {
        reportError(QString::fromUtf8(e.what()));
    } catch (...) {
        reportError(QStringLiteral("Unexpected error"));
    }
}

} // namespace korvat::forms
