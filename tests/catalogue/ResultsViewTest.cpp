#include "catalogue/widgets/ResultsView.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/PhotoDatabase.h"
#include "catalogue/ResultsListModel.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QHeaderView>
#include <QListView>
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
    QTreeView* list = view.listPage();
    const double dpi = view.logicalDpiX();
    EXPECT_EQ(view.listView(), ResultsView::ListView);
    EXPECT_EQ(view.currentWidget(), list);
    for (int c = 0; c < resultsColumnCount; ++c) {
        const ResultsColumn& column = resultsColumns()[size_t(c)];
        EXPECT_EQ(list->isColumnHidden(c), column.hidden()) << c;
        if (!column.hidden()) {
            EXPECT_EQ(list->header()->sectionSize(c), twipsToPixels(column.widthTwips, dpi)) << c;
        }
    }

    view.setListView(ResultsView::IconView);
    EXPECT_EQ(view.currentWidget(), view.iconPage());
    EXPECT_EQ(view.iconPage()->gridSize().width(), twipsToPixels(3000, dpi));
    EXPECT_TRUE(view.iconPage()->isWrapping());
    EXPECT_EQ(view.iconPage()->flow(), QListView::TopToBottom);
    view.setListView(1); // not a view of this list
    EXPECT_EQ(view.listView(), ResultsView::IconView);
    view.setListView(ResultsView::ListView);
    EXPECT_EQ(view.currentWidget(), list);

    // A refill keeps the columns as they were set up.
    model.fill(
        PhotoDatabase::open(installation.cataloguePath())->run(statements::activePhotosAtStartUp));
    EXPECT_TRUE(list->isColumnHidden(resultsColumnIndex(u"Dir")));
    EXPECT_EQ(list->header()->sectionSize(1), twipsToPixels(3750, dpi));
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
    view.setListView(ResultsView::IconView);
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
