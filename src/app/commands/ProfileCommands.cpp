#include "app/commands/ProfileCommands.h"

#include "app/AppState.h"
#include "platform/Dialogs.h"

namespace tarnwick {

void newProfile(AppState& state) {
    state.fuelProfile = FuelProfile{};
    state.profileFileName = QStringLiteral("Untitled");
}

bool saveChangedProfile(AppState& state, Dialogs& dialogs) {
    // Profiles cannot be edited or saved yet, so nothing can be lost here.
    Q_UNUSED(state);
    Q_UNUSED(dialogs);
    return true;
}

} // namespace tarnwick
