#include "app/widgets/ApplicationShell.h"
#include "app/widgets/MainFrame.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/SplashWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>

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
    ASSERT_EQ(state.slotPhoto[0].recordCount(), 1);
    EXPECT_EQ(state.slotPhoto[0].text(0, u"PhotoLabel"), QStringLiteral("P1"));
    MainWindow* window = shell.frame()->mainWindow();
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("cboBook"))->count(), 2);
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("cboTotalLoad1"))->currentText(),
              QStringLiteral(" 24")); // floor(20 + 4)
    EXPECT_EQ(window->findChild<QListWidget*>(QStringLiteral("lstVegType"))->count(), 1);
    // No photo has a herb value: said after the first photo, where it stays readable.
    EXPECT_TRUE(state.statusLine.panelText(StatusLine::Message).contains(QStringLiteral("herb")));
    EXPECT_TRUE(dialogs.shown().empty());
}
