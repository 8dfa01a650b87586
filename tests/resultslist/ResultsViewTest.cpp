#include "resultslist/widgets/ResultsView.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/PhotoDatabase.h"
#include "query/SiteMatch.h"
#include "resultslist/ResultsListModel.h"
#include "support/QtPrinting.h"
#include "support/TestInstallation.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QProxyStyle>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

using namespace tarnwick;
using tarnwick::test::TestInstallation;

namespace {

class ResultsViewTest : public ::testing::Test {
protected:
    ResultsViewTest() {
        test::writeSmallCatalogue(installation.cataloguePath(), 5);
        model.fill(PhotoDatabase::open(installation.cataloguePath())
                       ->run(statements::activePhotosAtStartUp));
        view.resize(900, 400);
        view.show();
    }

    QPoint rowCentre(QAbstractItemView* page, int row) {
        return page->visualRect(model.index(row, 0)).center();
    }

    TestInstallation installation;
    ResultsListModel model;
    ResultsView view{model};
};

} // namespace

TEST_F(ResultsViewTest, ShowsTheVisibleColumnsOrTheIconColumns) {
    struct Column {
        const char* header;
        const char* key;
        int width;
        bool right;
    };
    // The list's columns as its users know them: header, key, width in twips, alignment.
    const std::array<Column, 28> expected{{
        {"Book/Photo ID", "BookPhotoID", 2500, false},
        {"Description", "Description", 3750, false},
        {"DDW 0\" to 3\"", "0to3", 1500, true},
        {"DDW 3.1+\"", "3Plus", 1500, true},
        {"DDW:Total", "Total", 1000, true},
        {"Herb", "HerbTonsPerAcre", 900, true},
        {"Shrub", "WoodyTonsPerAcre", 900, true},
        {"Duff Depth", "DuffDepth", 1100, true},
        {"Fuel Bed Depth", "FuelBedDepth", 1400, true},
        {"Canopy Closure", "CanopyClosure", 1400, true},
        {"Trees Per Acre", "TreesPerAcre", 1400, true},
        {"Veg Type", "VegType", 1500, false},
        {"Activity Type", "ActType", 1500, false},
        {"FB-Model 2005", "FBModel", 1500, false},
        {"FB-Model 1982", "FBModel2", 1500, false},
        {"DR-Fuel Model", "DRModel", 1500, false},
        {"Picture", "Picture", 0, false},
        {"Data", "Data", 0, false},
        {"0to3Sort", "0to3Sort", 0, false},
        {"3+Sort", "3+Sort", 0, false},
        {"TotalSort", "TotalSort", 0, false},
        {"Dir", "Dir", 0, false},
        {"DuffSort", "DuffSort", 0, false},
        {"FuelBedSort", "FuelBedSort", 0, false},
        {"FBSModelsSort", "FBSModelsSort", 0, false},
        {"HerbSort", "HerbSort", 0, false},
        {"WoodySort", "WoodySort", 0, false},
        {"FBSModelsSort2", "FBSModelsSort2", 0, false},
    }};
    QTreeView* list = view.listPage();
    const double dpi = view.logicalDpiX();
    EXPECT_EQ(view.listView(), ListViewKind::List);
    EXPECT_EQ(view.currentWidget(), list);
    // Beyond the 28, the Match of a ranking, hidden while there is none.
    ASSERT_EQ(model.columnCount(), 29);
    EXPECT_TRUE(list->isColumnHidden(MatchColumn));
    for (int c = 0; c < 28; ++c) {
        const Column& column = expected[size_t(c)];
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), QString::fromUtf8(column.header))
            << c;
        EXPECT_EQ(model.headerData(c, Qt::Horizontal, ResultsListModel::KeyRole).toString(),
                  QString::fromUtf8(column.key))
            << c;
        const int alignment = model.data(model.index(0, c), Qt::TextAlignmentRole).toInt();
        EXPECT_EQ(bool(alignment & Qt::AlignRight), column.right) << c;
        EXPECT_EQ(list->isColumnHidden(c), column.width == 0) << c;
        if (column.width > 0) {
            EXPECT_EQ(list->header()->sectionSize(c), qRound(column.width * dpi / 1440.0)) << c;
        }
    }

    view.setListView(ListViewKind::Icon);
    EXPECT_EQ(view.currentWidget(), view.iconPage());
    EXPECT_EQ(view.iconPage()->gridSize().width(), qRound(3000 * dpi / 1440.0));
    EXPECT_TRUE(view.iconPage()->isWrapping());
    EXPECT_EQ(view.iconPage()->flow(), QListView::TopToBottom);
    EXPECT_EQ(view.listView(), ListViewKind::Icon);
    view.setListView(ListViewKind::List);
    EXPECT_EQ(view.currentWidget(), list);

    // A refill keeps the columns as they were set up.
    model.fill(
        PhotoDatabase::open(installation.cataloguePath())->run(statements::activePhotosAtStartUp));
    EXPECT_TRUE(list->isColumnHidden(resultsColumnIndex(u"Dir")));
    EXPECT_EQ(list->header()->sectionSize(1), qRound(3750 * dpi / 1440.0));
}

TEST_F(ResultsViewTest, HeaderClicksFollowTheListsOwnOrderRule) {
    QHeaderView* header = view.listPage()->header();
    const int total = resultsColumnIndex(u"Total");
    const QPoint onTotal(header->sectionViewportPosition(total) + 10, header->height() / 2);
    for (const Qt::SortOrder expected : {Qt::DescendingOrder, Qt::AscendingOrder}) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onTotal);
        EXPECT_EQ(model.sortColumn(), resultsColumnIndex(u"TotalSort"));
        EXPECT_EQ(model.sortOrder(), expected);
        EXPECT_EQ(header->sortIndicatorSection(), total);
        EXPECT_EQ(header->sortIndicatorOrder(), expected);
    }
}

TEST_F(ResultsViewTest, ClicksAndKeysReportTheRowKeyInBothViews) {
    QSignalSpy items(&view, &ResultsView::itemClicked);
    QSignalSpy anyClick(&view, &ResultsView::clicked);
    QTreeView* list = view.listPage();

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 1));
    QTest::keyClick(list, Qt::Key_Down);
    view.setListView(ListViewKind::Icon);
    QTest::qWait(0); // the icon layout is done in batches
    QTest::mouseClick(view.iconPage()->viewport(), Qt::LeftButton, {},
                      rowCentre(view.iconPage(), 4));
    QTest::mouseClick(view.iconPage()->viewport(), Qt::LeftButton, {}, QPoint(890, 390));

    QStringList keys;
    for (const QList<QVariant>& signal : items)
        keys << signal.at(0).toString();
    EXPECT_EQ(keys, QStringList({model.rowAt(1).key, model.rowAt(2).key, model.rowAt(4).key}));
    EXPECT_EQ(anyClick.size(), 3);
}

TEST(ResultsViewHeaders, EveryNumericColumnSortsByItsOwnNumbersWhenItsHeaderIsClicked) {
    // Four photos whose values, per column, come in a different order each time, and in text
    // order differ from number order (10.25 sorts before 2.5 as text).
    const std::array<double, 4> magnitudes{2.5, 10.25, 30, 100.5};
    struct Sortable {
        const char* header;
        std::array<int, 4> rank; // photo i gets magnitudes[rank[i]]
    };
    const std::array<Sortable, 8> columns{{
        {"0to3", {0, 1, 2, 3}},
        {"3Plus", {3, 2, 1, 0}},
        {"Total", {1, 3, 0, 2}},
        {"HerbTonsPerAcre", {2, 0, 3, 1}},
        {"WoodyTonsPerAcre", {1, 0, 3, 2}},
        {"DuffDepth", {3, 1, 0, 2}},
        {"FuelBedDepth", {0, 3, 1, 2}},
        {"FBModel", {2, 3, 0, 1}},
    }};
    TestInstallation installation;
    {
        test::TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(QStringLiteral("B1"));
        for (int i = 0; i < 4; ++i) {
            const auto value = [&](int column) { return magnitudes[columns[column].rank[i]]; };
            const double fine = value(0);
            const double coarse = value(1);
            QVariantMap fields{{QStringLiteral("HerbTonsPerAcre"), value(3)},
                               {QStringLiteral("WoodyTonsPerAcre"), value(4)},
                               {QStringLiteral("AverageDuffDepth"), value(5)},
                               {QStringLiteral("AverageFuelbedDepth"), value(6)},
                               {QStringLiteral("FireBehaveFM"), QString::number(value(7) * 4)}};
            for (int k = 1; k <= 7; ++k)
                fields.insert(QStringLiteral("TonsPerAcreBreak%1").arg(k), k == 1   ? fine
                                                                           : k == 4 ? coarse
                                                                           : k == 7 ? value(2)
                                                                                    : 0.0);
            catalogue.addPhoto(i + 1, QStringLiteral("B1"), QStringLiteral("P%1").arg(i), fields);
        }
    }
    ResultsListModel model;
    model.fill(
        PhotoDatabase::open(installation.cataloguePath())->run(statements::activePhotosAtStartUp));
    ResultsView view(model);
    view.resize(2400, 400);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QHeaderView* header = view.listPage()->header();

    bool descending = true; // every click turns the order round, whichever column it is on
    for (size_t c = 0; c < columns.size(); ++c) {
        const int section = resultsColumnIndex(QString::fromLatin1(columns[c].header));
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
        // What the column shows of each photo: class 4 and class 7 make the part over 3 inches,
        // and the total adds class 1.
        std::array<double, 4> sortValue{};
        for (int i = 0; i < 4; ++i) {
            const auto part = [&](size_t column) { return magnitudes[columns[column].rank[i]]; };
            sortValue[size_t(i)] = c == 1   ? part(1) + part(2)
                                   : c == 2 ? part(0) + part(1) + part(2)
                                            : part(c);
        }
        std::array<int, 4> expected{0, 1, 2, 3};
        std::sort(expected.begin(), expected.end(), [&](int a, int b) {
            return descending ? sortValue[size_t(a)] > sortValue[size_t(b)]
                              : sortValue[size_t(a)] < sortValue[size_t(b)];
        });
        QStringList shown, wanted;
        for (int row = 0; row < 4; ++row) {
            shown << model.rowAt(row).key;
            wanted << QStringLiteral("P%1").arg(expected[size_t(row)] + 1);
        }
        EXPECT_EQ(shown, wanted) << columns[c].header;
        descending = !descending;
    }
}

TEST_F(ResultsViewTest, TheIdColumnStaysInViewAndAnEmptyResultSaysSo) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTreeView* list = view.listPage();
    QTreeView* frozen = view.frozenColumn();
    view.resize(400, 300);
    QApplication::processEvents();
    ASSERT_GT(list->horizontalScrollBar()->maximum(), 0);
    list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->maximum());
    list->verticalScrollBar()->setValue(0);
    QApplication::processEvents();

    // Scrolled to the last columns, the ID column still covers the left of the report, row for
    // row, and a click on it chooses that photo.
    EXPECT_TRUE(frozen->isVisible());
    EXPECT_EQ(frozen->x(), list->frameWidth());
    EXPECT_EQ(frozen->width(), list->columnWidth(BookPhotoIdColumn));
    for (int c = 0; c < model.columnCount(); ++c)
        EXPECT_EQ(frozen->isColumnHidden(c), c != BookPhotoIdColumn) << c;
    EXPECT_EQ(frozen->visualRect(model.index(2, 0)).top() + frozen->header()->height(),
              list->visualRect(model.index(2, 0)).top() + list->header()->height());
    // Down to the last row the report shows, also once the list has grown taller.
    for (const int height : {300, 360}) {
        view.resize(400, height);
        QApplication::processEvents();
        EXPECT_EQ(frozen->height(), list->header()->height() + list->viewport()->height())
            << height;
    }
    QSignalSpy clicks(&view, &ResultsView::itemClicked);
    QTest::mouseClick(frozen->viewport(), Qt::LeftButton, {},
                      frozen->visualRect(model.index(3, 0)).center());
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0][0].toString(), model.rowAt(3).key);
    EXPECT_EQ(list->currentIndex().row(), 3);
    EXPECT_FALSE(view.emptyNotice()->isVisible());

    // Nothing found: the list area says so, until photos come back.
    const RecordSet photos =
        PhotoDatabase::open(installation.cataloguePath())->run(statements::activePhotosAtStartUp);
    model.fill(RecordSet());
    EXPECT_TRUE(view.emptyNotice()->isVisible());
    EXPECT_TRUE(view.emptyNotice()->text().contains(QStringLiteral("No photo")));
    model.fill(photos);
    EXPECT_FALSE(view.emptyNotice()->isVisible());
}

// A ranking by site values shows its Match right after the Book/Photo ID with no column's sort
// arrow; a header click still orders by that column, a new search restores the ranking, and an
// ordinary fill hides the Match again.
TEST(ResultsViewRanking, ShowsTheMatchBesideTheIdAndHeaderClicksStillSort) {
    TestInstallation installation;
    {
        test::TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(QStringLiteral("B1"));
        const std::array<QVariant, 4> duff{4.0, 1.0, 2.0, QVariant()};
        for (int i = 0; i < 4; ++i)
            catalogue.addPhoto(i + 1, QStringLiteral("B1"), QStringLiteral("P%1").arg(i + 1),
                               {{QStringLiteral("AverageDuffDepth"), duff[size_t(i)]}});
    }
    const RecordSet set =
        PhotoDatabase::open(installation.cataloguePath())->run(statements::activePhotosAtStartUp);
    ResultsListModel model;
    model.fill(set);
    ResultsView view(model);
    view.resize(1600, 400);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QHeaderView* header = view.listPage()->header();
    const auto shown = [&] {
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row)
            rows << model.cellAt(row, BookPhotoIdColumn) + u' ' + model.cellAt(row, MatchColumn);
        return rows;
    };

    // Duff 2 in: 1 - 1/3.1 rounds to 68 %, 1 - 2/6.1 to 67 %; no duff at all is 0 %.
    SiteValues site;
    site[size_t(SiteQuantity::Duff)] = 2.0;
    const QStringList ranking{QStringLiteral("B1/P3 100 %"), QStringLiteral("B1/P2 68 %"),
                              QStringLiteral("B1/P1 67 %"), QStringLiteral("B1/P4 0 %")};
    model.fill(prepareSiteRanking(set, site));
    EXPECT_EQ(shown(), ranking);
    EXPECT_FALSE(view.listPage()->isColumnHidden(MatchColumn));
    EXPECT_EQ(header->visualIndex(MatchColumn), 1);
    EXPECT_EQ(header->sortIndicatorSection(), -1);
    EXPECT_EQ(model.headerData(MatchColumn, Qt::Horizontal).toString(), QStringLiteral("Match"));

    const int duffColumn = resultsColumnIndex(u"DuffDepth");
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(duffColumn) + 5, header->height() / 2));
    EXPECT_EQ(shown(), QStringList({QStringLiteral("B1/P1 67 %"), QStringLiteral("B1/P3 100 %"),
                                    QStringLiteral("B1/P2 68 %"), QStringLiteral("B1/P4 0 %")}));
    EXPECT_EQ(header->sortIndicatorSection(), duffColumn);

    // The sort menu orders by the Match too, each time the other way round as a header does,
    // and offers it only while there is a ranking.
    QMenu* menu = view.sortMenu();
    QAction* byMatch = menu->findChild<QAction*>(QStringLiteral("sortBy%1").arg(MatchColumn));
    ASSERT_NE(byMatch, nullptr);
    emit menu->aboutToShow();
    EXPECT_TRUE(byMatch->isVisible());
    byMatch->trigger();
    QStringList farthestFirst = ranking;
    std::reverse(farthestFirst.begin(), farthestFirst.end());
    EXPECT_EQ(shown(), farthestFirst);
    byMatch->trigger();
    EXPECT_EQ(shown(), ranking);

    model.fill(prepareSiteRanking(set, site));
    EXPECT_EQ(shown(), ranking);
    EXPECT_EQ(header->sortIndicatorSection(), -1);

    model.fill(set);
    emit menu->aboutToShow();
    EXPECT_FALSE(byMatch->isVisible());
    EXPECT_TRUE(view.listPage()->isColumnHidden(MatchColumn));
    EXPECT_EQ(model.cellAt(0, MatchColumn), QString());
}

namespace {

// Keeps every header caption as it is drawn, with the room it is drawn in.
class HeaderTextRecorder : public QProxyStyle {
public:
    struct Drawn {
        QRect rect;
        QString text;
    };
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                      bool enabled, const QString& text,
                      QPalette::ColorRole role = QPalette::NoRole) const override {
        drawn.push_back({rect, text});
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
    }
    mutable std::vector<Drawn> drawn;
};

} // namespace

TEST_F(ResultsViewTest, NarrowHeadersShowTheStartOfTheirCaptionAndAnEllipsis) {
    view.resize(1600, 400); // every column in sight
    auto* recorder = new HeaderTextRecorder;
    QHeaderView* header = view.listPage()->header();
    header->setStyle(recorder);
    model.sortBy(FuelBedDepthColumn, Qt::AscendingOrder); // the sorted column has its arrow too
    for (const int column : {FuelBedDepthColumn, CanopyClosureColumn})
        header->resizeSection(column, header->fontMetrics().horizontalAdvance(
                                          model.headerData(column, Qt::Horizontal).toString()) /
                                          2);
    recorder->drawn.clear();
    header->grab(); // paints it now

    int narrow = 0;
    for (const int column : {FuelBedDepthColumn, CanopyClosureColumn}) {
        const QString caption = model.headerData(column, Qt::Horizontal).toString();
        const auto drawn =
            std::find_if(recorder->drawn.begin(), recorder->drawn.end(), [&](const auto& d) {
                return !d.text.isEmpty() && caption.startsWith(d.text.chopped(1));
            });
        ASSERT_NE(drawn, recorder->drawn.end()) << caption.toStdString();
        ++narrow;
        // Cut at the right with an ellipsis, and whole inside the room it is drawn in.
        EXPECT_TRUE(drawn->text.endsWith(QChar(0x2026))) << drawn->text.toStdString();
        EXPECT_LE(header->fontMetrics().horizontalAdvance(drawn->text), drawn->rect.width())
            << drawn->text.toStdString();
    }
    EXPECT_EQ(narrow, 2);
    header->setStyle(nullptr);
    delete recorder;
}
