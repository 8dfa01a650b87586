#include "resultslist/ResultsRows.h"

#include "resultslist/ResultsListCsv.h"
#include "resultslist/ResultsListFixture.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using tarnwick::test::classes;
using tarnwick::test::TestCatalogue;
using tarnwick::test::with;

namespace {

class ResultsRowsTest : public test::ResultsListFixture {};

TARNWICK_ON_BOTH_ENGINES(ResultsRowsTest);

} // namespace

TEST_P(ResultsRowsTest, RowsFollowTheFormatsAndTheMissingValueRules) {
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
