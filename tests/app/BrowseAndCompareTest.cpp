#include "app/AppState.h"
#include "app/commands/Startup.h"
#include "app/widgets/MainWindow.h"
#include "catalogue/ResultsListModel.h"
#include "display/widgets/DataPlateView.h"
#include "display/widgets/LoadingChartView.h"
#include "platform/SuiteSettings.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedSeams.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace tarnwick;
using tarnwick::test::ScriptedDialogs;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

class BrowseAndCompareTest : public ::testing::Test {
protected:
    void SetUp() override {
        {
            TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(QStringLiteral("B1"));
            for (int id = 1; id <= 3; ++id)
                catalogue.addPhoto(id, QStringLiteral("B1"), QStringLiteral("P%1").arg(id),
                                   {{QStringLiteral("GroupLabel"), QStringLiteral("G%1").arg(id)},
                                    {QStringLiteral("PhotoPic"), QStringLiteral("p%1.jpg").arg(id)},
                                    {QStringLiteral("DataPic"), QStringLiteral("d%1.jpg").arg(id)},
                                    {QStringLiteral("TonsPerAcreBreak1"), double(id)},
                                    {QStringLiteral("TotalFL"), double(id)}});
        }
        ASSERT_TRUE(initialiseCatalogue(state, dialogs));
        window = std::make_unique<MainWindow>(state);
        window->setUp();
    }

    qint64 shownId(int slot) const {
        const RecordSet& photo = state.slotPhoto[size_t(slot)];
        return photo.isEmpty() ? -1 : photo.value(0, u"ID").toLongLong();
    }
    QAction* printComparison() const {
        return window->action(QStringLiteral("mnuPrintComparsion"));
    }

    TestInstallation installation;
    AppState state{installation.paths()};
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST_F(BrowseAndCompareTest, PhotosLandInTheRightSlotsAndPanes) {
    // Browsing: the picture goes to slot 0 and the plate to the right-hand pane.
    window->listItemClicked(QStringLiteral("P2"));
    EXPECT_EQ(shownId(0), 2);
    EXPECT_EQ(state.selectedListItem, QStringLiteral("P2"));
    EXPECT_TRUE(window->plateView(1)->hasPlate());
    EXPECT_TRUE(window->chartView(1)->hasChart());
    EXPECT_FALSE(window->plateView(0)->hasPlate());
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Photo), QStringLiteral("B1/P2"));

    // Comparing: the browsed photo becomes the left one; the next lands on the right.
    window->compareCommand();
    EXPECT_EQ(state.compareMode, 1);
    EXPECT_EQ(state.currentSlot, 1);
    EXPECT_TRUE(window->action(QStringLiteral("mnuCompare"))->isChecked());
    EXPECT_TRUE(window->plateView(0)->hasPlate());
    EXPECT_FALSE(window->plateView(1)->hasPlate());
    EXPECT_FALSE(printComparison()->isEnabled());

    window->listItemClicked(QStringLiteral("P3"));
    EXPECT_EQ(shownId(1), 3);
    EXPECT_TRUE(window->plateView(1)->hasPlate());
    EXPECT_TRUE(printComparison()->isEnabled());
    window->listItemClicked(QStringLiteral("P1"));
    EXPECT_EQ(shownId(1), 1);
    EXPECT_EQ(shownId(0), 2);
    EXPECT_EQ(state.selectedListItem, QStringLiteral("P2"));

    // Back to browsing: the data pane shows the browsed photo and the comparison print is off.
    window->compareCommand();
    EXPECT_EQ(state.compareMode, 0);
    EXPECT_FALSE(printComparison()->isEnabled());
    ASSERT_TRUE(window->plateView(1)->hasPlate());
    EXPECT_EQ(window->chartView(1)->content()->header.value(1), QStringLiteral("B1/P2"));
}

TEST_F(BrowseAndCompareTest, AnUnreadablePhotoDirectoryAsksBeforeThePhotoIsShown) {
    test::ScriptedProcessRunner runner;
    test::ScriptedPathProbe probe({ProbeResult::Unreadable, ProbeResult::Missing});
    window->setServices(dialogs, runner, probe);
    dialogs.photoDirChoiceNext(PhotoDirChoice::SearchLocalOnly);

    window->listItemClicked(QStringLiteral("P2"));
    ASSERT_FALSE(dialogs.shown().empty());
    EXPECT_EQ(dialogs.shown().back().kind, QStringLiteral("photoDirWarning"));
    EXPECT_EQ(shownId(0), 2);
    // Searching locally from now on: the directory is not probed again.
    window->listItemClicked(QStringLiteral("P3"));
    EXPECT_EQ(probe.probedFiles().size(), 1);
    EXPECT_EQ(shownId(0), 3);
}

TEST_F(BrowseAndCompareTest, ManagingThePhotoSeriesRereadsTheSettingAndTheCatalogue) {
    test::ScriptedProcessRunner runner;
    test::ScriptedPathProbe probe({ProbeResult::Missing});
    window->setServices(dialogs, runner, probe);
    runner.whileRunning = [&](const QString&) {
        // What the user does in Slidekeep: another photo folder, one photo put away.
        SuiteSettings().setPhotoDir(QStringLiteral("/srv/photos/"));
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("sk"));
        db.setDatabaseName(installation.cataloguePath());
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("UPDATE Photos SET active = 0 WHERE ID = 3"));
        db.close();
    };
    ASSERT_EQ(state.resultsList.rowCount(), 3);
    window->managePhotoSeriesCommand();
    QSqlDatabase::removeDatabase(QStringLiteral("sk"));

    EXPECT_EQ(runner.started(), QStringList{QStringLiteral("slidekeep3")});
    EXPECT_EQ(state.photoImageDir, QStringLiteral("/srv/photos/"));
    EXPECT_EQ(state.resultsList.rowCount(), 2);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::QueryResults),
              QStringLiteral("2 photos found"));
}
