#include "platform/shell/folders.h"

#include <QDir>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shlobj.h>
#else
#include <QStandardPaths>
#endif

namespace korvat::shell {
namespace {

#ifdef Q_OS_WIN
QString knownFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    // S_FALSE: a known folder that does not exist on this machine.
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        return {};
    return QDir::fromNativeSeparators(QString::fromWCharArray(path));
}
#endif

} // namespace

QString roamingAppDataFolder()
{
#ifdef Q_OS_WIN
    return knownFolder(CSIDL_APPDATA);
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
}

QString machineAppDataFolder()
{
#ifdef Q_OS_WIN
    return knownFolder(CSIDL_COMMON_APPDATA);
#else
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#endif
}

} // namespace korvat::shell
