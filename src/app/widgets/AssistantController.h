#pragma once

#include "app/commands/ProfileCommands.h"

#include <QObject>

namespace tarnwick {

struct AppState;
class AssistantWindow;
class MainWindow;

// The assistant window's side of the main window: shows the comparison and the profile from the
// state, runs the builder's commands, and keeps the window, its tabs, the Assistants menu item
// and the Assistant toolbar button in line with the assistants open.
class AssistantController : public QObject {
    Q_OBJECT
public:
    AssistantController(AppState& state, MainWindow& window);

    AssistantWindow* window() const { return assistant_; }
    const ProfileHooks& profileHooks() const { return profileHooks_; }

    // The comparison tab and the builder's current-photo column from the two slots.
    void refreshValues();
    // The builder's profile column, name and title.
    void showProfile();
    // The heading of the pane taking the next photo is bold.
    void setBoldColumn(int slot);

    // The Assistants menu item and toolbar button: shows the window when hidden, hides it
    // when shown.
    void toggle();
    // Hides the window as its Hide buttons do.
    void hideWindow();
    // Compare mode switched on or off; the Profile Builder command.
    void comparingStarted();
    void comparingEnded();
    void builderCommand();
    // The main frame was minimised or restored: the window follows it.
    void frameMinimised();
    void frameRestored();

private:
    void showAndPlace();
    void apply();

    AppState& state_;
    MainWindow& main_;
    AssistantWindow* assistant_;
    ProfileHooks profileHooks_;
    bool hiddenWithFrame_ = false;
};

} // namespace tarnwick
