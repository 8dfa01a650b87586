#pragma once

#include <QSqlError>
#include <QString>

#include <optional>

class QSqlDatabase;

namespace tarnwick {

class RecordSet;

// Runs a reading statement on an SQLite catalogue and reads its rows straight from the engine
// into a set, without a QVariant or a QString for every cell. It uses a connection of its own,
// opened for this one statement and read-only, which needs no locking between threads: a
// million rows load in about the time the engine takes to produce them. False when the
// connection is not an SQLite one or the statement writes (the caller runs it through Qt then);
// an error of the engine is returned as Qt would report it.
bool readSqliteRows(const QSqlDatabase& database, const QString& path, const QString& sql,
                    RecordSet& set, std::optional<QSqlError>& error);

} // namespace tarnwick
