#include "app/AppState.h"
#include "app/commands/QueryCommands.h"
#include "app/commands/ResultsListCommands.h"
#include "app/commands/Startup.h"
#include "latency-relay/LatencyRelay.h"
#include "support/BuiltProgram.h"
#include "support/ScriptedDialogs.h"
#include "support/TestInstallation.h"
#include "support/TestServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <set>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;
using tarnwick::relay::LatencyRelay;
using tarnwick::relay::LoopbackEndpoint;
using tarnwick::test::ScriptedDialogs;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int delayMs = 20;

LoopbackEndpoint endpoint(const std::string& text) {
    std::string problem;
    const std::optional<LoopbackEndpoint> parsed = relay::parseLoopbackEndpoint(text, problem);
    EXPECT_TRUE(parsed) << problem;
    return parsed.value_or(LoopbackEndpoint{});
}

// A socket that gives up after a few seconds, so a relay that loses bytes fails the test rather
// than hanging it.
int withTimeouts(int fd) {
    const timeval limit{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    return fd;
}

bool sendAll(int fd, const std::vector<char>& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += size_t(n);
    }
    return true;
}

// Exactly count bytes, or what came before the peer closed or the time ran out.
std::vector<char> receive(int fd, size_t count) {
    std::vector<char> bytes(count);
    size_t got = 0;
    while (got < count) {
        const ssize_t n = ::recv(fd, bytes.data() + got, count - got, 0);
        if (n <= 0)
            break;
        got += size_t(n);
    }
    bytes.resize(got);
    return bytes;
}

// Bytes that differ from one position to the next and between seeds, so a lost, doubled or
// reordered chunk shows.
std::vector<char> pattern(size_t size, unsigned seed) {
    std::vector<char> bytes(size);
    unsigned state = seed;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 16);
    }
    return bytes;
}

// A listening socket on loopback, a free port.
int listenOnLoopback(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 4) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        ADD_FAILURE() << "cannot listen on loopback";
    port = ntohs(address.sin_port);
    return fd;
}

int connectToLoopback(int port) {
    const int fd = withTimeouts(socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        ADD_FAILURE() << "cannot connect to port " << port;
    return fd;
}

} // namespace

// Both directions carry several megabytes at once, every byte in its place; a round trip takes
// at least a delay each way; the client's close reaches the server; the program relays through
// the port it prints; and only loopback addresses are accepted.
TEST(LatencyRelay, CarriesBytesInOrderBothWaysDelaysEachWayAndPassesTheClose) {
    int serverPort = 0;
    const int listener = listenOnLoopback(serverPort);
    LatencyRelay relay(endpoint("127.0.0.1:0"), endpoint("127.0.0.1:" + std::to_string(serverPort)),
                       delayMs);
    ASSERT_GT(relay.port(), 0);
    ASSERT_NE(relay.port(), serverPort);

    const std::vector<char> up = pattern(3 << 20, 1);
    const std::vector<char> down = pattern(2 << 20, 2);
    const int client = connectToLoopback(relay.port());
    const int server = withTimeouts(accept(listener, nullptr, nullptr));
    ASSERT_GE(server, 0);
    std::vector<char> serverGot;
    bool serverSent = false;
    std::thread serverSide([&] {
        serverSent = sendAll(server, down);
        serverGot = receive(server, up.size());
    });
    EXPECT_TRUE(sendAll(client, up));
    const std::vector<char> clientGot = receive(client, down.size());
    serverSide.join();
    EXPECT_TRUE(serverSent);
    EXPECT_TRUE(clientGot == down) << clientGot.size() << " of " << down.size() << " bytes";
    EXPECT_TRUE(serverGot == up) << serverGot.size() << " of " << up.size() << " bytes";

    for (char round = 0; round < 3; ++round) {
        const auto start = Clock::now();
        ASSERT_TRUE(sendAll(client, {round}));
        ASSERT_EQ(receive(server, 1), std::vector<char>{round});
        ASSERT_TRUE(sendAll(server, {char(round + 10)}));
        ASSERT_EQ(receive(client, 1), std::vector<char>{char(round + 10)});
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_GE(ms, 2 * delayMs);
    }

    ::close(client);
    char byte = 0;
    errno = 0;
    EXPECT_EQ(::recv(server, &byte, 1, 0), 0)
        << "the server's side was not closed: errno " << errno;
    ::close(server);

    // The program on its own relays through the port it prints, and ends when told to.
    QProcess program;
    program.start(QStringLiteral(TARNWICK_BINARY_DIR "/tarnwick-latency-relay"),
                  {u"--listen"_s, u"127.0.0.1:0"_s, u"--to"_s, u"127.0.0.1:%1"_s.arg(serverPort),
                   u"--delay-ms"_s, QString::number(delayMs)});
    ASSERT_TRUE(program.waitForReadyRead(5000)) << program.readAllStandardError().toStdString();
    const int printedPort = program.readLine().trimmed().toInt();
    const int viaProgram = connectToLoopback(printedPort);
    const int programServer = withTimeouts(accept(listener, nullptr, nullptr));
    EXPECT_TRUE(sendAll(viaProgram, {'x'}));
    EXPECT_EQ(receive(programServer, 1), std::vector<char>{'x'});
    ::close(viaProgram);
    ::close(programServer);
    ::close(listener);
    program.terminate();
    EXPECT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitCode(), 0);
    const test::ProgramOutput refused = test::runBuiltProgram(
        u"tarnwick-latency-relay"_s, {u"--listen"_s, u"127.0.0.1:0"_s, u"--to"_s,
                                      u"192.168.1.1:5432"_s, u"--delay-ms"_s, u"20"_s});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.output.isEmpty());
    EXPECT_TRUE(refused.errors.contains(u"192.168.1.1"_s) && refused.errors.contains(u"loopback"_s))
        << refused.errors.toStdString();

    for (const char* elsewhere : {"10.0.0.1:5432", "0.0.0.0:0", "[::]:0", "localhost:5432"}) {
        std::string problem;
        EXPECT_FALSE(relay::parseLoopbackEndpoint(elsewhere, problem)) << elsewhere;
        EXPECT_FALSE(problem.empty()) << elsewhere;
    }
    std::string problem;
    EXPECT_TRUE(relay::parseLoopbackEndpoint("127.0.0.2:5432", problem)) << problem;
    EXPECT_TRUE(relay::parseLoopbackEndpoint("[::1]:5432", problem)) << problem;
}

namespace {

// A catalogue on the test server, and the program's way to it through a relay that holds every
// chunk 20 ms each way.
class CatalogueBehindLatencyTest : public ::testing::Test {
protected:
    void SetUp() override {
        TARNWICK_SKIP_WITHOUT_ENGINE(installation);
        {
            TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(u"A"_s);
            catalogue.addBook(u"B"_s);
            for (qint64 id = 1; id <= 40; ++id)
                catalogue.addPhoto(id, id % 2 ? u"A"_s : u"B"_s, QString::number(id),
                                   {{u"TotalFL"_s, double(id)}});
        }
        served = installation.serveCatalogue();
        relay = std::make_unique<LatencyRelay>(
            endpoint("127.0.0.1:0"),
            endpoint("127.0.0.1:" + std::to_string(test::testServer().port)), delayMs);
    }

    // From now on the programs use the catalogue through the relay.
    void useTheRelay() {
        QSettings settings(u"Corbell 3"_s, u"Corbell 3"_s);
        settings.setValue(
            u"General/Catalogue"_s,
            u"postgresql://127.0.0.1:%1/%2"_s.arg(relay->port()).arg(served.server().database));
        settings.sync();
    }

    TestInstallation installation{CatalogueEngine::PostgreSql};
    CatalogueLocation served;
    std::unique_ptr<LatencyRelay> relay;
    ScriptedDialogs dialogs;
};

std::vector<qint64> idsOf(const RecordSet& set) {
    std::vector<qint64> ids;
    for (int row = 0; row < set.recordCount(); ++row)
        ids.push_back(set.value(row, u"ID").toLongLong());
    return ids;
}

QueryCriteria totalLoadingUpTo(const QString& high) {
    QueryCriteria criteria;
    criteria.kind = QueryKind::TotalLoading;
    criteria.bookRow = allBooksRow;
    criteria.totalLow = u"0"_s;
    criteria.totalHigh = high;
    return criteria;
}

QueryCriteria allPhotos() {
    QueryCriteria criteria;
    criteria.kind = QueryKind::AllPhotos;
    criteria.bookRow = allBooksRow;
    return criteria;
}

// Statements of the catalogue's database that wait for a lock, seen on a connection of the
// test's own.
int lockWaiters(const QString& database) {
    const QString name = u"tarnwick-test-lock-count"_s;
    int waiting = -1;
    {
        QSqlDatabase watch = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        watch.setHostName(test::testServer().socketFolder);
        watch.setPort(test::testServer().port);
        watch.setDatabaseName(database);
        QSqlQuery count(watch);
        if (watch.open() &&
            count.exec(u"SELECT count(*) FROM pg_stat_activity WHERE "
                       "wait_event_type = 'Lock' AND datname = current_database()"_s) &&
            count.next())
            waiting = count.value(0).toInt();
        count = QSqlQuery();
        watch.close();
    }
    QSqlDatabase::removeDatabase(name);
    return waiting;
}

} // namespace

// Behind the latency the program starts on the server's catalogue and searches it, with the same
// rows as on the server directly.
TEST_F(CatalogueBehindLatencyTest, StartsAndSearchesWithTheRowsOfTheDirectConnection) {
    AppState direct{installation.paths()};
    ASSERT_TRUE(initialiseCatalogue(direct, dialogs));
    ASSERT_TRUE(buildAndRunQuery(direct, totalLoadingUpTo(u" 10"_s), [] {}));
    const std::vector<qint64> directSearch = idsOf(direct.activePhotoSet);
    ASSERT_EQ(std::set<qint64>(directSearch.begin(), directSearch.end()).size(), 10u);

    useTheRelay();
    AppState relayed{installation.paths()};
    ASSERT_TRUE(initialiseCatalogue(relayed, dialogs));
    ASSERT_EQ(relayed.database->location().server().port, relay->port());
    EXPECT_EQ(relayed.activePhotoSet.recordCount(), 40);
    std::vector<qint64> startUp;
    for (qint64 id = 1; id <= 40; ++id)
        startUp.push_back(id);
    std::vector<qint64> relayedStartUp = idsOf(relayed.activePhotoSet);
    std::sort(relayedStartUp.begin(), relayedStartUp.end());
    EXPECT_EQ(relayedStartUp, startUp);
    ASSERT_TRUE(buildAndRunQuery(relayed, totalLoadingUpTo(u" 10"_s), [] {}));
    EXPECT_EQ(idsOf(relayed.activePhotoSet), directSearch);
    EXPECT_TRUE(dialogs.shown().empty());
}

// Escape during a search behind the latency ends it within half a second, leaves the list as it
// was and stops the statement on the server too: a search that waits there for a table another
// session holds is gone from the server while that session still holds it.
TEST_F(CatalogueBehindLatencyTest, EscapeStopsASearchOnTheServerWithinHalfASecond) {
    useTheRelay();
    AppState state{installation.paths()};
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    loadQueryParameters(state);
    ASSERT_TRUE(
        buildAndRunQuery(state, totalLoadingUpTo(u" 10"_s), [&] { fillResultsList(state); }));
    ASSERT_EQ(state.resultsList.rowCount(), 10);

    const QString database = served.server().database;
    {
        test::PhotosLock lock(test::testServer(), database);
        ASSERT_TRUE(lock.held());

        QWidget window;
        window.show();
        // A search that is not stopped ends a few seconds after Escape, when the table is let go.
        QTimer release;
        release.setSingleShot(true);
        QObject::connect(&release, &QTimer::timeout, [&] { lock.release(); });
        QElapsedTimer clock;
        clock.start();
        qint64 escapeAt = -1;
        bool waitedOnServer = false;
        QTimer::singleShot(50, &window, [&] {
            // Escape once the search waits on the server, where only the server can end it.
            const QDeadlineTimer deadline(10000);
            while (!(waitedOnServer = lockWaiters(database) > 0) && !deadline.hasExpired())
                QThread::msleep(10);
            escapeAt = clock.elapsed();
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(&window, &escape);
            release.start(3000);
        });
        int refills = 0;
        const bool searched = buildAndRunQuery(state, allPhotos(), [&] { ++refills; });
        const qint64 endedAt = clock.elapsed();
        release.stop();
        EXPECT_TRUE(waitedOnServer);
        EXPECT_FALSE(searched);
        EXPECT_EQ(refills, 0);
        ASSERT_GE(escapeAt, 0) << "the search ended before Escape";
        EXPECT_LT(endedAt - escapeAt, 500);
        EXPECT_EQ(state.resultsList.rowCount(), 10);
        EXPECT_EQ(state.activePhotoSet.recordCount(), 10);
        EXPECT_TRUE(state.statusLine.panelText(StatusLine::Message).startsWith(u"Stopped"_s))
            << state.statusLine.panelText(StatusLine::Message).toStdString();

        // The server is told, not only the rows dropped: the waiting statement ends there.
        const QDeadlineTimer deadline(2000);
        int waiting = lockWaiters(database);
        while (waiting != 0 && !deadline.hasExpired()) {
            QThread::msleep(20);
            waiting = lockWaiters(database);
        }
        EXPECT_EQ(waiting, 0);
    }

    // The connection that was stopped reads again.
    EXPECT_TRUE(buildAndRunQuery(state, allPhotos(), [&] { fillResultsList(state); }));
    EXPECT_EQ(state.resultsList.rowCount(), 40);
}
