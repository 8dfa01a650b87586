#pragma once

#include "catalogue/CatalogueLocation.h"

#include <atomic>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QSqlError;

namespace tarnwick {

// What a catalogue on a PostgreSQL server needs beyond the embedded file: the connection, the
// messages of its failures, and the statements that differ between the two engines.

// Seconds a connection attempt waits for a server that does not answer.
inline constexpr int serverConnectTimeoutSeconds = 5;
// Seconds one statement may take before it is stopped: far beyond what any statement of the
// programs needs, short enough that a stalled server never holds a window for good.
inline constexpr int serverStatementTimeoutSeconds = 60;

// Seconds a look-up of what a click shows may take: a few rows by key, which a server that
// answers at all gives at once.
inline constexpr int serverLookUpTimeoutSeconds = 2;

// While it lives, a statement on the connection is given a time limit. The server stops a
// statement that runs past it itself (statement_timeout); a server that does not answer at all
// (its process stalled) cannot, so a little after the limit the connection's socket is shut
// down here, which ends the wait with a lost connection. When stop turns true meanwhile, the
// server is asked to cancel the statement, which then ends with the server's "canceling
// statement" error. On a connection that is not to a server it does nothing.
class ServerStatementDeadline {
public:
    ServerStatementDeadline(const QSqlDatabase& db, int limitMs,
                            const std::atomic<bool>* stop = nullptr);
    ~ServerStatementDeadline();
    ServerStatementDeadline(const ServerStatementDeadline&) = delete;
    ServerStatementDeadline& operator=(const ServerStatementDeadline&) = delete;

    // Whether the limit passed and the connection was cut.
    bool cut() const;

private:
    long long id_ = 0;
};

// The message for a statement the server did not finish within the limit.
QString serverDidNotAnswer(const CatalogueLocation& location, int limitMs,
                           const QString& detail = QString());

// A connection, not yet open, to the server's database: a connect timeout, a statement timeout,
// standard string literals, and for ReadOnly a session that refuses every change.
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

// Whether a failure is the connection's: the server went away (a restart, a network gone) or
// ended the session.
bool isLostConnection(const QSqlError& error);

// The message for a connection that was lost and could not be opened again; error is why the
// new one failed.
QString serverCannotBeReachedAgain(const CatalogueLocation& location, const QSqlError& error);

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
