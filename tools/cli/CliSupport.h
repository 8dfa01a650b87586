#pragma once

#include "app/AppPaths.h"

#include <cstdio>
#include <QString>

namespace tarnwick {
class ResultsListModel;
}

// One line of text on a stream, in the local encoding.
void printLine(std::FILE* stream, const QString& text);

// The installation named by --app-dir, or the one the environment names when none was given.
tarnwick::AppPaths installationPaths(const QString& appDir);

// The list as CSV on standard output, flushed. False when not all of it could be written (a
// closed pipe, a full disk), which the caller reports.
bool printResultsListCsv(const tarnwick::ResultsListModel& list);
