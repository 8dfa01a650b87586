#pragma once

#include "platform/AppPaths.h"

#include <QString>
#include <QStringList>

namespace tarnwick::slidekeep {

inline constexpr int exitSuccess = 0;
inline constexpr int exitFailure = 1; // an unknown book, a change that failed
inline constexpr int exitUsage = 2;   // bad arguments, refused before anything is read
inline constexpr int exitNoCatalogue = 3;

// The PhotoDir setting for a chosen folder: absolute, native separators and a trailing
// separator, since Tarnwick puts the book folder straight after it.
QString photoDirSettingValue(const QString& chosenDirectory);

struct CommandResult {
    int exitCode = exitSuccess;
    QString message; // for standard error; empty on success
};

// The commands for scripts and tests: --photo-dir DIR, --activate BOOK, --deactivate BOOK (each
// may be given more than once; the catalogue changes run first). No window is needed.
CommandResult runCommands(const QStringList& arguments, const AppPaths& paths);

QString usageText();

} // namespace tarnwick::slidekeep
