#include "app/AppState.h"
#include "app/commands/Startup.h"
#include "app/widgets/MainWindow.h"
#include "display/widgets/ViewerWindow.h"
#include "query/widgets/QueryPane.h"
#include "resultslist/widgets/ResultsView.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedSeams.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;

namespace {

// The character after the single '&' of a caption, lower-cased; empty when there is none.
QString mnemonicOf(const QString& text) {
    const qsizetype at = text.indexOf(u'&');
    if (at < 0 || at + 1 >= text.size() || text[at + 1] == u'&')
        return {};
    return text.mid(at + 1, 1).toLower();
}

// Every item of a menu has a mnemonic of its own.
void expectMnemonics(const QMenu* menu) {
    QStringList taken;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        const QString key = mnemonicOf(action->text());
        EXPECT_FALSE(key.isEmpty()) << action->text().toStdString();
        EXPECT_FALSE(taken.contains(key))
            << action->text().toStdString() << " repeats " << key.toStdString();
        taken << key;
    }
}

} // namespace

TEST(Keyboard, EveryMenuCommandHasAMnemonicAndTheCommonOnesShortcuts) {
    test::TestInstallation installation;
    AppState state(installation.paths());
    MainWindow window(state);
    QStringList menuKeys;
    for (const QMenu* menu : window.menus()) {
        menuKeys << mnemonicOf(menu->title());
        expectMnemonics(menu);
    }
    expectMnemonics(window.resultsView()->sortMenu());
    EXPECT_EQ(menuKeys, (QStringList{u"f"_s, u"v"_s, u"r"_s, u"t"_s, u"h"_s}));
    EXPECT_EQ(window.action(u"mnuExit"_s)->shortcut(), QKeySequence(u"Ctrl+Q"_s));
    EXPECT_EQ(window.action(u"mnuHelpContents"_s)->shortcut(), QKeySequence(u"F1"_s));
    EXPECT_EQ(window.action(u"mnuPrintPhoto"_s)->shortcut(), QKeySequence(u"Ctrl+P"_s));

    // List View and IconView: one of the two, whichever way it is chosen.
    window.action(u"mnuIconView"_s)->trigger();
    EXPECT_TRUE(window.action(u"mnuIconView"_s)->isChecked());
    EXPECT_FALSE(window.action(u"mnuListView"_s)->isChecked());
    window.action(u"mnuIconView"_s)->trigger();
    EXPECT_TRUE(window.action(u"mnuIconView"_s)->isChecked());
    window.action(u"barList"_s)->trigger();
    EXPECT_TRUE(window.action(u"mnuListView"_s)->isChecked());
    EXPECT_FALSE(window.action(u"mnuIconView"_s)->isChecked());
}

TEST(Keyboard, TheMainWindowWorksWithoutAMouse) {
    test::TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 30);
    AppState state(installation.paths());
    test::ScriptedDialogs dialogs;
    ASSERT_TRUE(initialiseCatalogue(state, dialogs));
    MainWindow window(state);
    test::ScriptedProcessRunner runner;
    test::ScriptedPathProbe probe({ProbeResult::Found});
    window.setServices(dialogs, runner, probe);
    window.setUp();
    window.loadQueryParameters();
    window.resize(1200, 700);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QApplication::processEvents();

    // Focus starts on the list; arrows browse it and Enter opens the viewer on that photo.
    QTreeView* list = window.resultsView()->listPage();
    ASSERT_EQ(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_NE(window.viewer(), nullptr);
    EXPECT_TRUE(window.viewer()->isVisible());
    EXPECT_EQ(state.selectedListItem, state.resultsList.rowAt(2).key);
    // Escape puts it away.
    window.viewer()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.viewer()));
    QTest::keyClick(window.viewer(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(window.viewer() == nullptr || !window.viewer()->isVisible());
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    // A header from the keyboard: the list's sort menu orders by Description, both ways, and
    // the chosen photo stays in sight.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End);
    const QString chosen = state.selectedListItem;
    QAction* byDescription = window.resultsView()->sortMenu()->findChild<QAction*>(u"sortBy1"_s);
    ASSERT_NE(byDescription, nullptr);
    byDescription->trigger();
    EXPECT_EQ(state.resultsList.sortColumn(), 1);
    const Qt::SortOrder firstOrder = state.resultsList.sortOrder();
    byDescription->trigger();
    EXPECT_NE(state.resultsList.sortOrder(), firstOrder);
    EXPECT_EQ(state.resultsList.rowAt(list->currentIndex().row()).key, chosen);
    const QRect shown = list->visualRect(list->currentIndex());
    EXPECT_TRUE(list->viewport()->rect().intersects(shown));

    // Tab walks each query page in the order it is laid out, and Enter in any of its criteria
    // runs that page's search.
    auto* pages = window.findChild<QTabWidget*>(u"tabQuery"_s);
    ASSERT_NE(pages, nullptr);
    const std::array<QStringList, 5> order{{
        {u"cboBook"_s, u"cmdSearch0"_s, u"chkErase0"_s},
        {u"cmdVegType"_s, u"cmdActType"_s, u"cboTotalLoad0"_s, u"cboTotalLoad1"_s, u"cmdSearch1"_s,
         u"chkErase1"_s},
        {u"cmdVegType"_s, u"cmdActType"_s, u"cbo0to30"_s, u"cbo0to31"_s, u"cbo3Plus0"_s,
         u"cbo3Plus1"_s, u"cmdSearch2"_s, u"chkErase2"_s},
        {u"cmdVegType"_s, u"cmdActType"_s, u"cboHerb0"_s, u"cboHerb1"_s, u"cboWoody0"_s,
         u"cboWoody1"_s, u"cmdSearch3"_s, u"chkErase3"_s},
        {u"opt2005Models"_s, u"cmdFireBehave"_s, u"cmdDangerRating"_s, u"cmdSearch4"_s,
         u"chkErase4"_s},
    }};
    QSignalSpy searches(window.queryPane(), &QueryPane::searchRequested);
    for (int page = 0; page < 5; ++page) {
        pages->setCurrentIndex(page);
        QApplication::processEvents();
        // A code list with no rows has its button disabled, out of the way of the keys.
        QStringList expected;
        for (const QString& name : order[size_t(page)]) {
            auto* control = window.findChild<QWidget*>(name);
            ASSERT_NE(control, nullptr) << name.toStdString();
            if (control->isEnabled())
                expected << name;
        }
        window.findChild<QWidget*>(expected.first())->setFocus(Qt::TabFocusReason);
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int step = 1; step < expected.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        EXPECT_EQ(visited, expected) << "page " << page;

        for (const QString& name : expected) {
            if (name.startsWith(u"cmdSearch"_s))
                continue;
            auto* control = window.findChild<QWidget*>(name);
            control->setFocus(Qt::TabFocusReason);
            const qsizetype before = searches.size();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            ASSERT_EQ(searches.size(), before + 1) << name.toStdString();
            EXPECT_EQ(searches.last().first().value<SearchRequest>().page, QueryPage(page))
                << name.toStdString();
        }
    }
    EXPECT_TRUE(dialogs.shown().empty());

    // Shift+F10 on the list opens the sort menu as the menu key does.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(window.resultsView()->sortMenu()->isVisible());
    window.resultsView()->sortMenu()->close();
}
