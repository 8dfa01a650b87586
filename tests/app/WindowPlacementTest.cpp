#include "app/AppState.h"
#include "app/commands/Startup.h"
#include "app/widgets/MainFrame.h"
#include "app/widgets/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QScreen>
#include <QTest>

using namespace tarnwick;

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
