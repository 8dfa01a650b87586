#pragma once

#include "platform/AppPaths.h"

#include <cstdio>
#include <optional>
#include <QString>
#include <QStringList>

namespace tarnwick {
class ResultsListModel;
struct AppState;
} // namespace tarnwick

// Exit statuses of every subcommand: 0 success, 1 a failure while working, 2 bad input.
inline constexpr int exitFailure = 1;
inline constexpr int exitUsage = 2;

// Reports bad command-line input of a command ("tarnwick-cli" or "tarnwick-cli query") with the
// hint to the command list; returns exitUsage.
int usageError(const QString& command, const QString& message);

// One line of text on a stream, in the local encoding.
void printLine(std::FILE* stream, const QString& text);

// The installation named by --app-dir, or the one the environment names when none was given.
tarnwick::AppPaths installationPaths(const QString& appDir);

// The list as CSV on standard output, flushed. False when not all of it could be written (a
// closed pipe, a full disk), which the caller reports.
// rowLimit, when 0 or more, prints only that many rows.
bool printResultsListCsv(const tarnwick::ResultsListModel& list, int rowLimit = -1);

// Shows a photo in the current slot as a click on its list row would; a message when the text
// is no photo ID or names no photo that is shown.
std::optional<QString> showPhotoOf(tarnwick::AppState& state, const QString& idText);

// Reads the value of an option written "--name value" or "--name=value" at args[i], moving i
// past it; false when args[i] is not that option or its value is missing.
bool takeValue(const QStringList& args, qsizetype& i, const QString& name, QString& value);
