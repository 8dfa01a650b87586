#include "ListCommand.h"

#include "CliSupport.h"

#include "app/AppState.h"
#include "app/commands/ResultsListCommands.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"

using namespace Qt::StringLiterals;

namespace {

void printError(const QString& message) {
    printLine(stderr, u"tarnwick-cli: %1"_s.arg(message));
}

} // namespace

int runList(const QStringList& args) {
    QString appDir;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--app-dir" && i + 1 < args.size()) {
            appDir = args[++i];
        } else if (arg.startsWith(u"--app-dir=")) {
            appDir = arg.mid(10);
        } else {
            printError(arg == u"--app-dir" ? u"--app-dir needs a folder"_s
                                           : u"unknown argument '%1' for list"_s.arg(arg));
            std::fputs("Usage: tarnwick-cli list [--app-dir DIR]\n", stderr);
            return 2;
        }
    }
    // The window's own start-up set and fill, so the two can never list differently. Listing
    // only reads, so a write-protected catalogue lists too.
    tarnwick::AppState state(installationPaths(appDir));
    try {
        state.database = tarnwick::PhotoDatabase::open(tarnwick::configuredCatalogue(state.paths),
                                                       tarnwick::CatalogueAccess::ReadOnly);
        state.activePhotoSet = state.database->run(tarnwick::statements::activePhotosAtStartUp);
        tarnwick::commands::fillResultsList(state);
    } catch (const tarnwick::DatabaseError& error) {
        printError(error.message());
        return 1;
    }
    if (!printResultsListCsv(state.resultsList)) {
        printError(u"cannot write the list to standard output"_s);
        return 1;
    }
    return 0;
}
