#pragma once

#include <QString>

namespace tarnwick::bench {

// The results list over a whole installation: the CLI listing against the sqlite3 shell, filling
// the model, and a header click sort.
bool benchResultsList(const QString& installation);

} // namespace tarnwick::bench
