#include "resultslist/ResultsListCsv.h"

#include "resultslist/ResultsListFixture.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using tarnwick::test::TestCatalogue;

namespace {

class ResultsListCsvTest : public test::ResultsListFixture {};

TARNWICK_ON_BOTH_ENGINES(ResultsListCsvTest);

} // namespace

TEST_P(ResultsListCsvTest, CsvQuotesOnlyWhatNeedsItAndKeepsTheListOrder) {
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
