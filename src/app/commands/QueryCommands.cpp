#include "app/commands/QueryCommands.h"

#include "app/AppState.h"
#include "app/commands/PhotoSetRead.h"
#include "catalogue/DatabaseError.h"
#include "platform/BackgroundWork.h"

#include <future>
#include <QCursor>
#include <QGuiApplication>

namespace tarnwick::commands {

namespace {

// The hourglass while a search runs; nothing without a GUI application.
class WaitCursor {
public:
    WaitCursor() : active_(qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (active_)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~WaitCursor() {
        if (active_)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool active_;
};

} // namespace

namespace {

// Reads a search's rows as the active set and refills the list from them, under the wait
// cursor; false, with the reason on the status line, when they could not be read. `taken` runs
// between the read and the refill.
bool runSearch(AppState& state, const QString& statement, const std::function<void()>& refillList,
               const PrepareListFill& prepare = {}, const std::function<void()>& taken = {}) {
    if (!state.database) {
        state.statusLine.statusMessage(StatusKind::Error,
                                       QStringLiteral("No photo catalogue is open"));
        return false;
    }
    state.statusLine.statusMessage(StatusKind::Info, QStringLiteral("Searching..."));
    WaitCursor waitCursor;
    try {
        state.activePhotoSet =
            readPhotoSet(state, statement, QStringLiteral("Searching..."), prepare);
    } catch (const DatabaseError& error) {
        reportFailedRead(state, error);
        return false;
    }
    if (taken)
        taken();
    if (refillList)
        refillList();
    state.statusLine.statusMessage(StatusKind::Info, QStringLiteral(" "));
    return true;
}

} // namespace

bool buildAndRunQuery(AppState& state, const QueryCriteria& criteria,
                      const std::function<void()>& refillList) {
    const std::optional<QString> statement = composeQueryStatement(criteria);
    if (!statement) {
        state.statusLine.statusMessage(StatusKind::Error, rangeValuesMustBeNumbers);
        return false;
    }
    if (!runSearch(state, *statement, refillList))
        return false;
    if (const QString notice = reversedRangeNotice(criteria); !notice.isEmpty())
        state.statusLine.statusMessage(StatusKind::Info, notice);
    return true;
}

bool runSiteSearch(AppState& state, const SiteSearch& search,
                   const std::function<void()>& refillList) {
    if (!anySiteValue(search.site)) {
        state.statusLine.statusMessage(StatusKind::Error, enterASiteValue);
        return false;
    }
    const SiteValues site = search.site;
    return runSearch(
        state, siteSearchStatement(search.vegTypes), refillList,
        [site](const RecordSet& set) { return prepareSiteRanking(set, site); },
        [&state, site] { state.siteValues = site; });
}

void startQueryParametersAhead(AppState& state) {
    if (!state.database)
        return;
    state.queryParametersAhead =
        std::async(std::launch::async, [database = state.database.get(), paths = state.paths] {
            return computeQueryParameters(*database, paths);
        });
}

QueryParameters loadQueryParameters(AppState& state) {
    state.statusLine.statusMessage(StatusKind::Info,
                                   QStringLiteral("Loading Query Parameters ..."));
    QueryParameters parameters;
    if (state.database && state.queryParametersAhead.valid()) {
        std::future<QueryParameters>& ahead = state.queryParametersAhead;
        runInBackground([&ahead] { ahead.wait(); }, {}, {});
        parameters = ahead.get();
    } else if (state.database) {
        const auto compute = [&] {
            parameters = computeQueryParameters(*state.database, state.paths);
        };
        // A whole pass over the catalogue: off the window's thread.
        runInBackground(compute, {}, {});
    } else {
        parameters.messages << QStringLiteral("Can't load the query choices: no photo catalogue "
                                              "is open");
    }
    state.fireBehaviourModelNames = parameters.fireBehaviourModelNames;
    if (!parameters.messages.isEmpty())
        state.statusLine.statusMessage(StatusKind::Error, parameters.messages.join(u"  "));
    else
        state.statusLine.statusMessage(StatusKind::Clear, QStringLiteral(" "));
    return parameters;
}

} // namespace tarnwick::commands
