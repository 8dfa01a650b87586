#pragma once

namespace tarnwick {

struct AppState;
enum class Mode;

} // namespace tarnwick

namespace tarnwick::commands {

// The state side of a mode switch: the mode, the current slot and the mode name on the status
// line.
void applyModeState(AppState& state, Mode mode);

} // namespace tarnwick::commands
