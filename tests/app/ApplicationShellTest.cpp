#include "app/widgets/ApplicationShell.h"
#include "app/widgets/AssistantController.h"
#include "app/widgets/MainFrame.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/SplashWindow.h"
#include "profile/ProfileFile.h"
#include "profile/RecentProfiles.h"
#include "profile/widgets/AssistantWindow.h"
#include "profile/widgets/NotesWindow.h"
#include "support/BuiltProgram.h"
#include "support/ScriptedDialogs.h"
#include "support/TestInstallation.h"
#include "ui/widgets/HighlightButton.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace tarnwick;
using tarnwick::test::TestInstallation;

namespace {

// Remembers whether the splash, which stays on top of everything, was still up when a box came.
class SplashWatchingDialogs : public test::ScriptedDialogs {
public:
    void critical(const QString& title, const QString& text) override {
        for (QWidget* window : QApplication::topLevelWidgets())
            splashUpDuringBox =
                splashUpDuringBox || (qobject_cast<SplashWindow*>(window) && window->isVisible());
        ScriptedDialogs::critical(title, text);
    }
    bool splashUpDuringBox = false;
};

} // namespace

TEST(ApplicationShell, ABoxAtStartUpNeverHidesBehindTheSplash) {
    TestInstallation installation; // no catalogue at all
    SplashWatchingDialogs dialogs;
    ApplicationShell shell(installation.paths(), dialogs);
    EXPECT_FALSE(shell.start());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(dialogs.shown()[0].text.contains(installation.cataloguePath()));
    EXPECT_FALSE(dialogs.splashUpDuringBox);
}

TEST(ApplicationShell, StartsWithTheFirstPhotoShownAndTheQueryChoicesLoaded) {
    TestInstallation installation;
    {
        test::TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(QStringLiteral("B1"));
        for (int id = 1; id <= 2; ++id)
            catalogue.addPhoto(id, QStringLiteral("B1"), QStringLiteral("P%1").arg(id),
                               {{QStringLiteral("GroupLabel"), QStringLiteral("G%1").arg(3 - id)},
                                {QStringLiteral("DataPic"), QStringLiteral("d.jpg")},
                                {QStringLiteral("VegType"), QStringLiteral("PP")},
                                {QStringLiteral("TotalFL"), 10.0 * id}});
    }
    QDir().mkpath(installation.paths().photoImagesDir());
    test::ScriptedDialogs dialogs;
    ApplicationShell shell(installation.paths(), dialogs);
    ASSERT_TRUE(shell.start());
    const AppState& state = shell.state();
    // The list orders its rows by their text: B1/P1 is the first row and on screen.
    ASSERT_EQ(state.displaySlots[0].photo.recordCount(), 1);
    EXPECT_EQ(state.displaySlots[0].photo.text(0, u"PhotoLabel"), QStringLiteral("P1"));
    MainWindow* window = shell.frame()->mainWindow();
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("cboBook"))->count(), 2);
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("cboTotalLoad1"))->currentText(),
              QStringLiteral(" 24")); // floor(20 + 4)
    EXPECT_EQ(window->findChild<QListWidget*>(QStringLiteral("lstVegType"))->count(), 1);
    // No photo has a herb value: said after the first photo, where it stays readable.
    EXPECT_TRUE(state.statusLine.panelText(StatusLine::Message).contains(QStringLiteral("herb")));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST(ApplicationShell, TheSuitesCommandLineOpensTheBuilderOnANewOrAGivenProfile) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 1);
    QDir().mkpath(installation.paths().photoImagesDir());
    const QString profile = installation.paths().dataDir() + QStringLiteral("/my site.pr3");
    QDir().mkpath(installation.paths().dataDir());
    QFile file(profile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"From the suite\"\r\n\"\"\r\n\"\"\r\n0\r\n0\r\n0\r\n\"\"\r\n0\r\n\"\"\r\n\"\"\r\n"
               "\"0\"\r\n\"0\"\r\n");
    file.close();
    // The suite's "?" for a blank does not apply to a name that is there as given.
    const QString questioned = installation.paths().dataDir() + QStringLiteral("/what?.pr3");
    ASSERT_TRUE(QFile::copy(profile, questioned));

    for (const QString& argument :
         {QStringLiteral("#NEW#"), profile, questioned, profile + ".gone"}) {
        test::ScriptedDialogs dialogs;
        ApplicationShell shell(installation.paths(), dialogs, {argument});
        ASSERT_TRUE(shell.start());
        QTest::qWait(20); // the first activation comes once the window is up
        EXPECT_TRUE(!shell.state().assistants.comparison && shell.state().assistants.builder)
            << argument.toStdString();
        AssistantWindow* assistant = shell.frame()->mainWindow()->assistantWindow();
        EXPECT_TRUE(assistant->isVisible());
        if (argument == profile || argument == questioned) {
            EXPECT_EQ(shell.state().fuelProfile.name, QStringLiteral("From the suite"));
            EXPECT_EQ(assistant->windowTitle(), "Tarnwick Assistant[" + argument + "]");
        } else if (argument != QStringLiteral("#NEW#")) {
            // A file that cannot be read is said so; the run goes on.
            ASSERT_EQ(dialogs.shown().size(), 1u);
            EXPECT_TRUE(dialogs.shown()[0].text.startsWith(
                QStringLiteral("Error while opening file: \nError: 53 File not found")));
            EXPECT_EQ(shell.state().profileFileName, QStringLiteral("Untitled"));
        }
    }
}

// The second start is the real program, given a name in its own working folder.
TEST(ApplicationShell, AFileGivenToASecondStartOpensInTheRunningCopy) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 1);
    QDir().mkpath(installation.paths().photoImagesDir());
    QDir().mkpath(installation.paths().dataDir());
    const QString profile = installation.paths().dataDir() + QStringLiteral("/handed.pr3");
    FuelProfile handed;
    handed.name = QStringLiteral("Handed");
    ASSERT_FALSE(writeProfileFile(profile, encodeProfile(handed).bytes));
    test::ScriptedDialogs dialogs;
    ApplicationShell shell(installation.paths(), dialogs);
    ASSERT_TRUE(shell.start());
    QTest::qWait(20);
    shell.state().profileChanged = true;
    dialogs.answerNext(Answer::No);

    QProcess second;
    QProcessEnvironment environment = test::installationEnvironment(installation);
    environment.insert(QStringLiteral("TARNWICK_NONINTERACTIVE"), QStringLiteral("1"));
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(installation.paths().dataDir());
    second.start(QStringLiteral(TARNWICK_BINARY_DIR "/tarnwick"), {QStringLiteral("handed.pr3")});
    for (int waited = 0; second.state() != QProcess::NotRunning && waited < 20000; waited += 20)
        QTest::qWait(20);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    for (int waited = 0; shell.state().fuelProfile.name != handed.name && waited < 2000;
         waited += 20)
        QTest::qWait(20);

    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("Save Changes to Fuel Profile?"));
    EXPECT_EQ(shell.state().fuelProfile.name, QStringLiteral("Handed"));
    EXPECT_EQ(shell.state().profileFileName, profile);
    EXPECT_EQ(RecentProfiles::read().paths(), QStringList{profile});
    EXPECT_TRUE(!shell.state().assistants.comparison && shell.state().assistants.builder);
    EXPECT_TRUE(shell.frame()->mainWindow()->assistantWindow()->isVisible());
}

TEST(ApplicationShell, NotesAreEditedInTheirOwnWindowAndKeptHoweverItCloses) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 1);
    QDir().mkpath(installation.paths().photoImagesDir());
    test::ScriptedDialogs dialogs;
    ApplicationShell shell(installation.paths(), dialogs, {QStringLiteral("#NEW#")});
    ASSERT_TRUE(shell.start());
    QTest::qWait(20);
    AssistantController* assistant = shell.frame()->mainWindow()->assistant();
    QTest::mouseClick(assistant->window()->findChild<QPushButton*>(QStringLiteral("cmdNotes")),
                      Qt::LeftButton);
    NotesWindow* notes = assistant->notesWindow();
    ASSERT_NE(notes, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(notes));
    EXPECT_FALSE(assistant->window()->isVisible()); // it stays on top: it makes way
    EXPECT_TRUE(notes->text().isEmpty());
    QTest::keyClicks(notes->editor(), QStringLiteral("Burned 2019"));
    notes->close(); // the close box, not the button
    EXPECT_EQ(shell.state().fuelProfile.notes, QStringLiteral("Burned 2019"));
    EXPECT_TRUE(shell.state().profileChanged);
    EXPECT_TRUE(assistant->window()->isVisible());

    assistant->openNotes();
    ASSERT_NE(assistant->notesWindow(), nullptr);
    EXPECT_EQ(assistant->notesWindow()->text(), QStringLiteral("Burned 2019"));
    QTest::mouseClick(assistant->notesWindow()->closeButton(), Qt::LeftButton);
    EXPECT_EQ(shell.state().fuelProfile.notes, QStringLiteral("Burned 2019"));
}

TEST(ApplicationShell, TypedNotesReachTheProfileAtOnceAndALoadReplacesTheOpenWindowsText) {
    TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 1);
    QDir().mkpath(installation.paths().photoImagesDir());
    const QString saved = installation.appDir() + QStringLiteral("/saved.pr3");
    FuelProfile other;
    other.name = QStringLiteral("Saved");
    other.notes = QStringLiteral("Thinned 2021");
    ASSERT_FALSE(writeProfileFile(saved, encodeProfile(other).bytes));
    test::ScriptedDialogs dialogs;
    ApplicationShell shell(installation.paths(), dialogs, {QStringLiteral("#NEW#")});
    ASSERT_TRUE(shell.start());
    QTest::qWait(20);
    AssistantController* assistant = shell.frame()->mainWindow()->assistant();
    const QRect assistantPlace = assistant->window()->frameGeometry();
    assistant->openNotes();
    NotesWindow* notes = assistant->notesWindow();
    ASSERT_NE(notes, nullptr);
    // Beside the assistant it replaces, not over the frame's menus in the corner.
    EXPECT_EQ(notes->frameGeometry().top(), assistantPlace.top());
    EXPECT_NE(notes->frameGeometry().topLeft(), QPoint(0, 0));
    QTest::keyClicks(notes->editor(), QStringLiteral("Burned 2019"));
    // Still open: the exit's question must already know of them.
    EXPECT_EQ(shell.state().fuelProfile.notes, QStringLiteral("Burned 2019"));
    EXPECT_TRUE(shell.state().profileChanged);

    // Load asks about the unsaved notes first; No goes on to the file.
    dialogs.answerNext(Answer::No);
    dialogs.fileNext(saved);
    QTest::mouseClick(assistant->window()->findChild<QPushButton*>(QStringLiteral("cmdLoad")),
                      Qt::LeftButton);
    ASSERT_FALSE(dialogs.shown().empty());
    EXPECT_EQ(dialogs.shown().front().text, QStringLiteral("Save Changes to Fuel Profile?"));
    EXPECT_EQ(shell.state().fuelProfile.name, QStringLiteral("Saved"));
    ASSERT_EQ(assistant->notesWindow(), notes);
    EXPECT_EQ(notes->text(), QStringLiteral("Thinned 2021"));
    notes->close();
    EXPECT_EQ(shell.state().fuelProfile.notes, QStringLiteral("Thinned 2021"))
        << "the window's stale text was written over the loaded notes";
    EXPECT_TRUE(dialogs.allAnswersUsed());
}
