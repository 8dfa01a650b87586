#include "app/commands/Modes.h"

#include "app/AppState.h"

namespace tarnwick::commands {

void applyModeState(AppState& state, Mode mode) {
    state.mode = mode;
    state.currentSlot = mode == Mode::Compare ? 1 : 0;
    state.statusLine.setPhotoPanel(mode == Mode::Compare ? QStringLiteral("Compare Mode")
                                                         : QStringLiteral("Browse Mode"));
}

} // namespace tarnwick::commands
