#include "platform/shell/open.h"

#include <utility>

#ifdef Q_OS_WIN
#include <QDir>
#include <qt_windows.h>
#include <string>
#include <shellapi.h>
#else
#include <QDesktopServices>
#include <QUrl>
#endif

namespace korvat::shell {
namespace {

Opener &replacement()
{
    static Opener opener;
    return opener;
}

void openWithShell(const QString &path)
{
#ifdef Q_OS_WIN
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    ShellExecuteW(nullptr, L"open", native.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
#else
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#endif
}

} // namespace

void openWithAssociatedProgram(const QString &path)
{
    if (const Opener &opener = replacement())
        opener(path);
    else
        openWithShell(path);
}

Opener setOpener(Opener opener)
{
    return std::exchange(replacement(), std::move(opener));
}

} // namespace korvat::shell
