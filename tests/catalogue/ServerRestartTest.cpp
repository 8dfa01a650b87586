#include "app/AppState.h"
#include "app/commands/PhotoDisplayCommands.h"
#include "app/commands/QueryCommands.h"
#include "app/commands/ResultsListCommands.h"
#include "app/commands/Startup.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"
#include "support/ScriptedDialogs.h"
#include "support/TestInstallation.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>
#include <optional>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>

#include <set>
#include <thread>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;
using tarnwick::test::OwnTestServer;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

// Photos 1 and 2 in book A (total loadings 2 and 10), photo 3 in book B (40).
void writeThreePhotos(const QString& path) {
    TestCatalogue catalogue(path);
    catalogue.addBook(u"A"_s);
    catalogue.addBook(u"B"_s);
    catalogue.addPhoto(1, u"A"_s, u"1"_s, {{u"TotalFL"_s, 2.0}, {u"DataPic"_s, u"d1.jpg"_s}});
    catalogue.addPhoto(2, u"A"_s, u"2"_s, {{u"TotalFL"_s, 10.0}, {u"DataPic"_s, u"d2.jpg"_s}});
    catalogue.addPhoto(3, u"B"_s, u"1"_s, {{u"TotalFL"_s, 40.0}, {u"DataPic"_s, u"d3.jpg"_s}});
}

std::set<qint64> idsOf(const RecordSet& set) {
    std::set<qint64> ids;
    for (int row = 0; row < set.recordCount(); ++row)
        ids.insert(set.value(row, u"ID").toLongLong());
    return ids;
}

DatabaseError failureOf(const PhotoDatabase& database, const QString& statement) {
    try {
        database.run(statement);
    } catch (const DatabaseError& error) {
        return error;
    }
    ADD_FAILURE() << "ran: " << statement.toStdString();
    return DatabaseError(QString(), DatabaseError::Kind::Statement);
}

QueryCriteria totalLoadingUpTo(const QString& high) {
    QueryCriteria criteria;
    criteria.kind = QueryKind::TotalLoading;
    criteria.totalLow = u"0"_s;
    criteria.totalHigh = high;
    return criteria;
}

// Waits on its own connection until a statement on the server waits for a lock.
bool waitForALockWaiter(const test::TestServer& server) {
    const QString name = u"tarnwick-test-lock-watch"_s;
    bool waiting = false;
    {
        QSqlDatabase watch = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        watch.setHostName(server.socketFolder);
        watch.setPort(server.port);
        watch.setDatabaseName(u"catalogue"_s);
        const QDeadlineTimer deadline(30000);
        while (watch.open() && !waiting && !deadline.hasExpired()) {
            QSqlQuery count(watch);
            waiting = count.exec(u"SELECT count(*) FROM pg_stat_activity WHERE "
                                 "wait_event_type = 'Lock'"_s) &&
                      count.next() && count.value(0).toInt() > 0;
            if (!waiting)
                QThread::msleep(20);
        }
        watch.close();
    }
    QSqlDatabase::removeDatabase(name);
    return waiting;
}

class ServerRestartTest : public ::testing::Test {
protected:
    void SetUp() override {
        TARNWICK_SKIP_WITHOUT_ENGINE(installation);
        ASSERT_TRUE(server.server().unavailable.isEmpty())
            << server.server().unavailable.toStdString();
        writeThreePhotos(installation.cataloguePath());
        served = server.serve(installation.cataloguePath());
        serverName =
            u"The catalogue server 127.0.0.1:%1 cannot be reached"_s.arg(server.server().port);
    }

    TestInstallation installation{CatalogueEngine::PostgreSql};
    OwnTestServer server;
    CatalogueLocation served;
    QString serverName;
};

} // namespace

// A restart between two reads goes unnoticed: the second read reconnects once and gives the same
// rows, in a session with the limit the program set. A change is never run twice. A server that
// stays down is named, and each read tries again, so the first after its return works.
TEST_F(ServerRestartTest, AReadAfterARestartReconnectsAndAStoppedServerIsNamed) {
    auto database = PhotoDatabase::open(served);
    database->setServerStatementLimit(30000);
    const RecordSet before = database->run(statements::activePhotosAtStartUp);
    ASSERT_EQ(idsOf(before), (std::set<qint64>{1, 2, 3}));

    ASSERT_TRUE(server.halt());
    ASSERT_TRUE(server.resume());
    const RecordSet after = database->run(statements::activePhotosAtStartUp);
    EXPECT_EQ(idsOf(after), idsOf(before));
    EXPECT_EQ(database->run(u"SELECT current_setting('statement_timeout') AS t"_s).text(0, u"t"),
              u"30s"_s);

    ASSERT_TRUE(server.halt());
    ASSERT_TRUE(server.resume());
    const DatabaseError change =
        failureOf(*database, u"UPDATE Books SET BookLabel = 'C' WHERE BookLabel = 'B'"_s);
    EXPECT_EQ(change.kind(), DatabaseError::Kind::Unreachable);
    EXPECT_EQ(database->run(u"SELECT * FROM Books WHERE BookLabel = 'C'"_s).recordCount(), 0);

    ASSERT_TRUE(server.halt());
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DatabaseError down = failureOf(*database, statements::activePhotosAtStartUp);
        EXPECT_EQ(down.kind(), DatabaseError::Kind::Unreachable);
        EXPECT_TRUE(down.message().startsWith(serverName)) << down.message().toStdString();
        EXPECT_TRUE(down.message().contains(u"The list on screen is kept"_s));
    }
    ASSERT_TRUE(server.resume());
    EXPECT_EQ(idsOf(database->run(statements::activePhotosAtStartUp)), idsOf(before));
}

// The server stops while a search waits for it: the search fails with the server named on the
// status line, the list and the active set stay as they were, and once the server is back the
// next search works.
TEST_F(ServerRestartTest, AServerStoppedDuringASearchKeepsTheList) {
    AppState state(installation.paths(), [] {});
    state.database = PhotoDatabase::open(served);
    ASSERT_TRUE(
        buildAndRunQuery(state, totalLoadingUpTo(u" 10"_s), [&] { fillResultsList(state); }));
    ASSERT_EQ(state.resultsList.rowCount(), 2);
    PhotoDisplayHooks hooks;
    hooks.list = resultsListAccess(state.resultsList, {});
    ASSERT_EQ(showListRow(state, 0, hooks).outcome, ShowPhotoOutcome::Shown);
    const SlotPaths shownPaths = state.displaySlots[0].paths;
    const QString shownId = state.displaySlots[0].photo.text(0, u"ID");
    ASSERT_FALSE(shownId.isEmpty());

    // The search waits for a table another session holds, until the server stops. The stop
    // ends the sessions in no set order: when the holder's goes first the search may still be
    // answered, which is the server's doing, so that round is tried again.
    bool searched = true;
    for (int round = 0; round < 5 && searched; ++round) {
        if (round > 0) {
            ASSERT_TRUE(server.resume());
        }
        std::optional<test::PhotosLock> lock(std::in_place, server.server(), u"catalogue"_s);
        ASSERT_TRUE(lock->held());

        bool halted = false;
        std::thread stopper([&] {
            if (waitForALockWaiter(server.server()))
                halted = server.halt();
        });
        int refills = 0;
        searched = buildAndRunQuery(state, totalLoadingUpTo(u" 40"_s), [&] { ++refills; });
        stopper.join();
        ASSERT_TRUE(halted);
        EXPECT_EQ(refills, searched ? 1 : 0);
        lock.reset();
        if (searched) { // put the list back as it was
            ASSERT_TRUE(server.resume());
            ASSERT_TRUE(buildAndRunQuery(state, totalLoadingUpTo(u" 10"_s),
                                         [&] { fillResultsList(state); }));
            ASSERT_TRUE(server.halt());
        }
    }
    ASSERT_FALSE(searched);
    EXPECT_EQ(idsOf(state.activePhotoSet), (std::set<qint64>{1, 2}));
    EXPECT_EQ(state.resultsList.rowCount(), 2);
    const QString message = state.statusLine.panelText(StatusLine::Message);
    EXPECT_TRUE(message.startsWith(u"ERROR - "_s + serverName)) << message.toStdString();
    EXPECT_TRUE(message.contains(u"The list on screen is kept"_s));

    // A click meanwhile is refused whole, naming the server: the slot keeps the picture and
    // records of the photo shown before, so a report of it never mixes two photos.
    try {
        showListRow(state, 1, hooks);
        ADD_FAILURE() << "a click read a stopped server";
    } catch (const DatabaseError& error) {
        EXPECT_TRUE(error.message().startsWith(serverName)) << error.message().toStdString();
    }
    EXPECT_EQ(state.displaySlots[0].paths.data, shownPaths.data);
    EXPECT_EQ(state.displaySlots[0].photo.text(0, u"ID"), shownId);

    ASSERT_TRUE(server.resume());
    EXPECT_TRUE(buildAndRunQuery(state, totalLoadingUpTo(u" 40"_s), [&] {
        fillResultsList(state);
    })) << state.statusLine.panelText(StatusLine::Message).toStdString();
    EXPECT_EQ(idsOf(state.activePhotoSet), (std::set<qint64>{1, 2, 3}));
    EXPECT_EQ(state.resultsList.rowCount(), 3);
}

// A click's look-ups wait for a table another session holds, as they would for a server that has
// stalled: within the look-up's few seconds, not the minute of a search, the click is refused with
// the server named and the slot left as it was; once the table is free the click works.
TEST_F(ServerRestartTest, AClickOnAServerThatDoesNotAnswerEndsWithinSeconds) {
    AppState state(installation.paths(), [] {});
    state.database = PhotoDatabase::open(served);
    ASSERT_TRUE(
        buildAndRunQuery(state, totalLoadingUpTo(u" 40"_s), [&] { fillResultsList(state); }));
    PhotoDisplayHooks hooks;
    hooks.list = resultsListAccess(state.resultsList, {});
    ASSERT_EQ(showListRow(state, 0, hooks).outcome, ShowPhotoOutcome::Shown);
    const QString shownId = state.displaySlots[0].photo.text(0, u"ID");

    {
        test::PhotosLock lock(server.server(), u"catalogue"_s);
        ASSERT_TRUE(lock.held());

        QElapsedTimer clock;
        clock.start();
        try {
            showListRow(state, 1, hooks);
            ADD_FAILURE() << "a click read a locked table";
        } catch (const DatabaseError& error) {
            EXPECT_EQ(error.kind(), DatabaseError::Kind::Unreachable);
            EXPECT_TRUE(error.message().startsWith(
                u"The catalogue server 127.0.0.1:%1 did not answer within 2 seconds"_s.arg(
                    server.server().port)))
                << error.message().toStdString();
        }
        EXPECT_LT(clock.elapsed(), 6000);
        EXPECT_EQ(state.displaySlots[0].photo.text(0, u"ID"), shownId);
    }
    ASSERT_EQ(showListRow(state, 1, hooks).outcome, ShowPhotoOutcome::Shown);
    EXPECT_NE(state.displaySlots[0].photo.text(0, u"ID"), shownId);
}

// A planner whose login may only read: start-up goes on, shows the books as its update would
// leave them without writing them, says why once the window is up, and searches work.
TEST_F(ServerRestartTest, AReadOnlyLoginStartsShowsTheBooksUpdatedAndSearches) {
    ASSERT_TRUE(server.exec(u"catalogue"_s, u"UPDATE Books SET BreakInches4 = 9.6"_s));
    ASSERT_TRUE(server.exec(u"catalogue"_s, u"CREATE ROLE planner LOGIN"_s));
    ASSERT_TRUE(
        server.exec(u"catalogue"_s, u"GRANT SELECT ON ALL TABLES IN SCHEMA public TO planner"_s));
    {
        QSettings settings(u"Corbell 3"_s, u"Corbell 3"_s);
        settings.setValue(
            u"General/Catalogue"_s,
            u"postgresql://planner@127.0.0.1:%1/catalogue"_s.arg(server.server().port));
    }

    AppState state(installation.paths(), [] {});
    test::ScriptedDialogs dialogs;
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    EXPECT_TRUE(dialogs.shown().empty());
    ASSERT_EQ(state.startupNotices.size(), 1);
    EXPECT_TRUE(state.startupNotices[0].contains(
        u"Your login on the catalogue server 127.0.0.1:%1 may only read"_s.arg(
            server.server().port)))
        << state.startupNotices[0].toStdString();
    EXPECT_EQ(idsOf(state.activePhotoSet), (std::set<qint64>{1, 2, 3}));
    EXPECT_EQ(state.database->lookUp(statements::oneBook(u"A"_s)).number(0, u"BreakInches4"), 9.0);
    EXPECT_EQ(PhotoDatabase::open(served, CatalogueAccess::ReadOnly)
                  ->run(statements::oneBook(u"A"_s))
                  .number(0, u"BreakInches4"),
              9.6);

    EXPECT_TRUE(buildAndRunQuery(state, totalLoadingUpTo(u" 10"_s), [&] {
        fillResultsList(state);
    })) << state.statusLine.panelText(StatusLine::Message).toStdString();
    EXPECT_EQ(idsOf(state.activePhotoSet), (std::set<qint64>{1, 2}));
    EXPECT_EQ(state.resultsList.rowCount(), 2);
}
