#pragma once

#include "display/DataPlate.h"

namespace tarnwick {

struct AppState;

} // namespace tarnwick

namespace tarnwick::commands {

struct PhotoDisplayHooks;

// Marks the slot that receives the next photo. Only comparing has two slots to choose from; the
// status line is cleared either way. True when the slot became the current one.
bool selectSlot(AppState& state, int slot);

// Forgets the photo a slot showed, so nothing of it stays in what a comparison report would
// print, and the comparison can no longer be printed. The window empties the slot's views.
void clearSlot(AppState& state, int slot, const PhotoDisplayHooks& hooks);

// The rows a slot's plate and chart are drawn from: its photo's and book's records and label.
PlateSource slotPlateSource(const AppState& state, int slot);

// What a pane's plate and chart show for a slot. A slot holding a photo sets the size-class case
// the charts follow; an empty one leaves the case of the plate drawn last, as the chart drawn
// after a plate follows that plate.
struct SlotPlate {
    PlateSource source;
    int overThreeClassCase = 0;
};
SlotPlate slotPlate(AppState& state, int slot);

// Leaving compare mode: slot 0 shows the photo last browsed again where comparing replaced it,
// read afresh since a search may have taken it off the list; otherwise the data pane draws slot
// 0's plate again. Throws DatabaseError when the catalogue cannot be read.
void showBrowsedPhotoAgain(AppState& state, const PhotoDisplayHooks& hooks);

} // namespace tarnwick::commands
