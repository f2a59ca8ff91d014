#include "platform/forms/application.h"

#include "platform/pg/wait.h"

#include <QApplication>
#include <QFont>
#include <QMessageBox>

#include <algorithm>

namespace korvat::forms {
namespace {
Application *s_instance = nullptr;
}

Application::Application()
    : m_title(titleFromExecutable(QCoreApplication::applicationFilePath()))
{
    Q_ASSERT_X(!s_instance, "Application", "only one Application at a time");
    Q_ASSERT_X(qobject_cast<QApplication *>(QCoreApplication::instance()), "Application",
               "a QApplication must exist first");
    s_instance = this;
    // The windows are laid out for the Windows fonts; where a machine lacks one, a font of close
    // metrics stands in for it, so that texts keep to the sizes they were laid out for.
    for (const char *family : {"Segoe UI", "Tahoma", "MS Sans Serif"})
        QFont::insertSubstitutions(QLatin1String(family),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    pg::setWaitHooks([] { QGuiApplication::setOverrideCursor(Qt::WaitCursor); },
                     [] { QGuiApplication::restoreOverrideCursor(); });
}

Application::~Application()
{
    pg::setWaitHooks({}, {});
    s_instance = nullptr;
}

Application *Application::instance()
{
    return s_instance;
}

QString Application::titleFromExecutable(const QString &path)
{
    // Not QFileInfo::baseName: the executable's folder may be given with either separator.
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    QString name = path.mid(slash + 1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name.left(1) + name.mid(1).toLower();
}

QString Application::errorText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

void Application::showError(const QString &message) const
{
    const QString text = errorText(message);
    if (m_presenter) {
        m_presenter(m_title, text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, m_title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void Application::setErrorPresenter(ErrorPresenter presenter)
{
    m_presenter = std::move(presenter);
}

} // namespace korvat::forms
