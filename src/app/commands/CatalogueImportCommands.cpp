#include "app/commands/CatalogueImportCommands.h"

#include "app/AppState.h"
#include "app/commands/Startup.h"
#include "catalogue/CatalogueImport.h"
#include "catalogue/CatalogueLocation.h"
#include "catalogue/DatabaseError.h"
#include "platform/BackgroundWork.h"
#include "platform/Dialogs.h"

#include <QFileInfo>

namespace tarnwick::commands {

using namespace Qt::StringLiterals;

namespace {

QString importedSummary(const ImportedCatalogue& imported, const QString& from) {
    return u"Imported %1 books and %2 photos (%3 active) from %4"_s.arg(
        QString::number(imported.books), QString::number(imported.photos),
        QString::number(imported.activePhotos), QFileInfo(from).fileName());
}

} // namespace

std::unique_ptr<TableSource> readOldCatalogue(const AppState& state, const QString& file) {
    RunControl control;
    std::unique_ptr<TableSource> source;
    runInBackground([&] { source = state.openOldCatalogue(file, control); },
                    [&] { control.stopRequested = true; }, {});
    return source;
}

QString replaceCatalogueQuestion(const QString& oldCatalogue, const QString& catalogue) {
    return u"Replace the catalogue %2 with the one in %1?\n\nThe photo series now in %2 are "
           "replaced as a whole; %1 is only read."_s.arg(oldCatalogue, catalogue);
}

bool importOldCatalogue(AppState& state, Dialogs& dialogs,
                        const std::function<void()>& catalogueReplaced) {
    const CatalogueLocation location = configuredCatalogue(state.paths);
    if (location.engine() != CatalogueEngine::Sqlite) {
        dialogs.message(importOldCatalogueTitle,
                        u"The catalogue is on the server %1. Import the old catalogue into an "
                        "empty database there with\n\ntarnwick-cli catalogue import Photo3.mdb "
                        "--to ADDRESS"_s.arg(location.displayName()));
        return false;
    }
    const QString file =
        dialogs.openFileName(importOldCatalogueTitle, state.paths.applicationDir(),
                             u"Access catalogues (*.mdb *.accdb);;All files (*)"_s);
    if (file.isEmpty())
        return false;
    // A file that is no old catalogue is refused before anything is asked or written.
    std::unique_ptr<TableSource> source;
    const auto refused = [&](const DatabaseError& error) {
        state.statusLine.statusMessage(StatusKind::Error, u"The catalogue was not imported"_s);
        dialogs.critical(importOldCatalogueTitle, error.message());
        return false;
    };
    try {
        state.statusLine.statusMessage(
            StatusKind::Info, u"Reading the old catalogue %1... Press Esc to stop."_s.arg(file));
        source = readOldCatalogue(state, file);
        checkImportable(*source);
    } catch (const DatabaseError& error) {
        if (error.kind() != DatabaseError::Kind::Stopped)
            return refused(error);
        state.statusLine.statusMessage(StatusKind::Info, error.message());
        return false;
    }
    const bool replace = QFileInfo::exists(location.path());
    if (replace &&
        dialogs.warningQuestion(importOldCatalogueTitle,
                                replaceCatalogueQuestion(file, location.path())) != Answer::Yes)
        return false;

    state.statusLine.statusMessage(StatusKind::Info,
                                   u"Importing the old catalogue %1..."_s.arg(file));
    ImportedCatalogue imported;
    try {
        runInBackground([&] { imported = importCatalogue(*source, location.path(), replace); }, {},
                        {});
    } catch (const DatabaseError& error) {
        return refused(error);
    }
    try {
        openCatalogue(state, location);
    } catch (const DatabaseError& error) {
        state.statusLine.statusMessage(StatusKind::Error, error.message());
        return true;
    }
    if (catalogueReplaced)
        catalogueReplaced();
    state.statusLine.statusMessage(StatusKind::Info, importedSummary(imported, file));
    if (imported.activePhotos == 0)
        dialogs.warning(importOldCatalogueTitle, noActivePhotosMessage);
    return true;
}

} // namespace tarnwick::commands
