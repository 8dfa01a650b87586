#pragma once

#include "catalogue/CatalogueLocation.h"

#include <QString>

namespace tarnwick::bench {

// Every query kind, statement to photo set, against the sqlite3 shell running the translated
// statement; and the loading of the query choices.
bool benchQueries(const QString& installation);
// The same searches on a copy of the installation's catalogue in the server's empty database,
// against psql running the translated statement.
bool benchServerQueries(const QString& installation, const CatalogueLocation& server);
bool benchQueryParameters(const QString& installation);

} // namespace tarnwick::bench
