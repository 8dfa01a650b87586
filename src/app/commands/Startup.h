#pragma once

#include "app/commands/ProfileFileCommands.h"

#include <QString>

namespace tarnwick {

struct AppState;
class CatalogueLocation;
class Dialogs;

} // namespace tarnwick

namespace tarnwick::commands {

inline const QString secondInstanceMessage =
    QStringLiteral("Error: you already have TarnwickApp Running");
inline const QString noActivePhotosMessage =
    QStringLiteral("Unable to start Tarnwick.  There are no active photos.") + QLatin1Char('\n') +
    QStringLiteral("Please use Slidekeep to activate photos.");
// A second start with a file or "#NEW#" hands it to the running copy; this says it could not.
QString handOverFailedMessage(const QString& argument, int waitedSeconds);
inline const QString exitQuestion = QStringLiteral("Exit Tarnwick?");

// The question start-up asks when the installation holds the old suite's catalogue and none of
// ours.
QString oldCatalogueQuestion(const QString& oldCatalogue, const QString& catalogue);

// What start-up tells, once the window is up, a planner whose server login may only read.
QString readOnlyLoginNotice(const CatalogueLocation& location);

// Opens the catalogue at location as the run's own, in place of the one open so far: normalised
// (on a server whose login may only read, shown normalised and the planner told), indexed for
// the list, the query choices started and the active photos read. Throws DatabaseError.
void openCatalogue(AppState& state, const CatalogueLocation& location);

// Prepares the catalogue side of a run: the data folder, a fresh state, the open and normalised
// catalogue (imported first from the old suite's Photo3.mdb when that is all the installation
// holds and the user agrees), the active photos and the photo directory. On a refusal it shows
// the critical box and returns false; the caller then ends the run.
bool initialiseCatalogue(AppState& state, Dialogs& dialogs);

// The question before a run ends, then the unsaved-profile prompt. False keeps the run going.
bool confirmExit(AppState& state, Dialogs& dialogs, const ProfileFileHooks& hooks = {});

} // namespace tarnwick::commands
