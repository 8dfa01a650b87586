#include "app/commands/ProfileCommands.h"

#include "app/AppState.h"
#include "app/commands/PhotoDisplayCommands.h"
#include "catalogue/CatalogueStatements.h"
#include "resultslist/ResultsRows.h"

namespace tarnwick::commands {

using namespace Qt::StringLiterals;

namespace {

const QString untitled = u"Untitled"_s;

// A row added for a photo found by its label carries what the list always gave such a row:
// the live loadings, canopy, trees and the 1982 model stay empty.
ResultsRow addedSourceRow(ResultsRow row) {
    for (const char16_t* key : {u"HerbTonsPerAcre", u"WoodyTonsPerAcre", u"CanopyClosure",
                                u"TreesPerAcre", u"FBModel2", u"HerbSort", u"WoodySort"})
        row.cells[size_t(resultsColumnIndex(QStringView(key)))].clear();
    return row;
}

bool showListedSource(AppState& state, const QString& label, const PhotoDisplayHooks& display) {
    const std::optional<ListEntry> listed =
        display.list.findByText ? display.list.findByText(label) : std::nullopt;
    if (!listed)
        return false;
    showListRow(state, listed->row, display);
    return true;
}

} // namespace

void newProfile(AppState& state, const ProfileHooks& hooks) {
    state.fuelProfile = FuelProfile{};
    state.profileFileName = untitled;
    state.profileChanged = false;
    if (hooks.showProfile)
        hooks.showProfile();
}

bool selectProfileValue(AppState& state, int component, const ProfileHooks& hooks) {
    state.profileChanged = true;
    if (state.profileFileName.isEmpty())
        state.profileFileName = untitled;
    if (!slotHasPhoto(state, state.currentSlot)) {
        state.statusLine.statusMessage(StatusKind::Error,
                                       u"Can't select values, no photo selected"_s);
        return false;
    }
    if (hooks.enableProfilePrint)
        hooks.enableProfilePrint();
    if (component < 0 || component >= profileComponentCount)
        return false;
    const PhotoColumn current = currentPhotoColumn(assistantValues(state), state.currentSlot);
    takeProfileValue(state.fuelProfile, ProfileComponent(component), current,
                     state.displaySlot(state.currentSlot).photo);
    if (hooks.showProfile)
        hooks.showProfile();
    return true;
}

ComparisonTab assistantValues(const AppState& state) {
    return comparisonTab(state.displaySlots[0].photo, state.displaySlots[1].photo);
}

FindSourceOutcome findSource(AppState& state, const QString& sourceLabel,
                             const PhotoDisplayHooks& display) {
    if (sourceLabel.isEmpty())
        return FindSourceOutcome::NoSource;
    if (showListedSource(state, sourceLabel, display))
        return FindSourceOutcome::ShownFromList;
    const RecordSet found =
        state.database ? state.database->run(statements::photoByLabel(sourceLabel)) : RecordSet();
    if (found.isEmpty()) {
        state.statusLine.statusMessage(StatusKind::Error,
                                       u"Can't find in currently installed photos"_s);
        return FindSourceOutcome::NotInstalled;
    }
    for (ResultsRow& row : composeResultsRows(found))
        state.resultsList.appendRow(addedSourceRow(std::move(row)));
    showListedSource(state, sourceLabel, display);
    return FindSourceOutcome::AddedToList;
}

} // namespace tarnwick::commands
