#include "catalogue/CatalogueStatements.h"
#include "catalogue/PhotoDatabase.h"
#include "catalogue/ResultsListCsv.h"
#include "catalogue/ResultsListModel.h"
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

TEST(ListCommand, PrintsTheStartupListAsTheWindowShowsIt) {
    TestInstallation installation;
    {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(QStringLiteral("B1"));
        // The statement orders by group; the list then orders by row text.
        catalogue.addPhoto(1, QStringLiteral("B1"), QStringLiteral("b"),
                           {{QStringLiteral("GroupLabel"), QStringLiteral("a, \"first\"")}});
        catalogue.addPhoto(2, QStringLiteral("B1"), QStringLiteral("A"),
                           {{QStringLiteral("GroupLabel"), QStringLiteral("z")}});
        catalogue.addPhoto(3, QStringLiteral("B1"), QVariant());
    }
    const test::ProgramOutput result =
        runCli({QStringLiteral("list"), QStringLiteral("--app-dir"), installation.appDir()});
    ASSERT_EQ(result.exitCode, 0) << result.errors.toStdString();

    ResultsListModel model;
    model.fill(
        PhotoDatabase::open(installation.cataloguePath())->run(statements::activePhotosAtStartUp));
    EXPECT_EQ(result.output, resultsListCsv(model));
    EXPECT_EQ(result.output.split('\n').value(1).left(7), "B1/A,z,");
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
