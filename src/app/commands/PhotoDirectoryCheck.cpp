#include "app/commands/PhotoDirectoryCheck.h"

#include "app/AppState.h"
#include "display/PhotoPaths.h"
#include "platform/Dialogs.h"
#include "platform/PathProbe.h"
#include "platform/ProcessRunner.h"
#include "platform/SuiteSettings.h"

#include <QStringList>

namespace tarnwick::commands {

QString photoDirectoryWarningMessage(const QString& photoDirectory) {
    return QStringList{
        QStringLiteral("The default drive/folder (") + photoDirectory +
            QStringLiteral(") that contains the photo images is not accessible."),
        QString(),
        QStringLiteral("You can take the following actions: "),
        QString(),
        QStringLiteral(" 1. Insert the CD or Disk into the correct drive and press RETRY."),
        QStringLiteral("     (CD may take a few seconds to become available after insertion.)"),
        QStringLiteral(" 2. Press MANAGE PHOTO SERIES to change the default photo directory."),
        QStringLiteral(" 3. Press SEARCH LOCAL ONLY to skip looking in the default drive/folder"),
        QStringLiteral("     for the duration of this application session."),
    }
        .join(QLatin1Char('\n'));
}

PhotoDirCheckResult checkPhotoDirectory(AppState& state, Dialogs& dialogs, PathProbe& probe,
                                        ProcessRunner& runner, QString dirCell, QString pictureCell,
                                        const std::function<void()>& refreshCatalogue) {
    if (state.photoDirChoice == PhotoDirChoice::SearchLocalOnly)
        return {};
    const auto probePhoto = [&] {
        return probe.probe(state.photoImageDir,
                           joinImagePath(state.photoImageDir, dirCell, pictureCell));
    };
    const ProbeResult found = probePhoto();
    if (found != ProbeResult::Unreadable)
        return {PhotoDirCheckNext::GoOn, found == ProbeResult::Found};

    const std::optional<PhotoDirChoice> choice =
        dialogs.photoDirectoryWarning(photoDirectoryWarningMessage(state.photoImageDir));
    if (!choice)
        return {};
    state.photoDirChoice = choice;
    switch (*choice) {
    case PhotoDirChoice::Retry:
        return {PhotoDirCheckNext::Retry, false};
    case PhotoDirChoice::SearchLocalOnly:
        return {};
    case PhotoDirChoice::ManagePhotoSeries:
        break;
    }
    runner.runAndWait(slidekeepProgram);
    state.photoImageDir = SuiteSettings().photoDir(state.paths.photoImagesDir());
    if (refreshCatalogue)
        refreshCatalogue();
    // The directory the user has just chosen serves the photo being shown.
    return {PhotoDirCheckNext::GoOn, probePhoto() == ProbeResult::Found};
}

} // namespace tarnwick::commands
