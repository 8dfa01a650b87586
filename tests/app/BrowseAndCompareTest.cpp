#include "app/AppState.h"
#include "app/commands/Startup.h"
#include "app/widgets/MainWindow.h"
#include "display/widgets/DataPlateView.h"
#include "display/widgets/LoadingChartView.h"
#include "display/widgets/PhotoImageView.h"
#include "display/widgets/PhotoPane.h"
#include "platform/OpticalDrive.h"
#include "platform/SuiteSettings.h"
#include "profile/widgets/AssistantWindow.h"
#include "query/widgets/QueryPane.h"
#include "resultslist/ResultsListModel.h"
#include "resultslist/widgets/ResultsView.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedSeams.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

using namespace tarnwick;
using namespace tarnwick::commands;
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
            for (int id = 1; id <= 3; ++id) {
                QVariantMap fields{{QStringLiteral("GroupLabel"), QStringLiteral("G%1").arg(id)},
                                   {QStringLiteral("PhotoPic"), QStringLiteral("p%1.jpg").arg(id)},
                                   {QStringLiteral("DataPic"), QStringLiteral("d%1.jpg").arg(id)},
                                   {QStringLiteral("TonsPerAcreBreak1"), double(id)},
                                   {QStringLiteral("TotalFL"), double(id)}};
                for (int k = 2; k <= 7; ++k)
                    fields.insert(QStringLiteral("TonsPerAcreBreak%1").arg(k), 0.0);
                catalogue.addPhoto(id, QStringLiteral("B1"), QStringLiteral("P%1").arg(id), fields);
            }
        }
        ASSERT_TRUE(initialiseCatalogue(state, dialogs));
        window = std::make_unique<MainWindow>(state);
        window->setUp();
    }

    qint64 shownId(int slot) const {
        const RecordSet& photo = state.displaySlot(slot).photo;
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
    EXPECT_EQ(state.mode, Mode::Compare);
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
    EXPECT_EQ(state.mode, Mode::Browse);
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

    // Slidekeep left no photo directory (or an empty one): with no disc in a drive, the
    // installation's own folder, so the next photo brings no warning.
    runner.whileRunning = [&](const QString&) { SuiteSettings().setPhotoDir(QString()); };
    window->managePhotoSeriesCommand();
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    const bool noDisc = !mounts.open(QIODevice::ReadOnly) ||
                        firstOpticalMountPoint(QString::fromLocal8Bit(mounts.readAll())).isEmpty();
    if (noDisc) {
        EXPECT_EQ(state.photoImageDir, installation.paths().photoImagesDir() + QDir::separator());
    }
}

TEST_F(BrowseAndCompareTest, ComparingShowsBothPanesWholeAndEmptiesTheRightOneWhenItStarts) {
    window->resize(1300, 800);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->listItemClicked(QStringLiteral("P2"));
    window->compareCommand();
    window->listItemClicked(QStringLiteral("P3"));
    ASSERT_TRUE(printComparison()->isEnabled());
    for (int redraw = 0; redraw < 5; ++redraw) // one photo after another, as a user browses
        window->listItemClicked(QString::fromLatin1(redraw % 2 ? "P3" : "P1"));
    QTest::qWait(1);
    // Every tab of both panes has room on its bar: the left pane's plate and chart can be seen.
    for (int slot = 0; slot < 2; ++slot)
        for (int tab :
             {PhotoPane::ImageTab, PhotoPane::DataTab, PhotoPane::GraphTab, PhotoPane::ViewTab}) {
            const QRect place = window->photoPane(slot)->tabs()->tabRect(tab);
            EXPECT_GT(place.width(), 20) << "pane " << slot << " tab " << tab;
            EXPECT_GT(place.height(), 10) << "pane " << slot << " tab " << tab;
        }

    // Display All with the erase box ticked starts comparing afresh: pane 1 asks for a photo
    // and shows nothing of the one it had, pane 0 shows the first listed photo.
    window->queryPane()->findChild<QTabWidget*>(QStringLiteral("tabQuery"))->setCurrentIndex(1);
    window->queryPane()->findChild<QCheckBox*>(QStringLiteral("chkErase1"))->setChecked(true);
    window->displayAllCommand();
    EXPECT_EQ(window->photoPane(1)->header()->text(),
              QStringLiteral("Select a photo from the list"));
    EXPECT_FALSE(window->imageView(1)->hasImage());
    EXPECT_TRUE(window->imageView(1)->caption().isEmpty());
    EXPECT_FALSE(window->plateView(1)->hasPlate());
    EXPECT_FALSE(window->chartView(1)->isVisible());
    EXPECT_FALSE(printComparison()->isEnabled());
    EXPECT_EQ(shownId(0), 1);
    EXPECT_EQ(shownId(1), -1);
    EXPECT_EQ(state.currentSlot, 1);

    // The pane taking the next photo reads light yellow with the query mark; a click on the
    // other pane's chart or plate moves the choice there, clears the message and closes an open
    // code list.
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(window->photoPane(1)->captionColour(), QColor(255, 255, 128));
    EXPECT_TRUE(window->photoPane(1)->hasCaptionIcon());
    EXPECT_EQ(window->photoPane(0)->captionColour(), buttonFace);
    EXPECT_FALSE(window->photoPane(0)->hasCaptionIcon());
    QListWidget* vegetation = window->findChild<QListWidget*>(QStringLiteral("lstVegType"));
    QTest::mouseClick(window->findChild<QToolButton*>(QStringLiteral("cmdVegType")),
                      Qt::LeftButton);
    ASSERT_TRUE(vegetation->isVisible());
    state.statusLine.statusMessage(StatusKind::Error, QStringLiteral("old news"));
    window->photoPane(0)->showTab(PhotoPane::GraphTab);
    QTest::mouseClick(window->chartView(0)->viewport(), Qt::LeftButton);
    EXPECT_EQ(state.currentSlot, 0);
    EXPECT_EQ(window->photoPane(0)->captionColour(), QColor(255, 255, 128));
    EXPECT_EQ(window->photoPane(1)->captionColour(), buttonFace);
    EXPECT_FALSE(vegetation->isVisible());
    EXPECT_TRUE(state.statusLine.panelText(StatusLine::Message).isEmpty());
    window->photoPane(1)->showTab(PhotoPane::DataTab);
    QTest::mouseClick(window->plateView(1), Qt::LeftButton);
    EXPECT_EQ(state.currentSlot, 1);

    // Browsing has one current slot whatever is clicked.
    window->compareCommand();
    QTest::mouseClick(window->plateView(1), Qt::LeftButton);
    QTest::mouseClick(window->photoPane(1)->captionStrip(), Qt::LeftButton);
    EXPECT_EQ(state.currentSlot, 0);
}

TEST_F(BrowseAndCompareTest, TheEraseBoxShowsTheFirstPhotoFoundAfterASearchInEitherMode) {
    QueryCriteria twoAndUp;
    twoAndUp.kind = QueryKind::TotalLoading;
    twoAndUp.totalLow = QStringLiteral(" 2");
    twoAndUp.totalHigh = QStringLiteral(" 3");
    window->listItemClicked(QStringLiteral("P1"));

    window->searchCommand({QueryPage::TotalLoading, twoAndUp, false});
    EXPECT_EQ(state.resultsList.rowCount(), 2);
    EXPECT_EQ(shownId(0), 1); // without the box the photo on screen stays
    window->searchCommand({QueryPage::TotalLoading, twoAndUp, true});
    EXPECT_EQ(shownId(0), 2);
    // Display All while browsing: the box decides whether the first photo listed replaces it.
    window->queryPane()->findChild<QTabWidget*>(QStringLiteral("tabQuery"))->setCurrentIndex(1);
    QCheckBox* erase = window->queryPane()->findChild<QCheckBox*>(QStringLiteral("chkErase1"));
    erase->setChecked(false);
    window->displayAllCommand();
    EXPECT_EQ(shownId(0), 2);
    erase->setChecked(true);
    window->displayAllCommand();
    EXPECT_EQ(shownId(0), 1);
    EXPECT_EQ(state.mode, Mode::Browse);
    window->searchCommand({QueryPage::TotalLoading, twoAndUp, true});
    EXPECT_EQ(shownId(0), 2);

    window->compareCommand();
    window->listItemClicked(QStringLiteral("P3"));
    ASSERT_EQ(shownId(1), 3);
    twoAndUp.totalLow = QStringLiteral("0");
    window->searchCommand({QueryPage::TotalLoading, twoAndUp, true});
    // Comparing starts over: pane 1 gets the first photo found, pane 0 keeps its photo.
    EXPECT_EQ(shownId(1), 1);
    EXPECT_EQ(shownId(0), 2);
    EXPECT_EQ(state.currentSlot, 1);
    EXPECT_EQ(state.mode, Mode::Compare);
}

TEST_F(BrowseAndCompareTest, TheAssistantOpensWithComparingAndTheBuilderAndFollowsTheirModes) {
    window->resize(1200, 800);
    window->show();
    AssistantWindow* assistant = window->assistantWindow();
    QAction* assistantsMenu = window->action(QStringLiteral("mnuAssistants"));
    QAction* assistantButton = window->action(QStringLiteral("barAssistant"));
    EXPECT_FALSE(assistant->isVisible());
    EXPECT_FALSE(assistantsMenu->isEnabled());

    // A search that leaves the browsed photo out of the list: comparing still shows its plate.
    window->listItemClicked(QStringLiteral("P1"));
    QueryCriteria twoAndUp;
    twoAndUp.kind = QueryKind::TotalLoading;
    twoAndUp.totalLow = QStringLiteral(" 2");
    twoAndUp.totalHigh = QStringLiteral(" 3");
    window->searchCommand({QueryPage::TotalLoading, twoAndUp, false});
    window->compareCommand();
    ASSERT_TRUE(window->plateView(0)->hasPlate());
    EXPECT_EQ(window->chartView(0)->content()->header.value(1), QStringLiteral("B1/P1"));

    EXPECT_TRUE(assistant->isVisible());
    EXPECT_TRUE(state.assistants.comparison && !state.assistants.builder);
    EXPECT_EQ(assistant->currentTab(), AssistantWindow::ComparisonTab);
    EXPECT_FALSE(assistant->isTabEnabled(AssistantWindow::BuilderTab));
    EXPECT_TRUE(assistantsMenu->isEnabled());
    EXPECT_TRUE(assistantsMenu->isChecked());
    EXPECT_TRUE(assistantButton->isChecked());
    EXPECT_EQ(assistant->label(QStringLiteral("lblPhoto0"))->text(), QStringLiteral("B1/P1"));
    EXPECT_EQ(assistant->windowTitle(), QStringLiteral("Tarnwick Assistant[Untitled]"));
    // Beside the frame's top right corner.
    EXPECT_EQ(assistant->frameGeometry().top(), window->window()->frameGeometry().top());

    window->listItemClicked(QStringLiteral("P3"));
    EXPECT_EQ(assistant->label(QStringLiteral("lblPhoto1"))->text(), QStringLiteral("B1/P3"));
    EXPECT_EQ(assistant->label(QStringLiteral("lbl0to32"))->text(), QStringLiteral("2.0"));
    window->selectPane(0);
    EXPECT_TRUE(assistant->label(QStringLiteral("lblPhoto0"))->font().bold());
    EXPECT_FALSE(assistant->label(QStringLiteral("lblPhoto1"))->font().bold());

    // The builder joins: both tabs, the builder's shown; its Add> takes the current photo's value.
    window->action(QStringLiteral("barBuilder"))->trigger();
    EXPECT_TRUE(state.assistants.comparison && state.assistants.builder);
    EXPECT_TRUE(window->action(QStringLiteral("mnuProfileBuilder"))->isChecked());
    EXPECT_EQ(assistant->currentTab(), AssistantWindow::BuilderTab);
    EXPECT_TRUE(assistant->isTabEnabled(AssistantWindow::ComparisonTab));
    QTest::mouseClick(assistant->findChild<QPushButton*>(QStringLiteral("cmdSelect0to3")),
                      Qt::LeftButton);
    EXPECT_EQ(state.fuelProfile.source0to3, QStringLiteral("B1/P1"));
    EXPECT_EQ(assistant->label(QStringLiteral("lblPro0to3"))->text(), QStringLiteral("1.0"));
    EXPECT_EQ(assistant->label(QStringLiteral("lblPL0to3"))->text(), QStringLiteral("B1/P1"));
    EXPECT_TRUE(window->action(QStringLiteral("mnuFuelProfilePrint"))->isEnabled());
    EXPECT_TRUE(state.profileChanged);

    // Comparing ends; browsing shows the browsed photo in both panes again.
    window->compareCommand();
    EXPECT_TRUE(!state.assistants.comparison && state.assistants.builder);
    EXPECT_EQ(assistant->currentTab(), AssistantWindow::BuilderTab);
    EXPECT_FALSE(assistant->isTabEnabled(AssistantWindow::ComparisonTab));
    EXPECT_EQ(shownId(0), 1);
    EXPECT_EQ(window->chartView(1)->content()->header.value(1), QStringLiteral("B1/P1"));

    // The Assistants item hides and shows it; closing the builder closes it for good.
    assistantsMenu->trigger();
    EXPECT_FALSE(assistant->isVisible());
    EXPECT_FALSE(assistantButton->isChecked());
    assistantsMenu->trigger();
    EXPECT_TRUE(assistant->isVisible());
    window->action(QStringLiteral("mnuProfileBuilder"))->trigger();
    EXPECT_TRUE(!state.assistants.comparison && !state.assistants.builder);
    EXPECT_FALSE(assistant->isVisible());
    EXPECT_FALSE(assistantsMenu->isEnabled());
    EXPECT_FALSE(window->action(QStringLiteral("barBuilder"))->isChecked());
}

TEST_F(BrowseAndCompareTest, AfterASearchTheListShowsTheLoadingsSearchedBy) {
    struct Search {
        QueryKind kind;
        std::vector<int> columns;
    };
    const std::vector<Search> searches{
        {QueryKind::TotalLoading, {TotalColumn}},
        {QueryKind::SizeClassLoading, {ZeroToThreeColumn, ThreePlusColumn}},
        {QueryKind::LiveLoading, {HerbColumn, ShrubColumn}},
        {QueryKind::TotalLoading, {TotalColumn}}, // back from the live loadings' place
    };
    // The window as the frame leaves it on a laptop's and on a desktop's screen.
    for (const QSize size : {QSize(1366, 640), QSize(1920, 960)}) {
        window->resize(size);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QTreeView* list = window->findChild<ResultsView*>()->listPage();
        for (const Search& search : searches) {
            QueryCriteria criteria;
            criteria.kind = search.kind;
            for (QString* low : {&criteria.totalLow, &criteria.fineLow, &criteria.coarseLow,
                                 &criteria.herbLow, &criteria.shrubLow})
                *low = QStringLiteral("0");
            for (QString* high : {&criteria.totalHigh, &criteria.fineHigh, &criteria.coarseHigh,
                                  &criteria.herbHigh, &criteria.shrubHigh})
                *high = QStringLiteral(" 10");
            SearchRequest request;
            request.criteria = criteria;
            window->searchCommand(request);
            QApplication::processEvents();
            // Whole, and not under the Book/Photo ID column that stays at the left.
            const QHeaderView* header = list->header();
            for (const int column : search.columns) {
                const int left = header->sectionViewportPosition(column);
                EXPECT_GE(left, header->sectionSize(BookPhotoIdColumn))
                    << size.width() << " column " << column;
                EXPECT_LE(left + header->sectionSize(column), list->viewport()->width())
                    << size.width() << " column " << column;
            }
        }
    }
}
