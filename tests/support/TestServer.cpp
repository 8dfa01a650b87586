#include "support/TestServer.h"

#include "catalogue/CataloguePush.h"
#include "catalogue/DatabaseError.h"

#include <atomic>
#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <unistd.h>

namespace tarnwick::test {

using namespace Qt::StringLiterals;

namespace {

TestServer readServer(const QString& state) {
    TestServer server;
    QFile conf(state + u"/server.conf"_s);
    if (!conf.open(QIODevice::ReadOnly)) {
        server.unavailable = u"no catalogue server was started for this run: run the tests "
                             "through ctest (./dev test), which starts one"_s;
        return server;
    }
    for (const QString& line : QString::fromUtf8(conf.readAll()).split(u'\n')) {
        const qsizetype equals = line.indexOf(u'=');
        const QString key = line.left(equals);
        const QString value = line.mid(equals + 1);
        if (key == u"unavailable")
            server.unavailable = value;
        else if (key == u"socket")
            server.socketFolder = value;
        else if (key == u"port")
            server.port = value.toInt();
        else if (key == u"password_role")
            server.passwordRole = value;
        else if (key == u"password")
            server.password = value;
    }
    if (server.unavailable.isEmpty() &&
        !QFileInfo::exists(u"%1/.s.PGSQL.%2"_s.arg(server.socketFolder).arg(server.port)))
        server.unavailable = u"the catalogue server of an earlier run has stopped: run the tests "
                             "through ctest (./dev test), which starts one"_s;
    return server;
}

// One statement on a connection of its own, as the server's superuser over its socket.
bool exec(const TestServer& server, const QString& database, const QString& sql,
          QString* error = nullptr) {
    const QString name = u"tarnwick-test-server"_s;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        db.setHostName(server.socketFolder);
        db.setPort(server.port);
        db.setDatabaseName(database);
        if (db.open()) {
            QSqlQuery query(db);
            ok = query.exec(sql);
            if (!ok && error)
                *error = query.lastError().text();
        } else if (error) {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

const TestServer& testServer() {
    static const TestServer server = readServer(QStringLiteral(TARNWICK_CATALOGUE_SERVER_STATE));
    return server;
}

bool testServerRequired() {
    return qEnvironmentVariable("TARNWICK_REQUIRE_CATALOGUE_SERVER") == u"1";
}

QString testServerAddress(const QString& database) {
    return u"postgresql://127.0.0.1:%1/%2"_s.arg(testServer().port).arg(database);
}

QString createTestDatabase() {
    static std::atomic<int> count{0};
    const QString name = u"tarnwick_%1_%2"_s.arg(::getpid()).arg(++count);
    QString error;
    if (!exec(testServer(), u"postgres"_s, u"CREATE DATABASE %1"_s.arg(name), &error))
        ADD_FAILURE() << "cannot create the database " << name.toStdString() << ": "
                      << error.toStdString();
    return name;
}

void dropTestDatabase(const QString& name) {
    exec(testServer(), u"postgres"_s, u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(name));
}

bool execOnTestServer(const QString& database, const QString& sql) {
    QString error;
    const bool ok = exec(testServer(), database, sql, &error);
    if (!ok)
        ADD_FAILURE() << sql.toStdString() << ": " << error.toStdString();
    return ok;
}

OwnTestServer::OwnTestServer() {
    if (run("start"))
        server_ = readServer(state_.path());
    else
        server_.unavailable = u"the test's own catalogue server did not start"_s;
}

OwnTestServer::~OwnTestServer() {
    run("stop");
}

bool OwnTestServer::halt() {
    return run("halt");
}

bool OwnTestServer::resume() {
    return run("resume");
}

bool OwnTestServer::run(const char* action) {
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    script.start(QStringLiteral(TARNWICK_CATALOGUE_SERVER_SCRIPT),
                 {QString::fromLatin1(action), state_.path()});
    return script.waitForFinished(60000) && script.exitStatus() == QProcess::NormalExit &&
           script.exitCode() == 0;
}

bool OwnTestServer::exec(const QString& database, const QString& sql) {
    QString error;
    const bool ok = test::exec(server_, database, sql, &error);
    if (!ok)
        ADD_FAILURE() << sql.toStdString() << ": " << error.toStdString();
    return ok;
}

CatalogueLocation OwnTestServer::serve(const QString& cataloguePath) {
    const QString database = u"catalogue"_s;
    QString error;
    if (!test::exec(server_, u"postgres"_s, u"CREATE DATABASE %1"_s.arg(database), &error))
        ADD_FAILURE() << "cannot create the database: " << error.toStdString();
    const CatalogueLocation location = *CatalogueLocation::fromServerAddress(
        u"postgresql://127.0.0.1:%1/%2"_s.arg(server_.port).arg(database), nullptr);
    try {
        pushCatalogue(cataloguePath, location);
    } catch (const DatabaseError& failure) {
        ADD_FAILURE() << "cannot copy the catalogue to the server: "
                      << failure.message().toStdString();
    }
    return location;
}

PhotosLock::PhotosLock(const TestServer& server, const QString& database)
    : connection_(u"tarnwick-test-lock-holder"_s) {
    QSqlDatabase lock = QSqlDatabase::addDatabase(u"QPSQL"_s, connection_);
    lock.setHostName(server.socketFolder);
    lock.setPort(server.port);
    lock.setDatabaseName(database);
    if (!lock.open())
        return;
    QSqlQuery locking(lock);
    held_ =
        locking.exec(u"BEGIN"_s) && locking.exec(u"LOCK TABLE Photos IN ACCESS EXCLUSIVE MODE"_s);
}

PhotosLock::~PhotosLock() {
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

void PhotosLock::release() {
    QSqlQuery(QSqlDatabase::database(connection_, false)).exec(u"ROLLBACK"_s);
}

} // namespace tarnwick::test
