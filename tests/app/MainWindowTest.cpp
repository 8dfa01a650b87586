#include "app/widgets/MainWindow.h"
#include "app/AppState.h"
#include "catalogue/widgets/ResultsView.h"
#include "display/widgets/PhotoPane.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QToolBar>

using namespace tarnwick;
using tarnwick::test::TestInstallation;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    QAction* action(const char* name) { return window.action(QString::fromLatin1(name)); }

    TestInstallation installation;
    AppState state{installation.paths()};
    MainWindow window{state};
};

QStringList captions(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
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
              (QStringList{"Printer Setup", "Manage Photo Series", "Preferences", "-", "Exit"}));
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

    // Every item can be chosen without harm, even those whose windows come later.
    for (QMenu* menu : window.menus())
        for (QAction* a : menu->actions())
            if (a->isEnabled() && !a->isSeparator() && a->objectName() != "mnuExit")
                a->trigger();
}

TEST_F(MainWindowTest, ModesQueryPaneViewsAndAssistantButton) {
    window.setUp();
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Photo), QStringLiteral("Browse Mode"));
    EXPECT_EQ(state.profileFileName, QStringLiteral("Untitled"));

    window.setMode(1);
    EXPECT_EQ(state.compareMode, 1);
    EXPECT_EQ(state.currentSlot, 1);
    EXPECT_EQ(window.photoPane(1)->header()->text(),
              QStringLiteral("Select a photo from the list"));
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Photo), QStringLiteral("Compare Mode"));
    window.selectPane(0);
    EXPECT_EQ(state.currentSlot, 0);
    window.setMode(7);
    EXPECT_EQ(state.compareMode, 1);
    window.setMode(0);
    EXPECT_EQ(state.compareMode, 0);
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
    EXPECT_EQ(window.resultsView()->listView(), ResultsView::IconView);
    EXPECT_TRUE(action("mnuIconView")->isChecked());
    EXPECT_FALSE(action("mnuListView")->isChecked());
    action("mnuListView")->trigger();
    EXPECT_TRUE(action("barList")->isChecked());
    EXPECT_EQ(window.resultsView()->listView(), ResultsView::ListView);
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
