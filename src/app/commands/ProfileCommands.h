#pragma once

#include "profile/AssistantValues.h"

#include <functional>
#include <QString>

namespace tarnwick {

struct AppState;

} // namespace tarnwick

namespace tarnwick::commands {

struct PhotoDisplayHooks;

// What the profile commands reach beyond the state. Any member may be empty.
struct ProfileHooks {
    // The profile changed: the builder tab and the title show it again.
    std::function<void()> showProfile;
    std::function<void()> enableProfilePrint;
};

// Starts an empty profile named "Untitled", not changed.
void newProfile(AppState& state, const ProfileHooks& hooks = {});

// An "Add>" button: takes the current photo's value of a component (numbered as the buttons
// name them: 0 duff, 1 fuel bed, 2 0 to 3 inches, 3 over 3 inches, 4 herb, 5 shrub) into the
// profile. The profile counts as changed even when no photo is shown and nothing is taken, as it
// always did. Returns whether a value was taken.
bool selectProfileValue(AppState& state, int component, const ProfileHooks& hooks);

// The comparison tab and the builder's current-photo column, from the photos of both slots.
ComparisonTab assistantValues(const AppState& state);

enum class FindSourceOutcome {
    NoSource, // the component was never taken: nothing happens
    ShownFromList,
    AddedToList,  // the photo was not listed; its row was added and shown
    NotInstalled, // not among the active photos: said on the status line
};

// A "Show Photo" button: shows the source photo of a component in the current slot, from the
// results list when it is there, else from the catalogue, adding its row to the list.
FindSourceOutcome findSource(AppState& state, const QString& sourceLabel,
                             const PhotoDisplayHooks& display);

} // namespace tarnwick::commands
