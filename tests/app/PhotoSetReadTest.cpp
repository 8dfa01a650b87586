#include "app/commands/PhotoSetRead.h"
#include "app/AppState.h"
#include "app/commands/ResultsListCommands.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

// A window that counts the clicks it is given.
class ClickCounter : public QWidget {
public:
    int clicks = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++clicks; }
};

// Rows without end: only a stop ends the read.
const QString endlessRows = u"WITH RECURSIVE n(ID) AS (SELECT 1 UNION ALL SELECT ID + 1 FROM n) "
                            u"SELECT ID FROM n"_s;

// Reads the endless statement as a search does, with a click and then Escape while it runs.
void readUntilEscape(const AppPaths& paths, const CatalogueLocation& catalogue,
                     const QString& statement) {
    AppState state{paths};
    state.database = PhotoDatabase::open(catalogue);
    state.activePhotoSet = state.database->run(statements::activePhotosAtStartUp);
    fillResultsList(state);
    state.statusLine.statusMessage(StatusKind::Info, u"Searching..."_s);

    ClickCounter window;
    window.show();
    QStringList messages;
    QObject::connect(&state.statusLine, &StatusLine::changed,
                     [&] { messages << state.statusLine.panelText(StatusLine::Message); });
    // Timers go on firing while the rows are read: a click, then a while later Escape.
    QTimer::singleShot(50, &window, [&] {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &press);
    });
    QElapsedTimer sinceEscape;
    QTimer::singleShot(500, &window, [&] {
        sinceEscape.start();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &escape);
    });

    try {
        state.activePhotoSet = readPhotoSet(state, statement, u"Searching..."_s);
        ADD_FAILURE() << "an endless read returned";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.kind(), DatabaseError::Kind::Stopped) << error.message().toStdString();
        reportFailedRead(state, error);
    }
    ASSERT_TRUE(sinceEscape.isValid());
    EXPECT_LT(sinceEscape.elapsed(), 2000);
    EXPECT_EQ(window.clicks, 0);
    ASSERT_GE(messages.size(), 3);
    EXPECT_TRUE(messages[0].startsWith(u"Searching... "_s)) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].endsWith(u" Press Esc to stop."_s));
    // The caller's message is back before its own next step, then the stop is told.
    EXPECT_EQ(messages[messages.size() - 2], u"Searching..."_s);
    EXPECT_EQ(messages.last(), u"Stopped: the list is as it was."_s);
    EXPECT_EQ(state.activePhotoSet.recordCount(), 1);
    EXPECT_EQ(state.resultsList.rowCount(), 1);
    EXPECT_FALSE(state.preparedListFill);
}

class PhotoSetRead : public ::testing::TestWithParam<CatalogueEngine> {};

TARNWICK_ON_BOTH_ENGINES(PhotoSetRead);

} // namespace

// On a server the stop ends the statement there too, whether it is sending rows or has not given
// one yet: nothing of ours is left running.
TEST_P(PhotoSetRead, AReadKeepsTheWindowAliveDropsClicksAndStopsOnEscapeLeavingTheSet) {
    TestInstallation installation{GetParam()};
    TARNWICK_SKIP_WITHOUT_ENGINE(installation);
    {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(u"B1"_s);
        catalogue.addPhoto(1, u"B1"_s, u"1"_s);
    }
    const CatalogueLocation served = installation.serveCatalogue();
    const bool onServer = GetParam() == CatalogueEngine::PostgreSql;
    QStringList endless{endlessRows};
    if (onServer)
        endless << u"SELECT 1 AS ID FROM pg_sleep(60)"_s;
    for (const QString& statement : endless) {
        SCOPED_TRACE(statement.toStdString());
        readUntilEscape(installation.paths(), served, statement);
        if (!onServer)
            continue;
        const auto watch = PhotoDatabase::open(served, CatalogueAccess::ReadOnly);
        EXPECT_EQ(watch
                      ->run(u"SELECT count(*) AS n FROM pg_stat_activity WHERE datname = "
                            "current_database() AND state = 'active' AND pid <> pg_backend_pid()"_s)
                      .number(0, u"n"),
                  0);
    }
}
