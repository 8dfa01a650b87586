#pragma once

#include <QString>

namespace tarnwick::bench {

// Every query kind, statement to photo set, against the sqlite3 shell running the translated
// statement; and the loading of the query choices.
bool benchQueries(const QString& installation);
bool benchQueryParameters(const QString& installation);

} // namespace tarnwick::bench
