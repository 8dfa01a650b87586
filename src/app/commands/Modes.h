#pragma once

namespace tarnwick {

struct AppState;

enum class Mode { Browse = 0, Compare = 1 };

// The state side of a mode switch: the compare flag, the current slot and the mode name on the
// status line. Returns false, changing nothing, for a mode that does not exist.
bool applyModeState(AppState& state, int mode);

} // namespace tarnwick
