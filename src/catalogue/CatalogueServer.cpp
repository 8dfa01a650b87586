#include "catalogue/CatalogueServer.h"

#include "catalogue/DatabaseError.h"

#include <QCoreApplication>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <array>
#include <chrono>
#include <condition_variable>
#include <dlfcn.h>
#include <map>
#include <mutex>
#include <optional>
#include <sys/socket.h>
#include <thread>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

const QString driverName = u"QPSQL"_s;

// So the server's administrator sees which program holds a connection.
QString applicationName() {
    QString name;
    for (const QChar c : QCoreApplication::applicationName())
        if (c.isLetterOrNumber() && c.unicode() < 128)
            name += c;
    return name.isEmpty() ? u"tarnwick"_s : name;
}

QString detailOf(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.simplified();
}

bool containsAny(const QString& text, std::initializer_list<const char*> markers) {
    for (const char* marker : markers)
        if (text.contains(QLatin1String(marker), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

bool isLostConnection(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    return code.startsWith(u"08") || code.startsWith(u"57P") ||
           containsAny(detailOf(error),
                       {"server closed the connection", "no connection to the server",
                        "terminating connection", "connection to server"});
}

QString serverCannotBeReachedAgain(const CatalogueLocation& location, const QSqlError& error) {
    return u"The catalogue server %1 cannot be reached: the connection to it was lost and could "
           "not be made again (%2). The list on screen is kept, and the next search tries the "
           "server again.\n\nCheck that the server is running and the network is up; if it "
           "still fails, ask the server's administrator."_s.arg(location.serverName(),
                                                                detailOf(error));
}

QSqlDatabase addServerConnection(const CatalogueLocation& location, const QString& connectionName,
                                 CatalogueAccess access) {
    QSqlDatabase db = QSqlDatabase::addDatabase(driverName, connectionName);
    const CatalogueServer& server = location.server();
    if (!server.host.isEmpty())
        db.setHostName(server.host);
    if (server.port > 0)
        db.setPort(server.port);
    db.setDatabaseName(server.database);
    if (!server.user.isEmpty())
        db.setUserName(server.user);
    // No password is ever set here: libpq finds it in ~/.pgpass or PGPASSWORD, or needs none.
    // The translated statements write string literals the standard way, backslashes as text.
    // The server's notices (an index that exists already) are nothing a user needs to see.
    QString sessionSettings =
        u"-c standard_conforming_strings=on -c client_min_messages=warning -c statement_timeout=%1s"_s
            .arg(serverStatementTimeoutSeconds);
    if (access == CatalogueAccess::ReadOnly)
        sessionSettings += u" -c default_transaction_read_only=on"_s;
    QStringList options{u"connect_timeout=%1"_s.arg(serverConnectTimeoutSeconds),
                        u"application_name=%1"_s.arg(applicationName()),
                        u"options='%1'"_s.arg(sessionSettings)};
    options << server.extraOptions;
    db.setConnectOptions(options.join(u';'));
    return db;
}

void openServerConnection(QSqlDatabase& db, const CatalogueLocation& location) {
    const QString server = location.serverName();
    const QString database = location.server().database;
    if (!QSqlDatabase::isDriverAvailable(driverName))
        throw DatabaseError(
            u"The photo catalogue is the database %1 on the server %2, but this computer lacks "
            "Qt's PostgreSQL driver.\n\nInstall it (Debian package libqt6sql6-psql), or remove "
            "the setting Catalogue to use the installation's own catalogue."_s.arg(database,
                                                                                   server),
            DatabaseError::Kind::Unreachable);
    if (db.open())
        return;
    const QString detail = detailOf(db.lastError());
    if (containsAny(detail, {"database \""}) && containsAny(detail, {"does not exist"}))
        throw DatabaseError(
            u"The catalogue server %1 has no database %2.\n\nCheck the database's name in the "
            "setting Catalogue, or have the server's administrator create it and copy a "
            "catalogue into it with tarnwick-cli catalogue push --to %3."_s.arg(
                server, database, location.displayName()),
            DatabaseError::Kind::Missing);
    if (containsAny(detail,
                    {"authentication failed", "no password supplied", "pg_hba.conf", "role \"",
                     "permission denied for database", "does not have connect privilege"}))
        throw DatabaseError(
            u"The catalogue server %1 refused the login to the database %2 (%3).\n\nPut your "
            "password for it in ~/.pgpass or in PGPASSWORD (Tarnwick never keeps one in its "
            "settings), or ask the server's administrator to let you in."_s.arg(server, database,
                                                                                detail),
            DatabaseError::Kind::LoginRefused);
    throw DatabaseError(
        u"The catalogue server %1 cannot be reached for the database %2 (%3).\n\nCheck that the "
        "server is running, that this computer reaches it over the network, and that the "
        "setting Catalogue names the right server and port; if it still fails, ask the "
        "server's administrator."_s.arg(server, database, detail),
        DatabaseError::Kind::Unreachable);
}

bool isServerTrouble(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    return code == u"57014" || code == u"55P03" || code == u"40P01" || code == u"40001" ||
           code == u"25006" || code == u"42501" || isLostConnection(error);
}

void throwServerFailure(const CatalogueLocation& location, const QString& what,
                        const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    const QString name = location.displayName();
    const QString detail = detailOf(error);
    if (code == u"55P03" || code == u"40P01" || code == u"40001")
        throw DatabaseError(
            u"The photo catalogue %1 is held by another program that is changing it (%2).\n\n"
            "Wait a moment and try again; close Slidekeep if someone has it open on the "
            "catalogue."_s.arg(name, detail),
            DatabaseError::Kind::Locked);
    if (code == u"25006" || code == u"42501")
        throw DatabaseError(
            u"The photo catalogue %1 cannot be written (%2).\n\nTarnwick updates the books at "
            "every start and Slidekeep saves its changes there: ask the server's administrator "
            "for permission to update the tables Books and Photos."_s.arg(name, detail),
            DatabaseError::Kind::ReadOnly);
    if (code == u"57014")
        throw DatabaseError(
            serverDidNotAnswer(location, serverStatementTimeoutSeconds * 1000, detail),
            DatabaseError::Kind::Unreachable);
    if (isLostConnection(error))
        throw DatabaseError(
            u"The connection to the catalogue server %1 was lost (%2).\n\nCheck that the server "
            "is running and the network is up, then start again."_s.arg(location.serverName(),
                                                                        detail),
            DatabaseError::Kind::Unreachable);
    throw DatabaseError(u"The photo catalogue %1 failed to %2: %3"_s.arg(name, what, detail),
                        DatabaseError::Kind::Statement);
}

QString serverDidNotAnswer(const CatalogueLocation& location, int limitMs, const QString& detail) {
    return u"The catalogue server %1 did not answer within %2 seconds%3.\n\nCheck that the server "
           "is running and not overloaded and that the network is up, then try again."_s.arg(
               location.serverName(), QString::number(limitMs / 1000.0),
               detail.isEmpty() ? QString() : u" ("_s + detail + u')');
}

namespace {

// The client library's functions, looked up in the copy Qt's PostgreSQL driver loaded: the
// driver keeps the library to itself. Only called once a connection of the driver exists, as the
// library is not loaded before.
template <typename Function> Function* clientFunction(const char* name) {
    void* library = dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
    return library ? reinterpret_cast<Function*>(dlsym(library, name)) : nullptr;
}

// The client library's connection of a connection of the driver, or null.
void* clientConnectionOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    // The client library's name for its connection type, whichever of its two spellings the
    // driver registered.
    if (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0)
        return nullptr;
    return *static_cast<void* const*>(handle.constData());
}

int socketOf(void* connection) {
    if (!connection)
        return -1;
    static const auto socketFunction = clientFunction<int(const void*)>("PQsocket");
    return socketFunction ? socketFunction(connection) : -1;
}

// What cancels a statement under way on the connection from another thread (a PGcancel).
void* cancelOf(void* connection) {
    if (!connection)
        return nullptr;
    static const auto getCancel = clientFunction<void*(void*)>("PQgetCancel");
    return getCancel ? getCancel(connection) : nullptr;
}

void sendCancel(void* cancel) {
    static const auto cancelFunction = clientFunction<int(void*, char*, int)>("PQcancel");
    std::array<char, 256> error{};
    if (cancelFunction)
        cancelFunction(cancel, error.data(), int(error.size()));
}

void freeCancel(void* cancel) {
    if (!cancel)
        return;
    static const auto freeFunction = clientFunction<void(void*)>("PQfreeCancel");
    if (freeFunction)
        freeFunction(cancel);
}

// One thread watches every statement under way; it sleeps until the nearest deadline, and while
// a statement may be stopped it looks at its stop every little while.
class DeadlineWatch {
public:
    static DeadlineWatch& instance() {
        static DeadlineWatch watch;
        return watch;
    }

    long long add(int socket, std::chrono::steady_clock::time_point deadline,
                  const std::atomic<bool>* stop, void* cancel) {
        const std::lock_guard lock(mutex_);
        if (!thread_.joinable())
            thread_ = std::thread([this] { watch(); });
        const long long id = ++lastId_;
        entries_[id] = {socket, deadline, false, stop, cancel, false, std::nullopt};
        changed_.notify_all();
        return id;
    }
    // Returns whether the connection was cut; waits for a cancel being sent.
    bool remove(long long id) {
        std::unique_lock lock(mutex_);
        const auto entry = entries_.find(id);
        if (entry == entries_.end())
            return false;
        changed_.wait(lock, [&] { return !entry->second.cancelling; });
        const bool cut = entry->second.cut;
        void* cancel = entry->second.cancel;
        entries_.erase(entry);
        lock.unlock();
        freeCancel(cancel);
        return cut;
    }
    bool cut(long long id) {
        const std::lock_guard lock(mutex_);
        const auto entry = entries_.find(id);
        return entry != entries_.end() && entry->second.cut;
    }
    ~DeadlineWatch() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
            changed_.notify_all();
        }
        if (thread_.joinable())
            thread_.join();
    }

private:
    struct Entry {
        int socket;
        std::chrono::steady_clock::time_point deadline;
        bool cut;
        const std::atomic<bool>* stop;
        void* cancel;    // null where the statement cannot be stopped
        bool cancelling; // the cancel is being sent, outside the lock
        std::optional<std::chrono::steady_clock::time_point> cancelSent;
    };

    // How soon a stop asked for reaches the server.
    static constexpr auto stopLookInterval = std::chrono::milliseconds(20);
    // A cancel that reaches the server before the statement does is dropped there; one sent
    // again a while later finds it.
    static constexpr auto cancelAgainAfter = std::chrono::milliseconds(500);

    static bool watchesStop(const Entry& entry) { return entry.cancel && entry.stop; }

    // Sends the cancel of a statement whose stop was asked for; false when there is none due.
    bool cancelStopped(std::unique_lock<std::mutex>& lock) {
        const auto now = std::chrono::steady_clock::now();
        for (auto& [id, entry] : entries_) {
            if (!watchesStop(entry) || !entry.stop->load() ||
                (entry.cancelSent && now < *entry.cancelSent + cancelAgainAfter))
                continue;
            // The cancel connects to the server and waits for its answer: not under the lock,
            // so that other statements' deadlines are not held up meanwhile. The entry stays
            // until the cancel is sent (remove() waits for it).
            entry.cancelling = true;
            void* cancel = entry.cancel;
            lock.unlock();
            sendCancel(cancel);
            lock.lock();
            entry.cancelling = false;
            entry.cancelSent = now;
            changed_.notify_all();
            return true;
        }
        return false;
    }

    void watch() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (cancelStopped(lock))
                continue;
            auto next = std::chrono::steady_clock::time_point::max();
            const auto now = std::chrono::steady_clock::now();
            for (auto& [id, entry] : entries_) {
                if (watchesStop(entry))
                    next = std::min(next, now + stopLookInterval);
                if (entry.cut)
                    continue;
                if (entry.deadline <= now) {
                    // The waiting read returns at once and the driver reports a lost connection.
                    ::shutdown(entry.socket, SHUT_RDWR);
                    entry.cut = true;
                } else {
                    next = std::min(next, entry.deadline);
                }
            }
            if (next == std::chrono::steady_clock::time_point::max())
                changed_.wait(lock);
            else
                changed_.wait_until(lock, next);
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<long long, Entry> entries_;
    long long lastId_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

// The server's own limit comes first; the socket is cut only if the server says nothing then.
constexpr auto graceAfterServerLimit = std::chrono::seconds(3);

} // namespace

ServerStatementDeadline::ServerStatementDeadline(const QSqlDatabase& db, int limitMs,
                                                 const std::atomic<bool>* stop) {
    void* connection = clientConnectionOf(db);
    const int socket = socketOf(connection);
    if (socket >= 0)
        id_ = DeadlineWatch::instance().add(socket,
                                            std::chrono::steady_clock::now() +
                                                std::chrono::milliseconds(limitMs) +
                                                graceAfterServerLimit,
                                            stop, stop ? cancelOf(connection) : nullptr);
}

ServerStatementDeadline::~ServerStatementDeadline() {
    if (id_ != 0)
        DeadlineWatch::instance().remove(id_);
}

bool ServerStatementDeadline::cut() const {
    return id_ != 0 && DeadlineWatch::instance().cut(id_);
}

} // namespace tarnwick
