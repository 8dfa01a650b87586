#include "app/commands/ResultsListCommands.h"

#include "app/AppState.h"
#include "app/commands/PhotoSetRead.h"
#include "app/commands/QueryCommands.h"

namespace tarnwick::commands {

void fillResultsList(AppState& state) {
    std::optional<ResultsListModel::PreparedFill> prepared = std::move(state.preparedListFill);
    state.preparedListFill.reset();
    if (prepared && prepared->source.isOf(state.activePhotoSet))
        state.resultsList.fill(std::move(*prepared));
    else
        state.resultsList.fill(state.activePhotoSet);
    state.statusLine.statusMessage(
        StatusKind::Count,
        QString::number(state.activePhotoSet.recordCount()) + QStringLiteral(" photos found") +
            (state.resultsList.hasMatch() ? QStringLiteral(", nearest first") : QString()));
}

void refreshCatalogue(AppState& state, const std::function<void()>& reloadQueryParameters) {
    if (reloadQueryParameters)
        startQueryParametersAhead(state);
    // A ranked list stays ranked by the same site values, over the rows as they are now.
    PrepareListFill rankAgain;
    if (state.resultsList.hasMatch())
        rankAgain = [site = state.siteValues](const RecordSet& set) {
            return prepareSiteRanking(set, site);
        };
    state.activePhotoSet =
        readPhotoSet(state, state.activePhotoSet.statement(),
                     QStringLiteral("Reading the catalogue again..."), rankAgain);
    fillResultsList(state);
    if (reloadQueryParameters)
        reloadQueryParameters();
}

bool itemClicked(AppState& state, const QString& key, const ShowListedPhoto& showPhoto) {
    if (key == state.lastClickedListKey)
        return false;
    const std::optional<ResultsRow> row = state.resultsList.rowWithKey(key);
    if (!row)
        return false;
    state.lastClickedListKey = key;
    if (showPhoto)
        showPhoto(state.currentSlot, *row);
    if (state.currentSlot == 0)
        state.selectedListItem = key;
    return true;
}

} // namespace tarnwick::commands
