#include "profile/AssistantMode.h"

namespace tarnwick {

namespace {

void closeOne(AssistantModes& modes, bool AssistantModes::*assistant) {
    if (modes.comparison && modes.builder)
        modes.hidden = true;
    modes.*assistant = false;
}

} // namespace

bool openComparisonAssistant(AssistantModes& modes) {
    const bool noneOpen = !modes.anyOpen();
    modes.comparison = true;
    modes.hidden = false;
    return noneOpen;
}

void closeComparisonAssistant(AssistantModes& modes) {
    closeOne(modes, &AssistantModes::comparison);
}

bool toggleProfileBuilder(AssistantModes& modes) {
    if (modes.builder) {
        closeOne(modes, &AssistantModes::builder);
        return false;
    }
    modes.builder = true;
    modes.hidden = false;
    return true;
}

AssistantLayout applyAssistantMode(AssistantModes& modes) {
    AssistantLayout layout;
    if (!modes.anyOpen()) {
        layout.hideWindow = true;
        layout.menuChecked = false;
        layout.buttonPressed = false;
        return layout;
    }
    layout.menuEnabled = layout.buttonEnabled = true;
    if (modes.comparison && modes.builder) {
        layout.comparisonTabEnabled = layout.builderTabEnabled = true;
        layout.menuChecked = layout.buttonPressed = true;
    } else if (modes.comparison) {
        layout.currentTab = 0;
        layout.comparisonTabEnabled = true;
        layout.builderTabEnabled = false;
        if (!modes.hidden)
            layout.buttonPressed = layout.menuChecked = true;
    } else {
        layout.currentTab = 1;
        layout.comparisonTabEnabled = false;
        layout.builderTabEnabled = true;
        layout.menuChecked = true;
        if (!modes.hidden)
            layout.buttonPressed = true;
        modes.hidden = false;
    }
    return layout;
}

} // namespace tarnwick
