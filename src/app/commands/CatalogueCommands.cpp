#include "app/commands/CatalogueCommands.h"

#include "app/AppState.h"
#include "app/commands/QueryCommands.h"
#include "platform/OpticalDrive.h"
#include "platform/ProcessRunner.h"
#include "platform/SuiteSettings.h"

namespace tarnwick::commands {

bool listAllPhotos(AppState& state, const CatalogueViewHooks& hooks) {
    if (!state.database)
        return false;
    QueryCriteria all;
    all.kind = QueryKind::AllPhotos;
    return buildAndRunQuery(state, all, hooks.refillList);
}

void managePhotoSeries(AppState& state, ProcessRunner* runner, const CatalogueViewHooks& hooks) {
    if (runner)
        runner->runAndWait(slidekeepProgram);
    state.photoImageDir =
        SuiteSettings().photoDir(manageDefaultPhotoDir(state.paths.photoImagesDir()));
    if (hooks.forgetPictures)
        hooks.forgetPictures();
    if (hooks.resetCriteria)
        hooks.resetCriteria();
    // The all-photos query already re-reads the set and refills the list; the query choices
    // are reloaded for what Slidekeep changed, read beside the list.
    startQueryParametersAhead(state);
    if (listAllPhotos(state, hooks) && hooks.reloadQueryParameters)
        hooks.reloadQueryParameters();
}

} // namespace tarnwick::commands
