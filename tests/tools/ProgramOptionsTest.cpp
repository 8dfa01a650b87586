#include "catalogue/CatalogueStatements.h"
#include "catalogue/PhotoDatabase.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"
#include "Version.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace tarnwick;
using tarnwick::test::TestInstallation;

TEST(ProgramOptions, HelpAndUnknownOptionsAreAnsweredBeforeAnythingIsTouched) {
    TestInstallation installation;
    {
        test::TestCatalogue catalogue(installation.cataloguePath());
        // Start-up would rewrite 9.6 as 9: the run must end before it gets that far.
        catalogue.addBook(QStringLiteral("B1"), true, {0.25, 1.0, 3.0, 9.6, 20.0, 0.0});
        catalogue.addPhoto(1, QStringLiteral("B1"), QStringLiteral("1"));
    }
    QProcessEnvironment environment = test::installationEnvironment(installation);
    environment.insert(QStringLiteral("TARNWICK_NONINTERACTIVE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("TARNWICK_EXIT_AFTER_STARTUP"), QStringLiteral("1"));
    QTemporaryDir workingDir;
    const QString demoDir = workingDir.filePath(QStringLiteral("demo"));

    struct Run {
        const char* program;
        QStringList arguments;
        int exitCode;
        const char* says; // on standard output for help, on standard error for a refusal
    };
    // The version as Linux programs print it: the name, then the numbers with no padding.
    const std::string version = "Tarnwick " + std::to_string(version::major) + '.' +
                                std::to_string(version::minor) + '.' +
                                std::to_string(version::revision) + '\n';
    std::vector<Run> runs{
        {"tarnwick", {QStringLiteral("--help")}, 0, "Usage: tarnwick"},
        {"tarnwick", {QStringLiteral("--help")}, 0, "TARNWICK_HOME"},
        {"tarnwick", {QStringLiteral("--version")}, 0, version.c_str()},
        {"tarnwick", {QStringLiteral("--frobnicate")}, 2, "'--frobnicate'"},
        {"tarnwick-cli", {QStringLiteral("--help")}, 0, "Usage: tarnwick-cli COMMAND"},
        {"tarnwick-cli",
         {QStringLiteral("list"), QStringLiteral("-h")},
         0,
         "Usage: tarnwick-cli list"},
        {"tarnwick-cli", {QStringLiteral("demo"), demoDir, QStringLiteral("--help")}, 0, "--force"},
        {"tarnwick-cli",
         {QStringLiteral("demo"), demoDir, QStringLiteral("--frobnicate")},
         2,
         "'--frobnicate'"},
        {"slidekeep3", {QStringLiteral("--help")}, 0, "Usage: slidekeep3"},
        {"slidekeep3",
         {QStringLiteral("--activate"), QStringLiteral("B1"), QStringLiteral("-x")},
         2,
         "'-x'"},
    };
    if (QFileInfo::exists(QStringLiteral(TARNWICK_BINARY_DIR "/tarnwick-bench"))) {
        runs.push_back({"tarnwick-bench", {QStringLiteral("--help")}, 0, "--work DIR"});
        runs.push_back({"tarnwick-bench", {QStringLiteral("--frobnicate")}, 2, "'--frobnicate'"});
        // Without a folder of its own the bench has nowhere it may write.
        runs.push_back({"tarnwick-bench", {}, 2, "--work DIR is required"});
    }
    for (const Run& run : runs) {
        const test::ProgramOutput result =
            test::runBuiltProgram(QString::fromLatin1(run.program), run.arguments, environment,
                                  {.workingDirectory = workingDir.path()});
        const QString said = run.exitCode == 0 ? QString::fromUtf8(result.output) : result.errors;
        const std::string command = run.program + (" " + run.arguments.join(u' ').toStdString());
        EXPECT_EQ(result.exitCode, run.exitCode) << command << ": " << result.errors.toStdString();
        EXPECT_TRUE(said.contains(QLatin1String(run.says)))
            << command << " said: " << said.toStdString();
    }

    EXPECT_EQ(QDir(workingDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());
    EXPECT_FALSE(QFileInfo::exists(installation.paths().dataDir()));
    EXPECT_EQ(PhotoDatabase::open(installation.cataloguePath())
                  ->run(statements::allBooks)
                  .number(0, u"BreakInches4"),
              9.6);
}
