#include "app/commands/PhotoDisplayCommands.h"

#include "app/AppState.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoLabels.h"
#include "display/ImageProblem.h"
#include "display/PhotoPaths.h"
#include "display/SlotDisplay.h"
#include "resultslist/ResultsListModel.h"

#include <QFileInfo>

namespace tarnwick::commands {

namespace {

bool isFile(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// Looks the photo up under the photo directory until the check lets the display go on.
// Returns the entry as the list now holds it, or none when it is gone or names no data sheet.
std::optional<ListEntry> locatePhoto(AppState& state, const ListEntry& given,
                                     const PhotoDisplayHooks& hooks, SlotDisplay* display,
                                     bool& primaryFound, ShowPhotoOutcome& stop) {
    DisplaySlot& shown = state.displaySlot(state.currentSlot);
    for (;;) {
        ListEntry entry = given;
        if (given.row >= 0 && hooks.list.entryAt) {
            // Retrying may come after the list was refilled; the row says which photo is meant.
            std::optional<ListEntry> listed = hooks.list.entryAt(given.row);
            if (!listed) {
                stop = ShowPhotoOutcome::NotInList;
                return std::nullopt;
            }
            entry = *listed;
            entry.row = given.row;
        }
        if (entry.data.isEmpty()) {
            stop = ShowPhotoOutcome::NoDataImage;
            return std::nullopt;
        }
        shown.paths = composeSlotPaths(state.photoImageDir, state.paths, entry);
        if (display)
            display->setCaption(entry.text);
        state.statusLine.setPhotoPanel(entry.text);

        const QString photoDirBefore = state.photoImageDir;
        const PhotoDirCheckResult check = hooks.directoryCheck
                                              ? hooks.directoryCheck(entry, shown.paths.photo)
                                              : fileExistsCheck(shown.paths.photo);
        if (check.next == PhotoDirCheckNext::Retry)
            continue;
        primaryFound = check.photoFound;
        if (state.photoImageDir != photoDirBefore) {
            // The user pointed the suite at another photo directory meanwhile; the photo being
            // shown is looked for there already.
            shown.paths = composeSlotPaths(state.photoImageDir, state.paths, entry);
            primaryFound = isFile(shown.paths.photo);
        }
        return entry;
    }
}

} // namespace

PhotoDirCheckResult fileExistsCheck(const QString& primaryPhotoPath) {
    return {PhotoDirCheckNext::GoOn, isFile(primaryPhotoPath)};
}

ResultsListAccess resultsListAccess(const ResultsListModel& list,
                                    std::function<void(int row)> selectRow) {
    const ResultsListModel* model = &list;
    ResultsListAccess access;
    access.entryAt = [model](int row) -> std::optional<ListEntry> {
        if (row < 0 || row >= model->rowCount())
            return std::nullopt;
        return listEntryOfRow(model->rowAt(row), row);
    };
    access.findByText = [model](const QString& text) -> std::optional<ListEntry> {
        const int row = model->positionOfText(text);
        if (row < 0)
            return std::nullopt;
        return listEntryOfRow(model->rowAt(row), row);
    };
    access.selectRow = selectRow ? std::move(selectRow) : [](int) {};
    return access;
}

ShowPhotoResult showPhoto(AppState& state, const ListEntry& given, const PhotoDisplayHooks& hooks) {
    state.statusLine.statusMessage(StatusKind::Clear, QString());
    const int slot = state.currentSlot;
    DisplaySlot& shown = state.displaySlot(slot);
    SlotDisplay* display = hooks.displays[size_t(slot)];

    bool primaryFound = false;
    ShowPhotoOutcome stop = ShowPhotoOutcome::Shown;
    const SlotPaths pathsBefore = shown.paths;
    const QString photoPanelBefore = state.statusLine.panelText(StatusLine::Photo);
    const std::optional<ListEntry> entry =
        locatePhoto(state, given, hooks, display, primaryFound, stop);
    if (!entry)
        return {stop, std::nullopt};

    // The records come first: a catalogue that cannot be read (a server gone) leaves the slot's
    // picture and records those of the photo shown before, so its reports never mix two photos.
    RecordSet book;
    RecordSet photo;
    try {
        if (state.database) {
            book = state.database->lookUp(statements::oneBook(entry->dir));
            photo = state.database->lookUp(
                statements::onePhotoById(photoIdOfListKey(entry->key).value_or(0)));
        }
    } catch (const DatabaseError&) {
        // The caption and the photo panel go on naming the photo whose records are shown.
        shown.paths = pathsBefore;
        if (display)
            display->setCaption(photoDisplayLabel(shown.photo));
        state.statusLine.setPhotoPanel(photoPanelBefore);
        throw;
    }

    const SlotPaths& paths = shown.paths;
    QString picture;
    if (primaryFound) {
        shown.imageSource = ImageSource::PhotoDirectory;
        picture = paths.photo;
    } else if (isFile(paths.localPhoto)) {
        shown.imageSource = ImageSource::Local;
        picture = paths.localPhoto;
    } else {
        shown.imageSource = ImageSource::None;
        if (display)
            display->showNoPicture(noPictureText(state.photoImageDir, state.paths));
    }
    if (!picture.isEmpty()) {
        if (display)
            display->showRetrieving();
        const ImageProblem problem = diagnoseImageFile(picture);
        if (problem == ImageProblem::None) {
            if (display)
                display->showImage(picture);
        } else {
            // Only the picture area says so: the photo's records and plate are still shown, so
            // they never stay those of the photo shown before.
            if (display)
                display->showCantLoad(cantLoadImageText);
            state.statusLine.statusMessage(StatusKind::Error,
                                           imageProblemMessage(picture, problem));
        }
    }

    shown.book = std::move(book);
    shown.photo = std::move(photo);

    const bool printable = slotHasPhoto(state, 0) && slotHasPhoto(state, 1);
    if (hooks.setComparisonPrintEnabled)
        hooks.setComparisonPrintEnabled(printable);
    if (hooks.refreshAssistant)
        hooks.refreshAssistant();
    if (hooks.drawDataPlate) {
        // Browsing shows the photo's data beside its picture, in pane 1.
        hooks.drawDataPlate(state.comparing() ? slot : 1, slot);
    }
    if (state.comparing() && hooks.refreshAssistant)
        hooks.refreshAssistant();
    return {ShowPhotoOutcome::Shown, printable};
}

ShowPhotoResult showListRow(AppState& state, int row, const PhotoDisplayHooks& hooks) {
    std::optional<ListEntry> entry =
        hooks.list.entryAt ? hooks.list.entryAt(row) : std::optional<ListEntry>();
    if (!entry)
        return {ShowPhotoOutcome::NotInList, std::nullopt};
    entry->row = row;
    if (hooks.list.selectRow)
        hooks.list.selectRow(row);
    if (state.mode == Mode::Browse)
        state.selectedListItem = entry->key;
    return showPhoto(state, *entry, hooks);
}

ShowPhotoResult showPhotoById(AppState& state, qint64 id, const PhotoDisplayHooks& hooks) {
    const RecordSet photo =
        state.database ? state.database->lookUp(statements::onePhotoById(id)) : RecordSet();
    if (photo.isEmpty())
        return {ShowPhotoOutcome::NotInList, std::nullopt};
    return showPhoto(state, listEntryOfPhoto(photo), hooks);
}

bool slotHasPhoto(const AppState& state, int slot) {
    if (slot < 0 || slot > 1)
        return false;
    return state.displaySlot(slot).photo.recordCount() >= 1;
}

QString photoImagePathFor(const AppState& state, const QString& photoText,
                          const ResultsListAccess& list) {
    const std::optional<ListEntry> entry =
        list.findByText ? list.findByText(photoText) : std::optional<ListEntry>();
    if (!entry)
        return QStringLiteral("Error");
    const SlotPaths paths = composeSlotPaths(state.photoImageDir, state.paths, *entry);
    return isFile(paths.photo) ? paths.photo : paths.localPhoto;
}

ViewerPaths viewerPathsFor(const AppState& state, int pane) {
    const DisplaySlot& shown = state.displaySlot(state.comparing() && pane == 1 ? 1 : 0);
    const SlotPaths& paths = shown.paths;
    if (shown.imageSource == ImageSource::PhotoDirectory)
        return {paths.photo, paths.data};
    return {paths.localPhoto, paths.localData};
}

} // namespace tarnwick::commands
