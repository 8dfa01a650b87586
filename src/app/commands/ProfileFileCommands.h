#pragma once

#include <functional>
#include <optional>
#include <QString>
#include <QStringList>

namespace tarnwick {

struct AppState;
class Dialogs;

} // namespace tarnwick

namespace tarnwick::commands {

// What the profile file commands reach beyond the state and the dialogs. Any member may be
// empty.
struct ProfileFileHooks {
    // The assistant stands above the program's windows: it goes while a file dialog is open.
    std::function<void()> hideAssistant;
    std::function<void()> showAssistant;
    // The profile or its file name changed: the builder tab and the title show it again.
    std::function<void()> showProfile;
    std::function<void()> enableProfilePrint;
    // A file was saved or loaded in the window: Recent Profiles offers it again (the command
    // line's reads and upgrades leave that list alone).
    std::function<void(const QString& path)> fileUsed;
};

inline const QString profileSaveCaption = QStringLiteral("Save Profile as ...");
inline const QString profileLoadCaption = QStringLiteral("Load Profile");
inline const QString newProfileArgument = QStringLiteral("#NEW#");

// Saves the profile under the normalised path (".pro" becomes ".pr3", ".pr3" added unless
// already in the name), enters it in the suite's file list and takes the path as the profile's
// file name. A failed write keeps the old file and the changed flag, and says why. Returns the
// path written, or none.
std::optional<QString> saveProfile(AppState& state, const QString& path, Dialogs& dialogs,
                                   const ProfileFileHooks& hooks);

// The save dialog; none when cancelled.
std::optional<QString> chooseProfileSaveFile(AppState& state, Dialogs& dialogs,
                                             const ProfileFileHooks& hooks);
// Asks before replacing the file that will be written, then saves. None when the answer was No
// or the save failed.
std::optional<QString> saveProfileChecked(AppState& state, const QString& path, Dialogs& dialogs,
                                          const ProfileFileHooks& hooks);
// The open dialog; a file on an optical disc is refused (it cannot be saved back there).
std::optional<QString> chooseProfileOpenFile(AppState& state, Dialogs& dialogs,
                                             const ProfileFileHooks& hooks);
// Reads a ".pr3" or ".pro" file into the profile. A file that cannot be read leaves the profile
// as it was and says why.
bool readProfile(AppState& state, const QString& path, Dialogs& dialogs,
                 const ProfileFileHooks& hooks);

// The builder's New, Save, Save As and Load buttons. New and Load first offer to save a changed
// profile; a save that is cancelled or fails keeps the profile and does nothing more.
void newProfileCommand(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks);
void saveProfileCommand(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks);
void saveProfileAsCommand(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks);
void loadProfileCommand(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks);
// A profile named outside the builder (handed over by a second start, chosen in Recent
// Profiles): "#NEW#" as New does, a file as Load does once it is chosen.
void openGivenProfileCommand(AppState& state, const QString& argument, Dialogs& dialogs,
                             const ProfileFileHooks& hooks);

// The files File > Recent Profiles offers; those no longer there are taken off it and said so on
// the status line.
QStringList recentProfilesCommand(AppState& state);
// True, and said so, when a file chosen in Recent Profiles is no longer there; it is taken off.
bool forgetMissingRecentProfile(AppState& state, const QString& path);

// The file name the save dialog proposes for a profile: its name, without what a file name
// cannot hold; empty for a profile without a name.
QString proposedProfileFileName(const QString& profileName);

// Offers to save a changed profile before the run ends. False cancels the exit: the user
// cancelled the save dialog, refused to replace a file, or the save failed.
bool saveChangedProfile(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks = {});

} // namespace tarnwick::commands
