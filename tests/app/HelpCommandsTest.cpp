#include "app/commands/HelpCommands.h"
#include "app/AppState.h"
#include "app/widgets/MainWindow.h"
#include "platform/ProgramSettings.h"
#include "suite/About.h"
#include "suite/HelpFiles.h"
#include "suite/widgets/AboutWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedSeams.h"
#include "support/TestInstallation.h"
#include "ui/widgets/HighlightButton.h"
#include "Version.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

} // namespace

TEST(HelpFiles, TheOlderHelpFileComesFirstThenTheCompiledOneThenTheManual) {
    QTemporaryDir root;
    const QString app = root.filePath(u"app"_s);
    const QString shipped = root.filePath(u"share"_s);
    QDir().mkpath(app);

    // Neither help file nor manual: every place looked in is named, the application's first.
    HelpFile help = chooseHelpFile(app, {app, shipped});
    EXPECT_EQ(help.kind, HelpFile::Manual);
    EXPECT_FALSE(help.exists);
    EXPECT_EQ(help.searched,
              (QStringList{app + u"/help/index.html"_s, shipped + u"/help/index.html"_s}));

    // The manual installed with the program, unless the installation has its own.
    touch(shipped + u"/help/index.html"_s);
    help = chooseHelpFile(app, {app, shipped});
    EXPECT_TRUE(help.exists);
    EXPECT_EQ(help.path, shipped + u"/help/index.html"_s);
    touch(app + u"/help/index.html"_s);
    EXPECT_EQ(chooseHelpFile(app, {app, shipped}).path, app + u"/help/index.html"_s);

    // The suite's compiled help outranks the manual, and the older help file outranks both,
    // whatever the case of its name after a copy from another system.
    touch(app + u"/help/kel3.chm"_s);
    help = chooseHelpFile(app, {app, shipped});
    EXPECT_EQ(help.kind, HelpFile::CompiledHelp);
    EXPECT_EQ(help.path, app + u"/help/kel3.chm"_s);
    touch(app + u"/help/KEL3.hlp"_s);
    help = chooseHelpFile(app, {app, shipped});
    EXPECT_EQ(help.kind, HelpFile::OlderHelp);
    EXPECT_EQ(help.path, app + u"/help/KEL3.hlp"_s);
    // Only the application's help folder counts for the suite's files.
    QTemporaryDir bare;
    touch(bare.filePath(u"help/kel3.chm"_s));
    EXPECT_EQ(chooseHelpFile(app + u"/none"_s, {bare.path()}).kind, HelpFile::Manual);
}

TEST(HelpCommands, HelpOpensTheChosenFileAndSaysWhatToDoWhenItCannot) {
    QTemporaryDir root;
    const QString app = root.filePath(u"app"_s);
    const QString shipped = root.filePath(u"share"_s);
    const AppPaths paths(app, shipped);
    test::ScriptedDesktop desktop;
    test::ScriptedDialogs dialogs;

    helpContentsCommand(paths, desktop, dialogs);
    EXPECT_TRUE(desktop.opened().isEmpty());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, u"warning"_s);
    EXPECT_TRUE(dialogs.shown()[0].text.contains(
        QDir::toNativeSeparators(shipped + u"/help/index.html"_s)));
    EXPECT_TRUE(dialogs.shown()[0].text.contains(u"install Tarnwick again"_s));

    touch(shipped + u"/help/index.html"_s);
    helpContentsCommand(paths, desktop, dialogs);
    ASSERT_EQ(desktop.opened().size(), 1);
    EXPECT_EQ(desktop.opened()[0], QUrl::fromLocalFile(shipped + u"/help/index.html"_s));
    EXPECT_EQ(dialogs.shown().size(), 1u);

    // A desktop with no viewer for the suite's compiled help: the user learns which file and
    // what would show it.
    touch(app + u"/help/kel3.chm"_s);
    desktop.opens = false;
    helpContentsCommand(paths, desktop, dialogs);
    EXPECT_EQ(desktop.opened().last(), QUrl::fromLocalFile(app + u"/help/kel3.chm"_s));
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_TRUE(
        dialogs.shown()[1].text.contains(QDir::toNativeSeparators(app + u"/help/kel3.chm"_s)));
    EXPECT_TRUE(dialogs.shown()[1].text.contains(u".chm"_s));

    // The support page: a browser that does not start is no concern of the program's.
    webSupportCommand(u"https://support.example.org/tarnwick"_s, paths, desktop, dialogs);
    EXPECT_EQ(desktop.opened().last(), QUrl(u"https://support.example.org/tarnwick"_s));
    EXPECT_EQ(dialogs.shown().size(), 2u);
    // Without an address, never a placeholder: the manual's page on getting help.
    QFile::remove(app + u"/help/kel3.chm"_s);
    desktop.opens = true;
    webSupportCommand(QString(), paths, desktop, dialogs);
    QUrl gettingHelp = QUrl::fromLocalFile(shipped + u"/help/index.html"_s);
    gettingHelp.setFragment(u"help"_s);
    EXPECT_EQ(desktop.opened().last(), gettingHelp);
    EXPECT_EQ(dialogs.shown().size(), 2u);
}

TEST(HelpCommands, TheHelpMenuOpensHelpTheSupportPageAndTheAboutBox) {
    EXPECT_EQ(versionText(3, 0, 14), u"Version: 3.0.14"_s);
    EXPECT_EQ(aboutCaption(u"Tarnwick"_s), u"About Tarnwick"_s);

    test::TestInstallation installation;
    touch(installation.appDir() + u"/help/index.html"_s);
    AppState state(installation.paths());
    MainWindow window(state);
    test::ScriptedDialogs dialogs;
    test::ScriptedProcessRunner runner;
    test::ScriptedPathProbe probe({ProbeResult::Found});
    test::ScriptedDesktop desktop;
    window.setServices(dialogs, runner, probe);
    window.setDesktopServices(desktop);

    window.action(u"mnuHelpContents"_s)->trigger();
    window.action(u"barHelp"_s)->trigger();
    ASSERT_EQ(desktop.opened().size(), 2);
    EXPECT_EQ(desktop.opened()[1],
              QUrl::fromLocalFile(installation.appDir() + u"/help/index.html"_s));
    EXPECT_EQ(window.action(u"mnuHelpContents"_s)->shortcut(), QKeySequence(Qt::Key_F1));

    // The support page is the one the settings name.
    ProgramSettings().setValue(u"SupportAddress"_s, u"https://help.example.net/"_s);
    window.action(u"mnuWeb"_s)->trigger();
    EXPECT_EQ(desktop.opened().last(), QUrl(u"https://help.example.net/"_s));

    window.action(u"mnuAbout"_s)->trigger();
    AboutWindow* about = window.aboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->windowTitle(), u"About Tarnwick"_s);
    EXPECT_EQ(about->titleLabel()->text(), u"Tarnwick"_s);
    EXPECT_EQ(
        about->versionLabel()->text(),
        u"Version: %1.%2.%3"_s.arg(version::major).arg(version::minor).arg(version::revision));
    EXPECT_FALSE(about->noticeLabel()->text().isEmpty());
    // A build that names no support page prints none, and never a made-up one.
    if (QString::fromUtf8(version::supportAddress).isEmpty()) {
        EXPECT_FALSE(about->noticeLabel()->text().contains(u"://"_s))
            << about->noticeLabel()->text().toStdString();
    }
    EXPECT_FALSE(about->logo()->pixmap().isNull());
    EXPECT_EQ(about->okButton()->faceColour(), HighlightButton::restFace);
    about->okButton()->click();
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(dialogs.shown().empty());
}
