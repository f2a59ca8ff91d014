// The folders the shell knows for the program's files, in Qt's form ('/' separators); show them with
// QDir::toNativeSeparators. Each is "" when the platform reports no such folder.
#pragma once

#include <QString>

namespace korvat::shell {

// The current user's roaming application-data folder: CSIDL_APPDATA on Windows, the XDG config home
// elsewhere. It is looked up, not created.
QString roamingAppDataFolder();

// The machine-wide application-data folder: CSIDL_COMMON_APPDATA on Windows. Elsewhere no machine-wide
// folder is writable by a clerk, so it is the user's documents folder.
QString machineAppDataFolder();

} // namespace korvat::shell
