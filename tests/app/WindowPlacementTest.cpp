#include "app/AppState.h"
#include "app/commands/ResultsListCommands.h"
#include "app/commands/Startup.h"
#include "app/widgets/MainFrame.h"
#include "app/widgets/MainWindow.h"
#include "resultslist/widgets/ResultsView.h"
#include "support/ScriptedDialogs.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <QTreeView>

using namespace tarnwick;
using namespace tarnwick::commands;

TEST(WindowPlacement, TheFrameFitsASmallScreen) {
    test::TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 3);
    AppState state(installation.paths());
    test::ScriptedDialogs dialogs;
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    MainFrame frame(state, dialogs);
    frame.mainWindow()->setUp();
    frame.mainWindow()->loadQueryParameters();
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    // A 1600 x 1000 screen at scale 2 offers 800 x 500 less the desktop's panels: the frame,
    // its status bar included, fits into what the frame takes of it.
    const QSize smallest = frame.minimumSizeHint().expandedTo(frame.minimumSize());
    const QSize inner =
        frame.mainWindow()->minimumSizeHint().expandedTo(frame.mainWindow()->minimumSize());
    EXPECT_LE(smallest.width(), 752);
    EXPECT_LE(smallest.height(), 460);
    EXPECT_LE(inner.width(), 740);
    // And it opens inside the screen it is on.
    const QRect screen = frame.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(frame.frameGeometry()))
        << frame.frameGeometry().width() << "x" << frame.frameGeometry().height();
}

TEST(WindowPlacement, TheWindowComesBackAsItWasLeft) {
    test::TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 5);
    test::ScriptedDialogs dialogs;
    QList<int> splitterSizes;
    {
        AppState state(installation.paths());
        ASSERT_TRUE(initialiseCatalogue(state, dialogs));
        MainFrame frame(state, dialogs);
        frame.mainWindow()->setUp();
        frame.resize(700, 450);
        frame.move(20, 30);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        MainWindow* window = frame.mainWindow();
        auto* body = window->findChild<QSplitter*>(QStringLiteral("vseBrowse"));
        body->setSizes({200, 400});
        splitterSizes = body->sizes();
        window->listViewCommand(ListViewKind::Icon);
        window->resultsView()->listPage()->header()->resizeSection(1, 333);
        // Each click turns the order round: from the start's A to Z, Description Z to A.
        state.resultsList.columnClicked(1);
        ASSERT_EQ(state.resultsList.sortOrder(), Qt::DescendingOrder);
        frame.saveLayout();
    }
    AppState state(installation.paths());
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    MainFrame frame(state, dialogs);
    frame.mainWindow()->setUp();
    frame.restoreLayout();
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QApplication::processEvents();
    MainWindow* window = frame.mainWindow();
    EXPECT_EQ(frame.size(), QSize(700, 450));
    EXPECT_EQ(window->findChild<QSplitter*>(QStringLiteral("vseBrowse"))->sizes(), splitterSizes);
    EXPECT_EQ(window->resultsView()->listView(), ListViewKind::Icon);
    EXPECT_TRUE(window->action(QStringLiteral("mnuIconView"))->isChecked());
    EXPECT_FALSE(window->action(QStringLiteral("mnuListView"))->isChecked());
    EXPECT_EQ(window->resultsView()->listPage()->header()->sectionSize(1), 333);
    // Descriptions "Group 1" to "Group 5", last first.
    EXPECT_EQ(state.resultsList.sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(state.resultsList.rowAt(0).key, QStringLiteral("P5"));
    EXPECT_EQ(state.resultsList.rowAt(4).key, QStringLiteral("P1"));
    // A refill keeps the widths the user gave.
    fillResultsList(state);
    EXPECT_EQ(window->resultsView()->listPage()->header()->sectionSize(1), 333);
}
