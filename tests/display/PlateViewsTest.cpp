#include "display/widgets/DataPlateView.h"
#include "display/widgets/LoadingChartView.h"
#include "display/widgets/PhotoPane.h"

#include "catalogue/PhotoDatabase.h"
#include "document/ReportDocument.h"
#include "support/PaintedText.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHorizontalStackedBarSeries>
#include <QImage>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTest>

using namespace tarnwick;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

int inkIn(const QImage& image, const QRect& area) {
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qRed(pixel) < 200 || qGreen(pixel) < 200 || qBlue(pixel) < 200)
                ++ink;
        }
    return ink;
}

class PlateViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        {
            TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(QStringLiteral("NE-4"), true, {0.25, 1.0, 3.0, 6.0, 9.0, 20.0});
            catalogue.addBook(QStringLiteral("PNW-1"), true, {0.25, 1.0, 3.0, 0.0, 0.0, 0.0});
            QVariantMap fields{{QStringLiteral("AverageDuffDepth"), 0.8},
                               {QStringLiteral("Oto3FL"), 2.25},
                               {QStringLiteral("TotalFL"), 12.5}};
            for (int k = 1; k <= 7; ++k)
                fields.insert(QStringLiteral("TonsPerAcreBreak%1").arg(k), 0.5 * k);
            catalogue.addPhoto(1, QStringLiteral("NE-4"), QStringLiteral("4-MC-02"), fields);
            catalogue.addPhoto(2, QStringLiteral("PNW-1"), QStringLiteral("1-GF-01"), fields);
        }
        database = PhotoDatabase::open(installation.cataloguePath());
    }

    PlateSource source(qint64 id, const QString& book, const QString& label) {
        return readPlateSource(*database, {id, book, label});
    }

    TestInstallation installation;
    std::unique_ptr<PhotoDatabase> database;
};

} // namespace

TEST_F(PlateViewsTest, PlateViewDrawsThePlateOnAPageThatFollowsThePane) {
    DataPlateView view;
    view.resize(420, 480);
    view.show();
    const double perPixel = twipsPerInch / view.logicalDpiX();
    EXPECT_NEAR(view.pageSize().width(), 420 * perPixel - 50, 1e-6);
    EXPECT_NEAR(view.pageSize().height(), 480 * perPixel - 50, 1e-6);
    EXPECT_FALSE(view.hasPlate());

    EXPECT_EQ(view.showPhoto(source(1, QStringLiteral("NE-4"), QStringLiteral("NE-4/4-MC-02"))), 3);
    ASSERT_TRUE(view.hasPlate());
    EXPECT_EQ(view.plate()->rows.size(), 19u);
    const ReportDocument& document = view.document();
    EXPECT_FALSE(document.isOpen());
    ASSERT_GE(document.pageCount(), 1);
    EXPECT_EQ(document.bodyRect().topLeft(), QPointF(100, 100));

    // The plate is drawn, readable: ink across the middle of the view, none at its far edges,
    // and every label and value painted as its text.
    const QImage shown = view.grab().toImage();
    EXPECT_GT(inkIn(shown, QRect(40, 40, 340, 400)), 2000);
    EXPECT_EQ(inkIn(shown, QRect(0, 0, 4, 480)), 0);
    const QString painted = test::paintedTexts(view).join(u'|');
    for (const char* text :
         {"Average Duff Depth (in)", "0.80", "Canopy Closure (%)", "3.1\"- 6\"  ", " 6.1\"- 9\"",
          "20.1\" + ", "Total 0\"-3\"", "2.25", "10.25", "12.50"})
        EXPECT_TRUE(painted.contains(QString::fromUtf8(text)))
            << text << " in " << painted.toStdString();

    // A page size held by the main window wins over the pane's.
    view.setPlatePageSize(QSizeF(6000, 9000));
    view.resize(300, 200);
    EXPECT_EQ(view.pageSize(), QSizeF(6000, 9000));
    EXPECT_EQ(view.document().pageCount(), 1);

    // A photo that is no longer active leaves the view empty.
    EXPECT_EQ(view.showPhoto(source(99, QStringLiteral("NE-4"), QStringLiteral("gone"))),
              std::nullopt);
    EXPECT_FALSE(view.hasPlate());
    EXPECT_EQ(view.document().pageCount(), 0);
}

TEST_F(PlateViewsTest, ChartViewShowsOneColouredBarPerClassWithItsLabel) {
    LoadingChartView view;
    view.resize(720, 420);
    view.show();
    const PlateSource four = source(1, QStringLiteral("NE-4"), QStringLiteral("NE-4/4-MC-02"));
    view.showPhoto(four, 3);
    ASSERT_TRUE(view.hasChart());

    QChart* chart = view.chart();
    EXPECT_TRUE(
        chart->title().contains(QStringLiteral("DDW Total Tons per Acre(t/ac) by Size Class")));
    EXPECT_TRUE(chart->title().contains(QStringLiteral("NE-4/4-MC-02")));
    ASSERT_EQ(chart->series().size(), 1);
    auto* series = qobject_cast<QHorizontalStackedBarSeries*>(chart->series().first());
    ASSERT_NE(series, nullptr);
    ASSERT_EQ(series->count(), 7);
    QSet<QRgb> colours;
    for (int i = 0; i < 7; ++i) {
        QBarSet* set = series->barSets()[i];
        EXPECT_EQ(set->label(), view.content()->bars[size_t(i)].label);
        colours.insert(set->color().rgb());
        // Each bar stands alone in its own row, with the class loading.
        double sum = 0;
        for (int j = 0; j < set->count(); ++j)
            sum += set->at(j);
        EXPECT_DOUBLE_EQ(sum, 0.5 * (i + 1));
    }
    EXPECT_EQ(colours.size(), 7);

    // The labels are drawn whole, blanks included, the finest class on top, at any width the
    // pane allows; the heading keeps its size however often the chart is redrawn.
    const QStringList expected{QStringLiteral("0\" - .25\"     0.50 t/ac"),
                               QStringLiteral("20.1\"+            3.50 t/ac  ")};
    const double titleSize = chart->titleFont().pointSizeF();
    for (int width : {720, 460, view.minimumSizeHint().width()}) {
        view.resize(width, 420);
        for (int redraw = 0; redraw < 7; ++redraw)
            view.showPhoto(four, 3);
        QTest::qWait(1);
        QStringList drawn;
        for (QGraphicsItem* item : view.scene()->items())
            if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible())
                drawn << shownBarLabel(text->toPlainText());
        for (const QString& label : expected)
            EXPECT_TRUE(drawn.contains(label)) << width << " " << label.toStdString();
        EXPECT_EQ(view.chart()->titleFont().pointSizeF(), titleSize);
    }

    // The chart of a photo whose book has one class above 3 inches has four bars.
    view.showPhoto(source(2, QStringLiteral("PNW-1"), QStringLiteral("PNW-1/1-GF-01")), 0);
    EXPECT_EQ(qobject_cast<QAbstractBarSeries*>(view.chart()->series().first())->count(), 4);

    view.showPhoto(source(2, QStringLiteral("Gone"), QStringLiteral("PNW-1/1-GF-01")), 0);
    EXPECT_FALSE(view.hasChart());
    EXPECT_TRUE(view.chart()->series().isEmpty());

    // Off screen, for reports: a picture of the asked size with the bars drawn in it.
    const QImage picture = renderLoadingChart(loadingChartContent(four, 3), QSize(600, 340));
    EXPECT_EQ(picture.size(), QSize(600, 340));
    EXPECT_GT(inkIn(picture, QRect(300, 60, 200, 220)), 1000);
}

TEST_F(PlateViewsTest, ANarrowPaneScrollsThePlateRatherThanShrinkItsText) {
    QScrollArea area;
    auto* view = new DataPlateView;
    area.setWidgetResizable(true);
    area.setWidget(view);
    area.resize(420, 480);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    ASSERT_TRUE(view->showPhoto(source(1, QStringLiteral("NE-4"), QStringLiteral("NE-4/4-MC-02"))));
    QApplication::processEvents();
    const double natural = view->logicalDpiX() / twipsPerInch;
    const double roomy = view->zoom();

    // Squeezed to a sliver, as when the list is widened: the text keeps most of its size and the
    // rest of the plate is a scroll away.
    area.resize(140, 110);
    QApplication::processEvents();
    EXPECT_GE(view->zoom(), 0.8 * natural);
    EXPECT_LE(view->zoom(), roomy);
    EXPECT_GT(view->height(), area.viewport()->height());
    EXPECT_GT(view->width(), area.viewport()->width());
    EXPECT_TRUE(area.verticalScrollBar()->isVisible());
}

TEST_F(PlateViewsTest, InADarkPaletteThePlateAndTheCaptionsKeepTheirContrast) {
    struct PaletteKept {
        QPalette saved = QApplication::palette();
        ~PaletteKept() { QApplication::setPalette(saved); }
    } kept;
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(61, 61, 61));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(66, 66, 69));
    dark.setColor(QPalette::ButtonText, Qt::white);
    QApplication::setPalette(dark);

    const auto expectLegible = [](QWidget& widget, int least) {
        int checked = 0;
        for (const test::PaintedRun& run : test::paintedRuns(widget)) {
            if (run.text.trimmed().isEmpty())
                continue;
            ++checked;
            ASSERT_TRUE(run.background.isValid()) << run.text.toStdString();
            EXPECT_GE(test::wcagContrast(run.colour, run.background), 4.5)
                << run.text.toStdString() << " in " << run.colour.name().toStdString() << " on "
                << run.background.name().toStdString();
        }
        EXPECT_GE(checked, least);
    };
    DataPlateView plate;
    plate.resize(520, 700);
    ASSERT_TRUE(plate.showPhoto(source(1, QStringLiteral("NE-4"), QStringLiteral("NE-4/4-MC-02"))));
    expectLegible(plate, 19);

    // Both captions of the panes, the one taking the next photo and the other.
    for (const bool selected : {false, true}) {
        PhotoPane pane(0);
        pane.resize(400, 300);
        pane.setCaption(QStringLiteral("NE-4/4-MC-02"));
        pane.setSelected(selected);
        expectLegible(*pane.header()->parentWidget(), 1); // the caption strip
    }
}

TEST_F(PlateViewsTest, ANarrowChartOrALargeFontDrawsEveryTextWhole) {
    const QFont saved = QApplication::font();
    struct FontKept {
        QFont font;
        ~FontKept() { QApplication::setFont(font); }
    } kept{saved};
    const PlateSource four = source(1, QStringLiteral("NE-4"), QStringLiteral("NE-4/4-MC-02"));
    const LoadingChartContent content = loadingChartContent(four, 3);
    const QString heading = (content.header.join(u' ')).simplified();

    // A compare pane on a small screen, and a large desktop font at the usual width.
    for (const auto& [width, points] : {std::pair{320, 0.0}, std::pair{560, 18.0}}) {
        QFont font = saved;
        if (points > 0)
            font.setPointSizeF(points);
        QApplication::setFont(font);
        LoadingChartView view;
        view.resize(width, 300);
        view.show();
        view.showPhoto(four, 3);
        QTest::qWait(1);
        QStringList drawn;
        for (QGraphicsItem* item : view.scene()->items()) {
            auto* text = dynamic_cast<QGraphicsTextItem*>(item);
            if (!text || !text->isVisible() || text->toPlainText().isEmpty())
                continue;
            drawn << shownBarLabel(text->toPlainText());
            // Inside the view, whatever its scale.
            const QRect shown = view.mapFromScene(text->sceneBoundingRect()).boundingRect();
            EXPECT_TRUE(view.rect().adjusted(-1, -1, 1, 1).contains(shown))
                << width << " " << drawn.last().toStdString();
        }
        for (const ChartBar& bar : content.bars)
            EXPECT_TRUE(drawn.contains(bar.label)) << width << " " << bar.label.toStdString();
        QStringList simplified;
        for (const QString& text : drawn)
            simplified << QString(text).replace(QChar(0x2029), u' ').simplified();
        EXPECT_TRUE(simplified.contains(heading))
            << width << " " << simplified.join(u'|').toStdString();
    }
}
