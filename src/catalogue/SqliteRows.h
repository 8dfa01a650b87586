#pragma once

#include <QSqlError>
#include <QString>

#include <optional>

class QSqlDatabase;

namespace tarnwick {

class RecordSet;

// Runs a statement on an SQLite connection and reads its rows straight from the engine into a
// set, without a QVariant or a QString for every cell: a million rows load in about the time
// the engine takes to produce them. False when the connection is not an SQLite one (the caller
// reads the rows through Qt then); an error of the engine is returned as Qt would report it.
bool readSqliteRows(const QSqlDatabase& database, const QString& sql, RecordSet& set,
                    std::optional<QSqlError>& error);

} // namespace tarnwick
