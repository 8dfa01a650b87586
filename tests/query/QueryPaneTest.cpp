#include "query/widgets/QueryPane.h"
#include "app/AppState.h"
#include "app/commands/QueryCommands.h"
#include "app/commands/ResultsListCommands.h"
#include "query/QueryTestSupport.h"
#include "support/TestInstallation.h"

#include <array>
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

using tarnwick::test::writeLatin1;

// The pane inside a window with another control below it, as in the main window.
class QueryPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        const AppPaths paths = installation.paths();
        writeLatin1(paths.file(u"VegCodes.txt"_s),
                    u"\"PP\",\"Ponderosa pine\"\r\n\"DF\",\"Douglas-fir\"\r\n"_s);
        writeLatin1(paths.file(u"ActCodes.txt"_s),
                    u"\"CC\",\"Clearcut\"\r\n\"NAT\",\"Natural\"\r\n"_s);
        writeLatin1(paths.file(u"BehaveCodes.txt"_s), u"\"GR1\",\"Short grass\"\r\n"_s);
        {
            TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(u"B1"_s);
            int id = 0;
            for (const char* veg : {"PP", "df", "WS"})
                for (const char* act : {"CC", "NAT", "SALV"}) {
                    ++id;
                    catalogue.addPhoto(
                        id, u"B1"_s, u"P%1"_s.arg(id),
                        test::withSizeClasses({{u"TotalFL"_s, 3.0 * id},
                                               {u"HerbTonsPerAcre"_s, 0.5},
                                               {u"WoodyTonsPerAcre"_s, 1.5},
                                               {u"VegType"_s, QString::fromLatin1(veg)},
                                               {u"Activity"_s, QString::fromLatin1(act)},
                                               {u"FireBehaveFM"_s, id % 2 ? u"GR1"_s : u"SB4"_s},
                                               {u"FireBehaveFM2"_s, id % 3 ? u"1"_s : QVariant()}},
                                              3.0, 4.0));
                }
        }
        state.database = PhotoDatabase::open(installation.cataloguePath());

        auto* layout = new QVBoxLayout(&window);
        pane = new QueryPane(state.fireBehaviourModelNames);
        below = new QLineEdit;
        below->setObjectName(u"photoArea"_s);
        layout->addWidget(pane);
        layout->addWidget(below);
        layout->addStretch(1);
        window.resize(1100, 500);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        pane->fill(loadQueryParameters(state));
    }

    template <typename T> T* child(const QString& name) {
        T* found = window.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QListWidget* list(const char* name) { return child<QListWidget>(QString::fromLatin1(name)); }
    QString caption(const char* name) { return child<QLabel>(QString::fromLatin1(name))->text(); }
    void click(const char* name) {
        QTest::mouseClick(child<QAbstractButton>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    void check(QListWidget* l, int row, bool on) {
        l->item(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }

    TestInstallation installation;
    AppState state{installation.paths()};
    QWidget window;
    QueryPane* pane = nullptr;
    QLineEdit* below = nullptr;
};

} // namespace

TEST_F(QueryPaneTest, FillsTheControlsAndAsksForSearches) {
    auto* book = child<QComboBox>(u"cboBook"_s);
    ASSERT_EQ(book->count(), 2);
    EXPECT_EQ(book->itemText(0), u"All Books"_s);
    EXPECT_EQ(book->itemData(1).toInt(), 1);
    EXPECT_EQ(child<QComboBox>(u"cboTotalLoad0"_s)->currentText(), u"0"_s);
    EXPECT_EQ(child<QComboBox>(u"cboTotalLoad1"_s)->currentText(), u" 30"_s); // floor(27 + 4)
    EXPECT_EQ(caption("lblVegType"), u"All Vegetation Types"_s);
    // No danger rating values and no code list for them.
    EXPECT_EQ(caption("lblDangerRating"), u"No Models Available"_s);
    EXPECT_FALSE(child<QAbstractButton>(u"cmdDangerRating"_s)->isEnabled());
    EXPECT_TRUE(child<QAbstractButton>(u"cmdFireBehave"_s)->isEnabled());

    QSignalSpy searches(pane, &QueryPane::searchRequested);
    // The fuel model page searches nothing while a list is empty; the erase box still counts.
    child<QCheckBox>(u"chkErase4"_s)->setChecked(true);
    click("cmdSearch4");
    ASSERT_EQ(searches.count(), 1);
    auto request = searches.takeFirst().at(0).value<SearchRequest>();
    EXPECT_EQ(request.page, QueryPage::FuelModels);
    EXPECT_FALSE(request.criteria.has_value());
    EXPECT_TRUE(request.eraseDisplayed);

    // The shared frame follows the loading pages and its choices with it.
    auto* tabs = child<QTabWidget>(u"tabQuery"_s);
    auto* frame = child<QWidget>(u"freVegAct"_s);
    tabs->setCurrentIndex(3);
    EXPECT_TRUE(tabs->widget(3)->isAncestorOf(frame));
    check(list("lstVegType"), 1, true);
    tabs->setCurrentIndex(1);
    EXPECT_TRUE(tabs->widget(1)->isAncestorOf(frame));
    EXPECT_TRUE(frame->isVisible());
    click("cmdSearch1");
    ASSERT_EQ(searches.count(), 1);
    request = searches.takeFirst().at(0).value<SearchRequest>();
    ASSERT_TRUE(request.criteria.has_value());
    EXPECT_FALSE(request.eraseDisplayed);
    EXPECT_EQ(request.criteria->kind, QueryKind::TotalLoading);
    EXPECT_EQ(request.criteria->vegTypes, QStringList{u"PP-Ponderosa pine"_s});
    EXPECT_EQ(request.criteria->totalHigh, u" 30"_s);
    EXPECT_EQ(request.criteria->bookRow, u"All Books"_s);
    EXPECT_TRUE(request.criteria->use2005Models);

    QSignalSpy closes(pane, &QueryPane::closeQueryRequested);
    click("cmdCloseQuery");
    EXPECT_EQ(closes.count(), 1);
}

TEST_F(QueryPaneTest, EachPageSearchesItsOwnKindWithItsOwnBounds) {
    const std::array<std::pair<const char*, const char*>, 10> bounds{{
        {"cboTotalLoad0", "1"},
        {"cboTotalLoad1", "11"},
        {"cbo0to30", "2"},
        {"cbo0to31", "12"},
        {"cbo3Plus0", "3"},
        {"cbo3Plus1", "13"},
        {"cboHerb0", "4"},
        {"cboHerb1", "14"},
        {"cboWoody0", "5"},
        {"cboWoody1", "15"},
    }};
    for (const auto& [name, text] : bounds)
        child<QComboBox>(QString::fromLatin1(name))->setEditText(QString::fromLatin1(text));
    child<QComboBox>(u"cboBook"_s)->setCurrentIndex(1);

    QSignalSpy searches(pane, &QueryPane::searchRequested);
    const auto searchPage = [&](int page) {
        child<QTabWidget>(u"tabQuery"_s)->setCurrentIndex(page);
        click(QStringLiteral("cmdSearch%1").arg(page).toLatin1().constData());
        EXPECT_EQ(searches.count(), 1);
        return searches.takeFirst().at(0).value<SearchRequest>().criteria.value();
    };
    const QueryCriteria books = searchPage(0);
    EXPECT_EQ(books.kind, QueryKind::Books);
    EXPECT_EQ(books.bookRow, u"B1, Photo series B1"_s);
    const QueryCriteria total = searchPage(1);
    EXPECT_EQ(total.kind, QueryKind::TotalLoading);
    EXPECT_EQ(QStringList({total.totalLow, total.totalHigh}), QStringList({u"1"_s, u"11"_s}));
    const QueryCriteria sizes = searchPage(2);
    EXPECT_EQ(sizes.kind, QueryKind::SizeClassLoading);
    EXPECT_EQ(QStringList({sizes.fineLow, sizes.fineHigh, sizes.coarseLow, sizes.coarseHigh}),
              QStringList({u"2"_s, u"12"_s, u"3"_s, u"13"_s}));
    const QueryCriteria live = searchPage(3);
    EXPECT_EQ(live.kind, QueryKind::LiveLoading);
    EXPECT_EQ(QStringList({live.herbLow, live.herbHigh, live.shrubLow, live.shrubHigh}),
              QStringList({u"4"_s, u"14"_s, u"5"_s, u"15"_s}));
}

TEST_F(QueryPaneTest, DropDownListsOpenOverTheWindowAndCloseOnce) {
    QListWidget* veg = list("lstVegType");
    click("cmdVegType");
    ASSERT_TRUE(veg->isVisible());
    EXPECT_EQ(veg->parentWidget(), &window); // overlays everything, not just the page
    EXPECT_TRUE(veg->hasFocus());
    const QPoint labelBottom = child<QLabel>(u"lblVegType"_s)->mapTo(&window, QPoint(0, 0));
    EXPECT_GT(veg->y(), labelBottom.y());

    // The button takes the focus from the list as it is pressed; the list still closes once.
    click("cmdVegType");
    EXPECT_FALSE(veg->isVisible());
    click("cmdVegType");
    EXPECT_TRUE(veg->isVisible());

    // Escape hides it without touching the caption.
    check(veg, 0, true);
    EXPECT_EQ(caption("lblVegType"), u"1 Veg Types Selected"_s);
    QTest::keyClick(veg, Qt::Key_Escape);
    EXPECT_FALSE(veg->isVisible());
    EXPECT_EQ(caption("lblVegType"), u"1 Veg Types Selected"_s);

    // Losing the focus to another control closes it through the button's path.
    QListWidget* act = list("lstActType");
    click("cmdActType");
    ASSERT_TRUE(act->hasFocus());
    check(act, 0, true);
    check(act, 1, true);
    EXPECT_EQ(caption("lblActType"), u"2 Activities Selected"_s);
    QTest::mouseClick(below, Qt::LeftButton);
    EXPECT_FALSE(act->isVisible());
    EXPECT_EQ(caption("lblActType"), u"2 Act Types Selected"_s);

    click("cmdActType");
    check(act, 0, false);
    check(act, 1, false);
    EXPECT_EQ(caption("lblActType"), u"All Activity Types"_s);
    click("cmdActType");
    EXPECT_EQ(caption("lblActType"), u"All Activities"_s);

    // Close List closes whatever is open; a click on the pane's background does too.
    click("cmdActType");
    click("cmdVegType");
    ASSERT_TRUE(veg->isVisible());
    pane->closeList();
    EXPECT_FALSE(act->isVisible());
    EXPECT_FALSE(veg->isVisible());
    EXPECT_EQ(caption("lblVegType"), u"1 Veg Types Selected"_s);
    child<QTabWidget>(u"tabQuery"_s)->setCurrentIndex(4);
    click("cmdFireBehave");
    ASSERT_TRUE(list("lstFireBehave")->isVisible());
    QLabel* dangerHeading = nullptr;
    for (QLabel* label : child<QTabWidget>(u"tabQuery"_s)->widget(4)->findChildren<QLabel*>())
        if (label->text() == u"Danger Rating"_s)
            dangerHeading = label;
    ASSERT_NE(dangerHeading, nullptr);
    QTest::mouseClick(dangerHeading, Qt::LeftButton);
    EXPECT_FALSE(list("lstFireBehave")->isVisible());
}

TEST_F(QueryPaneTest, WoodyRangeCombosTakeDigitsOnlyHoweverTextArrives) {
    // Typed as a person types: into whatever has the keyboard focus once the combo is clicked.
    const auto typeInto = [](QComboBox* combo, const QString& keys) {
        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
        combo->lineEdit()->selectAll();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QTest::keyClicks(QApplication::focusWidget(), keys);
        return combo->currentText();
    };
    QComboBox* total = child<QComboBox>(u"cboTotalLoad0"_s);
    EXPECT_EQ(typeInto(total, u"1.5"_s), u"15"_s);
    EXPECT_EQ(typeInto(total, u"a7 -"_s), u"7"_s);
    EXPECT_EQ(typeInto(child<QComboBox>(u"cbo3Plus1"_s), u"2,5e"_s), u"25"_s);
    // Pasted text gets in only when it is digits.
    QApplication::clipboard()->setText(u"4x"_s);
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
    EXPECT_EQ(child<QComboBox>(u"cbo3Plus1"_s)->currentText(), u"25"_s);
    QApplication::clipboard()->setText(u"0"_s);
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
    EXPECT_EQ(child<QComboBox>(u"cbo3Plus1"_s)->currentText(), u"250"_s);
    // A row chosen from the list keeps its blank; typing goes on after it.
    total->setCurrentIndex(2);
    EXPECT_EQ(total->currentText(), u" 2"_s);

    // The live loadings take any key.
    EXPECT_EQ(typeInto(child<QComboBox>(u"cboHerb1"_s), u"1.5"_s), u"1.5"_s);
}

TEST_F(QueryPaneTest, RangeCombosObeyTheEditingKeysAndEscapeKeepsTheListsControl) {
    // Keys go to whatever holds the keyboard once the combo is clicked, as a keyboard's do.
    QComboBox* total = child<QComboBox>(u"cboTotalLoad0"_s);
    QTest::mouseClick(total->lineEdit(), Qt::LeftButton);
    total->setEditText(u"20"_s);
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(focused, u"158"_s);
    EXPECT_EQ(total->currentText(), u"158"_s);
    QTest::keyClick(focused, Qt::Key_Home);
    QTest::keyClick(focused, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClicks(focused, u"9"_s);
    EXPECT_EQ(total->currentText(), u"958"_s);
    QTest::keyClick(focused, Qt::Key_End);
    QTest::keyClick(focused, Qt::Key_Backspace);
    QTest::keyClicks(focused, u"x4"_s);
    EXPECT_EQ(total->currentText(), u"954"_s);

    // Escape in an open list leaves the keyboard on the list's own button.
    click("cmdVegType");
    ASSERT_TRUE(list("lstVegType")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(list("lstVegType")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), child<QWidget>(u"cmdVegType"_s));
}

TEST_F(QueryPaneTest, ModelSwitchAndResetClearTheChoices) {
    QListWidget* fire = list("lstFireBehave");
    EXPECT_EQ(fire->count(), 2); // GR1 and SB4 of the 2005 set
    check(fire, 0, true);
    check(list("lstVegType"), 0, true);
    auto* high = child<QComboBox>(u"cboWoody1"_s);
    high->setCurrentIndex(0);

    // The 1982 set: the Null group is an empty row at the top, then "1-", the code list lacking it.
    child<QRadioButton>(u"opt1982Models"_s)->click();
    ASSERT_EQ(fire->count(), 2);
    EXPECT_EQ(fire->item(0)->text(), QString());
    EXPECT_EQ(fire->item(1)->text(), u"1- "_s);
    EXPECT_EQ(caption("lblFireBehave"), u"All Fire Behavior Models"_s);
    EXPECT_EQ(caption("lblVegType"), u"All Vegetation Types"_s);
    EXPECT_EQ(caption("lblDangerRating"), u"All Danger Models"_s);
    EXPECT_TRUE(pane->criteria(QueryKind::TotalLoading).vegTypes.isEmpty());
    EXPECT_FALSE(pane->criteria(QueryKind::FuelModels).use2005Models);
    EXPECT_EQ(high->currentIndex(), high->count() - 1);

    // A set whose grouping returned no rows: empty list, the reset caption, a disabled button.
    state.fireBehaviourModelNames[0].clear();
    child<QRadioButton>(u"opt2005Models"_s)->click();
    EXPECT_EQ(fire->count(), 0);
    EXPECT_EQ(caption("lblFireBehave"), u"All Fire Behavior Models"_s);
    EXPECT_FALSE(child<QAbstractButton>(u"cmdFireBehave"_s)->isEnabled());

    // A reload shows the 2005 models again, and the option says so.
    child<QRadioButton>(u"opt1982Models"_s)->click();
    pane->fill(loadQueryParameters(state));
    EXPECT_TRUE(child<QRadioButton>(u"opt2005Models"_s)->isChecked());
    EXPECT_EQ(fire->count(), 2);
    EXPECT_TRUE(child<QAbstractButton>(u"cmdFireBehave"_s)->isEnabled());
}

TEST_F(QueryPaneTest, ListsGrowToTheirRowsAndNeverShrink) {
    QListWidget* veg = list("lstVegType");
    const int before = veg->width();
    QueryParameters wide;
    const QString longRow = u"LONG-"_s + QString(120, u'W');
    wide.codeLists[0].found = wide.codeLists[0].sorted = QStringList{longRow};
    pane->fill(wide);
    const int grown = veg->width();
    EXPECT_GT(grown, veg->fontMetrics().horizontalAdvance(longRow));
    EXPECT_GT(grown, before);

    QueryParameters narrow;
    narrow.codeLists[0].found = narrow.codeLists[0].sorted = QStringList{u"A-b"_s};
    pane->fill(narrow);
    EXPECT_EQ(veg->width(), grown);
    EXPECT_EQ(veg->count(), 1);

    // An open list shows its longest row whole, with no scroll bar across it.
    QueryParameters activities;
    const QString natural = u"NAT-Natural, no recent management activity of any kind"_s;
    activities.codeLists[1].found = activities.codeLists[1].sorted = QStringList{natural};
    pane->fill(activities);
    click("cmdActType");
    QListWidget* act = list("lstActType");
    ASSERT_TRUE(act->isVisible());
    EXPECT_GT(act->viewport()->width(), act->fontMetrics().horizontalAdvance(natural));
    EXPECT_FALSE(act->horizontalScrollBar()->isVisible());
    EXPECT_LE(act->width(), window.width());
}

// The site values page: the vegetation choice of the loading pages without the activity, six
// fields read as a person types them (the user's decimal comma, or a period), empty ones not
// measured, and a clear message for text that is no number. The search it asks for ranks the
// photos of the chosen types and says so on the status line.
TEST_F(QueryPaneTest, SiteValuesPageAsksForARankingOfTheChosenVegetation) {
    auto* tabs = child<QTabWidget>(u"tabQuery"_s);
    ASSERT_EQ(tabs->count(), 6);
    EXPECT_EQ(tabs->tabText(5), u"Query by Site Values"_s);
    tabs->setCurrentIndex(5);
    EXPECT_TRUE(tabs->widget(5)->isAncestorOf(child<QWidget>(u"freVegAct"_s)));
    EXPECT_TRUE(child<QLabel>(u"lblVegType"_s)->isVisible());
    EXPECT_FALSE(child<QLabel>(u"lblActType"_s)->isVisible());
    QListWidget* veg = list("lstVegType");
    const QList<QListWidgetItem*> douglas = veg->findItems(u"DF-"_s, Qt::MatchStartsWith);
    ASSERT_EQ(douglas.size(), 1);
    douglas.first()->setCheckState(Qt::Checked);

    pane->setLocale(QLocale(QLocale::German, QLocale::Germany));
    QTest::keyClicks(child<QLineEdit>(u"txtSite0"_s), u"3"_s);
    QTest::keyClicks(child<QLineEdit>(u"txtSite2"_s), u"2,5"_s);
    QTest::keyClicks(child<QLineEdit>(u"txtSite4"_s), u" 0.5 "_s);
    QSignalSpy searches(pane, &QueryPane::searchRequested);
    QTest::keyClick(child<QLineEdit>(u"txtSite2"_s), Qt::Key_Return);
    ASSERT_EQ(searches.count(), 1);
    const auto request = searches.takeFirst().at(0).value<SearchRequest>();
    EXPECT_EQ(request.page, QueryPage::BySiteValues);
    EXPECT_TRUE(request.problem.isEmpty()) << request.problem.toStdString();
    ASSERT_TRUE(request.site.has_value());
    EXPECT_EQ(request.site->site,
              (SiteValues{3.0, std::nullopt, 2.5, std::nullopt, 0.5, std::nullopt}));
    EXPECT_EQ(request.site->vegTypes, QStringList{douglas.first()->text()});

    // Every photo lacks a duff depth and matches the rest: (0 + 1 + 0) / 3 from nothing alike.
    ASSERT_TRUE(runSiteSearch(state, *request.site, [this] { fillResultsList(state); }));
    ASSERT_EQ(state.resultsList.rowCount(), 3);
    EXPECT_EQ(state.resultsList.cellAt(0, VegTypeColumn), u"df"_s);
    EXPECT_EQ(state.resultsList.cellAt(0, MatchColumn), u"67 %"_s);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::QueryResults),
              u"3 photos found, nearest first"_s);
    // Reading the catalogue again (Refresh, Manage Photo Series) ranks by the same values.
    refreshCatalogue(state, {});
    EXPECT_EQ(state.resultsList.cellAt(0, MatchColumn), u"67 %"_s);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::QueryResults),
              u"3 photos found, nearest first"_s);

    QTest::keyClicks(child<QLineEdit>(u"txtSite5"_s), u"lots"_s);
    click("cmdSearch5");
    ASSERT_EQ(searches.count(), 1);
    const auto refused = searches.takeFirst().at(0).value<SearchRequest>();
    EXPECT_FALSE(refused.site.has_value());
    EXPECT_TRUE(refused.problem.startsWith(u"Shrub (t/ac): 'lots' is no number."_s))
        << refused.problem.toStdString();

    // Nothing entered: the command says what is missing and keeps the list.
    EXPECT_FALSE(runSiteSearch(state, SiteSearch{}, [this] { fillResultsList(state); }));
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Message), u"ERROR - "_s + enterASiteValue);
    EXPECT_EQ(state.resultsList.rowCount(), 3);
}
