#pragma once

#include <optional>

namespace tarnwick {

// Which assistants are open, and the flag set when one of two open assistants closed.
struct AssistantModes {
    bool comparison = false;
    bool builder = false;
    bool hidden = false;

    bool anyOpen() const { return comparison || builder; }
};

// Comparing starts: the comparison assistant opens. True when no assistant was open, so the
// window is to be shown and placed.
bool openComparisonAssistant(AssistantModes& modes);
// Comparing ends.
void closeComparisonAssistant(AssistantModes& modes);
// The Profile Builder command opens the builder, or closes it when open. True when it opened.
bool toggleProfileBuilder(AssistantModes& modes);

// How the window, its tabs, the Assistants menu item and the Assistant toolbar button follow a
// mode. Members left empty are left as they are.
struct AssistantLayout {
    bool hideWindow = false;
    std::optional<int> currentTab; // 0 comparison, 1 builder
    std::optional<bool> comparisonTabEnabled;
    std::optional<bool> builderTabEnabled;
    bool menuEnabled = false;
    std::optional<bool> menuChecked;
    bool buttonEnabled = false;
    std::optional<bool> buttonPressed;
};

// The layout for the modes; clears the hidden flag where the builder alone is open.
AssistantLayout applyAssistantMode(AssistantModes& modes);

} // namespace tarnwick
