#pragma once

#include <QString>

namespace tarnwick {

class AppPaths;
class DesktopServices;
class Dialogs;

} // namespace tarnwick

namespace tarnwick::commands {

// Help Contents: the suite's help file when the installation carries one, else Tarnwick's
// manual, handed to the desktop's viewer for it. A manual that is nowhere, or a file no program
// on the desktop can show, is said so with what to do about it.
void helpContentsCommand(const AppPaths& paths, DesktopServices& desktop, Dialogs& dialogs);

// Web Based Support: the support page in the desktop's browser. The program has nothing to add
// when no browser starts, so a failure is ignored. Without an address, Tarnwick's manual opens at
// its page on getting help.
void webSupportCommand(const QString& address, const AppPaths& paths, DesktopServices& desktop,
                       Dialogs& dialogs);

// The manual's section on getting help, which Web Based Support opens without an address.
inline constexpr const char* gettingHelpSection = "help";

} // namespace tarnwick::commands
