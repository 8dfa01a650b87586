#include "app/widgets/MainFrame.h"
#include "app/AppState.h"
#include "app/commands/Startup.h"
#include "app/widgets/AssistantController.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/StatusBarWidget.h"
#include "app/widgets/WaitingProcessRunner.h"
#include "platform/ProgramSettings.h"
#include "profile/widgets/AssistantWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedSeams.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace tarnwick;
using namespace tarnwick::commands;
using tarnwick::test::ScriptedDialogs;
using tarnwick::test::TestInstallation;

TEST(MainFrame, ShowsTheMainWindowAndAsksBeforeTheRunEnds) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 2);
    AppState state(installation.paths());
    ScriptedDialogs dialogs;
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));

    MainFrame frame(state, dialogs);
    frame.mainWindow()->setUp();
    frame.show();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tarnwick"));
    EXPECT_EQ(frame.mainWindow()->windowTitle(), QStringLiteral(" Browsing Photos"));
    EXPECT_EQ(frame.statusBarWidget()->panel(5)->text(), QStringLiteral("Browse Mode"));
    EXPECT_EQ(frame.statusBarWidget()->panel(2)->text(), QString());
    EXPECT_EQ(frame.statusBarWidget()->panel(4)->text(), QStringLiteral("2 photos found"));

    state.statusLine.statusMessage(StatusKind::Error,
                                   QStringLiteral("Can't print, no photo selected"));
    EXPECT_EQ(frame.statusBarWidget()->panel(2)->text(),
              QStringLiteral("ERROR - Can't print, no photo selected"));
    const auto iconImage = [](const char* name) {
        return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)))
            .pixmap(16, 16)
            .toImage();
    };
    EXPECT_EQ(frame.statusBarWidget()->panel(1)->pixmap().toImage(), iconImage("Error"));
    // A message longer than the bar is read whole in its tooltip, and stays on one line.
    const QString lost = QStringLiteral("The connection to the catalogue server db:5432 was lost "
                                        "(timeout).\n\nCheck that the server is running and the "
                                        "network is up, then start again.");
    state.statusLine.statusMessage(StatusKind::Error, lost);
    EXPECT_EQ(frame.statusBarWidget()->panel(2)->toolTip(), QStringLiteral("ERROR - ") + lost);
    EXPECT_FALSE(frame.statusBarWidget()->panel(2)->text().contains(u'\n'));
    EXPECT_TRUE(frame.statusBarWidget()->panel(2)->text().endsWith(
        QStringLiteral("network is up, then start again.")));
    state.statusLine.statusMessage(StatusKind::Info, QStringLiteral("Searching..."));
    EXPECT_EQ(frame.statusBarWidget()->panel(1)->pixmap().toImage(), iconImage("InfoOK"));
    EXPECT_NE(iconImage("InfoOK"), iconImage("Error"));
    // A finished search blanks the text and the information icon stays; a clear takes it away.
    state.statusLine.statusMessage(StatusKind::Info, QStringLiteral(" "));
    EXPECT_EQ(frame.statusBarWidget()->panel(1)->pixmap().toImage(), iconImage("InfoOK"));
    state.statusLine.statusMessage(StatusKind::Clear, QString());
    EXPECT_TRUE(frame.statusBarWidget()->panel(1)->pixmap().isNull());

    // The browse window has no close button of its own; closing it asks to end the run.
    EXPECT_FALSE(frame.mainWindowFrame()->windowFlags() & Qt::WindowCloseButtonHint);
    dialogs.answerNext(Answer::No);
    EXPECT_FALSE(frame.mainWindowFrame()->close());
    QTest::qWait(1);
    EXPECT_TRUE(frame.mainWindow()->isVisible());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("Exit Tarnwick?"));

    QSignalSpy confirmed(&frame, &MainFrame::closingConfirmed);
    dialogs.answerNext(Answer::No);
    frame.exitCommand();
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(confirmed.count(), 0);

    dialogs.answerNext(Answer::Yes);
    frame.exitCommand();
    EXPECT_FALSE(frame.isVisible());
    EXPECT_EQ(confirmed.count(), 1);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST(MainFrame, WhileSlidekeepRunsTheWindowIsGreyedAndSaysWhatItWaitsFor) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 2);
    AppState state(installation.paths());
    ScriptedDialogs dialogs;
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    MainFrame frame(state, dialogs);
    frame.mainWindow()->setUp();
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    test::ScriptedProcessRunner slidekeep;
    WaitingProcessRunner runner(
        slidekeep, [&](const QString&) { frame.setWaiting(true, QStringLiteral("Waiting")); },
        [&] { frame.setWaiting(false); });
    test::ScriptedPathProbe probe({ProbeResult::Found});
    frame.mainWindow()->setServices(dialogs, runner, probe);
    bool greyedWhileRunning = false;
    slidekeep.whileRunning = [&](const QString&) {
        greyedWhileRunning = !frame.mainWindow()->isEnabled() &&
                             frame.waitingNotice()->isVisible() &&
                             frame.waitingNotice()->text() == QStringLiteral("Waiting");
    };
    frame.mainWindow()->action(QStringLiteral("mnuMP"))->trigger();
    EXPECT_EQ(slidekeep.started(), QStringList{QStringLiteral("slidekeep3")});
    EXPECT_TRUE(greyedWhileRunning);
    EXPECT_TRUE(frame.mainWindow()->isEnabled());
    EXPECT_FALSE(frame.waitingNotice()->isVisible());
}

TEST(MainFrame, AnAssistantIconifiedWithTheFrameComesBackNormalWhenTheFrameIsRestored) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 2);
    AppState state(installation.paths());
    ScriptedDialogs dialogs;
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    MainFrame frame(state, dialogs);
    frame.mainWindow()->setUp();
    frame.show();
    AssistantController* assistant = frame.mainWindow()->assistant();
    assistant->builderCommand();
    QWidget* window = assistant->window();
    ASSERT_TRUE(window->isVisible());

    Q_EMIT frame.minimised();
    EXPECT_FALSE(window->isVisible());
    // What a window manager does to the frame's transient windows as it iconifies the frame.
    window->setWindowState(window->windowState() | Qt::WindowMinimized);
    Q_EMIT frame.restored();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->windowState() & Qt::WindowMinimized)
        << "shown iconic, it takes the restored frame down with it";

    // It opens again where the planner put it, for the session and the next run; a place off
    // every screen gives way to its own beside the frame.
    const QPoint ownPlace = window->pos();
    const QPoint moved = ownPlace - QPoint(200, -40);
    window->move(moved);
    assistant->hideWindow();
    assistant->toggle();
    EXPECT_EQ(window->pos(), moved);
    ProgramSettings settings;
    frame.mainWindow()->saveLayout(settings);
    EXPECT_EQ(settings.value(QStringLiteral("Window/AssistantPlace")).toPoint(), moved);
    assistant->hideWindow();
    assistant->setPlace(QPoint(-9000, -9000));
    assistant->toggle();
    EXPECT_EQ(window->pos(), ownPlace);

    // Above the program's windows only, and its close box hides it as its Hide buttons do.
    EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(frame.mainWindow()->action(QStringLiteral("mnuAssistants"))->isChecked());
    EXPECT_FALSE(frame.mainWindow()->action(QStringLiteral("barAssistant"))->isChecked());
}

TEST(MainFrame, AKeyInTheOpenVegetationListShrinksIt) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 2);
    AppState state(installation.paths());
    ScriptedDialogs dialogs;
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    MainFrame frame(state, dialogs);
    frame.mainWindow()->setUp();
    frame.resize(1200, 800);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    // The open list lies over the whole frame, outside the main window, yet its keys count.
    auto* vegetation = frame.findChild<QListWidget*>(QStringLiteral("lstVegType"));
    QTest::mouseClick(frame.findChild<QToolButton*>(QStringLiteral("cmdVegType")), Qt::LeftButton);
    ASSERT_GT(vegetation->height(), 100);
    ASSERT_FALSE(frame.mainWindow()->isAncestorOf(vegetation));
    QTest::keyClick(vegetation, Qt::Key_Down);
    EXPECT_EQ(vegetation->height(), 20);
}
