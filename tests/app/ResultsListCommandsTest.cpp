#include "app/commands/ResultsListCommands.h"
#include "app/AppState.h"
#include "catalogue/CatalogueStatements.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

class ResultsListCommandsTest : public ::testing::Test {
protected:
    void open() {
        state.database = PhotoDatabase::open(installation.cataloguePath());
        state.activePhotoSet = state.database->run(statements::activePhotosAtStartUp);
    }

    // Clicks a row and returns the shownIn its photo was shown in.
    std::vector<int> click(const QString& key) {
        std::vector<int> shownIn;
        itemClicked(state, key, [&](int slot, const ResultsRow& row) {
            EXPECT_EQ(row.key, key);
            shownIn.push_back(slot);
        });
        return shownIn;
    }

    TestInstallation installation;
    AppState state{installation.paths()};
};

} // namespace

TEST_F(ResultsListCommandsTest, TheCountIncludesUnlistedRowsAndClearsTheMessage) {
    {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(QStringLiteral("B1"));
        catalogue.addPhoto(1, QStringLiteral("B1"), QStringLiteral("1"));
        catalogue.addPhoto(2, QStringLiteral("B1"), QVariant());
        catalogue.addPhoto(3, QStringLiteral("B1"), QStringLiteral("3"));
    }
    open();
    state.statusLine.statusMessage(StatusKind::Error, QStringLiteral("Can't print"));
    fillResultsList(state);
    EXPECT_EQ(state.resultsList.rowCount(), 2);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::QueryResults),
              QStringLiteral("3 photos found"));
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Message), QString());
    EXPECT_EQ(state.statusLine.icon(), StatusIcon::None);

    state.activePhotoSet =
        state.database->run(QStringLiteral("SELECT * From qryactive where ID = 0"));
    fillResultsList(state);
    EXPECT_EQ(state.resultsList.rowCount(), 0);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::QueryResults),
              QStringLiteral("0 photos found"));
}

TEST_F(ResultsListCommandsTest, RefreshRequeriesRefillsAndThenReloadsTheParameters) {
    test::writeSmallCatalogue(installation.cataloguePath(), 2);
    open();
    fillResultsList(state);
    {
        // Another program of the suite activates a photo meanwhile.
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), u"other"_s);
        other.setDatabaseName(installation.cataloguePath());
        ASSERT_TRUE(other.open());
        ASSERT_TRUE(QSqlQuery(other).exec(
            u"INSERT INTO Photos (ID, BookLabel, PhotoLabel) VALUES (9, 'B1', '9')"_s));
        other.close();
    }
    QSqlDatabase::removeDatabase(u"other"_s);

    int reloads = 0;
    refreshCatalogue(state, [&] {
        ++reloads;
        EXPECT_EQ(state.resultsList.rowCount(), 3); // the list is refilled first
    });
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::QueryResults),
              QStringLiteral("3 photos found"));
}

TEST_F(ResultsListCommandsTest, ARepeatClickOnTheLastRowDoesNothingEvenAfterARefill) {
    test::writeSmallCatalogue(installation.cataloguePath(), 3);
    open();
    fillResultsList(state);

    EXPECT_EQ(click(QStringLiteral("P1")), std::vector<int>{0});
    EXPECT_EQ(state.selectedListItem, QStringLiteral("P1"));
    EXPECT_TRUE(click(QStringLiteral("P1")).empty());
    fillResultsList(state);
    state.resultsList.columnClicked(0);
    EXPECT_TRUE(click(QStringLiteral("P1")).empty());

    // In the second slot the photo is shown there and the selected item stays.
    state.currentSlot = 1;
    EXPECT_EQ(click(QStringLiteral("P2")), std::vector<int>{1});
    EXPECT_EQ(state.selectedListItem, QStringLiteral("P1"));
    state.currentSlot = 0;
    EXPECT_EQ(click(QStringLiteral("P1")), std::vector<int>{0});
    // A key the list does not hold is no click at all.
    EXPECT_TRUE(click(QStringLiteral("P77")).empty());
    EXPECT_TRUE(click(QStringLiteral("P1")).empty());
}
