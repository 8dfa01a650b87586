#pragma once

namespace tarnwick {

struct AppState;
class Dialogs;

// Starts an empty profile named "Untitled".
void newProfile(AppState& state);

// Offers to save a changed profile before the run ends. False cancels the exit.
bool saveChangedProfile(AppState& state, Dialogs& dialogs);

} // namespace tarnwick
