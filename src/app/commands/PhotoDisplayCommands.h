#pragma once

#include "app/commands/PhotoDirectoryCheck.h"
#include "display/ListEntry.h"

#include <array>
#include <functional>
#include <optional>
#include <QString>

namespace tarnwick {

struct AppState;
class RecordSet;
class ResultsListModel;
class SlotDisplay;

} // namespace tarnwick

namespace tarnwick::commands {

// Looks for the photo's file under the photo directory. The program's check asks the user what
// to do when the directory cannot be read at all; Retry makes the display start over.
using DirectoryCheck =
    std::function<PhotoDirCheckResult(const ListEntry& entry, const QString& primaryPhotoPath)>;

// The check used when none is given: the file is there or it is not; nothing is asked.
PhotoDirCheckResult fileExistsCheck(const QString& primaryPhotoPath);

// The results list as the display reaches it. Rows are counted from 0.
struct ResultsListAccess {
    // The entry in a row; none when the list has no such row (it was emptied meanwhile).
    std::function<std::optional<ListEntry>(int row)> entryAt;
    // The first entry whose text is the given one.
    std::function<std::optional<ListEntry>(const QString& text)> findByText;
    // Selects the row and scrolls it into view.
    std::function<void(int row)> selectRow;
};

// List access over the results list's rows in the order it shows them. The model must outlive
// the access; selectRow may be empty.
ResultsListAccess resultsListAccess(const ResultsListModel& list,
                                    std::function<void(int row)> selectRow);

// Everything the display reaches beyond the application state. Any member may be empty.
struct PhotoDisplayHooks {
    std::array<SlotDisplay*, 2> displays{};
    DirectoryCheck directoryCheck; // empty: fileExistsCheck
    ResultsListAccess list;
    std::function<void(bool enabled)> setComparisonPrintEnabled;
    std::function<void()> refreshAssistant;
    // Draws the data plate and loading chart of the photo shown in `slot` into pane `pane`.
    std::function<void(int pane, int slot)> drawDataPlate;
};

enum class ShowPhotoOutcome {
    Shown,       // records read, plate drawn (the picture may still be missing)
    NotInList,   // the list no longer holds the entry's row; nothing shown
    NoDataImage, // the entry names no data-sheet image; nothing shown
};

struct ShowPhotoResult {
    ShowPhotoOutcome outcome = ShowPhotoOutcome::Shown;
    // Whether the comparison can be printed now; set once the records have been read.
    std::optional<bool> comparisonPrintEnabled;
};

// Shows a results-list entry in the current slot: paths, caption, picture, records, the
// comparison print, the assistant and the data plate. Throws DatabaseError when the catalogue
// fails while the records are read, before the slot's picture and records change.
ShowPhotoResult showPhoto(AppState& state, const ListEntry& entry, const PhotoDisplayHooks& hooks);

// Selects a results-list row and shows its photo; outside compare mode the row also becomes the
// photo that browsing returns to.
ShowPhotoResult showListRow(AppState& state, int row, const PhotoDisplayHooks& hooks);

// Shows the active photo with that ID in the current slot, as a click on its list row would,
// whether or not the list holds it. NotInList when it is not among the active photos.
ShowPhotoResult showPhotoById(AppState& state, qint64 id, const PhotoDisplayHooks& hooks);

bool slotHasPhoto(const AppState& state, int slot);

// The picture of the listed photo with that text: under the photo directory when the file is
// there, else its local copy (not checked). "Error" when the list has no such photo.
QString photoImagePathFor(const AppState& state, const QString& photoText,
                          const ResultsListAccess& list);

// The picture and data sheet the full-size viewer opens for a pane: the pane's own slot when
// comparing, slot 0 when browsing; the photo directory's files when the picture came from there,
// the local copies otherwise.
struct ViewerPaths {
    QString photo;
    QString data;
};
ViewerPaths viewerPathsFor(const AppState& state, int pane);

} // namespace tarnwick::commands
