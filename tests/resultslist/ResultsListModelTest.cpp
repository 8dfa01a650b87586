#include "resultslist/ResultsListModel.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/PhotoDatabase.h"
#include "catalogue/RecordSet.h"
#include "resultslist/ResultsListCsv.h"
#include "resultslist/ResultsListFixture.h"
#include "support/TestInstallation.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <QPersistentModelIndex>

using namespace tarnwick;
using tarnwick::test::classes;
using tarnwick::test::TestCatalogue;
using tarnwick::test::with;

namespace {

class ResultsListModelTest : public test::ResultsListFixture {};

TARNWICK_ON_BOTH_ENGINES(ResultsListModelTest);

} // namespace

TEST_P(ResultsListModelTest, HeaderClicksOrderNumbersAsNumbersAndToggleAcrossColumnsAndRefills) {
    list([](TestCatalogue& c) {
        // Labels make the fill order (by row text) differ from every other order below.
        c.addPhoto(1, QStringLiteral("B1"), QStringLiteral("a"),
                   with(classes({10.25, 0, 0, 0, 0, 0, 0}),
                        {{QStringLiteral("FireBehaveFM"), QStringLiteral("1")},
                         {QStringLiteral("GroupLabel"), QStringLiteral("banana")}}));
        c.addPhoto(2, QStringLiteral("B1"), QStringLiteral("b"),
                   with(classes({2.5, 0, 0, 0, 0, 0, 0}),
                        {{QStringLiteral("FireBehaveFM"), QStringLiteral("0")},
                         {QStringLiteral("GroupLabel"), QStringLiteral("Apple")}}));
        c.addPhoto(3, QStringLiteral("B1"), QStringLiteral("C"),
                   with(classes({2.5, 0, 0, 0, 0, 0, 0}),
                        {{QStringLiteral("GroupLabel"), QStringLiteral("apple")}}));
    });
    const int loading = resultsColumnIndex(u"0to3");
    const int description = resultsColumnIndex(u"Description");
    // Text compared without regard to case: "B1/C" comes after "B1/b".
    EXPECT_EQ(order(), QStringList({"P1", "P2", "P3"}));
    EXPECT_EQ(model.sortColumn(), resultsColumnIndex(u"BookPhotoID"));

    model.columnClicked(loading);
    EXPECT_EQ(model.sortColumn(), resultsColumnIndex(u"0to3Sort"));
    EXPECT_EQ(model.sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(order(), QStringList({"P1", "P2", "P3"})); // 10.25 first; equal keys keep order
    model.columnClicked(loading);
    EXPECT_EQ(order(), QStringList({"P2", "P3", "P1"})); // 00002.50 before 00010.25

    // Another column sorts the other way from the last click; ties keep the order they had.
    model.columnClicked(description);
    EXPECT_EQ(model.sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(order(), QStringList({"P1", "P2", "P3"}));
    model.columnClicked(description);
    EXPECT_EQ(order(), QStringList({"P2", "P3", "P1"}));

    // No 2005 model sorts between model 0 and model 1.
    model.columnClicked(resultsColumnIndex(u"FBModel"));
    EXPECT_EQ(order(), QStringList({"P1", "P3", "P2"}));

    // A refill keeps the column but starts ascending, so the next click is descending again.
    refill();
    EXPECT_EQ(model.sortColumn(), resultsColumnIndex(u"FBSModelsSort"));
    EXPECT_EQ(model.sortOrder(), Qt::AscendingOrder);
    EXPECT_EQ(order(), QStringList({"P2", "P3", "P1"}));
    model.columnClicked(description);
    EXPECT_EQ(model.sortOrder(), Qt::DescendingOrder);

    // A fill worked out for another column is ordered by the model's own.
    model.fill(ResultsListModel::prepareFill(database->run(statements::activePhotosAtStartUp),
                                             resultsColumnIndex(u"BookPhotoID")));
    EXPECT_EQ(model.sortOrder(), Qt::AscendingOrder);
    EXPECT_EQ(order(), QStringList({"P2", "P3", "P1"}));
}

TEST_P(ResultsListModelTest, TextSortsAsPeopleReadItNotByCharacterCodes) {
    list([](TestCatalogue& c) {
        const char16_t* groups[] = {u"Zebra grass", u"\u00E9pinette", u"aspen", u"\u00C9rable"};
        for (int i = 0; i < 4; ++i)
            c.addPhoto(i + 1, QStringLiteral("B1"), QStringLiteral("p%1").arg(i),
                       {{QStringLiteral("GroupLabel"), QString::fromUtf16(groups[i])}});
    });
    const int description = resultsColumnIndex(u"Description");
    model.columnClicked(description); // descending
    model.columnClicked(description); // ascending
    // Accented letters beside their plain ones, case aside: "épinette" and "Érable" before "Z".
    EXPECT_EQ(order(), QStringList({"P3", "P2", "P4", "P1"}));
}

TEST_P(ResultsListModelTest, ASortKeepsSelectionsOnTheirRowsAndFindsRowsByKey) {
    list([](TestCatalogue& c) {
        for (int i = 1; i <= 4; ++i)
            c.addPhoto(i, QStringLiteral("B1"), QString::number(i));
    });
    const QPersistentModelIndex selected = model.index(0, 1);
    model.columnClicked(0);
    EXPECT_EQ(order(), QStringList({"P4", "P3", "P2", "P1"}));
    EXPECT_EQ(selected.row(), 3);
    EXPECT_EQ(selected.column(), 1);
    EXPECT_EQ(selected.data(ResultsListModel::KeyRole).toString(), QStringLiteral("P1"));
    EXPECT_EQ(model.positionOfKey(QStringLiteral("P4")), 0);
    EXPECT_EQ(model.positionOfKey(QStringLiteral("P5")), -1);
}

// A list far larger than the blocks and tables the list works in: rows built in memory, every
// photo in one of 40 groups, so the group texts outgrow the first table that finds repeats.
TEST(LargeResultsList, SortsStablyKeepsTextsAndWritesEveryRowOnce) {
    const QStringList fields{"ID",
                             "BookLabel",
                             "PhotoLabel",
                             "GroupLabel",
                             "active",
                             "TonsPerAcreBreak1",
                             "TonsPerAcreBreak2",
                             "TonsPerAcreBreak3",
                             "TonsPerAcreBreak4",
                             "TonsPerAcreBreak5",
                             "TonsPerAcreBreak6",
                             "TonsPerAcreBreak7",
                             "TotalFL",
                             "Oto3FL",
                             "AverageDuffDepth",
                             "AverageFuelbedDepth",
                             "HerbTonsPerAcre",
                             "WoodyTonsPerAcre",
                             "CanopyClosure",
                             "TreesPerAcre",
                             "VegType",
                             "Activity",
                             "FireBehaveFM",
                             "FireBehaveFM2",
                             "DangerRatingFM",
                             "PhotoPic",
                             "DataPic"};
    constexpr int rows = 20000;
    const auto groupOf = [](int id) { return QStringLiteral("G%1").arg(id * 7 % 40); };
    RecordSet set(QStringLiteral("in memory"), fields);
    for (int id = 1; id <= rows; ++id) {
        set.appendInteger(id);
        set.appendText(u"B1");
        set.appendText(QStringLiteral("%1").arg(id, 5, 10, QChar(u'0')));
        set.appendText(groupOf(id));
        for (qsizetype f = 4; f < fields.size(); ++f)
            set.appendNull();
    }
    set.finish();

    ResultsListModel model;
    model.fill(set);
    // Filled in row-text order: the zero-padded labels, that is by ID.
    const int description = resultsColumnIndex(u"Description");
    // A plan made before the rows changed is not adopted.
    const ResultsListModel::SortJob stale = model.sortJob(description);
    model.fill(set);
    model.adoptSort(stale.run());
    ASSERT_EQ(model.keyAt(0), QStringLiteral("P1"));

    // The first click on another column orders it descending; ties keep the ID order.
    model.columnClicked(description);
    std::vector<int> expected(rows);
    std::iota(expected.begin(), expected.end(), 1);
    std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
        return QString::compare(groupOf(a), groupOf(b), Qt::CaseInsensitive) > 0;
    });
    QStringList csvKeys;
    const QList<QByteArray> lines = resultsListCsv(model).split('\n');
    for (qsizetype line = 1; line < lines.size(); ++line)
        if (!lines[line].isEmpty())
            csvKeys << QString::fromLatin1(lines[line].split(',').last().trimmed());
    ASSERT_EQ(csvKeys.size(), rows);
    for (int position = 0; position < rows; ++position) {
        const QString key = QStringLiteral("P%1").arg(expected[size_t(position)]);
        ASSERT_EQ(model.keyAt(position), key) << "at " << position;
        ASSERT_EQ(model.cellAt(position, description), groupOf(expected[size_t(position)]));
        ASSERT_EQ(csvKeys[position], key) << "CSV line " << position + 1;
    }
}
