#include "app/commands/PhotoSetRead.h"

#include "app/AppState.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/RunControl.h"
#include "platform/BackgroundWork.h"

#include <QElapsedTimer>
#include <QLocale>

namespace tarnwick::commands {

namespace {

// A read that ends sooner is not worth a progress message.
constexpr qint64 quietMs = 300;

} // namespace

RecordSet readPhotoSet(AppState& state, const QString& statement, const QString& progressText,
                       const PrepareListFill& prepare) {
    RunControl control;
    RecordSet set;
    const int sortColumn = state.resultsList.fillColumn();
    std::optional<ResultsListModel::PreparedFill> prepared;
    const QString shownBefore = state.statusLine.panelText(StatusLine::Message);
    bool progressShown = false;
    QElapsedTimer clock;
    clock.start();
    // What follows the read, or its failure, finds the status line as the caller left it.
    const auto restoreMessage = [&] {
        if (progressShown)
            state.statusLine.statusMessage(StatusKind::Info, shownBefore);
    };
    try {
        runInBackground(
            [&] {
                set = state.database->read(statement, control);
                prepared = prepare ? prepare(set) : ResultsListModel::prepareFill(set, sortColumn);
            },
            [&] { control.stopRequested = true; },
            [&] {
                if (clock.elapsed() < quietMs || control.stopRequested)
                    return;
                const long long rows = control.rowsRead;
                const QString done =
                    rows > 0 ? QStringLiteral(" %1 photos read.").arg(QLocale().toString(rows))
                             : QString();
                state.statusLine.statusMessage(
                    StatusKind::Info, progressText + done + QStringLiteral(" Press Esc to stop."));
                progressShown = true;
            });
    } catch (...) {
        restoreMessage();
        throw;
    }
    restoreMessage();
    state.preparedListFill = std::move(prepared);
    return set;
}

void reportFailedRead(AppState& state, const DatabaseError& error) {
    if (error.kind() == DatabaseError::Kind::Stopped)
        state.statusLine.statusMessage(StatusKind::Info,
                                       QStringLiteral("Stopped: the list is as it was."));
    else
        state.statusLine.statusMessage(StatusKind::Error, error.message());
}

bool runReportingFailedRead(AppState& state, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const DatabaseError& error) {
        reportFailedRead(state, error);
        return false;
    }
}

} // namespace tarnwick::commands
