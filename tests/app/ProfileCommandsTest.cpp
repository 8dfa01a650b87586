#include "app/commands/ProfileCommands.h"

#include "app/AppState.h"
#include "app/commands/PhotoDisplayCommands.h"
#include "app/commands/QueryCommands.h"
#include "app/commands/ResultsListCommands.h"
#include "catalogue/CatalogueStatements.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;

namespace {

class ProfileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        {
            test::TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(u"B1"_s);
            catalogue.addBook(u"B2"_s);
            const auto add = [&](qint64 id, const QString& book, const QString& label,
                                 double herb) {
                catalogue.addPhoto(id, book, label,
                                   {{u"DataPic"_s, u"d.jpg"_s},
                                    {u"GroupLabel"_s, u"G"_s},
                                    {u"HerbTonsPerAcre"_s, herb},
                                    {u"WoodyTonsPerAcre"_s, 0.7},
                                    {u"AverageDuffDepth"_s, 1.0},
                                    {u"TonsPerAcreBreak1"_s, 0.5},
                                    {u"TonsPerAcreBreak2"_s, 0.5},
                                    {u"TonsPerAcreBreak3"_s, 0.5},
                                    {u"TonsPerAcreBreak4"_s, 4.0},
                                    {u"TonsPerAcreBreak5"_s, 0.0},
                                    {u"TonsPerAcreBreak6"_s, 0.0},
                                    {u"TonsPerAcreBreak7"_s, 0.0}});
            };
            add(1, u"B1"_s, u"P1"_s, 1.0);
            add(2, u"B1"_s, u"P2"_s, -1.0);
            add(3, u"B2"_s, u"7\"x"_s, 2.0); // a label holding a double quote
        }
        state.database = PhotoDatabase::open(installation.cataloguePath());
        state.activePhotoSet = state.database->run(statements::activePhotosAtStartUp);
        fillResultsList(state);
        display.list = resultsListAccess(state.resultsList, {});
        hooks.showProfile = [this] { ++shown; };
        hooks.enableProfilePrint = [this] { ++printEnabled; };
    }

    void show(int row) { showListRow(state, row, display); }

    test::TestInstallation installation;
    AppState state{installation.paths()};
    PhotoDisplayHooks display;
    ProfileHooks hooks;
    int shown = 0;
    int printEnabled = 0;
};

} // namespace

TEST_F(ProfileCommandsTest, ASelectNeedsAPhotoInTheCurrentSlotYetAlwaysMarksTheProfileChanged) {
    newProfile(state, hooks);
    EXPECT_FALSE(state.profileChanged);
    EXPECT_EQ(shown, 1);

    EXPECT_FALSE(selectProfileValue(state, 4, hooks));
    EXPECT_TRUE(state.profileChanged);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Message),
              u"ERROR - Can't select values, no photo selected"_s);
    EXPECT_EQ(state.fuelProfile, FuelProfile{});
    EXPECT_EQ(printEnabled, 0);

    show(0); // B1/P1 in slot 0
    EXPECT_TRUE(selectProfileValue(state, 4, hooks));
    EXPECT_EQ(state.fuelProfile.herbValue, u"1"_s);
    EXPECT_EQ(state.fuelProfile.herbSource, u"B1/P1"_s);
    EXPECT_TRUE(selectProfileValue(state, 2, hooks));
    EXPECT_EQ(state.fuelProfile.break2, 0.5);
    EXPECT_EQ(printEnabled, 2);
    EXPECT_EQ(shown, 3);

    // Comparing with nothing in slot 1 yet: the current column shows slot 0, the select refuses.
    state.mode = Mode::Compare;
    state.currentSlot = 1;
    EXPECT_EQ(currentPhotoColumn(assistantValues(state), 1).photo, u"B1/P1"_s);
    EXPECT_FALSE(selectProfileValue(state, 0, hooks));
    EXPECT_EQ(state.fuelProfile.duffSource, QString());

    // Slot 1's photo has no herb value: "N/A".
    show(1);
    EXPECT_TRUE(selectProfileValue(state, 4, hooks));
    EXPECT_EQ(state.fuelProfile.herbValue, u"N/A"_s);
    EXPECT_EQ(state.fuelProfile.herbSource, u"B1/P2"_s);
}

TEST_F(ProfileCommandsTest, ShowPhotoFindsTheSourceInTheListOrAddsItsRowFromTheCatalogue) {
    EXPECT_EQ(findSource(state, QString(), display), FindSourceOutcome::NoSource);

    EXPECT_EQ(findSource(state, u"B1/P2"_s, display), FindSourceOutcome::ShownFromList);
    EXPECT_EQ(state.displaySlots[0].photo.text(0, u"PhotoLabel"), u"P2"_s);
    EXPECT_EQ(state.resultsList.rowCount(), 3);

    // A search left the source out of the list: its row comes back with what such a row shows.
    QueryCriteria bookB1;
    bookB1.kind = QueryKind::Books;
    bookB1.bookRow = u"B1, Photo series B1"_s;
    ASSERT_TRUE(buildAndRunQuery(state, bookB1, [this] { fillResultsList(state); }));
    ASSERT_EQ(state.resultsList.rowCount(), 2);
    EXPECT_EQ(findSource(state, u"B2/7\"x"_s, display), FindSourceOutcome::AddedToList);
    ASSERT_EQ(state.resultsList.rowCount(), 3);
    const std::optional<ResultsRow> added = state.resultsList.rowWithKey(u"P3"_s);
    ASSERT_TRUE(added.has_value());
    EXPECT_EQ(added->text(), u"B2/7\"x"_s);
    EXPECT_EQ(added->cell(u"Total"), u"5.50"_s);
    EXPECT_EQ(added->cell(u"DuffDepth"), u"1.0"_s);
    EXPECT_EQ(added->cell(u"Dir"), u"B2"_s);
    EXPECT_EQ(added->cell(u"HerbTonsPerAcre"), QString());
    EXPECT_EQ(added->cell(u"WoodyTonsPerAcre"), QString());
    EXPECT_EQ(added->cell(u"HerbSort"), QString());
    EXPECT_EQ(state.displaySlots[0].photo.value(0, u"ID").toInt(), 3);

    EXPECT_EQ(findSource(state, u"B9/none"_s, display), FindSourceOutcome::NotInstalled);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Message),
              u"ERROR - Can't find in currently installed photos"_s);
    EXPECT_EQ(state.resultsList.rowCount(), 3);
}
