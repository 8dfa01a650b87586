#pragma once

#include <functional>

namespace tarnwick {

struct AppState;
class ProcessRunner;

} // namespace tarnwick

namespace tarnwick::commands {

// The views that follow a re-read catalogue. Any member may be empty.
struct CatalogueViewHooks {
    std::function<void()> forgetPictures; // the list's thumbnails of the old photo directory
    std::function<void()> resetCriteria;
    std::function<void()> refillList;
    // Loads the query choices from the catalogue and shows them.
    std::function<void()> reloadQueryParameters;
};

// Lists every active photo as Display All does; false, with the reason on the status line, when
// the catalogue could not be read.
bool listAllPhotos(AppState& state, const CatalogueViewHooks& hooks);

// File > Manage Photo Series: runs Slidekeep (when there is a runner) and waits for it, takes the
// photo directory it leaves in the suite's settings, then lists every photo and reloads the query
// choices for what it may have changed in the catalogue.
void managePhotoSeries(AppState& state, ProcessRunner* runner, const CatalogueViewHooks& hooks);

} // namespace tarnwick::commands
