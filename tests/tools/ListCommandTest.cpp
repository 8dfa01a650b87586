#include "catalogue/CatalogueStatements.h"
#include "catalogue/PhotoDatabase.h"
#include "resultslist/ResultsListCsv.h"
#include "resultslist/ResultsListModel.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QProcess>

using namespace tarnwick;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

test::ProgramOutput runCli(const QStringList& arguments) {
    return test::runBuiltProgram(QStringLiteral("tarnwick-cli"), arguments);
}

} // namespace

class ListCommandOnBothEngines : public ::testing::TestWithParam<tarnwick::CatalogueEngine> {};

TARNWICK_ON_BOTH_ENGINES(ListCommandOnBothEngines);

TEST_P(ListCommandOnBothEngines, PrintsTheStartupListAsTheWindowShowsIt) {
    TestInstallation installation(GetParam());
    TARNWICK_SKIP_WITHOUT_ENGINE(installation);
    {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(QStringLiteral("B1"));
        // The statement orders by group; the list then orders by row text, case aside.
        catalogue.addPhoto(1, QStringLiteral("B1"), QStringLiteral("b"),
                           {{QStringLiteral("GroupLabel"), QStringLiteral("a, \"first\"")}});
        catalogue.addPhoto(2, QStringLiteral("B1"), QStringLiteral("A"),
                           {{QStringLiteral("GroupLabel"), QStringLiteral("z")},
                            {QStringLiteral("TonsPerAcreBreak1"), 1.25},
                            {QStringLiteral("TonsPerAcreBreak2"), 0.5},
                            {QStringLiteral("TonsPerAcreBreak3"), 0},
                            {QStringLiteral("TonsPerAcreBreak4"), 12.345},
                            {QStringLiteral("TonsPerAcreBreak5"), 0},
                            {QStringLiteral("TonsPerAcreBreak6"), 0},
                            {QStringLiteral("TonsPerAcreBreak7"), 0},
                            {QStringLiteral("AverageDuffDepth"), -1},
                            {QStringLiteral("HerbTonsPerAcre"), 0.5},
                            {QStringLiteral("CanopyClosure"), 35},
                            {QStringLiteral("FireBehaveFM"), QStringLiteral("  GR1 ")},
                            {QStringLiteral("FireBehaveFM2"), QStringLiteral(" 2 ")},
                            {QStringLiteral("VegType"), QStringLiteral("PP")},
                            {QStringLiteral("PhotoPic"), QStringLiteral("p.jpg")},
                            {QStringLiteral("DataPic"), QStringLiteral("d.jpg")}});
        catalogue.addPhoto(3, QStringLiteral("B1"), QVariant()); // never listed
    }
    installation.serveCatalogue();
    const test::ProgramOutput result =
        runCli({QStringLiteral("list"), QStringLiteral("--app-dir"), installation.appDir()});
    ASSERT_EQ(result.exitCode, 0) << result.errors.toStdString();
    // The 28 columns by key and the row key; cells as the list shows them (sums of the classes,
    // 12.345 rounded half up, N/A below 0, trimmed models, Null sums empty, "000000" for no
    // 2005 model), quoted where they hold a comma or a quote.
    EXPECT_EQ(result.output,
              QByteArray("BookPhotoID,Description,0to3,3Plus,Total,HerbTonsPerAcre,"
                         "WoodyTonsPerAcre,DuffDepth,FuelBedDepth,CanopyClosure,TreesPerAcre,"
                         "VegType,ActType,FBModel,FBModel2,DRModel,Picture,Data,0to3Sort,3+Sort,"
                         "TotalSort,Dir,DuffSort,FuelBedSort,FBSModelsSort,HerbSort,WoodySort,"
                         "FBSModelsSort2,Key\r\n"
                         "B1/A,z,1.75,12.35,14.10,0.500,,N/A,,35,,PP,,GR1,2,,p.jpg,d.jpg,00001.75,"
                         "000012.35,000014.10,B1,N/A,,  GR1 ,000000.500,,,P2\r\n"
                         "B1/b,\"a, \"\"first\"\"\",,,,,,,,,,,,,,,,,,,,B1,,,000000,,,,P1\r\n"));
}

TEST(ListCommand, ReportsAMissingCatalogueAndBadArguments) {
    TestInstallation installation;
    const test::ProgramOutput missing =
        runCli({QStringLiteral("list"), QStringLiteral("--app-dir"), installation.appDir()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.output.isEmpty());
    EXPECT_TRUE(missing.errors.contains(installation.cataloguePath()))
        << missing.errors.toStdString();

    EXPECT_EQ(runCli({QStringLiteral("list"), QStringLiteral("--verbose")}).exitCode, 2);
}
