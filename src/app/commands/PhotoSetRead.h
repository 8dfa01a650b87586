#pragma once

#include "resultslist/ResultsListModel.h"

#include <functional>
#include <QString>

namespace tarnwick {

struct AppState;
class DatabaseError;
class RecordSet;

} // namespace tarnwick

namespace tarnwick::commands {

// Reads a statement's rows for the active photo set without freezing the window: where the
// catalogue allows, on a worker thread that also works out the list's order for them (kept in
// the state for the next fill), with progress on the status line after the caller's own
// message, and Escape to stop. Throws DatabaseError, of Kind::Stopped after Escape; the active
// set and the list are the caller's to change. `prepare` works out the fill instead of the
// list's own order (a ranking).
using PrepareListFill = std::function<ResultsListModel::PreparedFill(const RecordSet& set)>;
RecordSet readPhotoSet(AppState& state, const QString& statement, const QString& progressText,
                       const PrepareListFill& prepare = {});

// What the status line says for a failed read: a stop is no error.
void reportFailedRead(AppState& state, const DatabaseError& error);
// Runs a command that reads the catalogue; a failure goes to the status line as above. Returns
// whether the command ran through.
bool runReportingFailedRead(AppState& state, const std::function<void()>& command);

} // namespace tarnwick::commands
