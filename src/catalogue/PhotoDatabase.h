#pragma once

#include "catalogue/CatalogueLocation.h"
#include "catalogue/JetDialect.h"
#include "catalogue/RecordSet.h"

#include <atomic>
#include <memory>
#include <optional>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <thread>
#include <vector>

class QSqlDatabase;

namespace tarnwick {

struct RequiredColumns;
struct RunControl;

// A book's size-class limit k (1..6) as start-up leaves it: class 1 ends at 0.25, limits 2 to 5
// lose their fractions, limit 6 is kept. A missing limit stays missing, class 1's aside.
std::optional<double> normalisedBookBreak(int sizeClass, std::optional<double> stored);

// A connection, not yet open, to an existing catalogue file: opening it never creates the file,
// and a lock held by another program is waited for a while. Every program of the suite that
// writes the catalogue connects this way.
QSqlDatabase addCatalogueConnection(const QString& path, const QString& connectionName,
                                    CatalogueAccess access = CatalogueAccess::ReadWrite);
// The same for any catalogue: the file, or the server's database (a connection that gives up
// after a few seconds, and that only reads when opened ReadOnly). Every program of the suite
// connects this way.
QSqlDatabase addCatalogueConnection(const CatalogueLocation& location,
                                    const QString& connectionName,
                                    CatalogueAccess access = CatalogueAccess::ReadWrite);

// The one connection to the photo catalogue. Every statement passes through the dialect
// adapter and comes back as a client-side RecordSet. Failures throw DatabaseError with a message
// that names the file, or the server and database.
class PhotoDatabase {
public:
    // Opens an existing catalogue. Never creates or changes the file: a missing, unreachable,
    // unreadable, corrupt or foreign file throws, and so does one lacking a table or column the
    // programs read; for ReadWrite also a write-protected file or folder.
    static std::unique_ptr<PhotoDatabase> open(const QString& path,
                                               CatalogueAccess access = CatalogueAccess::ReadWrite);
    // Opens the file or the server's database. A server that cannot be reached, refuses the
    // login or has no such database throws, as does a database lacking the tables; nothing is
    // written.
    static std::unique_ptr<PhotoDatabase> open(const CatalogueLocation& location,
                                               CatalogueAccess access = CatalogueAccess::ReadWrite);
    ~PhotoDatabase();

    PhotoDatabase(const PhotoDatabase&) = delete;
    PhotoDatabase& operator=(const PhotoDatabase&) = delete;

    // The file's path, or postgresql://HOST:PORT/DB.
    const QString& path() const { return path_; }
    const CatalogueLocation& location() const { return location_; }

    // Runs a statement composed in the program's own dialect. A reading statement may be run
    // from any thread.
    RecordSet run(const QString& statement) const;
    // Runs a quick reading statement, a few rows by key, for what a click shows: on a server
    // within serverLookUpTimeoutSeconds, so that a stalled or vanished server is told within
    // seconds rather than holding the window.
    RecordSet lookUp(const QString& statement) const;
    // read() and reading statements of run() may be used from any thread: the file's reading
    // statements run on a connection of their own, and off the thread that opened a server
    // catalogue they run on a read-only connection of that thread's own.
    //
    // Runs a reading statement as run() does; control follows it, and a stop asked for there
    // throws DatabaseError::Kind::Stopped (on a server the statement is cancelled there, not
    // only its rows dropped).
    RecordSet read(const QString& statement, RunControl& control) const;
    // Re-runs the set's statement and replaces its rows.
    void requery(RecordSet& set) const;

    // How long one statement on a server may take before it is stopped and reported as a server
    // that does not answer (serverStatementTimeoutSeconds unless set here), from the next one on.
    void setServerStatementLimit(int limitMs);

    // Rewrites every book's size-class limits: class 1 ends at 0.25, limits 2 to 5 lose their
    // fractions, limit 6 is kept (normalisedBookBreak). All rows or none.
    void normaliseBookBreaks();
    // For a run that must not write: from now on every set read gives the books' limits as
    // normaliseBookBreaks() would leave them, so a catalogue the program has never started on
    // reads as the window shows it. The catalogue itself is not changed.
    void normaliseBookBreaksWhenRead() { normalisesWhenRead_ = true; }

private:
    explicit PhotoDatabase(CatalogueLocation location);
    // A connection to the server and the statement limit its session has now.
    struct ServerSession {
        QString connectionName;
        int limitMs;
    };
    // The opening thread's connection, else the thread's own, made read-only on first use and
    // closed when the thread ends (a Qt connection serves only the thread that made it).
    ServerSession& serverSessionOfThisThread() const;
    // control, where given, is followed and may stop the statement.
    RecordSet runAsStored(const QString& statement, int limitMs = 0,
                          RunControl* control = nullptr) const;
    RecordSet asNormalisedWhenAsked(RecordSet set) const;
    bool onServer() const { return location_.engine() == CatalogueEngine::PostgreSql; }
    void checkCatalogueShape() const;
    // The columns of each object, read in one statement; nothing when that statement fails.
    std::optional<std::vector<QStringList>>
    columnsReadTogether(const std::vector<RequiredColumns>& required) const;
    // The object's columns; throws DatabaseError naming it when it cannot be read.
    QStringList columnsOf(const RequiredColumns& required) const;
    void checkHasColumns(const RequiredColumns& required, const QStringList& columns) const;
    void checkCatalogueColumns() const;
    struct StatementFailure {
        QString what;
        QSqlError error;
        bool cutOff; // the statement's time limit passed and its connection was cut
        int limitMs;
    };
    // Runs sql on the session's connection into set, within limitMs.
    std::optional<StatementFailure> queryRows(ServerSession& session, const QString& statement,
                                              const QString& sql, RecordSet& set, int limitMs,
                                              RunControl* control) const;
    bool retriesAfterReconnecting(const ServerSession& session, const QString& statement,
                                  const StatementFailure& failure) const;
    // Opens the session's connection again, as it was opened; throws DatabaseError naming the
    // server when it cannot be reached.
    void reconnect(ServerSession& session) const;
    // Gives the session the limit unless it has it; the failure when that fails.
    std::optional<QSqlError> applyLimit(ServerSession& session, int limitMs) const;
    void execNative(const QString& sql, const QVariantList& values = {}) const;
    // cutOff: the statement's time limit (limitMs, 0 for the catalogue's own) passed and its
    // connection was cut.
    [[noreturn]] void fail(const QString& what, const QSqlError& error, bool cutOff = false,
                           int limitMs = 0) const;

    CatalogueLocation location_;
    SqlTarget target_;
    QString path_;
    // Tells this catalogue's connections on other threads from those of any other.
    quint64 serial_;
    QString connectionName_;
    std::thread::id openingThread_;
    mutable ServerSession session_;
    std::atomic<int> statementLimitMs_;
    bool normalisesWhenRead_ = false;
    // Inside the normalisation's transaction, where a lost connection is never reopened.
    bool inTransaction_ = false;
};

} // namespace tarnwick
