#include "profile/AssistantMode.h"

namespace tarnwick {

namespace {

constexpr int comparison = 1;
constexpr int builder = 10;

void closeOne(AssistantModes& modes, int assistant) {
    if (modes.mode == comparison + builder)
        modes.hidden = true;
    modes.mode -= assistant;
}

} // namespace

bool openComparisonAssistant(AssistantModes& modes) {
    const bool noneOpen = modes.mode == 0;
    modes.mode += comparison;
    modes.hidden = false;
    return noneOpen;
}

void closeComparisonAssistant(AssistantModes& modes) {
    closeOne(modes, comparison);
}

bool toggleProfileBuilder(AssistantModes& modes) {
    if (modes.mode >= builder) {
        closeOne(modes, builder);
        return false;
    }
    modes.mode += builder;
    modes.hidden = false;
    return true;
}

AssistantLayout applyAssistantMode(AssistantModes& modes) {
    AssistantLayout layout;
    switch (modes.mode) {
    case 0:
        layout.hideWindow = true;
        layout.menuChecked = false;
        layout.buttonPressed = false;
        break;
    case comparison:
        layout.currentTab = 0;
        layout.comparisonTabEnabled = true;
        layout.builderTabEnabled = false;
        layout.menuEnabled = layout.buttonEnabled = true;
        if (!modes.hidden)
            layout.buttonPressed = layout.menuChecked = true;
        break;
    case builder:
        layout.currentTab = 1;
        layout.comparisonTabEnabled = false;
        layout.builderTabEnabled = true;
        layout.menuEnabled = layout.buttonEnabled = true;
        layout.menuChecked = true;
        if (!modes.hidden)
            layout.buttonPressed = true;
        modes.hidden = false;
        break;
    case comparison + builder:
        layout.comparisonTabEnabled = layout.builderTabEnabled = true;
        layout.menuEnabled = layout.buttonEnabled = true;
        layout.menuChecked = layout.buttonPressed = true;
        break;
    default:
        break;
    }
    return layout;
}

} // namespace tarnwick
