#include "query/QueryParameters.h"
#include "app/AppState.h"
#include "app/commands/QueryCommands.h"
#include "query/QueryTestSupport.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

TEST(QueryParameters, RangeRowsRunInStepsOfTwoAboveTheLargestValue) {
    QStringList total{u"0"_s};
    for (int v = 0; v <= 40; v += 2)
        total << u" %1"_s.arg(v);
    EXPECT_EQ(rangeComboRows(37.5, 4), total); // floor(41.5) = 41: the last row is 40
    EXPECT_EQ(rangeComboRows(0.8, 2), (QStringList{u"0"_s, u" 0"_s, u" 2"_s}));
    EXPECT_EQ(rangeComboRows(38, 4).last(), u" 42"_s);
    EXPECT_EQ(rangeComboRows(-5, 2), QStringList{u"0"_s});

    // An absurd stored value widens the step rather than making millions of rows; every bound
    // of the usual range stays in steps of 2, and the rows still take in the largest value.
    QStringList usual{u"0"_s};
    for (int v = 0; v <= 598; v += 2)
        usual << u" %1"_s.arg(v);
    for (const double largest : {1e7, 2501.0, 597.0}) {
        const QStringList rows = rangeComboRows(largest, 4);
        EXPECT_LE(rows.size(), 2 * maxRangeRows + 2) << largest;
        EXPECT_GE(rows.last().toDouble(), largest) << largest;
        EXPECT_EQ(rows.mid(0, usual.size()), usual) << largest;
        for (qsizetype i = 2; i < rows.size(); ++i)
            EXPECT_LT(rows[i - 1].toDouble(), rows[i].toDouble()) << largest << " row " << i;
    }
    EXPECT_EQ(rangeComboRows(590, 4).size(), 1 + 298);        // 0 to 594 in steps of 2, as ever
    EXPECT_EQ(rangeComboRows(2501, 4).value(302), u" 610"_s); // 600 onwards in steps of 10
}

namespace {

using tarnwick::test::execOn;
using tarnwick::test::writeLatin1;

class QueryParametersTest : public ::testing::Test {
protected:
    explicit QueryParametersTest(CatalogueEngine engine = CatalogueEngine::Sqlite)
        : installation(engine) {}

    void SetUp() override {
        const AppPaths paths = installation.paths();
        writeLatin1(paths.file(u"VegCodes.txt"_s),
                    u"\"PP\",\"Ponderosa pine\"\r\n\"PJ\",\"Pi\u00F1on-juniper\"\r\n"_s);
        writeLatin1(paths.file(u"ActCodes.txt"_s), u"\"CC\",\"Clearcut\"\r\n"_s);
        // No DangerRatingCodes.txt at all.
        writeLatin1(paths.file(u"BehaveCodes.txt"_s),
                    u"\"GR1\",\"Short grass\"\r\n\"10\",\"Timber\"\r\n"_s);
    }

    void writeCatalogue(bool withModels) {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(u"RM-3"_s);
        catalogue.addBook(u"AK-5"_s);
        catalogue.addBook(u"GB-6"_s, false);
        const auto photo = [&](qint64 id, const QString& book, double total, double herb,
                               const QVariant& veg, const QVariant& fire2005,
                               const QVariant& fire1982) {
            catalogue.addPhoto(
                id, book, u"P%1"_s.arg(id),
                test::withSizeClasses({{u"TotalFL"_s, total},
                                       {u"HerbTonsPerAcre"_s, herb},
                                       {u"WoodyTonsPerAcre"_s, -1.0},
                                       {u"VegType"_s, veg},
                                       {u"Activity"_s, u"cc"_s},
                                       {u"FireBehaveFM"_s, withModels ? fire2005 : QVariant()},
                                       {u"FireBehaveFM2"_s, fire1982}},
                                      3.5, 6.1));
        };
        photo(1, u"RM-3"_s, 37.5, 0.8, u"pp"_s, u"GR1"_s, QVariant());
        photo(2, u"AK-5"_s, 12.0, 0.1, u"ZZ"_s, QVariant(), QVariant());
        photo(3, u"RM-3"_s, 2.0, 0.0, u"PJ"_s, u"SB4"_s, QVariant());
        photo(4, u"GB-6"_s, 99.0, 9.0, u"AA"_s, u"AA"_s, u"AA"_s); // inactive book
    }

    void openCatalogue(AppState& state) { state.database = installation.openCatalogue(); }

    TestInstallation installation;
};

class QueryParametersOnBothEngines : public QueryParametersTest,
                                     public ::testing::WithParamInterface<CatalogueEngine> {
protected:
    QueryParametersOnBothEngines() : QueryParametersTest(GetParam()) {}
    void SetUp() override {
        TARNWICK_SKIP_WITHOUT_ENGINE(installation);
        QueryParametersTest::SetUp();
    }
};

TARNWICK_ON_BOTH_ENGINES(QueryParametersOnBothEngines);

} // namespace

TEST_F(QueryParametersTest, BooksFollowTheListsTextOrder) {
    {
        TestCatalogue catalogue(installation.cataloguePath());
        for (const QString& label : {u"Z-9"_s, u"a-0"_s, u"\u00C9-7"_s, u"B-1"_s})
            catalogue.addBook(label);
    }
    const auto database = installation.openCatalogue();
    QStringList labels;
    for (const BookChoice& book : computeQueryParameters(*database, installation.paths()).books)
        labels << book.text.section(u',', 0, 0);
    // Case aside, the accented letter beside its plain one, as the results list orders them.
    EXPECT_EQ(labels, (QStringList{u"a-0"_s, u"B-1"_s, u"\u00C9-7"_s, u"Z-9"_s}));
}

TEST_P(QueryParametersOnBothEngines, OffersWhatTheActivePhotosHold) {
    writeCatalogue(true);
    AppState state(installation.paths());
    openCatalogue(state);
    QStringList messages;
    QObject::connect(&state.statusLine, &StatusLine::changed,
                     [&] { messages << state.statusLine.panelText(StatusLine::Message); });
    // Flags as the old engine stored them: True is -1.
    ASSERT_TRUE(installation.execOnCatalogue(u"UPDATE Books SET active = -1 WHERE active <> 0"_s));
    ASSERT_TRUE(installation.execOnCatalogue(u"UPDATE Photos SET active = -1"_s));
    const QueryParameters p = loadQueryParameters(state);

    ASSERT_TRUE(p.messages.isEmpty()) << p.messages.join(u"; ").toStdString();
    EXPECT_EQ(messages, (QStringList{u"Loading Query Parameters ..."_s, QString()}));

    ASSERT_EQ(p.books.size(), 2u); // active books by label
    EXPECT_EQ(p.books[0].text, u"AK-5, Photo series AK-5"_s);
    EXPECT_EQ(p.books[0].id.toInt(), 2);
    EXPECT_EQ(p.books[1].text, u"RM-3, Photo series RM-3"_s);
    EXPECT_EQ(p.books[1].id.toInt(), 1);

    EXPECT_EQ(p.rangeRowsOf(RangeQuantity::Total).last(), u" 40"_s);
    EXPECT_EQ(p.rangeRowsOf(RangeQuantity::Fine),
              (QStringList{u"0"_s, u" 0"_s, u" 2"_s, u" 4"_s, u" 6"_s})); // floor(3.5 + 4) = 7
    EXPECT_EQ(p.rangeRowsOf(RangeQuantity::Coarse).last(), u" 10"_s);
    EXPECT_EQ(p.rangeRowsOf(RangeQuantity::Herb), (QStringList{u"0"_s, u" 0"_s, u" 2"_s}));
    EXPECT_EQ(p.rangeRowsOf(RangeQuantity::Shrub), (QStringList{u"0"_s, u" 0"_s}));

    EXPECT_EQ(p.codeList(CodeListId::Vegetation).sorted,
              (QStringList{u"PJ-Pi\u00F1on-juniper"_s, u"PP-Ponderosa pine"_s, u"ZZ- "_s}));
    EXPECT_EQ(p.codeList(CodeListId::Activity).sorted, QStringList{u"CC-Clearcut"_s});
    EXPECT_TRUE(p.codeList(CodeListId::DangerRating).sorted.isEmpty());
    // The 2005 list skips the Null group; its description set keeps the slot empty.
    EXPECT_EQ(p.codeList(CodeListId::FireBehaviour).sorted,
              (QStringList{u"GR1-Short grass"_s, u"SB4- "_s}));
    EXPECT_EQ(p.fireBehaviourModelNames[0],
              (QStringList{QString(), u"GR1-Short grass"_s, u"SB4- "_s}));
    EXPECT_EQ(state.fireBehaviourModelNames, p.fireBehaviourModelNames);

    // After a switch the Null group shows as an empty row at the top; a 1982 set of nothing but
    // Null codes is one empty row.
    EXPECT_EQ(fuelModelSetRows(p.fireBehaviourModelNames[0]),
              (QStringList{QString(), u"GR1-Short grass"_s, u"SB4- "_s}));
    EXPECT_EQ(p.fireBehaviourModelNames[1], QStringList{QString()});
    EXPECT_EQ(fuelModelSetRows(p.fireBehaviourModelNames[1]), QStringList{QString()});
}

TEST_F(QueryParametersTest, WhatCannotLoadIsReportedAndEverythingElseLoads) {
    writeCatalogue(false);
    // No active photo has a herb value; one holds text where its total loading belongs.
    ASSERT_TRUE(
        execOn(installation.cataloguePath(), u"UPDATE Photos SET HerbTonsPerAcre = NULL"_s));
    ASSERT_TRUE(
        execOn(installation.cataloguePath(), u"UPDATE Photos SET TotalFL = 'lots' WHERE ID = 1"_s));
    AppState state(installation.paths());
    openCatalogue(state);
    const QueryParameters p = loadQueryParameters(state);

    EXPECT_EQ(p.rangeRowsOf(RangeQuantity::Herb), QStringList{u"0"_s});
    // The text counts as no value: the largest total left is 12 (photo 2), floor(16) = 16.
    EXPECT_EQ(p.rangeRowsOf(RangeQuantity::Total).last(), u" 16"_s);
    EXPECT_EQ(p.rangeRowsOf(RangeQuantity::Shrub), (QStringList{u"0"_s, u" 0"_s}));
    EXPECT_EQ(p.books.size(), 2u);
    EXPECT_EQ(p.codeList(CodeListId::Vegetation).sorted.size(), 3);
    EXPECT_EQ(p.codeList(CodeListId::Activity).sorted, QStringList{u"CC-Clearcut"_s});
    ASSERT_EQ(p.messages.size(), 2) << p.messages.join(u"; ").toStdString();
    EXPECT_TRUE(p.messages.join(u" ").contains(u"1 active photos hold text"_s));
    EXPECT_TRUE(p.messages.join(u" ").contains(u"herb loading"_s));
    // The message stays on the status line instead of the closing blank.
    EXPECT_EQ(state.statusLine.icon(), StatusIcon::Error);
    EXPECT_TRUE(state.statusLine.panelText(StatusLine::Message).contains(u"herb loading"_s));

    // A failing statement leaves only its own part empty.
    ASSERT_TRUE(execOn(installation.cataloguePath(),
                       u"ALTER TABLE Photos RENAME COLUMN Activity TO Gone"_s));
    const QueryParameters broken = computeQueryParameters(*state.database, installation.paths());
    EXPECT_TRUE(broken.codeList(CodeListId::Activity).sorted.isEmpty());
    EXPECT_EQ(broken.codeList(CodeListId::Vegetation).sorted.size(), 3);
    EXPECT_EQ(broken.books.size(), 2u);
}
