// Opening a file with the program the user's system associates with it, in a normal visible window.
#pragma once

#include <QString>
#include <functional>

namespace korvat::shell {

// Asks the shell to open the file (ShellExecuteW with SW_SHOWNORMAL on Windows, QDesktopServices
// elsewhere). Whether a program was found is not looked at: the shell tells the user itself.
void openWithAssociatedProgram(const QString &path);

// Replaces what openWithAssociatedProgram does, so tests can see what was asked; an empty opener brings
// the shell back. Returns the opener it replaces.
using Opener = std::function<void(const QString &path)>;
Opener setOpener(Opener opener);

} // namespace korvat::shell
