#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace tarnwick {

// The two arguments the suite starts the program with, read from its command line as the suite
// has always written it: blanks and tabs separate arguments, double quotes group words (and are
// not kept), a "?" stands for a blank (so a path with blanks can be passed without quotes), and
// anything after the second argument is ignored. Missing arguments are empty.
std::array<QString, 2> commandLineArgs(const QString& commandLine);

// The command line as one text again, from the arguments the system split it into: an argument
// holding a blank or a tab is put in double quotes so it stays one.
QString joinedCommandLine(const QStringList& arguments);

// The two arguments of the program's run, from the arguments the system split its command line
// into (without the program's name). A first argument that names an existing file as it stands
// is taken as it is: the "?" rule is for paths the suite writes without quotes, and a real name
// may hold a "?" of its own.
std::array<QString, 2> programArgs(const QStringList& arguments);

} // namespace tarnwick
