#pragma once

#include <functional>
#include <QString>

namespace tarnwick {

struct AppState;
class Dialogs;
class PathProbe;
class ProcessRunner;

} // namespace tarnwick

namespace tarnwick::commands {

// The text of the warning that the photo directory cannot be read. The directory is shown as it
// is spelt: on a file system that tells letter case apart, an upper-cased path names nothing.
QString photoDirectoryWarningMessage(const QString& photoDirectory);

enum class PhotoDirCheckNext {
    GoOn,  // show the photo
    Retry, // start the photo display again from its beginning
};

// The answer of the photo directory check made before a photo is shown.
struct PhotoDirCheckResult {
    PhotoDirCheckNext next = PhotoDirCheckNext::GoOn;
    // The photo's file was found under the current photo directory (state.photoImageDir, which
    // Manage Photo Series may have changed). False, also when the directory is no longer searched
    // or could not be read, sends the display to the local copies.
    bool photoFound = false;
};

// Runs before a photo is shown in a pane. Only a photo directory that cannot be read at all
// brings the warning; a missing file does not. The answers: Retry asks the caller to start
// again; Search Local Only stops all later checks for the run; Manage Photo Series runs
// Slidekeep, re-reads the photo directory setting and refreshes the catalogue. The cells are
// taken by value: the refresh may rebuild the list they came from.
PhotoDirCheckResult checkPhotoDirectory(AppState& state, Dialogs& dialogs, PathProbe& probe,
                                        ProcessRunner& runner, QString dirCell, QString pictureCell,
                                        const std::function<void()>& refreshCatalogue);

} // namespace tarnwick::commands
