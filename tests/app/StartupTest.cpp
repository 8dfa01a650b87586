#include "app/commands/Startup.h"
#include "app/AppState.h"
#include "app/SingleInstance.h"
#include "catalogue/CatalogueStatements.h"
#include "platform/SuiteSettings.h"
#include "support/ScriptedDialogs.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace tarnwick;
using namespace tarnwick::commands;
using tarnwick::test::ScriptedDialogs;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

class StartupTest : public ::testing::Test {
protected:
    TestInstallation installation;
    AppState state{installation.paths()};
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(StartupTest, PreparesTheRunFromAGoodCatalogue) {
    test::writeSmallCatalogue(installation.cataloguePath(), 3);
    state.mode = Mode::Compare;
    state.currentSlot = 1;
    state.profileChanged = true;

    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_TRUE(QFileInfo(installation.paths().dataDir()).isDir());
    EXPECT_EQ(state.activePhotoSet.recordCount(), 3);
    EXPECT_EQ(state.activePhotoSet.statement(),
              QStringLiteral("SELECT * From qryactive ORDER by GroupLabel, PhotoLabel"));
    EXPECT_EQ(state.mode, Mode::Browse);
    EXPECT_EQ(state.currentSlot, 0);
    EXPECT_FALSE(state.profileChanged);
    EXPECT_EQ(state.profileFileName, QStringLiteral("Untitled"));
    // With no setting the photos are looked for in the installation's own folder.
    EXPECT_EQ(state.photoImageDir, installation.paths().photoImagesDir());
    EXPECT_EQ(state.photoImageDir,
              QDir::toNativeSeparators(installation.appDir() + QStringLiteral("/PhotoImages")));
}

TEST_F(StartupTest, UsesTheSuitesPhotoDirectorySetting) {
    test::writeSmallCatalogue(installation.cataloguePath(), 1);
    SuiteSettings().setPhotoDir(QStringLiteral("/media/cdrom/photoimages/"));
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    EXPECT_EQ(state.photoImageDir, QStringLiteral("/media/cdrom/photoimages/"));
    EXPECT_TRUE(
        QFileInfo::exists(installation.configDir() + QStringLiteral("/Corbell 3/Corbell 3.conf")));

    // An empty value names no folder: the installation's own is used.
    SuiteSettings().setPhotoDir(QString());
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    EXPECT_EQ(state.photoImageDir, installation.paths().photoImagesDir());
}

TEST_F(StartupTest, ADataFolderThatCannotBeMadeIsToldOnceTheRunIsUp) {
    test::writeSmallCatalogue(installation.cataloguePath(), 1);
    QFile blocker(installation.paths().dataDir()); // a file where the folder belongs
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    ASSERT_EQ(state.startupNotices.size(), 1);
    EXPECT_TRUE(state.startupNotices[0].contains(installation.paths().dataDir()));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(StartupTest, RefusesACatalogueWithoutActivePhotosAfterNormalisingIt) {
    {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(QStringLiteral("On"), true, {0.3, 1.0, 3.0, 9.6, 0.0, 0.0});
        catalogue.addBook(QStringLiteral("Off"), false);
        catalogue.addPhoto(1, QStringLiteral("Off"), QStringLiteral("1"));
        catalogue.addPhoto(2, QStringLiteral("On"), QStringLiteral("2"),
                           {{QStringLiteral("active"), 0}});
    }
    EXPECT_FALSE(initialiseCatalogue(state, dialogs));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, QStringLiteral("critical"));
    EXPECT_EQ(dialogs.shown()[0].text,
              QStringLiteral("Unable to start Tarnwick.  There are no active photos.\n"
                             "Please use Slidekeep to activate photos."));
    auto db = PhotoDatabase::open(installation.cataloguePath());
    EXPECT_EQ(db->run(statements::oneBook(QStringLiteral("On"))).number(0, u"BreakInches4"), 9.0);
}

TEST_F(StartupTest, ABadCatalogueEndsTheRunWithABoxNamingTheFile) {
    EXPECT_FALSE(initialiseCatalogue(state, dialogs));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, QStringLiteral("critical"));
    EXPECT_TRUE(dialogs.shown()[0].text.contains(installation.cataloguePath()));
    EXPECT_TRUE(dialogs.shown()[0].text.contains(QStringLiteral("does not exist")));
    EXPECT_EQ(state.database, nullptr);
}

TEST_F(StartupTest, ExitNeedsAYes) {
    dialogs.answerNext(Answer::No);
    EXPECT_FALSE(confirmExit(state, dialogs));
    dialogs.answerNext(Answer::Yes);
    EXPECT_TRUE(confirmExit(state, dialogs));
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[1].text, QStringLiteral("Exit Tarnwick?"));
    EXPECT_EQ(dialogs.shown()[1].title, QString());
}

TEST(SingleInstance, OneCopyPerInstallation) {
    TestInstallation first;
    SingleInstance running(first.appDir());
    ASSERT_TRUE(running.tryAcquire());
    EXPECT_FALSE(SingleInstance(first.appDir()).tryAcquire());
    EXPECT_FALSE(SingleInstance(first.appDir() + QStringLiteral("/")).tryAcquire());
    TestInstallation other;
    EXPECT_TRUE(SingleInstance(other.appDir()).tryAcquire());
    // The same installation reached through a symbolic link is the same installation.
    const QString link = other.configDir() + QStringLiteral("/linked");
    ASSERT_TRUE(QFile::link(first.appDir(), link));
    EXPECT_FALSE(SingleInstance(link).tryAcquire());
}

// The old suite's Access catalogue where ours is missing: offered for import, and a file that
// holds no photo catalogue is refused without writing one of ours.
TEST_F(StartupTest, OffersToImportTheOldSuitesCatalogue) {
    const QString accessFile =
        QDir(QString::fromUtf8(TARNWICK_ACCESS_TESTDATA)).filePath(QStringLiteral("nwind.mdb"));
    if (!QFileInfo::exists(accessFile))
        GTEST_SKIP() << "the Access test files are not beside the sources";
    const QString old = installation.paths().file(QStringLiteral("Photo3.mdb"));
    ASSERT_TRUE(QFile::copy(accessFile, old));
    const QString question = oldCatalogueQuestion(old, installation.cataloguePath());
    EXPECT_TRUE(question.contains(old) && question.contains(installation.cataloguePath()));

    dialogs.answerNext(Answer::No);
    EXPECT_FALSE(initialiseCatalogue(state, dialogs));
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[0].kind, QStringLiteral("question"));
    EXPECT_EQ(dialogs.shown()[0].text, question);
    EXPECT_TRUE(dialogs.shown()[1].text.contains(QStringLiteral("does not exist")));

    dialogs.answerNext(Answer::Yes);
    EXPECT_FALSE(initialiseCatalogue(state, dialogs));
    ASSERT_EQ(dialogs.shown().size(), 4u);
    EXPECT_EQ(dialogs.shown()[3].kind, QStringLiteral("critical"));
    EXPECT_TRUE(dialogs.shown()[3].text.contains(QStringLiteral("lacks the table Books")))
        << dialogs.shown()[3].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(installation.cataloguePath()));

    // With a catalogue of ours there, nothing is asked.
    test::writeSmallCatalogue(installation.cataloguePath(), 1);
    EXPECT_TRUE(initialiseCatalogue(state, dialogs));
    EXPECT_EQ(dialogs.shown().size(), 4u);
}
