#pragma once

#include <QString>

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

} // namespace tarnwick::test
