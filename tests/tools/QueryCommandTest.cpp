#include "query/QueryTestSupport.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QProcess>

using namespace Qt::StringLiterals;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

struct CliResult {
    int exitCode = -1;
    QStringList lines;
    QString errors;
};

CliResult runQuery(const TestInstallation& installation, const QStringList& args) {
    const tarnwick::test::ProgramOutput run = tarnwick::test::runCli(
        installation, QStringList{u"query"_s, u"--app-dir"_s, installation.appDir()} + args);
    return {run.exitCode, run.lines(), run.errors};
}

} // namespace

// The command builds the same statement as the pane: bounds left out are the combos' full span
// after loading, rows are code-list rows.
class QueryCommandOnBothEngines : public ::testing::TestWithParam<tarnwick::CatalogueEngine> {};

TARNWICK_ON_BOTH_ENGINES(QueryCommandOnBothEngines);

TEST_P(QueryCommandOnBothEngines, PrintsTheStatementOfTheCriteria) {
    TestInstallation installation(GetParam());
    TARNWICK_SKIP_WITHOUT_ENGINE(installation);
    {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(u"B1"_s);
        catalogue.addPhoto(1, u"B1"_s, u"1"_s,
                           {{u"TotalFL"_s, 37.5},
                            {u"HerbTonsPerAcre"_s, 0.8},
                            {u"WoodyTonsPerAcre"_s, 3.0},
                            {u"TonsPerAcreBreak1"_s, 1.0},
                            {u"TonsPerAcreBreak2"_s, 1.0},
                            {u"TonsPerAcreBreak3"_s, 1.0},
                            {u"TonsPerAcreBreak4"_s, 1.0},
                            {u"TonsPerAcreBreak5"_s, 1.0},
                            {u"TonsPerAcreBreak6"_s, 1.0},
                            {u"TonsPerAcreBreak7"_s, 1.0}});
    }
    installation.serveCatalogue();
    CliResult total = runQuery(installation, {u"--kind"_s, u"1"_s, u"--sql-only"_s});
    EXPECT_EQ(total.exitCode, 0) << total.errors.toStdString();
    EXPECT_EQ(
        total.lines,
        QStringList{u"SELECT * From qryactive WHERE ((([TotalFL])>= 0 And ([TotalFL])<=  40));"_s});

    CliResult live = runQuery(installation, {u"--kind"_s, u"5"_s, u"--shrub"_s, u" 2"_s, u"4"_s,
                                             u"--veg"_s, u"AB1-Dry grass"_s, u"--sql-only"_s});
    EXPECT_EQ(live.exitCode, 0) << live.errors.toStdString();
    EXPECT_EQ(live.lines,
              QStringList{u"SELECT * From qryactive WHERE ((([herbtonsperacre])>= 0 And "
                          u"([herbtonsperacre])<=  2)) AND (([Woodytonsperacre])>=  2 And "
                          u"([woodytonsperacre])<= 4 and (Vegtype in ('AB1')));"_s});

    // Without --sql-only the photos found follow, as 'tarnwick-cli list' prints them.
    CliResult listed =
        runQuery(installation, {u"--kind"_s, u"1"_s, u"--total"_s, u"30"_s, u"40"_s});
    EXPECT_EQ(listed.exitCode, 0) << listed.errors.toStdString();
    ASSERT_EQ(listed.lines.size(), 3);
    EXPECT_TRUE(listed.lines[1].startsWith(u"BookPhotoID,"_s));
    EXPECT_TRUE(listed.lines[2].startsWith(u"B1/1,"_s));
    EXPECT_EQ(
        runQuery(installation, {u"--kind"_s, u"1"_s, u"--total"_s, u"0"_s, u"30"_s}).lines.size(),
        2);

    CliResult rejected =
        runQuery(installation, {u"--kind"_s, u"5"_s, u"--herb"_s, u"0"_s, u"2 or 1=1"_s});
    EXPECT_EQ(rejected.exitCode, 2);
    EXPECT_TRUE(rejected.lines.isEmpty());
    EXPECT_TRUE(rejected.errors.contains(u"ERROR - Range values must be numbers"_s))
        << rejected.errors.toStdString();

    EXPECT_EQ(runQuery(installation, {u"--kind"_s, u"9"_s}).exitCode, 2);
    EXPECT_EQ(runQuery(installation, {u"--total"_s, u"1"_s}).exitCode, 2);
}
