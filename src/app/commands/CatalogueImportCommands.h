#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace tarnwick {

struct AppState;
class Dialogs;
class TableSource;

} // namespace tarnwick

namespace tarnwick::commands {

inline const QString importOldCatalogueTitle = QStringLiteral("Import Old Catalogue");

// The old catalogue at file as an import reads it, read off the window's thread in a process of
// its own (AppState::openOldCatalogue); Escape stops it with a DatabaseError of kind Stopped.
std::unique_ptr<TableSource> readOldCatalogue(const AppState& state, const QString& file);

// The question before an import replaces the installation's catalogue.
QString replaceCatalogueQuestion(const QString& oldCatalogue, const QString& catalogue);

// File > Import Old Catalogue: the old suite's Access catalogue the user names becomes the
// installation's, replacing the one there only on a Yes; the run then goes on on it, and
// catalogueReplaced refreshes what the window shows of the catalogue. A refusal or failure says
// why and leaves the catalogue as it was. True when the catalogue was replaced.
bool importOldCatalogue(AppState& state, Dialogs& dialogs,
                        const std::function<void()>& catalogueReplaced);

} // namespace tarnwick::commands
