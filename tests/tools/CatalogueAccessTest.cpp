#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QScopeGuard>

using namespace tarnwick;
using tarnwick::test::TestInstallation;

namespace {

// The installation's programs, run as a user to whom the permissions apply.
test::ProgramOutput runAsUser(const TestInstallation& installation, const QString& program,
                              const QStringList& arguments) {
    QProcessEnvironment environment = test::installationEnvironment(installation);
    environment.insert(QStringLiteral("TARNWICK_NONINTERACTIVE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("TARNWICK_EXIT_AFTER_STARTUP"), QStringLiteral("1"));
    return test::runBuiltProgram(program, arguments, environment,
                                 {.workingDirectory = {}, .asOrdinaryUser = true});
}

constexpr auto readAndSearch = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                               QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                               QFileDevice::ReadOther | QFileDevice::ExeOther;
constexpr auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;

} // namespace

TEST(CatalogueAccess, ReadingCommandsWorkOnAWriteProtectedCatalogueAndWritersSaySo) {
    TestInstallation installation;
    const QString catalogue = installation.cataloguePath();
    {
        test::TestCatalogue writer(catalogue);
        writer.addBook(QStringLiteral("B1"), true, {0.25, 1.0, 3.0, 9.6, 20.0, 0.0});
        // Every range of a search needs a value to span.
        QVariantMap loadings{{QStringLiteral("TotalFL"), 7.0},
                             {QStringLiteral("HerbTonsPerAcre"), 0.5},
                             {QStringLiteral("WoodyTonsPerAcre"), 1.5}};
        for (int k = 1; k <= 7; ++k)
            loadings.insert(QStringLiteral("TonsPerAcreBreak%1").arg(k), 1.0);
        for (int id = 1; id <= 3; ++id)
            writer.addPhoto(id, QStringLiteral("B1"), QStringLiteral("P%1").arg(id), loadings);
    }
    const QByteArray before = test::fileContents(catalogue);

    // Opened for reading, nothing can be written, whatever the file's permissions.
    {
        const auto database = PhotoDatabase::open(catalogue, CatalogueAccess::ReadOnly);
        EXPECT_EQ(database->run(statements::activePhotosAtStartUp).recordCount(), 3);
        EXPECT_THROW(database->normaliseBookBreaks(), DatabaseError);
    }
    EXPECT_EQ(test::fileContents(catalogue), before);

    // As on a disc or a shared installation: neither the file nor its folder can be written.
    test::openToOrdinaryUser(installation);
    QFile::setPermissions(catalogue, readOnly);
    QFile::setPermissions(installation.appDir(), readAndSearch);
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(installation.appDir(), readAndSearch | QFileDevice::WriteOwner);
        QFile::setPermissions(catalogue, readOnly | QFileDevice::WriteOwner);
    });
    const QStringList appDir{QStringLiteral("--app-dir"), installation.appDir()};

    test::ProgramOutput run = runAsUser(installation, QStringLiteral("tarnwick-cli"),
                                        QStringList{QStringLiteral("list")} + appDir);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.lines().size(), 4); // the heading and three photos
    run = runAsUser(
        installation, QStringLiteral("tarnwick-cli"),
        QStringList{QStringLiteral("plate"), QStringLiteral("--id"), QStringLiteral("2")} + appDir);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.output.contains("\"case\"")) << run.output.toStdString();
    run = runAsUser(
        installation, QStringLiteral("tarnwick-cli"),
        QStringList{QStringLiteral("query"), QStringLiteral("--kind"), QStringLiteral("4")} +
            appDir);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.lines().size(), 5); // the statement, the heading and three photos

    // What writes refuses, naming the file, why it must write and what to do.
    for (const auto& [program, arguments] :
         {std::pair{QStringLiteral("tarnwick"), QStringList()},
          std::pair{QStringLiteral("slidekeep3"),
                    QStringList{QStringLiteral("--deactivate"), QStringLiteral("B1")}}}) {
        run = runAsUser(installation, program, arguments);
        EXPECT_NE(run.exitCode, 0) << program.toStdString();
        for (const char* part : {"is write-protected", "updates the catalogue at every start",
                                 "give yourself permission to write"})
            EXPECT_TRUE(run.errors.contains(QLatin1String(part)))
                << program.toStdString() << ": " << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(catalogue)) << run.errors.toStdString();
    }
    EXPECT_EQ(test::fileContents(catalogue), before);
}

TEST(CatalogueAccess, AFolderThatCannotBeSearchedIsNotReportedAsMissing) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 1);
    test::openToOrdinaryUser(installation);
    // Its listing can be read, but nothing in it can be opened.
    QFile::setPermissions(installation.appDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ReadGroup |
                                                     QFileDevice::ReadOther);
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(installation.appDir(), readAndSearch | QFileDevice::WriteOwner);
    });

    const test::ProgramOutput run =
        runAsUser(installation, QStringLiteral("tarnwick-cli"),
                  {QStringLiteral("list"), QStringLiteral("--app-dir"), installation.appDir()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.errors.contains(QStringLiteral("does not exist"))) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("The photo catalogue %1 cannot be reached")
                                        .arg(installation.cataloguePath())))
        << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(
        QStringLiteral("no permission to search (open) the folder %1").arg(installation.appDir())))
        << run.errors.toStdString();
}
