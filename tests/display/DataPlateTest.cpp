#include "display/DataPlate.h"

#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"
#include "document/ReportDocument.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

// Plate rows as (label, value) pairs, for comparing whole tables at once.
std::vector<std::pair<QString, QString>> rowsOf(const DataPlateContent& plate) {
    std::vector<std::pair<QString, QString>> rows;
    for (const PlateRow& row : plate.rows)
        rows.emplace_back(row.label, row.value);
    return rows;
}

QStringList valuesOf(const DataPlateContent& plate) {
    QStringList values;
    for (const PlateRow& row : plate.rows)
        values << row.value;
    return values;
}

QStringList barLabels(const LoadingChartContent& chart) {
    QStringList labels;
    for (const ChartBar& bar : chart.bars)
        labels << bar.label;
    return labels;
}

// Loadings 1.5, 2.25, 0.75, then 4, 5, 6, 7 for the classes above 3 inches.
QVariantMap loadings() {
    return {{QStringLiteral("TonsPerAcreBreak1"), 1.5},
            {QStringLiteral("TonsPerAcreBreak2"), 2.25},
            {QStringLiteral("TonsPerAcreBreak3"), 0.75},
            {QStringLiteral("TonsPerAcreBreak4"), 4.0},
            {QStringLiteral("TonsPerAcreBreak5"), 5.0},
            {QStringLiteral("TonsPerAcreBreak6"), 6.0},
            {QStringLiteral("TonsPerAcreBreak7"), 7.0},
            {QStringLiteral("Oto3FL"), 4.5},
            {QStringLiteral("TotalFL"), 26.5}};
}

class DataPlateTest : public ::testing::TestWithParam<CatalogueEngine> {
protected:
    // One book per case of classes above 3 inches, and books with a missing limit.
    void SetUp() override {
        TARNWICK_SKIP_WITHOUT_ENGINE(installation);
        writeCatalogue();
        database = installation.openCatalogue();
    }

    void writeCatalogue() {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(QStringLiteral("Open"), true, {0.25, 1.0, 3.0, 0.0, 0.0, 0.0});
        catalogue.addBook(QStringLiteral("Two"), true, {0.25, 1.0, 3.0, 9.0, 0.0, 0.0});
        catalogue.addBook(QStringLiteral("Three"), true, {0.25, 1.0, 3.0, 6.0, 9.0, 0.0});
        catalogue.addBook(QStringLiteral("Four"), true, {0.25, 1.0, 3.0, 6.0, 9.0, 20.0});
        catalogue.addBook(QStringLiteral("NoB4"), true, {0.25, 1.0, 3.0, QVariant(), 0.0, 0.0});
        catalogue.addBook(QStringLiteral("NoB6"), true, {0.25, 1.0, 3.0, 0.0, 0.0, QVariant()});
        catalogue.addBook(QStringLiteral("Shelved"), false);

        QVariantMap measured = loadings();
        measured.insert({{QStringLiteral("AverageDuffDepth"), 1.5},
                         {QStringLiteral("AverageFuelbedDepth"), 12.345},
                         {QStringLiteral("VegType"), QStringLiteral("PP")},
                         {QStringLiteral("Activity"), QStringLiteral("Thin")},
                         {QStringLiteral("TreesPerAcre"), 250.0},
                         {QStringLiteral("CanopyClosure"), 0.0},
                         {QStringLiteral("HerbTonsPerAcre"), 0.1 + 0.2},
                         {QStringLiteral("WoodyTonsPerAcre"), 1.25}});
        catalogue.addPhoto(1, QStringLiteral("Four"), QStringLiteral("12"), measured);
        catalogue.addPhoto(2, QStringLiteral("Open"), QStringLiteral("1"), loadings());
        catalogue.addPhoto(3, QStringLiteral("Two"), QStringLiteral("1"), loadings());
        catalogue.addPhoto(4, QStringLiteral("Three"), QStringLiteral("1"), loadings());
        catalogue.addPhoto(5, QStringLiteral("NoB4"), QStringLiteral("1"), loadings());
        catalogue.addPhoto(6, QStringLiteral("NoB6"), QStringLiteral("1"), loadings());
        // Not-available values, Null values and a zero depth.
        catalogue.addPhoto(7, QStringLiteral("Open"), QStringLiteral("2"),
                           {{QStringLiteral("AverageDuffDepth"), -1.0},
                            {QStringLiteral("AverageFuelbedDepth"), 0.0},
                            {QStringLiteral("TreesPerAcre"), -1.0},
                            {QStringLiteral("CanopyClosure"), -5.0},
                            {QStringLiteral("HerbTonsPerAcre"), -1.0},
                            {QStringLiteral("WoodyTonsPerAcre"), -0.5},
                            {QStringLiteral("TonsPerAcreBreak1"), 0.0},
                            {QStringLiteral("TonsPerAcreBreak3"), -0.004},
                            {QStringLiteral("Oto3FL"), 2.25},
                            {QStringLiteral("TotalFL"), 12.5}});
        catalogue.addPhoto(8, QStringLiteral("Shelved"), QStringLiteral("1"), loadings());
        catalogue.addPhoto(9, QStringLiteral("Open"), QStringLiteral("3"),
                           {{QStringLiteral("TotalFL"), 12.5}}); // no 0 to 3 inch total
    }

    PlateSource source(qint64 id, const QString& book) {
        return readPlateSource(*database, {id, book, book + u'/' + QString::number(id)});
    }

    TestInstallation installation{GetParam()};
    std::unique_ptr<PhotoDatabase> database;
};

TARNWICK_ON_BOTH_ENGINES(DataPlateTest);

} // namespace

TEST_P(DataPlateTest, FourClassesAboveThreeInchesGiveNineteenRows) {
    const PlateSource four = source(1, QStringLiteral("Four"));
    const DataPlateContent plate = dataPlateContent(four);
    EXPECT_EQ(plate.overThreeClassCase, 3);
    const std::vector<std::pair<QString, QString>> expected{
        {"Average Duff Depth (in)", "1.50"},
        {"Average Fuelbed Depth (in)", "12.35"},
        {"Vegetation Type", "PP"},
        {"Activity Type", "Thin"},
        {"Trees per acre", "250"},
        {"Canopy Closure (%)", "0"},
        {"Herb Loading (t/ac)", "0.3"},
        {"Shrub Loading (t/ac)", "1.25"},
        {"DDW Loading (t/ac)", ""},
        {"\t0\"-.25\"", "1.50"},
        {"\t.26\"-1\"", "2.25"},
        {"\t1.1\"-3\"", "0.75"},
        {"\t3.1\"- 6\"  ", "4.00"},
        {"\t 6.1\"- 9\"", "5.00"},
        {"\t9.1\"- 20\"  ", "6.00"},
        {"\t20.1\" + ", "7.00"},
        {"\tTotal 0\"-3\" ", "4.50"},
        {"\tTotal 3.1\"+  ", "22.00"},
        {"\tTotal ", "26.50"},
    };
    EXPECT_EQ(rowsOf(plate), expected);

    const LoadingChartContent chart = loadingChartContent(four, plate.overThreeClassCase);
    EXPECT_EQ(chart.header,
              QStringList({"DDW Total Tons per Acre(t/ac) by Size Class ", "Four/1"}));
    EXPECT_EQ(barLabels(chart), QStringList({
                                    "0\" - .25\"     1.50 t/ac",
                                    ".26\" - 1\"    2.25 t/ac  ",
                                    "1.1\" - 3\"     0.75 t/ac  ",
                                    "3.1\" - 6\"       4.00 t/ac  ",
                                    "6.1\" - 9\"       5.00 t/ac  ",
                                    "9.1\" - 20\"   6.00 t/ac  ",
                                    "20.1\"+            7.00 t/ac  ",
                                }));
    ASSERT_EQ(chart.bars.size(), 7u);
    for (int k = 1; k <= 7; ++k) {
        EXPECT_EQ(chart.bars[size_t(k - 1)].sizeClass, k);
        EXPECT_EQ(chart.bars[size_t(k - 1)].value,
                  loadings()[QStringLiteral("TonsPerAcreBreak%1").arg(k)].toDouble());
    }
}

TEST_P(DataPlateTest, OneTwoAndThreeClassesAboveThreeInches) {
    auto tail = [](const DataPlateContent& plate) {
        std::vector<std::pair<QString, QString>> rows = rowsOf(plate);
        return std::vector<std::pair<QString, QString>>(rows.begin() + 12, rows.end());
    };

    const PlateSource open = source(2, QStringLiteral("Open"));
    const DataPlateContent one = dataPlateContent(open);
    EXPECT_EQ(one.overThreeClassCase, 0);
    EXPECT_EQ(one.rows.size(), 16u);
    EXPECT_EQ(tail(one), (std::vector<std::pair<QString, QString>>{{"\t3.1\"+", "4.00"},
                                                                   {"\tTotal 0\"-3\" ", "4.50"},
                                                                   {"\tTotal 3\"+  ", "22.00"},
                                                                   {"\tTotal ", "26.50"}}));
    EXPECT_EQ(barLabels(loadingChartContent(open, 0)).mid(3),
              QStringList({"3.1\"+            4.00 t/ac  "}));

    const PlateSource two = source(3, QStringLiteral("Two"));
    const DataPlateContent pair = dataPlateContent(two);
    EXPECT_EQ(pair.overThreeClassCase, 1);
    EXPECT_EQ(pair.rows.size(), 17u);
    EXPECT_EQ(tail(pair), (std::vector<std::pair<QString, QString>>{{"\t3.1\"- 9\"  ", "4.00"},
                                                                    {"\t9.1\" + ", "5.00"},
                                                                    {"\tTotal 0\"-3\" ", "4.50"},
                                                                    {"\tTotal 3.1\"+  ", "22.00"},
                                                                    {"\tTotal ", "26.50"}}));
    // The chart reads the class 4 and 5 loadings from the same columns as the plate.
    const LoadingChartContent pairChart = loadingChartContent(two, 1);
    EXPECT_EQ(barLabels(pairChart).mid(3),
              QStringList({"3.1\" - 9\"       4.00 t/ac  ", "9.1\"+      5.00 t/ac  "}));
    EXPECT_EQ(pairChart.bars[4].value, 5.0);

    const PlateSource three = source(4, QStringLiteral("Three"));
    const DataPlateContent triple = dataPlateContent(three);
    EXPECT_EQ(triple.overThreeClassCase, 2);
    EXPECT_EQ(triple.rows.size(), 18u);
    EXPECT_EQ(tail(triple)[1], std::make_pair(QString("\t6.1\"- 9\"  "), QString("5.00")));
    EXPECT_EQ(tail(triple)[2], std::make_pair(QString("\t9.1\" + "), QString("6.00")));
    EXPECT_EQ(barLabels(loadingChartContent(three, 2)).mid(3),
              QStringList({"3.1\" - 6\"     4.00 t/ac  ", "6.1\" - 9\"    5.00 t/ac  ",
                           "9.1\"+          6.00 t/ac  "}));

    // The chart follows the case it is given, which is the last plate's: drawn after another
    // book's plate it shows that book's number of bars.
    EXPECT_EQ(loadingChartContent(three, 0).bars.size(), 4u);
    EXPECT_EQ(loadingChartContent(open, 3).bars.size(), 7u);
}

TEST_P(DataPlateTest, MissingLimitsMakeTheirTestsFalseAndLeaveGapsInLabels) {
    // Limit 4 Null, 5 and 6 zero: not the open-ended case, but two classes.
    const DataPlateContent noB4 = dataPlateContent(source(5, QStringLiteral("NoB4")));
    EXPECT_EQ(noB4.overThreeClassCase, 1);
    EXPECT_EQ(noB4.rows[12].label, "\t3.1\"-\"  ");
    EXPECT_EQ(noB4.rows[13].label, "\t\" + ");

    // Limit 6 Null: every test reads it, so four classes.
    const PlateSource noB6 = source(6, QStringLiteral("NoB6"));
    const DataPlateContent plate = dataPlateContent(noB6);
    EXPECT_EQ(plate.overThreeClassCase, 3);
    EXPECT_EQ(plate.rows.size(), 19u);
    EXPECT_EQ(plate.rows[12].label, "\t3.1\"- 0\"  ");
    EXPECT_EQ(plate.rows[13].label, "\t .1\"- 0\"");
    EXPECT_EQ(plate.rows[14].label, "\t0.1\"-\"  ");
    EXPECT_EQ(plate.rows[15].label, "\t\" + ");
    EXPECT_EQ(barLabels(loadingChartContent(noB6, 3)).mid(5),
              QStringList({"0.1\" - \"   6.00 t/ac  ", "\"+            7.00 t/ac  "}));
}

TEST_P(DataPlateTest, NotAvailableAndNullValues) {
    const PlateSource sparse = source(7, QStringLiteral("Open"));
    const DataPlateContent plate = dataPlateContent(sparse);
    // Below 0 is "not available"; a Null loading leaves its cell empty; -0.004 rounds to 0.00.
    EXPECT_EQ(valuesOf(plate), QStringList({"N/A", "0.00", "", "", "N/A", "N/A", "N/A", "N/A", "",
                                            "0.00", "", "0.00", "", "2.25", "10.25", "12.50"}));

    // Without a 0 to 3 inch total the part over 3 inches is unknown too, not the whole total.
    const QStringList noFineTotal = valuesOf(dataPlateContent(source(9, QStringLiteral("Open"))));
    EXPECT_EQ(noFineTotal.mid(13), QStringList({"", "", "12.50"}));

    const LoadingChartContent chart = loadingChartContent(sparse, 0);
    EXPECT_EQ(chart.bars[1].label, ".26\" - 1\"     t/ac  ");
    EXPECT_FALSE(chart.bars[1].value.has_value());
    EXPECT_EQ(chart.bars[0].value, 0.0);

    // A photo of a shelved book is not among the active photos, so there is no plate to draw.
    const PlateSource shelved = source(8, QStringLiteral("Shelved"));
    EXPECT_FALSE(shelved.isComplete());
    EXPECT_THROW(dataPlateContent(shelved), DatabaseError);
    EXPECT_THROW(loadingChartContent(shelved, 0), DatabaseError);
    EXPECT_THROW(dataPlateContent(source(1, QStringLiteral("Gone"))), DatabaseError);
}

TEST_P(DataPlateTest, PlateIsATwoColumnTableInItsDocument) {
    const DataPlateContent plate = dataPlateContent(source(1, QStringLiteral("Four")));
    ReportDocument screen;
    prepareScreenPlate(screen, 6000, 7000);

    // On screen the plate opens and closes a document of its own; drawing again replaces it.
    drawDataPlate(screen, 1, plate, PlateDocument::Own);
    drawDataPlate(screen, 1, plate, PlateDocument::Own);
    EXPECT_FALSE(screen.isOpen());
    ASSERT_EQ(screen.pageCount(), 1);
    ASSERT_EQ(screen.pages()[0].items.size(), 1u);
    const auto& table = std::get<TableBlock>(screen.pages()[0].items[0]);
    EXPECT_EQ(table.rect.topLeft(), QPointF(100, 100)); // pane 1, own document: no indent
    EXPECT_EQ(table.columnWidths, (std::vector<double>{3500, 1000}));
    EXPECT_EQ(table.columnAlignments, (std::vector<TextAlign>{TextAlign::Left, TextAlign::Right}));
    ASSERT_EQ(table.rowHeights.size(), 19u);
    for (const TableCell& cell : table.cells) {
        const PlateRow& row = plate.rows[size_t(cell.row)];
        EXPECT_EQ(cell.content.text, cell.column == 0 ? row.label : row.value);
    }

    // In a shared document the plate only adds a table, and pane 1's sits 3.5 in to the right,
    // clear of pane 0's plate (4500 twips wide) and in line with the right-hand picture.
    ReportDocument report;
    report.setMargins(1000, 1440, 1000, 1440);
    EXPECT_THROW(drawDataPlate(report, 0, plate, PlateDocument::Callers), std::logic_error);
    report.startDocument();
    report.setCurrentY(8500);
    drawDataPlate(report, 0, plate, PlateDocument::Callers);
    report.setCurrentY(8500);
    drawDataPlate(report, 1, plate, PlateDocument::Callers);
    drawDataPlate(report, 1, plate, PlateDocument::PhotoReport);
    EXPECT_TRUE(report.isOpen());
    report.endDocument();
    std::vector<QPointF> corners;
    for (const ReportPage& page : report.pages())
        for (const PageItem& item : page.items)
            if (const auto* part = std::get_if<TableBlock>(&item); part && part->firstRow == 0)
                corners.push_back(part->rect.topLeft());
    ASSERT_EQ(corners.size(), 3u);
    EXPECT_EQ(corners[0], QPointF(1000, 8500));
    EXPECT_EQ(corners[1], QPointF(1000 + 5040, 8500));
    EXPECT_GE(corners[1].x(), corners[0].x() + 3500 + 1000);
    EXPECT_EQ(corners[2].x(), 1000);
}
