#pragma once

#include "app/commands/ProfileCommands.h"
#include "app/commands/ProfileFileCommands.h"

#include <QPoint>
#include <QPointer>

#include <optional>

#include <QObject>

namespace tarnwick {

struct AppState;
class AssistantWindow;
class MainWindow;
class NotesWindow;

// The assistant window's side of the main window: shows the comparison and the profile from the
// state, runs the builder's commands, and keeps the window, its tabs, the Assistants menu item
// and the Assistant toolbar button in line with the assistants open.
class AssistantController : public QObject {
    Q_OBJECT
public:
    AssistantController(AppState& state, MainWindow& window);

    AssistantWindow* window() const { return assistant_; }
    const commands::ProfileHooks& profileHooks() const { return profileHooks_; }
    const commands::ProfileFileHooks& profileFileHooks() const { return fileHooks_; }
    // The notes window, while it is open.
    NotesWindow* notesWindow() const;
    // Opens the notes window, or brings it forward.
    void openNotes();

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
    // A profile file or "#NEW#" given from outside the builder: the builder opens on it, after
    // the question about a changed profile.
    void openGiven(const QString& argument);
    // Where the window stood when last shown, kept for the session and in the settings; it
    // opens there again while that place is on a screen, else at its place beside the frame.
    std::optional<QPoint> place() const { return place_; }
    void setPlace(QPoint place) { place_ = place; }

    // The main frame was minimised or restored: the window follows it.
    void frameMinimised();
    void frameRestored();

private:
    void showAndPlace();
    void placeBesideAssistant(QWidget& window) const;
    void apply();

    AppState& state_;
    MainWindow& main_;
    AssistantWindow* assistant_;
    // The profile's name or notes were edited: they count as a change to save.
    void edited(QString& field, const QString& text);

    commands::ProfileHooks profileHooks_;
    commands::ProfileFileHooks fileHooks_;
    QPointer<NotesWindow> notes_;
    bool hiddenWithFrame_ = false;
    std::optional<QPoint> place_;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tarnwick
