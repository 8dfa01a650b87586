#include "app/commands/Startup.h"

#include "app/AppState.h"
#include "app/commands/CatalogueImportCommands.h"
#include "app/commands/ProfileCommands.h"
#include "app/commands/ProfileFileCommands.h"
#include "app/commands/QueryCommands.h"
#include "catalogue/CatalogueImport.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "platform/BackgroundWork.h"
#include "platform/Dialogs.h"
#include "platform/SuiteSettings.h"

#include <QDir>
#include <QFileInfo>

namespace tarnwick::commands {

namespace {

void resetRunState(AppState& state) {
    state.startupNotices.clear();
    state.currentSlot = 0;
    state.profileChanged = false;
    state.profileFileName.clear();
    state.assistants = AssistantModes{};
    newProfile(state);
    state.mode = Mode::Browse;
}

// The catalogue lists without the index, only slower; one that cannot take it stays as it is.
// A server's catalogue has its indexes from the copy that made it.
void addListOrderIndex(const PhotoDatabase& database, const CatalogueLocation& location) {
    if (location.engine() != CatalogueEngine::Sqlite)
        return;
    try {
        database.run(statements::listOrderIndex);
    } catch (const DatabaseError&) {
    }
}

// Offers to import the old suite's catalogue when it is there and ours is not. A refused or failed
// import throws; No leaves the missing catalogue to be reported as always.
void offerOldCatalogue(const CatalogueLocation& location, const AppState& state, Dialogs& dialogs) {
    const QString old = state.paths.file(QString::fromLatin1(oldCatalogueFileName));
    if (location.engine() != CatalogueEngine::Sqlite || QFileInfo::exists(location.path()) ||
        !QFileInfo(old).isFile())
        return;
    if (dialogs.question(defaultDialogTitle, oldCatalogueQuestion(old, location.path())) !=
        Answer::Yes)
        return;
    if (state.showStartupProgress)
        state.showStartupProgress(QStringLiteral("Importing %1...").arg(old));
    const std::unique_ptr<TableSource> source = readOldCatalogue(state, old);
    runInBackground([&] { importCatalogue(*source, location.path(), false); }, {}, {});
}

// The books' limits as start-up leaves them: written, or where a server's login may only read,
// shown so without being written. The normalisation is one transaction, so a refused one has
// changed nothing.
void normaliseBooks(AppState& state, const CatalogueLocation& location) {
    try {
        state.database->normaliseBookBreaks();
    } catch (const DatabaseError& error) {
        if (error.kind() != DatabaseError::Kind::ReadOnly ||
            location.engine() != CatalogueEngine::PostgreSql)
            throw;
        state.database->normaliseBookBreaksWhenRead();
        state.startupNotices << readOnlyLoginNotice(location);
    }
}

} // namespace

QString readOnlyLoginNotice(const CatalogueLocation& location) {
    return QStringLiteral("Your login on the catalogue server %1 may only read the catalogue: "
                          "searches, plates and reports work, but the books' size-class limits "
                          "are not brought up to date there and Slidekeep cannot save changes. "
                          "Ask the server's administrator for permission to update the tables "
                          "Books and Photos.")
        .arg(location.serverName());
}

QString oldCatalogueQuestion(const QString& oldCatalogue, const QString& catalogue) {
    return QStringLiteral("The installation holds the old suite's catalogue %1 but no catalogue "
                          "%2.\n\nImport %1 into %2 now? The old file is only read.")
        .arg(oldCatalogue, catalogue);
}

void openCatalogue(AppState& state, const CatalogueLocation& location) {
    state.queryParametersAhead = {}; // waits for one still reading the catalogue it replaces
    state.database.reset();
    state.database = PhotoDatabase::open(location);
    normaliseBooks(state, location);
    addListOrderIndex(*state.database, location);
    startQueryParametersAhead(state);
    state.activePhotoSet = state.database->run(statements::activePhotosAtStartUp);
}

QString handOverFailedMessage(const QString& argument, int waitedSeconds) {
    const QString what = argument == newProfileArgument
                             ? QStringLiteral("A new fuel profile was not started")
                             : QStringLiteral("%1 was not opened").arg(argument);
    return QStringLiteral("Tarnwick is already running, but it did not answer within %1 "
                          "seconds. %2.\nFinish what it is doing (or close it), then try again.")
        .arg(waitedSeconds)
        .arg(what);
}

bool initialiseCatalogue(AppState& state, Dialogs& dialogs) {
    const QString dataDir = state.paths.dataDir();
    resetRunState(state);
    if (!QDir(dataDir).exists() && !QDir().mkpath(dataDir)) {
        // Profiles are saved there later; the catalogue still opens, so the run goes on.
        state.startupNotices << QStringLiteral("Can't create the profile folder %1: check that "
                                               "you may write in the installation's folder.")
                                    .arg(dataDir);
    }
    try {
        const CatalogueLocation location = configuredCatalogue(state.paths);
        offerOldCatalogue(location, state, dialogs);
        openCatalogue(state, location);
    } catch (const DatabaseError& error) {
        state.queryParametersAhead = {};
        state.database.reset();
        dialogs.critical(defaultDialogTitle, error.message());
        return false;
    }
    if (state.activePhotoSet.recordCount() < 1) {
        dialogs.critical(defaultDialogTitle, noActivePhotosMessage);
        return false;
    }
    state.photoImageDir = SuiteSettings().photoDir(state.paths.photoImagesDir());
    return true;
}

bool confirmExit(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks) {
    if (dialogs.question(QString(), exitQuestion) != Answer::Yes)
        return false;
    return saveChangedProfile(state, dialogs, hooks);
}

} // namespace tarnwick::commands
