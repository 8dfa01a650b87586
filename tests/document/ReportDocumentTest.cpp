#include "document/ReportDocument.h"
#include "document/ReportRenderer.h"
#include "support/ReportItems.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <stdexcept>

using namespace tarnwick;

namespace {

using test::itemsOf;
using test::textsOf;

QString shownText(const TextBlock& block) {
    QStringList parts;
    for (const TextRun& run : block.runs)
        parts << run.text;
    return parts.join(u'|');
}

double runRight(const TextRun& run) {
    return run.origin.x() + run.width;
}

// The report page set-up: Letter, margins 1000 left and right, 1440 top and bottom.
void setUpReportPage(ReportDocument& document) {
    document.setPaperSize(PaperSize::Letter);
    document.setMargins(1000, 1440, 1000, 1440);
}

bool isWhite(QRgb pixel) {
    return qRed(pixel) > 245 && qGreen(pixel) > 245 && qBlue(pixel) > 245;
}

int inkIn(const QImage& image, const QRect& area) {
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!isWhite(image.pixel(x, y)))
                ++ink;
    return ink;
}

QRect toPixels(const QRectF& twips, double dpi) {
    const double s = dpi / twipsPerInch;
    return QRectF(twips.topLeft() * s, twips.size() * s).toAlignedRect();
}

} // namespace

TEST(ReportDocumentTest, LengthsInTwipsOrWithUnits) {
    EXPECT_DOUBLE_EQ(Measure("3.2in").twips(), 4608);
    EXPECT_DOUBLE_EQ(Measure(" 2 IN ").twips(), 2880);
    EXPECT_DOUBLE_EQ(Measure("1440").twips(), 1440);
    EXPECT_DOUBLE_EQ(Measure("10pt").twips(), 200);
    EXPECT_FALSE(Measure::parse(u"in"));
    EXPECT_FALSE(Measure::parse(u"3,2in"));
    EXPECT_THROW(Measure("3.2 feet"), std::invalid_argument);
}

TEST(ReportDocumentTest, ParagraphsFlowFromTheCurrentPositionWithTabStops) {
    ReportDocument document;
    setUpReportPage(document);
    EXPECT_THROW(document.printParagraph(QStringLiteral("early")), std::logic_error);

    document.startDocument();
    EXPECT_DOUBLE_EQ(document.currentX(), 1000);
    EXPECT_DOUBLE_EQ(document.currentY(), 1440);

    document.printParagraph(QStringLiteral("Loading(t/ac): "));
    const double lineHeight = document.currentY() - 1440;
    EXPECT_GT(lineHeight, 150);
    EXPECT_LT(lineHeight, 350);
    EXPECT_DOUBLE_EQ(document.currentX(), 1000);

    // A tab moves to the next default stop (every half inch from the paragraph's start), however
    // far the text before it reaches.
    document.printParagraph(QStringLiteral("\tDuff Depth:\t1.5"));
    // Explicit stops come first, then the default interval carries on past the last one.
    document.setTabStops({2000, 3000});
    document.printParagraph(QStringLiteral("a\tb\tc\td"));
    // A paragraph begun to the right starts there, and the next one at the margin again.
    document.setTabStops({});
    document.setCurrentX(pagePosition(3000));
    document.printParagraph(QStringLiteral("right\rnext line"));
    document.printParagraph(QString());
    document.printParagraph(QStringLiteral("after"));
    document.endDocument();

    ASSERT_EQ(document.pageCount(), 1);
    const auto blocks = textsOf(document.pages()[0], TextRole::Body);
    ASSERT_EQ(blocks.size(), 6u);

    EXPECT_EQ(blocks[0]->rect.topLeft(), QPointF(1000, 1440));

    const auto& tabbed = blocks[1]->runs;
    ASSERT_EQ(tabbed.size(), 2u);
    EXPECT_DOUBLE_EQ(tabbed[0].origin.x(), 1000 + 720);
    EXPECT_EQ(tabbed[0].text, QStringLiteral("Duff Depth:"));
    EXPECT_GT(tabbed[1].origin.x(), runRight(tabbed[0]));
    EXPECT_DOUBLE_EQ(std::fmod(tabbed[1].origin.x() - 1000, 720), 0);
    EXPECT_EQ(blocks[1]->text, QStringLiteral("\tDuff Depth:\t1.5"));

    const auto& stops = blocks[2]->runs;
    ASSERT_EQ(stops.size(), 4u);
    EXPECT_DOUBLE_EQ(stops[1].origin.x(), 1000 + 2000);
    EXPECT_DOUBLE_EQ(stops[2].origin.x(), 1000 + 3000);
    EXPECT_DOUBLE_EQ(stops[3].origin.x(), 1000 + 3600);

    const auto& twoLines = blocks[3]->runs;
    ASSERT_EQ(twoLines.size(), 2u);
    EXPECT_EQ(twoLines[1].origin - twoLines[0].origin, QPointF(0, lineHeight));
    EXPECT_DOUBLE_EQ(twoLines[0].origin.x(), 3000);

    // An empty paragraph still takes a line.
    EXPECT_NEAR(blocks[4]->rect.height(), lineHeight, 1e-6);
    EXPECT_NEAR(blocks[5]->rect.top(), blocks[4]->rect.bottom(), 1e-6);
    EXPECT_DOUBLE_EQ(blocks[5]->runs[0].origin.x(), 1000);
}

TEST(ReportDocumentTest, LongParagraphsWrapAtTheRightMarginAndBreakPages) {
    ReportDocument document;
    setUpReportPage(document);
    // A title too long for one line wraps; the rule still comes after all of it.
    const QString title = QStringLiteral("Tarnwick - Fuel Profile: ridge above the north fork, "
                                         "units 7 to 12, thinned in 2019 and piled in 2020, "
                                         "before the prescribed burn");
    document.setHeading(title + u'\r' + QString(90, u'_'));
    document.setFooter(QStringLiteral("Corbell 3 suite||  Page: %d"));
    document.startDocument();
    const QString words = QStringLiteral("Lodgepole pine stand with heavy dead and down woody "
                                         "fuel left after thinning; ")
                              .repeated(2);
    // One paragraph longer than a page goes on to the next whatever the font's line height.
    for (int i = 0; i < 40; ++i)
        document.printParagraph(QStringLiteral("%1. ").arg(i) +
                                words.repeated(i == 20 ? 60 : 1 + i % 4));
    document.endDocument();

    const double right = 12240 - 1000;
    const double bottom = 15840 - 1440;
    ASSERT_GE(document.pageCount(), 3);
    bool sawContinuation = false;
    for (const ReportPage& page : document.pages()) {
        SCOPED_TRACE(page.number);
        const auto body = textsOf(page, TextRole::Body);
        ASSERT_FALSE(body.empty());
        EXPECT_TRUE(std::any_of(body.begin(), body.end(), [](const TextBlock* block) {
            return block->runs.size() > 2;
        })) << "paragraphs wrap into several lines";
        for (const TextBlock* block : body) {
            EXPECT_LE(block->rect.bottom(), bottom + 1e-6);
            EXPECT_GE(block->rect.top(), 1440 - 1e-6);
            // Wrapped lines start with a word, and only blanks may reach past the margin.
            const QFontMetricsF metrics(block->font.toQFont());
            for (const TextRun& run : block->runs) {
                EXPECT_LE(run.origin.x() + metrics.horizontalAdvance(run.text.trimmed()), right);
                EXPECT_FALSE(run.text.startsWith(u' ')) << run.text.toStdString();
            }
            sawContinuation = sawContinuation || block->continued;
        }
        // The first line of every page starts at the top margin.
        EXPECT_DOUBLE_EQ(body.front()->rect.top(), 1440);

        // Heading and footer on every page, the footer with this page's number at the right.
        const auto heading = textsOf(page, TextRole::Heading);
        ASSERT_EQ(heading.size(), 2u);
        ASSERT_EQ(heading[0]->runs.size(), 2u) << "the title wraps once";
        EXPECT_EQ(shownText(*heading[0]).replace(u'|', u' ').simplified(), title);
        EXPECT_EQ(shownText(*heading[1]), QString(90, u'_'));
        EXPECT_GE(heading[0]->rect.top(), 0);
        EXPECT_LE(heading[1]->rect.bottom(), 1440 + 1e-6);
        EXPECT_GE(heading[1]->rect.top(), heading[0]->rect.bottom() - 1e-6);
        const double titleLine = heading[0]->runs[1].origin.y() - heading[0]->runs[0].origin.y();
        EXPECT_NEAR(heading[1]->runs[0].origin.y() - heading[0]->runs[1].origin.y(), titleLine,
                    1e-6)
            << "the rule is the line after the title's last";
        const auto footer = textsOf(page, TextRole::Footer);
        ASSERT_EQ(footer.size(), 2u);
        EXPECT_DOUBLE_EQ(footer[0]->runs[0].origin.x(), 1000);
        EXPECT_EQ(shownText(*footer[1]), QStringLiteral("  Page: %1").arg(page.number));
        EXPECT_NEAR(runRight(footer[1]->runs[0]), right, 1);
        EXPECT_GE(footer[1]->rect.top(), bottom);
        EXPECT_LE(footer[1]->rect.bottom(), 15840);
        EXPECT_EQ(page.footer, QStringLiteral("Corbell 3 suite||  Page: %d"));
    }
    EXPECT_TRUE(sawContinuation);
}

TEST(ReportDocumentTest, TablesLayColumnsOutAndBreakBetweenRows) {
    ReportDocument document;
    document.setPaperSize(PaperSize::UserDefined);
    document.setPageSize(6000, 4000);
    document.setMargins(100, 100, 100, 100);
    document.startDocument();
    document.printParagraph(QStringLiteral("above"));
    const double tableTop = document.currentY();

    ReportTable& table = document.startTable();
    table.setColumns(2);
    table.setColumnWidth(0, 3500);
    table.setColumnWidth(1, "0.5in");
    table.setColumnAlignment(1, TextAlign::Right);
    table.setIndent(200);
    table.setRows(30);
    for (int r = 0; r < 30; ++r) {
        table.setCellText(r, 0, QStringLiteral("\tRow %1").arg(r));
        table.setCellText(r, 1, QStringLiteral("%1.00").arg(r));
    }
    document.endTable();
    const double afterTable = document.currentY();
    document.endDocument();

    ASSERT_GE(document.pageCount(), 2);
    int nextRow = 0;
    for (const ReportPage& page : document.pages()) {
        SCOPED_TRACE(page.number);
        const auto tables = itemsOf<TableBlock>(page);
        ASSERT_EQ(tables.size(), 1u);
        const TableBlock& part = *tables[0];
        EXPECT_EQ(part.firstRow, nextRow);
        EXPECT_DOUBLE_EQ(part.rect.left(), 300);
        EXPECT_DOUBLE_EQ(part.rect.width(), 3500 + 720);
        EXPECT_DOUBLE_EQ(part.rect.top(), page.number == 1 ? tableTop : 100);
        EXPECT_LE(part.rect.bottom(), 4000 - 100 + 1e-6);
        ASSERT_EQ(part.cells.size(), part.rowHeights.size() * 2);
        for (const TableCell& cell : part.cells) {
            EXPECT_EQ(cell.row, nextRow + int(&cell - part.cells.data()) / 2);
            ASSERT_EQ(cell.content.runs.size(), 1u);
            const TextRun& run = cell.content.runs[0];
            if (cell.column == 0) {
                EXPECT_DOUBLE_EQ(cell.rect.left(), 300);
                // The leading tab indents the label by one tab stop inside the cell.
                EXPECT_NEAR(run.origin.x(), 300 + 80 + 720, 1e-6);
            } else {
                EXPECT_DOUBLE_EQ(cell.rect.left(), 3800);
                EXPECT_NEAR(runRight(run), 3800 + 720 - 80, 1);
            }
            EXPECT_GT(run.origin.y(), cell.rect.top());
            EXPECT_LT(run.origin.y(), cell.rect.bottom());
        }
        nextRow += int(part.rowHeights.size());
        if (page.number == document.pageCount()) {
            EXPECT_DOUBLE_EQ(afterTable, part.rect.bottom());
        }
    }
    EXPECT_EQ(nextRow, 30);
}

TEST(ReportDocumentTest, PicturesAndShapesAreRenderedWhereTheyAre) {
    ReportDocument document;
    setUpReportPage(document);
    document.setFooter(QStringLiteral("||Page: %d"));
    document.startDocument();
    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(QColor(200, 30, 30));
    document.drawPicture(photo, pagePosition(document.currentX()), document.currentY(), "5in",
                         "2.7in");
    document.drawRectangle(fromMargin(4608), 8000, pagePosition(1000), 6000); // any order
    document.setCurrentY(9000);
    document.printParagraph(QStringLiteral("No image available"));
    document.endDocument();

    const ReportPage& page = document.pages()[0];
    const auto pictures = itemsOf<PictureItem>(page);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0]->rect, QRectF(1000, 1440, 7200, 3888));
    const auto rectangles = itemsOf<RectangleItem>(page);
    ASSERT_EQ(rectangles.size(), 1u);
    EXPECT_EQ(rectangles[0]->rect, QRectF(1000, 6000, 4608, 2000));

    const double dpi = 72;
    const QImage image = renderPageImage(page, dpi);
    EXPECT_EQ(image.size(), QSize(612, 792));
    // The picture fills its box, scaled.
    const QRect box = toPixels(pictures[0]->rect, dpi);
    EXPECT_EQ(image.pixel(box.center()), QColor(200, 30, 30).rgb());
    EXPECT_EQ(image.pixel(box.bottomRight() - QPoint(2, 2)), QColor(200, 30, 30).rgb());
    EXPECT_TRUE(isWhite(image.pixel(box.bottomRight() + QPoint(4, 4))));
    // The rectangle is an outline: ink on its edge, none inside.
    const QRect frame = toPixels(rectangles[0]->rect, dpi);
    EXPECT_GT(inkIn(image, QRect(frame.left() - 1, frame.center().y(), 3, 1)), 0);
    EXPECT_EQ(inkIn(image, frame.adjusted(4, 4, -4, -4)), 0);
    // Text and footer leave ink where they are and nowhere else.
    const TextBlock* text = textsOf(page, TextRole::Body)[0];
    EXPECT_GT(inkIn(image, toPixels(text->rect, dpi)), 20);
    EXPECT_GT(inkIn(image, toPixels(textsOf(page, TextRole::Footer)[0]->rect, dpi)), 10);
    EXPECT_EQ(inkIn(image, toPixels(QRectF(1000, 9600, 10240, 4000), dpi)), 0);
}

TEST(ReportDocumentTest, PaintsIntoATargetAndWritesPdfPages) {
    ReportDocument document;
    setUpReportPage(document);
    document.startDocument();
    // Set after the start, heading and footer still reach the first page.
    document.setHeading(QStringLiteral("Tarnwick - Comparison of Photos"));
    document.setFooter(QStringLiteral("|Page %d|"));
    document.printParagraph(QStringLiteral("first"));
    document.newPage();
    document.printParagraph(QStringLiteral("second"));
    document.endDocument();
    ASSERT_EQ(document.pageCount(), 2);
    for (const ReportPage& page : document.pages()) {
        EXPECT_EQ(textsOf(page, TextRole::Heading).size(), 1u);
        const auto footer = textsOf(page, TextRole::Footer);
        ASSERT_EQ(footer.size(), 1u);
        EXPECT_EQ(shownText(*footer[0]), QStringLiteral("Page %1").arg(page.number));
        const TextRun& run = footer[0]->runs[0];
        EXPECT_NEAR(run.origin.x() + run.width / 2, 12240 / 2.0, 2); // centred
    }

    // Scaled into a target, the page keeps its proportions and is centred.
    QImage canvas(400, 400, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::darkGray);
    QPainter painter(&canvas);
    paintPage(painter, document.pages()[0], QRectF(0, 0, 400, 400));
    painter.end();
    const double width = 400 * 12240.0 / 15840.0;
    const int left = int((400 - width) / 2);
    EXPECT_EQ(canvas.pixel(left - 2, 200), QColor(Qt::darkGray).rgb());
    EXPECT_EQ(canvas.pixel(left + 3, 200), QColor(Qt::white).rgb());
    EXPECT_EQ(canvas.pixel(int(left + width) + 2, 200), QColor(Qt::darkGray).rgb());

    QByteArray bytes;
    QBuffer pdf(&bytes);
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writePdf(document, pdf, QStringLiteral("Tarnwick report")));
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(bytes.contains("/Count 2")) << "two pages";
    // Letter in points.
    EXPECT_TRUE(bytes.contains("/MediaBox [0 0 612.000000 792.000000]"));
}
