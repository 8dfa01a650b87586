#include "app/commands/Modes.h"

#include "app/AppState.h"

namespace tarnwick {

bool applyModeState(AppState& state, int mode) {
    switch (mode) {
    case int(Mode::Browse):
        state.compareMode = 0;
        state.currentSlot = 0;
        state.statusLine.setPhotoPanel(QStringLiteral("Browse Mode"));
        return true;
    case int(Mode::Compare):
        state.compareMode = 1;
        state.currentSlot = 1;
        state.statusLine.setPhotoPanel(QStringLiteral("Compare Mode"));
        return true;
    default:
        return false;
    }
}

} // namespace tarnwick
