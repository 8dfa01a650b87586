#include "app/SingleInstance.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

using namespace tarnwick;
using tarnwick::test::TestInstallation;

namespace {

struct ProgramResult {
    int exitCode = -1;
    QString errors;
};

// Runs the real program on an installation, with nobody to answer its boxes.
ProgramResult runProgram(const TestInstallation& installation) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARNWICK_HOME"), installation.appDir());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), installation.configDir());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TARNWICK_NONINTERACTIVE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("TARNWICK_EXIT_AFTER_STARTUP"), QStringLiteral("1"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARNWICK_BINARY_DIR "/tarnwick"), {});
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(ProgramRun, StartsOnAGoodInstallationAndReportsItsStartupTime) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 4);
    const ProgramResult run = runProgram(installation);
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
        const ProgramResult second = runProgram(installation);
        EXPECT_NE(second.exitCode, 0);
        EXPECT_TRUE(
            second.errors.contains(QStringLiteral("Error: you already have TarnwickApp Running")))
            << second.errors.toStdString();
    }
    const ProgramResult empty = runProgram(installation);
    EXPECT_NE(empty.exitCode, 0);
    EXPECT_TRUE(empty.errors.contains(QStringLiteral("There are no active photos.")))
        << empty.errors.toStdString();
    EXPECT_FALSE(empty.errors.contains(QStringLiteral("startup-ms")));
}
