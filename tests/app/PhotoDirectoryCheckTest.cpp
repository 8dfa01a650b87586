#include "app/commands/PhotoDirectoryCheck.h"
#include "app/AppState.h"
#include "platform/PathProbe.h"
#include "platform/SuiteSettings.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedSeams.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

using namespace tarnwick;
using namespace tarnwick::commands;
using tarnwick::test::ScriptedDialogs;
using tarnwick::test::ScriptedPathProbe;
using tarnwick::test::ScriptedProcessRunner;
using tarnwick::test::TestInstallation;

namespace {

class PhotoDirectoryCheckTest : public ::testing::Test {
protected:
    PhotoDirCheckResult check(PathProbe& probe, const QString& picture = QStringLiteral("p1.jpg")) {
        return checkPhotoDirectory(state, dialogs, probe, runner, QStringLiteral("B1"), picture,
                                   [this] { ++refreshes; });
    }

    // A photo directory holding B1/p1.jpg, named without a trailing separator as a hand-edited
    // setting may be.
    QString makePhotoDirectory(const QString& name) {
        const QString dir = installation.configDir() + QLatin1Char('/') + name;
        QDir().mkpath(dir + QStringLiteral("/B1"));
        QFile file(dir + QStringLiteral("/B1/p1.jpg"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return dir;
    }

    TestInstallation installation;
    AppState state{installation.paths()};
    ScriptedDialogs dialogs;
    ScriptedProcessRunner runner;
    int refreshes = 0;
};

} // namespace

TEST_F(PhotoDirectoryCheckTest, WarnsOnlyWhenTheFolderItselfCannotBeRead) {
    FileSystemProbe probe;
    state.photoImageDir = makePhotoDirectory(QStringLiteral("cd"));
    EXPECT_TRUE(check(probe).photoFound);

    // A single missing file sends the display to the local copies without a word.
    const PhotoDirCheckResult missing = check(probe, QStringLiteral("gone.jpg"));
    EXPECT_EQ(missing.next, PhotoDirCheckNext::GoOn);
    EXPECT_FALSE(missing.photoFound);
    EXPECT_TRUE(dialogs.shown().empty());

    // The disc is taken out: the whole folder is gone. Closing the warning without an answer
    // goes on.
    ASSERT_TRUE(QDir(state.photoImageDir).removeRecursively());
    dialogs.photoDirChoiceNext(std::nullopt);
    const PhotoDirCheckResult gone = check(probe);
    EXPECT_EQ(gone.next, PhotoDirCheckNext::GoOn);
    EXPECT_FALSE(gone.photoFound);
    EXPECT_FALSE(state.photoDirChoice.has_value());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, QStringLiteral("photoDirWarning"));
    EXPECT_EQ(dialogs.shown()[0].text,
              QStringLiteral("The default drive/folder (") + state.photoImageDir +
                  QStringLiteral(
                      ") that contains the photo images is not accessible.\n"
                      "\n"
                      "You can take the following actions: \n"
                      "\n"
                      " 1. Insert the CD or Disk into the correct drive and press RETRY.\n"
                      "     (CD may take a few seconds to become available after insertion.)\n"
                      " 2. Press MANAGE PHOTO SERIES to change the default photo directory.\n"
                      " 3. Press SEARCH LOCAL ONLY to skip looking in the default drive/folder\n"
                      "     for the duration of this application session."));
    EXPECT_TRUE(runner.started().isEmpty());
    EXPECT_EQ(refreshes, 0);
}

TEST_F(PhotoDirectoryCheckTest, RetryAsksAgainAsLongAsTheFolderStaysUnreadable) {
    ScriptedPathProbe probe({ProbeResult::Unreadable});
    state.photoImageDir = QStringLiteral("/media/cdrom/photoimages/");
    dialogs.photoDirChoiceNext(PhotoDirChoice::Retry);
    dialogs.photoDirChoiceNext(PhotoDirChoice::Retry);

    EXPECT_EQ(check(probe).next, PhotoDirCheckNext::Retry);
    EXPECT_EQ(state.photoDirChoice, PhotoDirChoice::Retry);
    EXPECT_EQ(check(probe).next, PhotoDirCheckNext::Retry);
    EXPECT_EQ(dialogs.shown().size(), 2u);
    EXPECT_TRUE(dialogs.shown()[0].text.contains(QStringLiteral("(/media/cdrom/photoimages/)")));
    EXPECT_EQ(probe.probedFiles().value(1), QStringLiteral("/media/cdrom/photoimages/B1") +
                                                QDir::separator() + QStringLiteral("p1.jpg"));
    EXPECT_TRUE(runner.started().isEmpty());
}

TEST_F(PhotoDirectoryCheckTest, SearchLocalOnlyStopsEveryLaterCheckInEitherPane) {
    ScriptedPathProbe probe({ProbeResult::Unreadable, ProbeResult::Found});
    state.photoImageDir = QStringLiteral("/media/cdrom/photoimages/");
    dialogs.photoDirChoiceNext(PhotoDirChoice::SearchLocalOnly);
    EXPECT_FALSE(check(probe).photoFound);
    EXPECT_EQ(state.photoDirChoice, PhotoDirChoice::SearchLocalOnly);

    // The disc comes back and the other pane shows a photo: the directory is not looked at.
    state.mode = Mode::Compare;
    state.currentSlot = 1;
    const PhotoDirCheckResult later = check(probe);
    EXPECT_EQ(later.next, PhotoDirCheckNext::GoOn);
    EXPECT_FALSE(later.photoFound);
    EXPECT_EQ(probe.probedFiles().size(), 1);
    EXPECT_EQ(dialogs.shown().size(), 1u);
}

TEST_F(PhotoDirectoryCheckTest, ManagePhotoSeriesRunsSlidekeepAndTakesItsNewDirectory) {
    FileSystemProbe probe;
    state.photoImageDir = QStringLiteral("/nonexistent-cdrom/photoimages/");
    const QString chosen = makePhotoDirectory(QStringLiteral("chosen")) + QDir::separator();
    int refreshesWhileRunning = -1;
    runner.whileRunning = [&](const QString&) {
        refreshesWhileRunning = refreshes;
        SuiteSettings().setPhotoDir(chosen);
    };
    dialogs.photoDirChoiceNext(PhotoDirChoice::ManagePhotoSeries);

    const PhotoDirCheckResult result = check(probe);
    EXPECT_EQ(runner.started(), QStringList{QStringLiteral("slidekeep3")});
    EXPECT_EQ(refreshesWhileRunning, 0);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(state.photoDirChoice, PhotoDirChoice::ManagePhotoSeries);
    EXPECT_EQ(state.photoImageDir, chosen);
    // The new directory serves the photo being shown.
    EXPECT_EQ(result.next, PhotoDirCheckNext::GoOn);
    EXPECT_TRUE(result.photoFound);
}

TEST_F(PhotoDirectoryCheckTest, ManageWithoutSlidekeepFallsBackToTheInstallationsFolder) {
    ScriptedPathProbe probe({ProbeResult::Unreadable, ProbeResult::Missing});
    state.photoImageDir = QStringLiteral("/media/cdrom/photoimages/");
    runner.startable = false;
    dialogs.photoDirChoiceNext(PhotoDirChoice::ManagePhotoSeries);

    EXPECT_FALSE(check(probe).photoFound);
    EXPECT_EQ(runner.started().size(), 1);
    EXPECT_EQ(state.photoImageDir, installation.paths().photoImagesDir());
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(dialogs.shown().size(), 1u);
}
