#include "catalogue/CatalogueStatements.h"
#include "catalogue/PhotoDatabase.h"
#include "catalogue/RecordSet.h"
#include "resultslist/ResultsListCsv.h"
#include "resultslist/ResultsListModel.h"
#include "support/TestInstallation.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <QPersistentModelIndex>

using namespace tarnwick;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

// Size classes 1..7 as stored fields.
QVariantMap classes(std::initializer_list<QVariant> loadings) {
    QVariantMap fields;
    int k = 1;
    for (const QVariant& loading : loadings)
        fields.insert(QStringLiteral("TonsPerAcreBreak%1").arg(k++), loading);
    return fields;
}

QVariantMap with(QVariantMap fields, const QVariantMap& more) {
    fields.insert(more);
    return fields;
}

class ResultsListTest : public ::testing::TestWithParam<CatalogueEngine> {
protected:
    void SetUp() override { TARNWICK_SKIP_WITHOUT_ENGINE(installation); }

    // Builds the catalogue, then lists its start-up set.
    void list(const std::function<void(TestCatalogue&)>& build) {
        {
            TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(QStringLiteral("B1"));
            build(catalogue);
        }
        database = installation.openCatalogue();
        refill();
    }
    void refill() { model.fill(database->run(statements::activePhotosAtStartUp)); }

    QString cell(const QString& key, QStringView column) const {
        const std::optional<ResultsRow> row = model.rowWithKey(key);
        return row ? row->cell(column) : QStringLiteral("<no row>");
    }
    // The keys in the order shown.
    QStringList order() const {
        QStringList keys;
        for (int i = 0; i < model.rowCount(); ++i)
            keys << model.rowAt(i).key;
        return keys;
    }

    TestInstallation installation{GetParam()};
    std::unique_ptr<PhotoDatabase> database;
    ResultsListModel model;
};

TARNWICK_ON_BOTH_ENGINES(ResultsListTest);

} // namespace

TEST_P(ResultsListTest, RowsFollowTheFormatsAndTheMissingValueRules) {
    list([](TestCatalogue& c) {
        c.addPhoto(7, QStringLiteral("B1"), QStringLiteral("1"),
                   with(classes({0.1, 0.2, 12.045, 1, 2, 3, 4.25}),
                        {{QStringLiteral("GroupLabel"), QStringLiteral("Lodgepole pine")},
                         {QStringLiteral("AverageDuffDepth"), 0.0},
                         {QStringLiteral("AverageFuelbedDepth"), 12.25},
                         {QStringLiteral("HerbTonsPerAcre"), 0.1234},
                         {QStringLiteral("WoodyTonsPerAcre"), 3.0},
                         {QStringLiteral("CanopyClosure"), 45.5},
                         {QStringLiteral("TreesPerAcre"), 1200.0},
                         {QStringLiteral("VegType"), QStringLiteral("LP")},
                         {QStringLiteral("Activity"), QStringLiteral("NAT")},
                         {QStringLiteral("FireBehaveFM"), QStringLiteral(" 8 ")},
                         {QStringLiteral("FireBehaveFM2"), QStringLiteral("  TL3 ")},
                         {QStringLiteral("DangerRatingFM"), QStringLiteral("H")},
                         {QStringLiteral("PhotoPic"), QStringLiteral("1.jpg")},
                         {QStringLiteral("DataPic"), QStringLiteral("1d.jpg")}}));
        // Not measured: every optional value below 0, and a code that is no number.
        c.addPhoto(8, QStringLiteral("B1"), QStringLiteral("2"),
                   with(classes({0, 0, 0, 0, 0, 0, 0}),
                        {{QStringLiteral("AverageDuffDepth"), -1.0},
                         {QStringLiteral("AverageFuelbedDepth"), -1.0},
                         {QStringLiteral("HerbTonsPerAcre"), -0.5},
                         {QStringLiteral("WoodyTonsPerAcre"), -1.0},
                         {QStringLiteral("CanopyClosure"), -1.0},
                         {QStringLiteral("TreesPerAcre"), -1.0},
                         {QStringLiteral("FireBehaveFM"), QStringLiteral("GR1")}}));
        // Everything Null but the labels; one class missing empties the sums it is part of.
        c.addPhoto(9, QStringLiteral("B1"), QStringLiteral("3"),
                   classes({1, 1, 1, QVariant(), 1, 1, 1}));
        // Never listed.
        c.addPhoto(10, QStringLiteral("B1"), QVariant());
    });

    ASSERT_EQ(model.rowCount(), 3);
    const ResultsRow full = model.rowWithKey(QStringLiteral("P7")).value();
    const QStringList expected{"B1/1",       "Lodgepole pine",
                               "12.35",      "10.25",
                               "22.60",      "0.123",
                               "3.000",      "0.0",
                               "12.3",       "45.5",
                               "1200",       "LP",
                               "NAT",        "8",
                               "TL3",        "H",
                               "1.jpg",      "1d.jpg",
                               "00012.35",   "000010.25",
                               "000022.60",  "B1",
                               "00000.0",    "00012.3",
                               "00008",      "000000.123",
                               "000003.000", ""};
    ASSERT_EQ(qsizetype(full.cells.size()), expected.size());
    for (int c = 0; c < expected.size(); ++c)
        EXPECT_EQ(full.cells[size_t(c)], expected[c]) << "column " << c + 1;
    EXPECT_EQ(full.text(), QStringLiteral("B1/1"));
    EXPECT_EQ(full.photoId(), 7);

    for (const auto* column :
         {u"DuffDepth", u"DuffSort", u"FuelBedDepth", u"FuelBedSort", u"HerbTonsPerAcre",
          u"HerbSort", u"WoodyTonsPerAcre", u"WoodySort", u"CanopyClosure", u"TreesPerAcre"})
        EXPECT_EQ(cell(QStringLiteral("P8"), column), QStringLiteral("N/A"));
    EXPECT_EQ(cell(QStringLiteral("P8"), u"0to3"), QStringLiteral("0.00"));
    EXPECT_EQ(cell(QStringLiteral("P8"), u"FBSModelsSort"), QStringLiteral("GR1"));

    const ResultsRow empty = model.rowWithKey(QStringLiteral("P9")).value();
    EXPECT_EQ(empty.cell(u"0to3"), QStringLiteral("3.00"));
    EXPECT_EQ(empty.cell(u"0to3Sort"), QStringLiteral("00003.00"));
    EXPECT_EQ(empty.cell(u"FBSModelsSort"), QStringLiteral("000000"));
    EXPECT_EQ(empty.cell(u"Dir"), QStringLiteral("B1"));
    for (const int c :
         {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19, 20, 22, 23, 25, 26, 27})
        EXPECT_TRUE(empty.cells[size_t(c)].isEmpty()) << "column " << c + 1;
    EXPECT_FALSE(model.rowWithKey(QStringLiteral("P10")).has_value());

    // The list written out composes its cells apart from the window's; they must agree.
    const QList<QByteArray> lines = resultsListCsv(model).split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(QString::fromUtf8(lines[1]), expected.join(u',') + QStringLiteral(",P7\r"));
    EXPECT_EQ(lines[2], "B1/2,,0.00,0.00,0.00,N/A,N/A,N/A,N/A,N/A,N/A,,,GR1,,,,,00000.00,"
                        "000000.00,000000.00,B1,N/A,N/A,GR1,N/A,N/A,,P8\r");
}

TEST_P(ResultsListTest, HeaderClicksOrderNumbersAsNumbersAndToggleAcrossColumnsAndRefills) {
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

TEST_P(ResultsListTest, TextSortsAsPeopleReadItNotByCharacterCodes) {
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

TEST_P(ResultsListTest, ASortKeepsSelectionsOnTheirRowsAndFindsRowsByKey) {
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

TEST_P(ResultsListTest, CsvQuotesOnlyWhatNeedsItAndKeepsTheListOrder) {
    list([](TestCatalogue& c) {
        c.addPhoto(2, QStringLiteral("B1"), QStringLiteral("2"),
                   {{QStringLiteral("GroupLabel"), QStringLiteral("Fir, \"old\" growth\nnorth")},
                    {QStringLiteral("VegType"), QStringLiteral("Épinette")}});
        c.addPhoto(1, QStringLiteral("B1"), QStringLiteral("1"));
    });
    const QList<QByteArray> lines = resultsListCsv(model).split('\n');
    ASSERT_EQ(lines.size(), 5); // header, row 1, row 2 (two lines), and the end
    EXPECT_EQ(lines[0],
              "BookPhotoID,Description,0to3,3Plus,Total,HerbTonsPerAcre,WoodyTonsPerAcre,"
              "DuffDepth,FuelBedDepth,CanopyClosure,TreesPerAcre,VegType,ActType,FBModel,"
              "FBModel2,DRModel,Picture,Data,0to3Sort,3+Sort,TotalSort,Dir,DuffSort,FuelBedSort,"
              "FBSModelsSort,HerbSort,WoodySort,FBSModelsSort2,Key\r");
    EXPECT_EQ(lines[1], "B1/1,,,,,,,,,,,,,,,,,,,,,B1,,,000000,,,,P1\r");
    EXPECT_EQ(lines[2] + '\n' + lines[3],
              "B1/2,\"Fir, \"\"old\"\" growth\nnorth\",,,,,,,,,,\xC3\x89pinette,,,,,,,,,,B1,,,"
              "000000,,,,P2\r");
    EXPECT_TRUE(lines[4].isEmpty());
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
