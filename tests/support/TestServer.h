#pragma once

#include "catalogue/CatalogueLocation.h"

#include <QString>
#include <QTemporaryDir>

namespace tarnwick::test {

// The throwaway PostgreSQL server CTest starts for the run (support/catalogue-server): where it
// listens, or why there is none.
struct TestServer {
    QString unavailable; // empty when it runs
    QString socketFolder;
    int port = 0;
    QString passwordRole; // the one role that must give a password
    QString password;
};

const TestServer& testServer();

// ./dev test and CI insist on the server: there a missing one fails the tests that need it.
bool testServerRequired();

// postgresql://127.0.0.1:PORT/DATABASE on the test server.
QString testServerAddress(const QString& database);

// A new, empty database on the test server; its name. Fails the test when it cannot be made.
QString createTestDatabase();
void dropTestDatabase(const QString& name);

// Runs one statement on a database of the test server as its superuser.
bool execOnTestServer(const QString& database, const QString& sql);

// A server of one test's own, for a test that stops and starts it: the run's server is shared by
// the tests that run beside it. Stopped and removed with the object.
class OwnTestServer {
public:
    OwnTestServer();
    ~OwnTestServer();
    OwnTestServer(const OwnTestServer&) = delete;
    OwnTestServer& operator=(const OwnTestServer&) = delete;

    // Where it listens; its unavailable says why there is none.
    const TestServer& server() const { return server_; }
    // Stops it as a restart for maintenance does, every session ended; and starts it again where
    // it listened. Safe from any thread.
    bool halt();
    bool resume();
    // A copy of the catalogue file in a new database of its own.
    CatalogueLocation serve(const QString& cataloguePath);
    // Runs one statement on a database as the server's superuser; fails the test when it fails.
    bool exec(const QString& database, const QString& sql);

private:
    bool run(const char* action);

    QTemporaryDir state_;
    TestServer server_;
};

// Another session holding the table Photos of a database in its transaction, so that the
// catalogue's statements on it wait on the server; let go by release() or at its end.
class PhotosLock {
public:
    PhotosLock(const TestServer& server, const QString& database);
    ~PhotosLock();
    PhotosLock(const PhotosLock&) = delete;
    PhotosLock& operator=(const PhotosLock&) = delete;

    bool held() const { return held_; }
    // Ends the transaction: the statements waiting for it go on.
    void release();

private:
    QString connection_;
    bool held_ = false;
};

} // namespace tarnwick::test
