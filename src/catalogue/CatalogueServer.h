#pragma once

#include "catalogue/CatalogueLocation.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QSqlError;

namespace tarnwick {

// What a catalogue on a PostgreSQL server needs beyond the embedded file: the connection, the
// messages of its failures, and the statements that differ between the two engines.

// Seconds a connection attempt waits for a server that does not answer.
inline constexpr int serverConnectTimeoutSeconds = 5;

// A connection, not yet open, to the server's database: a connect timeout, standard string
// literals, and for ReadOnly a session that refuses every change.
QSqlDatabase addServerConnection(const CatalogueLocation& location, const QString& connectionName,
                                 CatalogueAccess access);

// Opens it, or throws DatabaseError naming the server and database and what to do: Qt's
// driver missing, the server unreachable, the login refused, no such database.
void openServerConnection(QSqlDatabase& db, const CatalogueLocation& location);

// A statement's failure on the server as a DatabaseError: busy (a lock held too long), not
// allowed to write, connection lost, or the statement itself.
[[noreturn]] void throwServerFailure(const CatalogueLocation& location, const QString& what,
                                     const QSqlError& error);

// Whether a failure is the server's or the connection's rather than the statement's.
bool isServerTrouble(const QSqlError& error);

// The tables and views of the catalogue's schema, as "name" and "type" columns.
inline const QString serverCatalogueObjectsStatement =
    QStringLiteral("SELECT table_name AS name, table_type AS type FROM information_schema.tables "
                   "WHERE table_schema = current_schema()");

// Opens the normalisation's transaction. The lock lets readers on but keeps a second start-up's
// normalisation waiting until the first one's is committed, so both end with the same limits
// and neither fails; one held much longer than a normalisation takes ends the wait.
inline const QStringList serverNormalisationStart{
    QStringLiteral("BEGIN"),
    QStringLiteral("SET LOCAL lock_timeout = '10s'"),
    QStringLiteral("LOCK TABLE Books IN SHARE ROW EXCLUSIVE MODE"),
};

} // namespace tarnwick
