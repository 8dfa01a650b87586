#include "app/SingleInstance.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

using namespace tarnwick;
using tarnwick::test::TestInstallation;

namespace {

// Runs the real program on an installation, with nobody to answer its boxes.
test::ProgramOutput runProgram(const TestInstallation& installation,
                               const QStringList& arguments = {}) {
    QProcessEnvironment environment = test::installationEnvironment(installation);
    environment.insert(QStringLiteral("TARNWICK_NONINTERACTIVE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("TARNWICK_EXIT_AFTER_STARTUP"), QStringLiteral("1"));
    return test::runBuiltProgram(QStringLiteral("tarnwick"), arguments, environment);
}

} // namespace

TEST(ProgramRun, StartsOnAGoodInstallationAndReportsItsStartupTime) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 4);
    const test::ProgramOutput run = runProgram(installation);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QRegularExpression(QStringLiteral("startup-ms: \\d+\\n"))))
        << run.errors.toStdString();
}

TEST(ProgramRun, RefusesASecondCopyAndAnEmptyCatalogue) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 0);
    {
        SingleInstance running(installation.appDir());
        ASSERT_TRUE(running.tryAcquire());
        const test::ProgramOutput second = runProgram(installation);
        EXPECT_NE(second.exitCode, 0);
        EXPECT_TRUE(
            second.errors.contains(QStringLiteral("Error: you already have TarnwickApp Running")))
            << second.errors.toStdString();
        // A copy that holds the installation but never answers: the file is not lost in silence.
        const test::ProgramOutput handing = runProgram(installation, {QStringLiteral("#NEW#")});
        EXPECT_NE(handing.exitCode, 0);
        EXPECT_TRUE(handing.errors.contains(QStringLiteral(
            "Tarnwick is already running, but it did not answer within 5 seconds. A new fuel "
            "profile was not started.")))
            << handing.errors.toStdString();
    }
    const test::ProgramOutput empty = runProgram(installation);
    EXPECT_NE(empty.exitCode, 0);
    EXPECT_TRUE(empty.errors.contains(QStringLiteral("There are no active photos.")))
        << empty.errors.toStdString();
    EXPECT_FALSE(empty.errors.contains(QStringLiteral("startup-ms")));
}
