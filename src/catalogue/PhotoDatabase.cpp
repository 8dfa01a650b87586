#include "catalogue/PhotoDatabase.h"

#include "catalogue/CatalogueSchema.h"
#include "catalogue/CatalogueServer.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/RunControl.h"
#include "catalogue/SqliteRows.h"
#include "platform/FileAccess.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

namespace tarnwick {

namespace {

// SQLite's primary result codes that tell the user something different.
constexpr int sqliteBusy = 5;
constexpr int sqliteLocked = 6;
constexpr int sqliteReadOnly = 8;
constexpr int sqliteCorrupt = 11;
constexpr int sqliteCantOpen = 14;
constexpr int sqliteNotADatabase = 26;

int primaryCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}

quint64 nextSerial() {
    static std::atomic<quint64> last{0};
    return ++last;
}

constexpr int defaultLimitMs = serverStatementTimeoutSeconds * 1000;

} // namespace

QSqlDatabase addCatalogueConnection(const QString& path, const QString& connectionName,
                                    CatalogueAccess access) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    // Neither mode lets SQLite create a new, empty catalogue in place of a missing one.
    db.setDatabaseName(
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
        (access == CatalogueAccess::ReadOnly ? QStringLiteral("?mode=ro")
                                             : QStringLiteral("?mode=rw")));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=2000"));
    return db;
}

QSqlDatabase addCatalogueConnection(const CatalogueLocation& location,
                                    const QString& connectionName, CatalogueAccess access) {
    if (location.engine() == CatalogueEngine::PostgreSql)
        return addServerConnection(location, connectionName, access);
    return addCatalogueConnection(location.path(), connectionName, access);
}

PhotoDatabase::PhotoDatabase(CatalogueLocation location)
    : location_(std::move(location)),
      target_(onServer() ? SqlTarget::PostgreSql : SqlTarget::Sqlite),
      path_(location_.displayName()), serial_(nextSerial()),
      connectionName_(QStringLiteral("tarnwick-catalogue-%1").arg(serial_)),
      openingThread_(std::this_thread::get_id()), session_{connectionName_, defaultLimitMs},
      statementLimitMs_(defaultLimitMs) {}

PhotoDatabase::~PhotoDatabase() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

std::unique_ptr<PhotoDatabase> PhotoDatabase::open(const QString& path, CatalogueAccess access) {
    return open(CatalogueLocation::file(path), access);
}

std::unique_ptr<PhotoDatabase> PhotoDatabase::open(const CatalogueLocation& location,
                                                   CatalogueAccess access) {
    std::unique_ptr<PhotoDatabase> database(new PhotoDatabase(location));
    if (database->onServer()) {
        QSqlDatabase db = addCatalogueConnection(location, database->connectionName_, access);
        openServerConnection(db, location);
        database->checkCatalogueShape();
        database->checkCatalogueColumns();
        return database;
    }

    const QString& path = location.path();
    const QFileInfo info(path);
    if (!info.exists()) {
        const QString blocked = firstUnsearchableFolder(path);
        if (!blocked.isEmpty())
            throw DatabaseError(
                QStringLiteral("The photo catalogue %1 cannot be reached: you have no permission "
                               "to search (open) the folder %2.\n\nAsk the administrator of "
                               "this computer for read and search (execute) permission on %2.")
                    .arg(path, blocked),
                DatabaseError::Kind::Unreadable);
        throw DatabaseError(
            QStringLiteral("The photo catalogue %1 does not exist.\n\nReinstall Tarnwick, or copy "
                           "the catalogue of your installation back to this folder.")
                .arg(path),
            DatabaseError::Kind::Missing);
    }
    if (!info.isFile())
        throw DatabaseError(
            QStringLiteral("The photo catalogue %1 is a folder, not a file.\n\nReinstall "
                           "Tarnwick, or copy the catalogue of your installation in its place.")
                .arg(path),
            DatabaseError::Kind::Unreadable);
    if (!info.isReadable())
        throw DatabaseError(
            QStringLiteral("The photo catalogue %1 cannot be read: you have no permission to read "
                           "it.\n\nAsk the administrator of this computer for read permission "
                           "on the file.")
                .arg(path),
            DatabaseError::Kind::Unreadable);
    if (access == CatalogueAccess::ReadWrite) {
        // Tarnwick brings the books up to date at every start and Slidekeep keeps its changes
        // there; SQLite also writes a journal beside the file while it changes it.
        const QString writers = QStringLiteral(
            "Tarnwick updates the catalogue at every start and Slidekeep saves its changes in it");
        if (!info.isWritable())
            throw DatabaseError(
                QStringLiteral("The photo catalogue %1 is write-protected.\n\n%2: give yourself "
                               "permission to write the file.")
                    .arg(path, writers),
                DatabaseError::Kind::ReadOnly);
        if (!folderIsWritable(info.absolutePath()))
            throw DatabaseError(
                QStringLiteral("The folder %1 of the photo catalogue %2 is write-protected.\n\n"
                               "%3, which needs a journal file beside it: give yourself "
                               "permission to write the folder.")
                    .arg(QDir::toNativeSeparators(info.absolutePath()), path, writers),
                DatabaseError::Kind::ReadOnly);
    }

    QSqlDatabase db = addCatalogueConnection(path, database->connectionName_, access);
    if (!db.open())
        database->fail(QStringLiteral("open"), db.lastError());
    // An index made on the first start sorts the whole catalogue; a second thread shares it.
    database->execNative(QStringLiteral("PRAGMA threads = 2"));
    database->checkCatalogueShape();
    database->checkCatalogueColumns();
    return database;
}

namespace {

// The catalogue named as lacking its table or query object.
DatabaseError lackingObject(const CatalogueLocation& location, const QString& path,
                            const QString& object) {
    if (location.engine() == CatalogueEngine::PostgreSql)
        return DatabaseError(
            QStringLiteral("The database %1 on the catalogue server %2 is not a Tarnwick photo "
                           "catalogue: it has no %3.\n\nCopy a catalogue into a new, empty "
                           "database with tarnwick-cli catalogue push --to %4, or correct the "
                           "setting Catalogue.")
                .arg(location.server().database, location.serverName(), object, path),
            DatabaseError::Kind::NotACatalogue);
    return DatabaseError(QStringLiteral("The file %1 is not a Tarnwick photo catalogue: it has no "
                                        "%2.\n\nReinstall Tarnwick, or copy the catalogue of "
                                        "your installation back to this folder.")
                             .arg(path, object),
                         DatabaseError::Kind::NotACatalogue);
}

} // namespace

// A server tells a missing table when it is read (checkCatalogueColumns): one round trip fewer.
void PhotoDatabase::checkCatalogueShape() const {
    if (onServer())
        return;
    const RecordSet objects = run(QStringLiteral("SELECT name, type FROM sqlite_master"));
    for (const char* required : {"Books", "Photos", "qryactive"}) {
        bool found = false;
        for (int row = 0; row < objects.recordCount() && !found; ++row)
            found =
                objects.text(row, u"name").compare(QLatin1String(required), Qt::CaseInsensitive) ==
                0;
        if (!found)
            throw lackingObject(location_, path_, QLatin1String(required));
    }
}

namespace {

const QString columnsAdvice =
    QStringLiteral("Restore the catalogue from a backup, or let Slidekeep repair it.");

// Stands between the objects' columns where they are read in one statement.
const QString nextObjectMarker = QStringLiteral("tarnwick_next_object");

QString objectDescription(const RequiredColumns& required) {
    return required.object == u"qryactive"
               ? QStringLiteral("the stored query %1").arg(required.object)
               : QStringLiteral("the table %1").arg(required.object);
}

QStringList fieldNames(const QSqlRecord& record) {
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

} // namespace

// Once here rather than as a missing field in the middle of a search or a data plate. A server
// reads the three objects in one statement, a round trip instead of three across the network;
// when that fails, each is read alone to say which one and why.
void PhotoDatabase::checkCatalogueColumns() const {
    const std::vector<RequiredColumns>& required = requiredCatalogueColumns();
    if (onServer()) {
        if (const std::optional<std::vector<QStringList>> together =
                columnsReadTogether(required)) {
            for (size_t i = 0; i < required.size(); ++i)
                checkHasColumns(required[i], (*together)[i]);
            return;
        }
    }
    for (const RequiredColumns& object : required)
        checkHasColumns(object, columnsOf(object));
}

std::optional<std::vector<QStringList>>
PhotoDatabase::columnsReadTogether(const std::vector<RequiredColumns>& required) const {
    QStringList parts;
    QStringList objects;
    for (size_t i = 0; i < required.size(); ++i) {
        parts << QStringLiteral("o%1.*").arg(i);
        objects << QStringLiteral("%1 o%2").arg(required[i].object).arg(i);
    }
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    // Forward only, Qt's server driver does not look up each column's table name.
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1 FROM %2 LIMIT 0")
                        .arg(parts.join(QStringLiteral(", NULL AS %1, ").arg(nextObjectMarker)),
                             objects.join(QStringLiteral(", ")))))
        return std::nullopt;
    std::vector<QStringList> columns(1);
    for (const QString& name : fieldNames(query.record())) {
        if (name == nextObjectMarker)
            columns.emplace_back();
        else
            columns.back() << name;
    }
    if (columns.size() != required.size())
        return std::nullopt;
    return columns;
}

QStringList PhotoDatabase::columnsOf(const RequiredColumns& required) const {
    const QString what = objectDescription(required);
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(required.object))) {
        const QSqlError error = query.lastError();
        if (onServer() && error.nativeErrorCode() == u"42P01") // no such table or view
            throw lackingObject(location_, path_, required.object);
        const int code = onServer() ? -1 : primaryCode(error);
        if (code == sqliteBusy || code == sqliteLocked || code == sqliteCorrupt ||
            code == sqliteNotADatabase || (onServer() && isServerTrouble(error)))
            fail(QStringLiteral("read %1").arg(what), error);
        throw DatabaseError(QStringLiteral("In the photo catalogue %1, %2 cannot be read "
                                           "(%3).\n\n%4")
                                .arg(path_, what, error.databaseText(), columnsAdvice),
                            DatabaseError::Kind::NotACatalogue);
    }
    return fieldNames(query.record());
}

void PhotoDatabase::checkHasColumns(const RequiredColumns& required,
                                    const QStringList& columns) const {
    QStringList missing;
    for (const QString& column : required.columns)
        if (!columns.contains(column, Qt::CaseInsensitive))
            missing << column;
    if (!missing.isEmpty())
        throw DatabaseError(
            QStringLiteral("In the photo catalogue %1, %2 lacks the %3 %4.\n\n%5")
                .arg(path_, objectDescription(required),
                     missing.size() == 1 ? QStringLiteral("column") : QStringLiteral("columns"),
                     missing.join(QStringLiteral(", ")), columnsAdvice),
            DatabaseError::Kind::NotACatalogue);
}

void PhotoDatabase::fail(const QString& what, const QSqlError& error, bool cutOff,
                         int limitMs) const {
    if (onServer() && (cutOff || error.nativeErrorCode() == u"57014"))
        throw DatabaseError(
            serverDidNotAnswer(location_, limitMs > 0 ? limitMs : statementLimitMs_.load()),
            DatabaseError::Kind::Unreachable);
    if (onServer())
        throwServerFailure(location_, what, error);
    const QString detail = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    switch (primaryCode(error)) {
    case sqliteBusy:
    case sqliteLocked:
        throw DatabaseError(
            QStringLiteral("The photo catalogue %1 is locked by another program.\n\nClose "
                           "Slidekeep or any other program using the catalogue, then try again.")
                .arg(path_),
            DatabaseError::Kind::Locked);
    case sqliteReadOnly:
        throw DatabaseError(
            QStringLiteral("The photo catalogue %1 cannot be written (%2).\n\nGive yourself "
                           "permission to write the file and its folder.")
                .arg(path_, detail),
            DatabaseError::Kind::ReadOnly);
    case sqliteCorrupt:
    case sqliteNotADatabase:
        throw DatabaseError(
            QStringLiteral("The photo catalogue %1 is damaged or is not a catalogue (%2).\n\n"
                           "Reinstall Tarnwick, or restore the catalogue from a backup.")
                .arg(path_, detail),
            DatabaseError::Kind::Corrupt);
    case sqliteCantOpen:
        throw DatabaseError(
            QStringLiteral("The photo catalogue %1 cannot be opened (%2).\n\nCheck that the "
                           "file and its folder can be read and written.")
                .arg(path_, detail),
            DatabaseError::Kind::Unreadable);
    default:
        throw DatabaseError(
            QStringLiteral("The photo catalogue %1 failed to %2: %3").arg(path_, what, detail),
            DatabaseError::Kind::Statement);
    }
}

std::optional<double> normalisedBookBreak(int sizeClass, std::optional<double> stored) {
    if (sizeClass == 1)
        return 0.25;
    if (sizeClass <= 5 && stored)
        return std::floor(*stored);
    return stored;
}

RecordSet PhotoDatabase::run(const QString& statement) const {
    return asNormalisedWhenAsked(runAsStored(statement));
}

RecordSet PhotoDatabase::asNormalisedWhenAsked(RecordSet set) const {
    if (!normalisesWhenRead_)
        return set;
    std::array<int, 5> limitFields{}; // BreakInches1..5, -1 where the set has none
    for (int k = 1; k <= 5; ++k)
        limitFields[size_t(k - 1)] = set.fieldIndex(QStringLiteral("BreakInches%1").arg(k));
    if (std::all_of(limitFields.begin(), limitFields.end(), [](int f) { return f < 0; }))
        return set;
    RecordSet normalised(set.statement(), set.fieldNames());
    normalised.reserveRows(set.recordCount());
    for (int row = 0; row < set.recordCount(); ++row) {
        for (int field = 0; field < set.fieldCount(); ++field) {
            const auto limit = std::find(limitFields.begin(), limitFields.end(), field);
            if (limit == limitFields.end()) {
                normalised.appendValue(set.value(row, field));
            } else if (const std::optional<double> value = normalisedBookBreak(
                           int(limit - limitFields.begin()) + 1, set.number(row, field))) {
                normalised.appendReal(*value);
            } else {
                normalised.appendNull();
            }
        }
    }
    normalised.finish();
    return normalised;
}

PhotoDatabase::ServerSession& PhotoDatabase::serverSessionOfThisThread() const {
    if (std::this_thread::get_id() == openingThread_)
        return session_;
    // Removed on the thread that made them, once no query of theirs is left.
    struct ThreadSessions {
        std::map<quint64, ServerSession> sessions;
        ~ThreadSessions() {
            for (const auto& [serial, session] : sessions) {
                QSqlDatabase::database(session.connectionName, false).close();
                QSqlDatabase::removeDatabase(session.connectionName);
            }
        }
    };
    thread_local ThreadSessions ofThisThread;
    const auto known = ofThisThread.sessions.find(serial_);
    if (known != ofThisThread.sessions.end())
        return known->second;
    static std::atomic<quint64> threads{0};
    const QString name = QStringLiteral("%1-thread-%2").arg(connectionName_).arg(++threads);
    addCatalogueConnection(location_, name, CatalogueAccess::ReadOnly);
    return ofThisThread.sessions[serial_] = ServerSession{name, defaultLimitMs};
}

RecordSet PhotoDatabase::runAsStored(const QString& statement, int limitMs,
                                     RunControl* control) const {
    const QString sql = translateJet(statement, target_);
    RecordSet set(statement, {});
    std::optional<QSqlError> engineError;
    if (!onServer() && readSqliteRows(location_.path(), sql, set, engineError)) {
        if (engineError)
            fail(QStringLiteral("run \"%1\"").arg(statement), *engineError);
        return set;
    }
    ServerSession& session = onServer() ? serverSessionOfThisThread() : session_;
    if (limitMs <= 0)
        limitMs = statementLimitMs_;
    // A connection lost earlier and not made again then: each statement tries once more.
    if (onServer() && !QSqlDatabase::database(session.connectionName, false).isOpen())
        reconnect(session);
    std::optional<StatementFailure> failure =
        queryRows(session, statement, sql, set, limitMs, control);
    if (failure && control && control->stopRequested)
        throw DatabaseError(QStringLiteral("Stopped"), DatabaseError::Kind::Stopped);
    if (failure && retriesAfterReconnecting(session, statement, *failure)) {
        reconnect(session);
        failure = queryRows(session, statement, sql, set, limitMs, control);
    }
    if (failure)
        fail(failure->what, failure->error, failure->cutOff, failure->limitMs);
    return set;
}

std::optional<PhotoDatabase::StatementFailure>
PhotoDatabase::queryRows(ServerSession& session, const QString& statement, const QString& sql,
                         RecordSet& set, int limitMs, RunControl* control) const {
    const QSqlDatabase db = QSqlDatabase::database(session.connectionName, false);
    // The rows come from the server as they are read, so the limit covers the reading too.
    const ServerStatementDeadline deadline(db, limitMs,
                                           control ? &control->stopRequested : nullptr);

    if (const std::optional<QSqlError> error = applyLimit(session, limitMs))
        return StatementFailure{QStringLiteral("run \"%1\"").arg(statement), *error, deadline.cut(),
                                limitMs};
    // Stopped already: the statement is not sent at all.
    if (control && control->stopRequested)
        return StatementFailure{QStringLiteral("run \"%1\"").arg(statement), QSqlError(), false,
                                limitMs};
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        return StatementFailure{QStringLiteral("run \"%1\"").arg(statement), query.lastError(),
                                deadline.cut(), limitMs};

    const QSqlRecord shape = query.record();
    QStringList names;
    names.reserve(shape.count());
    for (int i = 0; i < shape.count(); ++i)
        names << shape.fieldName(i);

    set = RecordSet(statement, names);
    const int fields = shape.count();
    while (query.next()) {
        for (int i = 0; i < fields; ++i)
            set.appendValue(query.value(i));
        if (control) {
            ++control->rowsRead;
            if (control->stopRequested)
                return StatementFailure{QStringLiteral("read the rows of \"%1\"").arg(statement),
                                        QSqlError(), false, limitMs};
        }
    }
    if (query.lastError().isValid() || deadline.cut())
        return StatementFailure{QStringLiteral("read the rows of \"%1\"").arg(statement),
                                query.lastError(), deadline.cut(), limitMs};
    set.finish();
    return std::nullopt;
}

// Only a read is run again: a change that failed part way may or may not have been made, and
// inside the normalisation's transaction a new connection would run the rest outside it. A
// statement cut off at its time limit is not either: the server did not answer, and asking again
// would only double the wait.
bool PhotoDatabase::retriesAfterReconnecting(const ServerSession& session, const QString& statement,
                                             const StatementFailure& failure) const {
    const bool inTransaction = &session == &session_ && inTransaction_;
    return onServer() && !inTransaction && !failure.cutOff && isLostConnection(failure.error) &&
           statement.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive);
}

void PhotoDatabase::reconnect(ServerSession& session) const {
    QSqlDatabase db = QSqlDatabase::database(session.connectionName, false);
    db.close();
    if (!db.open()) {
        const QSqlError error = db.lastError();
        db.close();
        throw DatabaseError(serverCannotBeReachedAgain(location_, error),
                            DatabaseError::Kind::Unreachable);
    }
    // A new session starts with the limit every connection gets.
    session.limitMs = defaultLimitMs;
}

std::optional<QSqlError> PhotoDatabase::applyLimit(ServerSession& session, int limitMs) const {
    if (!onServer() || session.limitMs == limitMs)
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(session.connectionName, false));
    if (!query.exec(QStringLiteral("SET statement_timeout = %1").arg(limitMs)))
        return query.lastError();
    session.limitMs = limitMs;
    return std::nullopt;
}

RecordSet PhotoDatabase::lookUp(const QString& statement) const {
    return asNormalisedWhenAsked(runAsStored(statement, serverLookUpTimeoutSeconds * 1000));
}

RecordSet PhotoDatabase::read(const QString& statement, RunControl& control) const {
    if (onServer()) {
        try {
            RecordSet set = runAsStored(statement, statementLimitMs_, &control);
            if (!control.stopRequested)
                return asNormalisedWhenAsked(std::move(set));
        } catch (const DatabaseError&) {
            if (!control.stopRequested)
                throw;
        }
        // A cancel that arrives late could otherwise stop the connection's next statement.
        QSqlDatabase::database(serverSessionOfThisThread().connectionName, false).close();
        throw DatabaseError(QStringLiteral("Stopped"), DatabaseError::Kind::Stopped);
    }
    RecordSet set(statement, {});
    std::optional<QSqlError> engineError;
    if (!readSqliteRows(location_.path(), translateJetToSqlite(statement), set, engineError,
                        &control))
        throw DatabaseError(QStringLiteral("The photo catalogue %1 could not be read for \"%2\": "
                                           "check that the file can be read.")
                                .arg(path_, statement),
                            DatabaseError::Kind::Unreadable);
    if (control.stopRequested.load())
        throw DatabaseError(QStringLiteral("Stopped"), DatabaseError::Kind::Stopped);
    if (engineError)
        fail(QStringLiteral("run \"%1\"").arg(statement), *engineError);
    return asNormalisedWhenAsked(std::move(set));
}

void PhotoDatabase::requery(RecordSet& set) const {
    set = run(set.statement());
}

void PhotoDatabase::execNative(const QString& sql, const QVariantList& values) const {
    const QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    const ServerStatementDeadline deadline(db, statementLimitMs_);
    const auto cutOff = [&deadline] { return deadline.cut(); };
    if (const std::optional<QSqlError> error = applyLimit(session_, statementLimitMs_))
        fail(QStringLiteral("update"), *error, cutOff());
    QSqlQuery query(db);
    // The server prepares only statements that take values; BEGIN, SET or LOCK run as they are.
    if (values.isEmpty()) {
        if (!query.exec(sql))
            fail(QStringLiteral("update"), query.lastError(), cutOff());
        return;
    }
    if (!query.prepare(sql))
        fail(QStringLiteral("prepare an update"), query.lastError(), cutOff());
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        fail(QStringLiteral("update"), query.lastError(), cutOff());
}

void PhotoDatabase::setServerStatementLimit(int limitMs) {
    statementLimitMs_ = limitMs;
}

namespace {

// A book's five limits as start-up leaves them, or nothing when they are stored so already.
std::optional<QVariantList> changedBookBreaks(const RecordSet& books, int row) {
    QVariantList values;
    bool changed = false;
    for (int k = 1; k <= 5; ++k) {
        const QString field = QStringLiteral("BreakInches%1").arg(k);
        const std::optional<double> stored = books.number(row, field);
        const std::optional<double> limit = normalisedBookBreak(k, stored);
        changed = changed || limit != stored || (!stored && !books.isNull(row, field));
        values << (limit ? QVariant(*limit) : QVariant());
    }
    return changed ? std::optional<QVariantList>(values) : std::nullopt;
}

bool booksNormalised(const RecordSet& books) {
    for (int row = 0; row < books.recordCount(); ++row)
        if (changedBookBreaks(books, row))
            return false;
    return true;
}

} // namespace

void PhotoDatabase::normaliseBookBreaks() {
    // Every start after the first finds the limits as they should be. On a server that is seen
    // in one read, without the lock: a round trip instead of five across the network, and a
    // login that may only read starts too.
    if (onServer() && booksNormalised(run(statements::allBooks)))
        return;
    // IMMEDIATE takes the write lock before reading, so a locked catalogue fails before any
    // change; a server's lock makes a second start-up wait for the first one's limits instead.
    try {
        inTransaction_ = true;
        for (const QString& statement :
             onServer() ? serverNormalisationStart : QStringList{QStringLiteral("BEGIN IMMEDIATE")})
            execNative(statement);
        const RecordSet books = run(statements::allBooks);
        for (int row = 0; row < books.recordCount(); ++row) {
            // Limits already right are not written again (a round trip each on a server).
            std::optional<QVariantList> values = changedBookBreaks(books, row);
            if (!values)
                continue;
            *values << books.value(row, u"id");
            execNative(QStringLiteral("UPDATE Books SET BreakInches1 = ?, BreakInches2 = ?, "
                                      "BreakInches3 = ?, BreakInches4 = ?, BreakInches5 = ? "
                                      "WHERE id = ?"),
                       *values);
        }
        execNative(QStringLiteral("COMMIT"));
        inTransaction_ = false;
    } catch (...) {
        inTransaction_ = false;
        QSqlQuery(QSqlDatabase::database(connectionName_, false)).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

} // namespace tarnwick
