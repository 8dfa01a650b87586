#include "app/widgets/MainWindow.h"
#include "app/AppState.h"
#include "app/commands/Startup.h"
#include "display/widgets/PhotoPane.h"
#include "query/QueryControls.h"
#include "resultslist/widgets/ResultsView.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedSeams.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace tarnwick;
using namespace tarnwick::commands;
using tarnwick::test::TestInstallation;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    QAction* action(const char* name) { return window.action(QString::fromLatin1(name)); }

    TestInstallation installation;
    AppState state{installation.paths()};
    MainWindow window{state};
};

QAction* action(const MainWindow& window, const char* name) {
    return window.action(QString::fromLatin1(name));
}

QStringList captions(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : QString(a->text()).remove(u'&'));
    return texts;
}

} // namespace

TEST_F(MainWindowTest, ToolbarAndMenusStartAsTheUserExpects) {
    QStringList keys;
    QStringList tips;
    for (const QAction* a : window.toolBar()->actions())
        if (!a->isSeparator()) {
            keys << a->text();
            tips << a->toolTip();
        }
    EXPECT_EQ(keys, (QStringList{"Query", "Compare", "Builder", "Assistant", "All", "Reset", "Icon",
                                 "List", "Exit", "Help"}));
    EXPECT_EQ(tips, (QStringList{"Close Query Window", "Open Compare Mode", "Open Builder Mode",
                                 "Hide Assistant", "Display all photos",
                                 "Reset all query parameters", "View Photos as Icons",
                                 "View Photos as a List", "Exit Kel", "Press here for Help"}));
    EXPECT_TRUE(action("barQuery")->isChecked());
    EXPECT_TRUE(action("barList")->isChecked());
    EXPECT_FALSE(action("barIcon")->isChecked());

    ASSERT_EQ(window.menus().size(), 5);
    EXPECT_EQ(captions(window.menus()[0]),
              (QStringList{"Printer Setup", "Manage Photo Series", "Import Old Catalogue...",
                           "Preferences", "-", "Recent Profiles", "-", "Exit"}));
    EXPECT_EQ(captions(window.menus()[1]),
              (QStringList{"List View", "IconView", "Display All Photos", "Reset Query Parameters",
                           "-", "Assistants"}));
    EXPECT_EQ(captions(window.menus()[2]),
              (QStringList{"Print Selected Photo/Data", "Print Photo Comparison ",
                           "Print Current Fuel Profile"}));
    EXPECT_EQ(captions(window.menus()[3]),
              (QStringList{"Query", "Compare Photo Series", "Fuel Profile Builder"}));
    EXPECT_EQ(captions(window.menus()[4]),
              (QStringList{"Help Contents", "Web Based Support", "About"}));
    EXPECT_FALSE(action("mnuPreferences")->isEnabled());
    EXPECT_FALSE(action("mnuAssistants")->isEnabled());
    EXPECT_FALSE(action("mnuPrintComparsion")->isEnabled());
    EXPECT_FALSE(action("mnuFuelProfilePrint")->isEnabled());
    EXPECT_TRUE(action("mnuListView")->isChecked());
    EXPECT_TRUE(action("mnuQuery")->isChecked());
}

TEST(MainWindowCommands, MenuItemsDoWhatTheySay) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 3);
    AppState state(installation.paths());
    test::ScriptedDialogs dialogs;
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    MainWindow window(state);
    test::ScriptedProcessRunner runner;
    test::ScriptedPathProbe probe({ProbeResult::Missing});
    window.setServices(dialogs, runner, probe);
    window.setUp();
    window.loadQueryParameters();
    const auto trigger = [&](const char* name) {
        window.action(QString::fromLatin1(name))->trigger();
    };

    // A search narrows the list; Display All brings every active photo back.
    QueryCriteria none;
    none.kind = QueryKind::TotalLoading;
    none.totalLow = none.totalHigh = QStringLiteral("5");
    window.searchCommand({QueryPage::TotalLoading, none, false});
    ASSERT_EQ(state.resultsList.rowCount(), 0);
    trigger("mnuDisplayAll");
    EXPECT_EQ(state.resultsList.rowCount(), 3);

    // Reset empties the choices but keeps the list.
    auto* high = window.findChild<QComboBox*>(QStringLiteral("cboTotalLoad1"));
    high->setCurrentIndex(0);
    window.searchCommand({QueryPage::TotalLoading, none, false});
    trigger("mnuReset");
    EXPECT_EQ(high->currentIndex(), high->count() - 1);
    EXPECT_EQ(state.resultsList.rowCount(), 0);

    trigger("mnuCompare");
    EXPECT_EQ(state.mode, Mode::Compare);
    EXPECT_TRUE(action(window, "barCompare")->isChecked());
    trigger("mnuCompare");
    EXPECT_EQ(state.mode, Mode::Browse);

    QSignalSpy exits(&window, &MainWindow::exitRequested);
    trigger("mnuExit");
    action(window, "barExit")->trigger();
    EXPECT_EQ(exits.count(), 2);

    trigger("mnuMP");
    EXPECT_EQ(runner.started(), QStringList{QStringLiteral("slidekeep3")});
    EXPECT_EQ(state.resultsList.rowCount(), 3);

    // Items whose windows come later change nothing yet, and "Preferences" never does.
    const QString message = state.statusLine.panelText(StatusLine::Message);
    for (const char* later : {"mnuProfileBuilder"})
        trigger(later);
    EXPECT_EQ(state.mode, Mode::Browse);
    EXPECT_EQ(state.resultsList.rowCount(), 3);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Message), message);
    EXPECT_FALSE(window.action(QStringLiteral("mnuPreferences"))->isEnabled());
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST(MainWindowCommands, TheQueryPaneFollowsTheCommandOnlyAndKeysClearTheMessage) {
    TestInstallation installation;
    AppState state(installation.paths());
    MainWindow window(state);
    window.resize(1200, 800);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Dragging the splitter cannot fold the criteria away behind the command's back.
    auto* page = qobject_cast<QSplitter*>(window.queryArea()->parentWidget());
    ASSERT_NE(page, nullptr);
    page->setSizes({0, 800});
    EXPECT_GT(window.queryArea()->height(), 0);
    EXPECT_TRUE(window.queryArea()->isVisible());
    EXPECT_TRUE(action(window, "mnuQuery")->isChecked());

    // A key on the window clears the message and shrinks the vegetation list.
    auto* vegetation = window.findChild<QListWidget*>(QStringLiteral("lstVegType"));
    QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("cmdVegType")), Qt::LeftButton);
    ASSERT_GT(vegetation->height(), 100);
    state.statusLine.statusMessage(StatusKind::Error, QStringLiteral("Can't print"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(vegetation->height(), 20);
    EXPECT_TRUE(state.statusLine.panelText(StatusLine::Message).isEmpty());
}

TEST_F(MainWindowTest, ModesQueryPaneViewsAndAssistantButton) {
    window.setUp();
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Photo), QStringLiteral("Browse Mode"));
    EXPECT_EQ(state.profileFileName, QStringLiteral("Untitled"));

    window.setMode(Mode::Compare);
    EXPECT_EQ(state.mode, Mode::Compare);
    EXPECT_EQ(state.currentSlot, 1);
    EXPECT_EQ(window.photoPane(1)->header()->text(),
              QStringLiteral("Select a photo from the list"));
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Photo), QStringLiteral("Compare Mode"));
    for (int slot = 0; slot < 2; ++slot) {
        EXPECT_TRUE(window.photoPane(slot)->tabs()->isTabVisible(PhotoPane::ImageTab));
        EXPECT_TRUE(window.photoPane(slot)->tabs()->isTabVisible(PhotoPane::GraphTab));
        EXPECT_EQ(window.photoPane(slot)->currentTab(), PhotoPane::ImageTab);
    }
    window.selectPane(0);
    EXPECT_EQ(state.currentSlot, 0);
    window.setMode(Mode::Browse);
    EXPECT_EQ(state.mode, Mode::Browse);
    EXPECT_EQ(state.currentSlot, 0);
    EXPECT_EQ(window.photoPane(1)->header()->text(), QString());
    EXPECT_EQ(window.photoPane(0)->currentTab(), PhotoPane::ImageTab);
    // Browsing: picture on the left, the same photo's data on the right.
    EXPECT_EQ(window.photoPane(1)->currentTab(), PhotoPane::DataTab);
    EXPECT_FALSE(window.photoPane(1)->tabs()->isTabVisible(PhotoPane::ImageTab));
    EXPECT_FALSE(window.photoPane(0)->tabs()->isTabVisible(PhotoPane::GraphTab));

    window.queryCommand();
    EXPECT_FALSE(action("mnuQuery")->isChecked());
    EXPECT_FALSE(action("barQuery")->isChecked());
    EXPECT_TRUE(window.queryArea()->isHidden());
    action("mnuQuery")->trigger();
    EXPECT_TRUE(action("barQuery")->isChecked());
    EXPECT_FALSE(window.queryArea()->isHidden());

    action("barIcon")->trigger();
    EXPECT_EQ(window.resultsView()->listView(), ListViewKind::Icon);
    EXPECT_TRUE(action("mnuIconView")->isChecked());
    EXPECT_FALSE(action("mnuListView")->isChecked());
    action("mnuListView")->trigger();
    EXPECT_TRUE(action("barList")->isChecked());
    EXPECT_EQ(window.resultsView()->listView(), ListViewKind::List);
    EXPECT_FALSE(action("mnuIconView")->isChecked());

    action("barAssistant")->trigger();
    EXPECT_EQ(action("barAssistant")->toolTip(), QStringLiteral("Hide Assistant"));
    action("barAssistant")->trigger();
    EXPECT_EQ(action("barAssistant")->toolTip(), QStringLiteral("Display Assistant"));
}

TEST_F(MainWindowTest, ChoosingTheViewTabAsksForTheViewerAndKeepsTheTab) {
    PhotoPane* pane = window.photoPane(0);
    pane->showTab(PhotoPane::DataTab);
    int requested = -1;
    QObject::connect(pane, &PhotoPane::viewRequested, [&](int slot) { requested = slot; });
    pane->tabs()->setCurrentIndex(PhotoPane::ViewTab);
    EXPECT_EQ(requested, 0);
    EXPECT_EQ(pane->currentTab(), PhotoPane::DataTab);
}
