#include "catalogue/CatalogueStatements.h"
#include "catalogue/PhotoDatabase.h"
#include "platform/SuiteSettings.h"
#include "slidekeep/SlidekeepCatalogue.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

using namespace tarnwick;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

// Runs the built slidekeep3 on the test's installation and settings, with no display at all.
test::ProgramOutput runSlidekeep(const TestInstallation& installation,
                                 const QStringList& arguments) {
    QProcessEnvironment environment = test::installationEnvironment(installation);
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return test::runBuiltProgram(QStringLiteral("slidekeep3"), arguments, environment);
}

void writeTwoBooks(const QString& path) {
    TestCatalogue catalogue(path);
    catalogue.addBook(QStringLiteral("PNW-1"));
    catalogue.addBook(QStringLiteral("SW-2"), false);
    catalogue.addPhoto(1, QStringLiteral("PNW-1"), QStringLiteral("1-A"));
    catalogue.addPhoto(2, QStringLiteral("PNW-1"), QStringLiteral("1-B"));
    catalogue.addPhoto(3, QStringLiteral("SW-2"), QStringLiteral("2-A"));
}

int activePhotos(const TestInstallation& installation) {
    return PhotoDatabase::open(installation.cataloguePath())
        ->run(statements::activePhotosAtStartUp)
        .recordCount();
}

} // namespace

TEST(Slidekeep, ActivatesAndDeactivatesBooksFromTheCommandLine) {
    TestInstallation installation;
    test::ProgramOutput run =
        runSlidekeep(installation, {QStringLiteral("--activate"), QStringLiteral("PNW-1")});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("does not exist"))) << run.errors.toStdString();

    writeTwoBooks(installation.cataloguePath());
    ASSERT_EQ(activePhotos(installation), 2);

    run = runSlidekeep(installation, {QStringLiteral("--activate"), QStringLiteral("SW-2")});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(activePhotos(installation), 3);

    run = runSlidekeep(installation, {QStringLiteral("--deactivate=PNW-1")});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(activePhotos(installation), 1);

    // One unknown label among several changes nothing.
    run = runSlidekeep(installation, {QStringLiteral("--activate"), QStringLiteral("PNW-1"),
                                      QStringLiteral("--deactivate"), QStringLiteral("XX-9")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("no book 'XX-9'"))) << run.errors.toStdString();
    EXPECT_EQ(activePhotos(installation), 1);
}

TEST(Slidekeep, StoresThePhotoDirectoryWithATrailingSeparatorAndRefusesBadArguments) {
    TestInstallation installation;
    test::ProgramOutput run = runSlidekeep(installation, {QStringLiteral("--photo-dir")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("--photo-dir needs a value")));
    run = runSlidekeep(installation, {QStringLiteral("--frobnicate")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("unknown argument '--frobnicate'")));
    EXPECT_EQ(SuiteSettings().photoDir(QStringLiteral("unset")), QStringLiteral("unset"));

    const QString images = installation.configDir() + QStringLiteral("/images");
    run = runSlidekeep(installation, {QStringLiteral("--photo-dir"), images});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(SuiteSettings().photoDir(QString()),
              QDir::toNativeSeparators(images) + QDir::separator());
}

TEST(Slidekeep, PhotoFlagsDecideWhatTarnwickSees) {
    TestInstallation installation;
    writeTwoBooks(installation.cataloguePath());
    const auto catalogue = slidekeep::SlidekeepCatalogue::open(installation.cataloguePath());
    EXPECT_FALSE(catalogue->books().at(1).active);

    EXPECT_TRUE(catalogue->setPhotoActive(2, false));
    EXPECT_FALSE(catalogue->setPhotoActive(99, false));
    const std::vector<slidekeep::PhotoEntry> photos = catalogue->photos(QStringLiteral("PNW-1"));
    ASSERT_EQ(photos.size(), 2u);
    EXPECT_EQ(photos[1].label, QStringLiteral("1-B"));
    EXPECT_FALSE(photos[1].active);
    EXPECT_EQ(activePhotos(installation), 1);
}
