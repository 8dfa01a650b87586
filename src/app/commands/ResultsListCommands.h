#pragma once

#include <functional>
#include <QString>

namespace tarnwick {

struct AppState;
struct ResultsRow;

} // namespace tarnwick

namespace tarnwick::commands {

// Refills the results list from the active photo set and reports the count on the status line.
// The count is the set's record count, rows left out for a missing label included. A fill
// prepared as a ranking keeps its order and says so.
void fillResultsList(AppState& state);

// Re-runs the active set's statement, refills the list, then lets the caller reload the query
// parameters. Database errors propagate to the caller.
void refreshCatalogue(AppState& state, const std::function<void()>& reloadQueryParameters);

// Shows a photo for a row.
using ShowListedPhoto = std::function<void(int slot, const ResultsRow& row)>;

// A click on the list row with this key. A repeat click on the row clicked last does nothing,
// however long ago that was; otherwise the key is remembered, the row's photo is shown in the
// current slot and, in slot 0, the row becomes the selected list item. Returns whether the photo
// was shown.
bool itemClicked(AppState& state, const QString& key, const ShowListedPhoto& showPhoto);

} // namespace tarnwick::commands
