#include "app/commands/PhotoDisplayCommands.h"
#include "app/AppState.h"
#include "app/commands/Modes.h"
#include "app/commands/SlotCommands.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "display/SlotDisplay.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace tarnwick;
using namespace tarnwick::commands;
using tarnwick::test::TestInstallation;

namespace {

// Remembers what the command asked of a slot's widgets, in order.
class RecordingDisplay : public SlotDisplay {
public:
    void setCaption(const QString& text) override { calls << QStringLiteral("caption ") + text; }
    void showRetrieving() override { calls << QStringLiteral("retrieving"); }
    void showImage(const QString& path) override { calls << QStringLiteral("image ") + path; }
    void showNoPicture(const QString& text) override { calls << QStringLiteral("none ") + text; }
    void showCantLoad(const QString& text) override { calls << QStringLiteral("cant ") + text; }
    QStringList calls;
};

void writePicture(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    ASSERT_TRUE(image.save(path, "JPG"));
}

class PhotoDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        {
            test::TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(QStringLiteral("RM-3"));
            for (int id = 1; id <= 3; ++id)
                catalogue.addPhoto(
                    id, QStringLiteral("RM-3"), QStringLiteral("AS-0%1").arg(id),
                    {{QStringLiteral("PhotoPic"), QStringLiteral("p%1.jpg").arg(id)},
                     {QStringLiteral("DataPic"), QStringLiteral("d%1.jpg").arg(id)}});
            catalogue.addPhoto(4, QStringLiteral("RM-3"), QStringLiteral("AS-04"),
                               {{QStringLiteral("PhotoPic"), QStringLiteral("p4.jpg")}});
        }
        state.database = PhotoDatabase::open(installation.cataloguePath());
        state.activePhotoSet = state.database->run(statements::activePhotosAtStartUp);
        state.photoImageDir = photoDir.path() + QLatin1Char('/');
        hooks.displays = {&displays[0], &displays[1]};
        state.resultsList.fill(state.activePhotoSet);
        hooks.list = resultsListAccess(state.resultsList, {});
        hooks.setComparisonPrintEnabled = [this](bool enabled) { printEnabled << enabled; };
        hooks.drawDataPlate = [this](int pane, int slot) { drawn << QPair<int, int>(pane, slot); };
        hooks.refreshAssistant = [this] { ++assistantRefreshes; };
    }

    ListEntry entry(int row) { return listEntryOfRow(state.resultsList.rowAt(row), row); }
    QString inPhotoDir(const QString& name) { return photoDir.path() + "/RM-3/" + name; }
    QString local(const QString& name) {
        return installation.appDir() + "/PhotoImages/RM-3/" + name;
    }

    TestInstallation installation;
    QTemporaryDir photoDir;
    AppState state{installation.paths()};
    std::array<RecordingDisplay, 2> displays;
    PhotoDisplayHooks hooks;
    QList<bool> printEnabled;
    QList<QPair<int, int>> drawn;
    int assistantRefreshes = 0;
};

} // namespace

TEST_F(PhotoDisplayTest, PicturesComeFromThePhotoDirectoryThenTheLocalFolderElseACaption) {
    writePicture(inPhotoDir("p1.jpg"));
    writePicture(local("p1.jpg"));
    writePicture(local("p2.jpg")); // the photo directory has the book's folder, not the file
    state.statusLine.statusMessage(StatusKind::Error, QStringLiteral("old"));

    EXPECT_EQ(showPhoto(state, entry(0), hooks).outcome, ShowPhotoOutcome::Shown);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Message), QString());
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Photo), QStringLiteral("RM-3/AS-01"));
    EXPECT_EQ(state.displaySlots[0].imageSource, ImageSource::PhotoDirectory);
    EXPECT_EQ(state.displaySlots[0].paths.photo, inPhotoDir("p1.jpg"));
    EXPECT_EQ(state.displaySlots[0].paths.data, inPhotoDir("d1.jpg"));
    EXPECT_EQ(state.displaySlots[0].paths.localPhoto, local("p1.jpg"));
    EXPECT_EQ(state.displaySlots[0].paths.localData, local("d1.jpg"));
    EXPECT_EQ(displays[0].calls,
              (QStringList{"caption RM-3/AS-01", "retrieving", "image " + inPhotoDir("p1.jpg")}));
    ASSERT_EQ(state.displaySlots[0].photo.recordCount(), 1);
    EXPECT_EQ(state.displaySlots[0].photo.text(0, u"PhotoLabel"), QStringLiteral("AS-01"));
    EXPECT_EQ(state.displaySlots[0].book.text(0, u"BookLabel"), QStringLiteral("RM-3"));

    displays[0].calls.clear();
    showPhoto(state, entry(1), hooks);
    EXPECT_EQ(state.displaySlots[0].imageSource, ImageSource::Local);
    EXPECT_EQ(displays[0].calls.last(), "image " + local("p2.jpg"));

    // Neither place has it: three lines, the photo directory exactly as stored.
    state.photoImageDir = photoDir.path();
    displays[0].calls.clear();
    showPhoto(state, entry(2), hooks);
    EXPECT_EQ(state.displaySlots[0].imageSource, ImageSource::None);
    EXPECT_EQ(displays[0].calls.last(), "none No Picture Available in:\n" + photoDir.path() +
                                            " or\n" + installation.appDir() + "/PhotoImages");
    EXPECT_EQ(state.displaySlots[0].photo.text(0, u"PhotoLabel"), QStringLiteral("AS-03"));
    EXPECT_TRUE(displays[1].calls.isEmpty());
}

TEST_F(PhotoDisplayTest, PhotoDirectoryWorksWithOrWithoutItsTrailingSeparator) {
    writePicture(inPhotoDir("p1.jpg"));
    for (const QString& dir : {photoDir.path(), photoDir.path() + "/"}) {
        state.photoImageDir = dir;
        showPhoto(state, entry(0), hooks);
        EXPECT_EQ(state.displaySlots[0].paths.photo, inPhotoDir("p1.jpg")) << dir.toStdString();
        EXPECT_EQ(state.displaySlots[0].imageSource, ImageSource::PhotoDirectory);
    }
    EXPECT_EQ(joinImagePath(QString(), "B", "x.jpg"), QStringLiteral("B/x.jpg"));
}

// Neither an entry without a data sheet nor a click the catalogue cannot answer leaves a caption
// or photo panel naming a photo whose records are not shown.
TEST_F(PhotoDisplayTest, AnEntryWithoutADataSheetOrAFailedLookUpLeavesTheDisplayAsItWas) {
    showPhoto(state, entry(0), hooks);
    const SlotPaths before = state.displaySlots[0].paths;
    const QStringList calls = displays[0].calls;
    drawn.clear();

    ListEntry noData = entry(3);
    ASSERT_TRUE(noData.data.isEmpty());
    EXPECT_EQ(showPhoto(state, noData, hooks).outcome, ShowPhotoOutcome::NoDataImage);
    EXPECT_EQ(displays[0].calls, calls);
    EXPECT_EQ(state.displaySlots[0].paths.photo, before.photo);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Photo), QStringLiteral("RM-3/AS-01"));
    EXPECT_EQ(state.displaySlots[0].photo.text(0, u"PhotoLabel"), QStringLiteral("AS-01"));
    EXPECT_TRUE(drawn.isEmpty());

    {
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("dropping"));
        other.setDatabaseName(installation.cataloguePath());
        ASSERT_TRUE(other.open());
        ASSERT_TRUE(QSqlQuery(QStringLiteral("DROP TABLE Photos"), other).isActive());
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("dropping"));
    EXPECT_THROW(showPhoto(state, entry(1), hooks), DatabaseError);
    EXPECT_EQ(displays[0].calls.last(), QStringLiteral("caption RM-3/AS-01"));
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Photo), QStringLiteral("RM-3/AS-01"));
    EXPECT_EQ(state.displaySlots[0].paths.photo, before.photo);
    EXPECT_EQ(state.displaySlots[0].photo.text(0, u"PhotoLabel"), QStringLiteral("AS-01"));
    EXPECT_TRUE(drawn.isEmpty());
}

TEST_F(PhotoDisplayTest, RetryStartsOverAndStopsWhenTheListLostTheRow) {
    writePicture(inPhotoDir("p1.jpg"));
    QStringList probed;
    QList<PhotoDirCheckResult> answers{{PhotoDirCheckNext::Retry, false},
                                       {PhotoDirCheckNext::GoOn, true}};
    hooks.directoryCheck = [&](const ListEntry&, const QString& path) {
        probed << path;
        return answers.takeFirst();
    };
    EXPECT_EQ(showPhoto(state, entry(0), hooks).outcome, ShowPhotoOutcome::Shown);
    EXPECT_EQ(probed, (QStringList{inPhotoDir("p1.jpg"), inPhotoDir("p1.jpg")}));
    EXPECT_EQ(displays[0].calls.count("caption RM-3/AS-01"), 2);
    EXPECT_EQ(displays[0].calls.last(), "image " + inPhotoDir("p1.jpg"));

    // The list was emptied while the user was asked: nothing more is shown.
    int fetches = 0;
    hooks.list.entryAt = [&](int row) -> std::optional<ListEntry> {
        if (fetches++ > 0)
            return std::nullopt;
        return entry(row);
    };
    hooks.directoryCheck = [](const ListEntry&, const QString&) {
        return PhotoDirCheckResult{PhotoDirCheckNext::Retry, false};
    };
    displays[0].calls.clear();
    EXPECT_EQ(showPhoto(state, entry(1), hooks).outcome, ShowPhotoOutcome::NotInList);
    EXPECT_EQ(displays[0].calls, QStringList{"caption RM-3/AS-02"});
    EXPECT_EQ(state.displaySlots[0].photo.text(0, u"PhotoLabel"), QStringLiteral("AS-01"));
}

TEST_F(PhotoDisplayTest, TheCheckDecidesBetweenThePhotoDirectoryAndTheLocalCopy) {
    writePicture(inPhotoDir("p1.jpg"));
    writePicture(local("p1.jpg"));
    // Searching locally only: the photo directory's file is not taken even though it exists.
    hooks.directoryCheck = [](const ListEntry&, const QString&) { return PhotoDirCheckResult{}; };
    showPhoto(state, entry(0), hooks);
    EXPECT_EQ(state.displaySlots[0].imageSource, ImageSource::Local);
    EXPECT_EQ(displays[0].calls.last(), "image " + local("p1.jpg"));

    // The user picked another photo directory while asked: the photo is looked for there.
    QTemporaryDir other;
    writePicture(other.path() + "/RM-3/p1.jpg");
    hooks.directoryCheck = [&](const ListEntry&, const QString&) {
        state.photoImageDir = other.path() + "/";
        return PhotoDirCheckResult{};
    };
    showPhoto(state, entry(0), hooks);
    EXPECT_EQ(state.displaySlots[0].imageSource, ImageSource::PhotoDirectory);
    EXPECT_EQ(state.displaySlots[0].paths.photo, other.path() + "/RM-3/p1.jpg");
    EXPECT_EQ(displays[0].calls.last(), "image " + other.path() + "/RM-3/p1.jpg");
}

TEST_F(PhotoDisplayTest, APictureThatCannotBeReadStillShowsItsOwnRecordsAndSaysWhy) {
    QDir().mkpath(photoDir.path() + "/RM-3");
    QFile broken(inPhotoDir("p2.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture at all");
    broken.close();
    showPhoto(state, entry(0), hooks);
    drawn.clear();

    EXPECT_EQ(showPhoto(state, entry(1), hooks).outcome, ShowPhotoOutcome::Shown);
    EXPECT_EQ(displays[0].calls.last(),
              QStringLiteral("cant Can't load image.\nCheck disk drive."));
    // The plate and the slot's record are those of the photo now captioned, never the last one.
    EXPECT_EQ(state.displaySlots[0].photo.text(0, u"PhotoLabel"), QStringLiteral("AS-02"));
    EXPECT_EQ(drawn, (QList<QPair<int, int>>{{1, 0}}));
    const QString message = state.statusLine.panelText(StatusLine::Message);
    EXPECT_TRUE(message.startsWith(QStringLiteral("ERROR - "))) << message.toStdString();
    EXPECT_TRUE(message.contains(inPhotoDir("p2.jpg"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("not a picture"))) << message.toStdString();
}

TEST_F(PhotoDisplayTest, ComparisonPrintNeedsAPhotoInBothSlots) {
    state.mode = Mode::Compare;
    state.currentSlot = 1;
    EXPECT_EQ(showPhoto(state, entry(0), hooks).comparisonPrintEnabled, false);
    EXPECT_EQ(displays[1].calls.first(), QStringLiteral("caption RM-3/AS-01"));
    EXPECT_EQ(drawn.last(), (QPair<int, int>(1, 1)));
    state.currentSlot = 0;
    EXPECT_EQ(showPhoto(state, entry(1), hooks).comparisonPrintEnabled, true);
    EXPECT_EQ(drawn.last(), (QPair<int, int>(0, 0)));
    EXPECT_EQ(assistantRefreshes, 4); // comparing refreshes the assistant twice
    // A photo the catalogue no longer has empties its slot's record set.
    ListEntry gone = entry(2);
    gone.key = QStringLiteral("P99");
    gone.row = -1;
    showPhoto(state, gone, hooks);
    EXPECT_FALSE(slotHasPhoto(state, 0));
    EXPECT_EQ(printEnabled, (QList<bool>{false, true, false}));

    // Browsing draws the data beside the picture, in pane 1.
    state.mode = Mode::Browse;
    showPhoto(state, entry(0), hooks);
    EXPECT_EQ(drawn.last(), (QPair<int, int>(1, 0)));
}

TEST_F(PhotoDisplayTest, ListRowsAndPictureLookUpByText) {
    QList<int> selected;
    hooks.list.selectRow = [&](int row) { selected << row; };
    showListRow(state, 1, hooks);
    EXPECT_EQ(selected, QList<int>{1});
    EXPECT_EQ(state.selectedListItem, QStringLiteral("P2"));
    EXPECT_EQ(displays[0].calls.first(), QStringLiteral("caption RM-3/AS-02"));

    // Comparing does not change the photo that browsing returns to.
    state.mode = Mode::Compare;
    state.currentSlot = 1;
    showListRow(state, 2, hooks);
    EXPECT_EQ(state.selectedListItem, QStringLiteral("P2"));
    EXPECT_EQ(showListRow(state, 7, hooks).outcome, ShowPhotoOutcome::NotInList);

    writePicture(inPhotoDir("p1.jpg"));
    EXPECT_EQ(photoImagePathFor(state, "RM-3/AS-01", hooks.list), inPhotoDir("p1.jpg"));
    EXPECT_EQ(photoImagePathFor(state, "RM-3/AS-02", hooks.list), local("p2.jpg"));
    EXPECT_EQ(photoImagePathFor(state, "RM-3/nowhere", hooks.list), QStringLiteral("Error"));
}

TEST_F(PhotoDisplayTest, LeavingComparingShowsTheBrowsedPhotoAgainEvenWhenASearchDroppedIt) {
    ASSERT_EQ(showListRow(state, 0, hooks).outcome, ShowPhotoOutcome::Shown);
    applyModeState(state, Mode::Compare);
    ASSERT_TRUE(selectSlot(state, 0));
    ASSERT_EQ(showListRow(state, 1, hooks).outcome, ShowPhotoOutcome::Shown);
    EXPECT_EQ(state.displaySlots[0].photo.text(0, u"PhotoLabel"), QStringLiteral("AS-02"));
    state.activePhotoSet =
        state.database->run(QStringLiteral("SELECT * FROM qryactive WHERE ID = 3"));
    state.resultsList.fill(state.activePhotoSet);

    applyModeState(state, Mode::Browse);
    EXPECT_FALSE(selectSlot(state, 1)) << "browsing has one slot";
    EXPECT_EQ(state.currentSlot, 0);
    drawn.clear();
    const qsizetype comparedCalls = displays[0].calls.size();
    showBrowsedPhotoAgain(state, hooks);
    EXPECT_EQ(state.displaySlots[0].photo.text(0, u"PhotoLabel"), QStringLiteral("AS-01"));
    ASSERT_GT(displays[0].calls.size(), comparedCalls);
    EXPECT_EQ(displays[0].calls[comparedCalls], QStringLiteral("caption RM-3/AS-01"));
    EXPECT_EQ(drawn, (QList<QPair<int, int>>{{1, 0}}));

    // Shown already: its plate is drawn again, nothing else.
    const qsizetype callsBefore = displays[0].calls.size();
    drawn.clear();
    showBrowsedPhotoAgain(state, hooks);
    EXPECT_EQ(displays[0].calls.size(), callsBefore);
    EXPECT_EQ(drawn, (QList<QPair<int, int>>{{1, 0}}));

    clearSlot(state, 0, hooks);
    EXPECT_TRUE(state.displaySlots[0].photo.isEmpty());
    EXPECT_TRUE(state.displaySlots[0].book.isEmpty());
    EXPECT_FALSE(printEnabled.last());
}
