#pragma once

#include <QSqlError>
#include <QString>

#include <optional>

namespace tarnwick {

class RecordSet;
struct RunControl;

// Runs a reading statement on the SQLite catalogue at path and reads its rows straight from the
// engine into a set, without a QVariant or a QString for every cell. It uses a connection of its
// own, opened for this one statement and read-only, which needs no locking between threads and
// may be used from any thread: a million rows load in about the time the engine takes to produce
// them. False when the file does not open or the statement writes (the caller runs it through
// Qt then); an error of the engine is returned as Qt would report it, a stop asked for through
// control as SQLITE_INTERRUPT.
bool readSqliteRows(const QString& path, const QString& sql, RecordSet& set,
                    std::optional<QSqlError>& error, RunControl* control = nullptr);

} // namespace tarnwick
