#include "app/commands/SlotCommands.h"

#include "app/AppState.h"
#include "app/commands/PhotoDisplayCommands.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/PhotoLabels.h"

namespace tarnwick::commands {

bool selectSlot(AppState& state, int slot) {
    state.statusLine.statusMessage(StatusKind::Clear, QString());
    if (!state.comparing() || slot < 0 || slot > 1)
        return false;
    state.currentSlot = slot;
    return true;
}

void clearSlot(AppState& state, int slot, const PhotoDisplayHooks& hooks) {
    state.displaySlot(slot).photo = RecordSet();
    state.displaySlot(slot).book = RecordSet();
    if (hooks.setComparisonPrintEnabled)
        hooks.setComparisonPrintEnabled(false);
}

PlateSource slotPlateSource(const AppState& state, int slot) {
    const RecordSet& photo = state.displaySlot(slot).photo;
    return PlateSource{photo, state.displaySlot(slot).book, photoDisplayLabel(photo)};
}

SlotPlate slotPlate(AppState& state, int slot) {
    PlateSource source = slotPlateSource(state, slot);
    if (source.isComplete())
        state.overThreeClassCase = overThreeClassCase(source.book);
    return {std::move(source), state.overThreeClassCase};
}

void showBrowsedPhotoAgain(AppState& state, const PhotoDisplayHooks& hooks) {
    const auto drawBrowsedPlate = [&hooks] {
        if (hooks.drawDataPlate)
            hooks.drawDataPlate(1, 0);
    };
    const QString key = state.selectedListItem;
    const RecordSet& onScreen = state.displaySlots[0].photo;
    const bool stillShown = !onScreen.isEmpty() && photoListKey(onScreen) == key;
    if (key.isEmpty() || stillShown || !state.database) {
        drawBrowsedPlate();
        return;
    }
    const RecordSet photo =
        state.database->run(statements::onePhotoById(photoIdOfListKey(key).value_or(0)));
    if (photo.isEmpty()) {
        drawBrowsedPlate();
        return;
    }
    ListEntry entry = listEntryOfPhoto(photo);
    entry.row = state.resultsList.positionOfKey(key);
    showPhoto(state, entry, hooks);
}

} // namespace tarnwick::commands
