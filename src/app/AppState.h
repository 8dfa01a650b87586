#pragma once

#include "app/StatusLine.h"
#include "catalogue/AccessSnapshot.h"
#include "catalogue/PhotoDatabase.h"
#include "catalogue/RecordSet.h"
#include "display/PhotoPaths.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "profile/AssistantMode.h"
#include "profile/FuelProfile.h"
#include "query/QueryParameters.h"
#include "query/SiteMatch.h"
#include "resultslist/ResultsListModel.h"

#include <array>
#include <future>
#include <memory>
#include <optional>
#include <QStringList>

namespace tarnwick {

// Browsing shows one photo, its picture beside its data; comparing shows two, one per slot.
enum class Mode { Browse, Compare };

// One display slot, overwritten only by showing a photo in it: where its image files are, which
// of them was loaded, and the photo and book records of its photo (empty until one is shown).
struct DisplaySlot {
    SlotPaths paths;
    ImageSource imageSource = ImageSource::None;
    RecordSet photo;
    RecordSet book;
};

// The state of one run, shared by the windows and commands. Windows read it and call commands;
// they keep no second copy.
struct AppState {
    explicit AppState(AppPaths appPaths, std::function<void()> beep = {})
        : paths(std::move(appPaths)), statusLine(std::move(beep)) {}

    AppPaths paths;
    QString photoImageDir;
    std::unique_ptr<PhotoDatabase> database;
    // The query choices, worked out on a worker thread while start-up reads the list; taken by
    // the first load of the choices. After the database, so that it is waited for before the
    // database goes.
    std::future<QueryParameters> queryParametersAhead;
    RecordSet activePhotoSet;

    Mode mode = Mode::Browse;
    bool comparing() const { return mode == Mode::Compare; }
    int currentSlot = 0;
    QString selectedListItem; // key of the results-list row; empty when none
    // The rows of activePhotoSet as listed, and the key of the row clicked last: a repeat click on
    // it is ignored, across refills and mode changes.
    ResultsListModel resultsList;
    QString lastClickedListKey;
    // The values of the last search by site values; they mean something while the list shows
    // its Match.
    SiteValues siteValues;
    // The list's next fill, worked out with the set it lists while the set was read.
    std::optional<ResultsListModel::PreparedFill> preparedListFill;

    bool profileChanged = false;
    QString profileFileName;
    FuelProfile fuelProfile;
    // Which assistants are open, and whether one of two open ones closed.
    AssistantModes assistants;

    std::optional<PhotoDirChoice> photoDirChoice;
    // Size classes above 3 inches of the last plate drawn, less one (0..3); the chart drawn after
    // a plate reads it.
    int overThreeClassCase = 0;

    std::array<DisplaySlot, 2> displaySlots;
    DisplaySlot& displaySlot(int slot) { return displaySlots[size_t(slot)]; }
    const DisplaySlot& displaySlot(int slot) const { return displaySlots[size_t(slot)]; }
    ModelDescriptionSets fireBehaviourModelNames;

    // The printer Printer Setup chose for the reports that follow; empty: the default printer.
    QString reportPrinter;

    // Reads an old suite's catalogue to import: its Access file, in a process of its own that
    // control can stop; tests feed rows of their own.
    std::function<std::unique_ptr<TableSource>(const QString& path, const RunControl& control)>
        openOldCatalogue = [](const QString& path, const RunControl& control) {
            return readAccessFileApart(path, control);
        };

    // Tells what start-up is doing when it takes a while (the splash shows it); may be empty.
    std::function<void(const QString& text)> showStartupProgress;

    StatusLine statusLine;
    // What start-up could not do without stopping the run; told on the status line once the
    // first photo is on screen, where nothing overwrites it at once.
    QStringList startupNotices;
};

} // namespace tarnwick
