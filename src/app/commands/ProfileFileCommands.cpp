#include "app/commands/ProfileFileCommands.h"

#include "app/AppState.h"
#include "app/commands/ProfileCommands.h"
#include "platform/Dialogs.h"
#include "platform/OpticalDrive.h"
#include "profile/ProfileFile.h"
#include "profile/RecentProfiles.h"
#include "suite/FileList.h"

#include <QDir>
#include <QFileInfo>

namespace tarnwick::commands {

using namespace Qt::StringLiterals;

namespace {

const QString untitled = u"Untitled"_s;
const QString profileFilter = u"Tarnwick Fuel Profile (*.pr3)"_s;
const QString profileOpenFilter = u"Tarnwick Fuel Profile (*.pr3 *.pro)"_s;

void run(const std::function<void()>& hook) {
    if (hook)
        hook();
}

QString errorText(const FileError& error) {
    return u"Error: %1 %2"_s.arg(error.number).arg(error.description) +
           (error.advice.isEmpty() ? QString() : u'\n' + error.advice);
}

// Whatever the file will hold becomes the profile: a reload gives what is on screen.
void takeWhatIsSaved(FuelProfile& profile, const EncodedProfile& encoded) {
    if (!encoded.quotesReplaced && encoded.unrepresentable.isEmpty())
        return;
    for (QString* text :
         {&profile.name, &profile.notes, &profile.source0to3, &profile.source3Plus,
          &profile.duffSource, &profile.fuelBedSource, &profile.duffValue, &profile.fuelBedValue,
          &profile.herbValue, &profile.herbSource, &profile.woodyValue, &profile.woodySource}) {
        text->replace(u'"', u"''"_s);
        for (const QChar c : encoded.unrepresentable)
            text->replace(c, u'?');
    }
}

} // namespace

std::optional<QString> saveProfile(AppState& state, const QString& given, Dialogs& dialogs,
                                   const ProfileFileHooks& hooks) {
    const QString path = normalisedProfilePath(given);
    const EncodedProfile encoded = encodeProfile(state.fuelProfile);
    if (const std::optional<FileError> error = writeProfileFile(path, encoded.bytes)) {
        dialogs.message(defaultDialogTitle,
                        u"Error while saving file: "_s + path + u'\n' + errorText(*error));
        return std::nullopt;
    }
    // Only a profile that is in its file counts as saved.
    state.profileChanged = false;
    takeWhatIsSaved(state.fuelProfile, encoded);
    state.profileFileName = path;
    if (hooks.fileUsed)
        hooks.fileUsed(path);
    run(hooks.showProfile);
    if (!encoded.unrepresentable.isEmpty())
        state.statusLine.statusMessage(
            StatusKind::Error, u"The profile file cannot hold %1: saved as \"?\" in %2"_s.arg(
                                   encoded.unrepresentable, path));
    else if (encoded.quotesReplaced)
        state.statusLine.statusMessage(
            StatusKind::Info, u"Double quotes in the profile were saved as two single quotes"_s);
    if (const std::optional<QString> problem =
            addToFileList(state.paths.applicationDir(), path, u"pr3"_s))
        dialogs.message(QString(), *problem);
    return path;
}

std::optional<QString> chooseProfileSaveFile(AppState& state, Dialogs& dialogs,
                                             const ProfileFileHooks& hooks) {
    const QString name = proposedProfileFileName(state.fuelProfile.name);
    const QString proposed =
        name.isEmpty() ? state.paths.dataDir() : joinPath(state.paths.dataDir(), name);
    run(hooks.hideAssistant);
    const QString path = dialogs.saveFileName(profileSaveCaption, proposed, profileFilter);
    run(hooks.showAssistant);
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QString> saveProfileChecked(AppState& state, const QString& path, Dialogs& dialogs,
                                          const ProfileFileHooks& hooks) {
    if (path.isEmpty())
        return std::nullopt;
    // The question is about the file that will be written, extension and all. Nothing is
    // deleted: the new file replaces the old one only once it is complete.
    const QString target = normalisedProfilePath(path);
    if (QFileInfo(target).isFile() &&
        dialogs.warningQuestion(QString(), target + u" exists. Do you wish to replace it?"_s) !=
            Answer::Yes)
        return std::nullopt;
    return saveProfile(state, target, dialogs, hooks);
}

std::optional<QString> chooseProfileOpenFile(AppState& state, Dialogs& dialogs,
                                             const ProfileFileHooks& hooks) {
    const QString data = state.paths.dataDir();
    const QString folder = QFileInfo(data).isDir() ? data : state.paths.applicationDir();
    run(hooks.hideAssistant);
    const QString path = dialogs.openFileName(profileLoadCaption, folder, profileOpenFilter);
    run(hooks.showAssistant);
    if (path.isEmpty())
        return std::nullopt;
    if (isOnOpticalDisc(path)) {
        dialogs.warning(defaultDialogTitle, u"You cannot open a file stored on a CD-ROM.\n"
                                            "Copy the file to the computer's hard drive\n"
                                            "and open it from there."_s);
        return std::nullopt;
    }
    return path;
}

bool readProfile(AppState& state, const QString& path, Dialogs& dialogs,
                 const ProfileFileHooks& hooks) {
    const ProfileRead read = readProfileFile(path);
    if (!read.profile) {
        dialogs.message(defaultDialogTitle,
                        u"Error while opening file: \n"_s + errorText(read.error));
        return false;
    }
    state.fuelProfile = *read.profile;
    state.profileFileName = path;
    if (hooks.fileUsed)
        hooks.fileUsed(path);
    run(hooks.showProfile);
    return true;
}

void newProfileCommand(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks) {
    if (saveChangedProfile(state, dialogs, hooks))
        newProfile(state, {hooks.showProfile, hooks.enableProfilePrint});
}

void saveProfileCommand(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks) {
    if (state.profileFileName != untitled && !state.profileFileName.isEmpty()) {
        saveProfile(state, state.profileFileName, dialogs, hooks);
        return;
    }
    saveProfileAsCommand(state, dialogs, hooks);
}

void saveProfileAsCommand(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks) {
    if (const std::optional<QString> chosen = chooseProfileSaveFile(state, dialogs, hooks))
        saveProfileChecked(state, *chosen, dialogs, hooks);
}

namespace {

void loadChosenProfile(AppState& state, const QString& path, Dialogs& dialogs,
                       const ProfileFileHooks& hooks) {
    if (readProfile(state, path, dialogs, hooks))
        run(hooks.enableProfilePrint);
}

// A note, not an error: nothing the user did failed, and the list is right again.
void sayTakenOff(AppState& state, const QStringList& missing) {
    QStringList shown;
    for (const QString& path : missing)
        shown << QDir::toNativeSeparators(path);
    state.statusLine.statusMessage(
        StatusKind::Info, u"No longer there, taken off Recent Profiles: "_s + shown.join(u", "_s));
}

} // namespace

void loadProfileCommand(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks) {
    if (!saveChangedProfile(state, dialogs, hooks))
        return;
    if (const std::optional<QString> chosen = chooseProfileOpenFile(state, dialogs, hooks))
        loadChosenProfile(state, *chosen, dialogs, hooks);
}

void openGivenProfileCommand(AppState& state, const QString& argument, Dialogs& dialogs,
                             const ProfileFileHooks& hooks) {
    if (argument == newProfileArgument) {
        newProfileCommand(state, dialogs, hooks);
        return;
    }
    if (saveChangedProfile(state, dialogs, hooks))
        loadChosenProfile(state, argument, dialogs, hooks);
}

QStringList recentProfilesCommand(AppState& state) {
    RecentProfiles recent = RecentProfiles::read();
    if (const QStringList missing = recent.dropMissing(); !missing.isEmpty()) {
        recent.write();
        sayTakenOff(state, missing);
    }
    return recent.paths();
}

bool forgetMissingRecentProfile(AppState& state, const QString& path) {
    if (QFileInfo(path).isFile())
        return false;
    RecentProfiles recent = RecentProfiles::read();
    recent.remove(path);
    recent.write();
    sayTakenOff(state, {path});
    return true;
}

QString proposedProfileFileName(const QString& profileName) {
    QString name = profileName.simplified();
    // The suite's files travel to Windows machines too: none of their forbidden characters.
    for (QChar& c : name)
        if (QStringView(u"/\\:*?\"<>|").contains(c) || c.category() == QChar::Other_Control)
            c = u'-';
    return name.isEmpty() ? QString() : name + u".pr3"_s;
}

bool saveChangedProfile(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks) {
    if (!state.profileChanged)
        return true;
    if (dialogs.question(QString(), u"Save Changes to Fuel Profile?"_s) != Answer::Yes)
        return true;
    if (state.profileFileName == untitled || state.profileFileName.isEmpty()) {
        const std::optional<QString> chosen = chooseProfileSaveFile(state, dialogs, hooks);
        return chosen && saveProfileChecked(state, *chosen, dialogs, hooks);
    }
    return saveProfile(state, state.profileFileName, dialogs, hooks).has_value();
}

} // namespace tarnwick::commands
