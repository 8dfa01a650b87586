#include "display/DataPlate.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"
#include "document/ReportDocument.h"
#include "text/NumberFormat.h"

using namespace Qt::StringLiterals;

namespace tarnwick {

namespace {

const QString tab = QStringLiteral("\t");
const QString inch = QStringLiteral("\"");

constexpr QStringView loadingPattern = u"###0.00";
constexpr QStringView depthPattern = u"##0.00";
constexpr QStringView chartPattern = u"####0.00";

std::optional<double> limit(const RecordSet& book, int k) {
    return book.number(0, QStringLiteral("BreakInches%1").arg(k));
}

// The old runtime let a Null run through arithmetic and text conversion and joined it to text as
// nothing; a missing limit therefore leaves a gap in a label rather than stopping the plate.
QString strOf(std::optional<double> value) {
    return value ? strNumber(*value) : QString();
}

QString plainOf(std::optional<double> value) {
    return value ? plainNumber(*value) : QString();
}

QString nextLowerBound(std::optional<double> previousLimit) {
    return previousLimit ? plainNumber(*previousLimit + 0.1) : QString();
}

QString classLoading(const RecordSet& photo, int k, QStringView pattern) {
    return formatValue(photo.value(0, QStringLiteral("TonsPerAcreBreak%1").arg(k)), pattern);
}

// Values below 0 stand for "not measured".
QString optionalMeasure(const RecordSet& photo, QStringView field,
                        std::optional<QStringView> pattern) {
    const QVariant& value = photo.value(0, field);
    const std::optional<double> number = photo.number(0, field);
    if (number && *number < 0)
        return QStringLiteral("N/A");
    return pattern ? formatValue(value, *pattern) : textOfValue(value);
}

void requireRows(const PlateSource& source) {
    if (source.photo.isEmpty())
        throw DatabaseError(
            QStringLiteral("The photo %1 is not among the active photos.").arg(source.label),
            DatabaseError::Kind::Statement);
    if (source.book.isEmpty())
        throw DatabaseError(
            QStringLiteral("The book of photo %1 is not in the catalogue.").arg(source.label),
            DatabaseError::Kind::Statement);
}

} // namespace

PlateSource readPlateSource(const PhotoDatabase& database, const PlateEntry& entry) {
    return {database.lookUp(statements::onePhotoById(entry.photoId)),
            database.lookUp(statements::oneBook(entry.bookLabel)), entry.text};
}

int overThreeClassCase(const RecordSet& book) {
    const auto isZero = [&book](int k) {
        const std::optional<double> value = limit(book, k);
        return value && *value == 0;
    };
    if (isZero(4) && isZero(5) && isZero(6))
        return 0;
    if (isZero(5) && isZero(6))
        return 1;
    if (isZero(6))
        return 2;
    return 3;
}

DataPlateContent dataPlateContent(const PlateSource& source) {
    requireRows(source);
    const RecordSet& photo = source.photo;
    const RecordSet& book = source.book;

    DataPlateContent plate;
    plate.overThreeClassCase = overThreeClassCase(book);
    const int kase = plate.overThreeClassCase;
    auto& rows = plate.rows;

    rows.push_back({QStringLiteral("Average Duff Depth (in)"),
                    optionalMeasure(photo, u"AverageDuffDepth"_s, depthPattern)});
    rows.push_back({QStringLiteral("Average Fuelbed Depth (in)"),
                    optionalMeasure(photo, u"AverageFuelbedDepth"_s, depthPattern)});
    rows.push_back({QStringLiteral("Vegetation Type"), textOfValue(photo.value(0, u"VegType"_s))});
    rows.push_back({QStringLiteral("Activity Type"), textOfValue(photo.value(0, u"Activity"_s))});
    rows.push_back({QStringLiteral("Trees per acre"),
                    optionalMeasure(photo, u"TreesPerAcre"_s, std::nullopt)});
    rows.push_back({QStringLiteral("Canopy Closure (%)"),
                    optionalMeasure(photo, u"CanopyClosure"_s, std::nullopt)});
    rows.push_back({QStringLiteral("Herb Loading (t/ac)"),
                    optionalMeasure(photo, u"HerbTonsPerAcre"_s, std::nullopt)});
    rows.push_back({QStringLiteral("Shrub Loading (t/ac)"),
                    optionalMeasure(photo, u"WoodyTonsPerAcre"_s, std::nullopt)});
    rows.push_back({QStringLiteral("DDW Loading (t/ac)"), QString()});

    rows.push_back(
        {tab + u"0"_s + inch + u"-.25"_s + inch, classLoading(photo, 1, loadingPattern)});
    rows.push_back(
        {tab + u".26"_s + inch + u"-1"_s + inch, classLoading(photo, 2, loadingPattern)});
    rows.push_back(
        {tab + u"1.1"_s + inch + u"-3"_s + inch, classLoading(photo, 3, loadingPattern)});

    const std::optional<double> b4 = limit(book, 4);
    const std::optional<double> b5 = limit(book, 5);
    const std::optional<double> b6 = limit(book, 6);
    // Class 4 closes at B4 unless it is the only class above 3 inches.
    const QString firstClosed = tab + u"3.1"_s + inch + u"-"_s + strOf(b4) + inch + u"  "_s;
    QStringList overThree;
    switch (kase) {
    case 0:
        overThree << tab + u"3.1"_s + inch + u"+"_s;
        break;
    case 1:
        overThree << firstClosed << tab + nextLowerBound(b4) + inch + u" + "_s;
        break;
    case 2:
        overThree << firstClosed
                  << tab + nextLowerBound(b4) + inch + u"-"_s + strOf(b5) + inch + u"  "_s
                  << tab + nextLowerBound(b5) + inch + u" + "_s;
        break;
    default:
        // Here the second class starts with Str, not the plain conversion: a blank before it.
        overThree << firstClosed
                  << tab + (b4 ? strNumber(*b4 + 0.1) : QString()) + inch + u"-"_s + strOf(b5) +
                         inch
                  << tab + nextLowerBound(b5) + inch + u"-"_s + strOf(b6) + inch + u"  "_s
                  << tab + nextLowerBound(b6) + inch + u" + "_s;
        break;
    }
    for (qsizetype i = 0; i < overThree.size(); ++i)
        rows.push_back({overThree[i], classLoading(photo, int(i) + 4, loadingPattern)});

    const QVariant& total = photo.value(0, u"TotalFL"_s);
    const QVariant& zeroToThree = photo.value(0, u"Oto3FL"_s);
    const std::optional<double> totalNumber = photo.number(0, u"TotalFL"_s);
    const std::optional<double> zeroToThreeNumber = photo.number(0, u"Oto3FL"_s);
    const QString overThreeTotal =
        totalNumber && zeroToThreeNumber
            ? formatNumber(*totalNumber - *zeroToThreeNumber, loadingPattern)
            : QString();
    rows.push_back({tab + u"Total 0"_s + inch + u"-3"_s + inch + u" "_s,
                    formatValue(zeroToThree, loadingPattern)});
    rows.push_back(
        {tab + (kase == 0 ? u"Total 3"_s : u"Total 3.1"_s) + inch + u"+  "_s, overThreeTotal});
    rows.push_back({tab + u"Total "_s, formatValue(total, loadingPattern)});
    return plate;
}

void drawDataPlate(ReportDocument& document, int pane, const DataPlateContent& content,
                   PlateDocument use) {
    if (use == PlateDocument::Own)
        document.startDocument();
    ReportTable& table = document.startTable();
    table.setColumns(2);
    table.setColumnWidth(0, 3500);
    table.setColumnWidth(1, 1000);
    table.setColumnAlignment(1, TextAlign::Right);
    if (pane == 1 && use == PlateDocument::Callers)
        table.setIndent(secondPlateIndent);
    table.setRows(int(content.rows.size()));
    for (size_t r = 0; r < content.rows.size(); ++r) {
        table.setCellText(int(r), 0, content.rows[r].label);
        table.setCellText(int(r), 1, content.rows[r].value);
    }

    // The plate's grid and shading; the size-class heading and the grand total in bold too.
    table.setGrid(plateGridColour, 10);
    // Rows stay tight so a photo report still fits picture, chart and plate on one page.
    table.setCellPadding(80, 8);
    const int heading = 8;
    const int rowCount = int(content.rows.size());
    if (rowCount > heading) {
        table.setRowBold(heading, true);
        table.setRowFill(heading, plateHeadingFill);
    }
    for (int r = std::max(heading + 1, rowCount - 3); r < rowCount; ++r)
        table.setRowFill(r, plateTotalsFill);
    if (rowCount > heading + 1)
        table.setRowBold(rowCount - 1, true);

    document.endTable();
    if (use == PlateDocument::Own)
        document.endDocument();
}

void prepareScreenPlate(ReportDocument& document, double pageWidth, double pageHeight) {
    document.setPaperSize(PaperSize::UserDefined);
    document.setPageSize(pageWidth, pageHeight);
    document.setMargins(100, 100, 100, 100);
}

LoadingChartContent loadingChartContent(const PlateSource& source, int kase) {
    requireRows(source);
    const RecordSet& photo = source.photo;
    const RecordSet& book = source.book;
    const std::optional<double> b4 = limit(book, 4);
    const std::optional<double> b5 = limit(book, 5);
    const std::optional<double> b6 = limit(book, 6);
    const QString unit = QStringLiteral(" t/ac  ");

    LoadingChartContent chart;
    chart.header << QStringLiteral("DDW Total Tons per Acre(t/ac) by Size Class ") << source.label;

    // Each label: the class range, blanks that line the loadings up in a legend, the loading and
    // its unit.
    struct Label {
        QString range;
        int blanks;
        QString unit;
    };
    std::vector<Label> labels{{u"0"_s + inch + u" - .25"_s + inch, 5, u" t/ac"_s},
                              {u".26"_s + inch + u" - 1"_s + inch, 4, unit},
                              {u"1.1"_s + inch + u" - 3"_s + inch, 5, unit}};
    const QString class4Closed = u"3.1"_s + inch + u" - "_s + plainOf(b4) + inch;
    switch (kase) {
    case 0:
        labels.push_back({u"3.1"_s + inch + u"+"_s, 12, unit});
        break;
    case 1:
        labels.push_back({class4Closed, 7, unit});
        labels.push_back({nextLowerBound(b4) + inch + u"+"_s, 6, unit});
        break;
    case 2:
        labels.push_back({class4Closed, 5, unit});
        labels.push_back({nextLowerBound(b4) + inch + u" - "_s + plainOf(b5) + inch, 4, unit});
        labels.push_back({nextLowerBound(b5) + inch + u"+"_s, 10, unit});
        break;
    default:
        labels.push_back({class4Closed, 7, unit});
        labels.push_back({nextLowerBound(b4) + inch + u" - "_s + plainOf(b5) + inch, 7, unit});
        labels.push_back({nextLowerBound(b5) + inch + u" - "_s + plainOf(b6) + inch, 3, unit});
        labels.push_back({nextLowerBound(b6) + inch + u"+"_s, 12, unit});
        break;
    }
    for (size_t i = 0; i < labels.size(); ++i) {
        const int sizeClass = int(i) + 1;
        ChartBar bar;
        bar.sizeClass = sizeClass;
        bar.range = labels[i].range;
        bar.value = photo.number(0, QStringLiteral("TonsPerAcreBreak%1").arg(sizeClass));
        bar.label = labels[i].range + QString(labels[i].blanks, u' ') +
                    classLoading(photo, sizeClass, chartPattern) + labels[i].unit;
        chart.bars.push_back(std::move(bar));
    }
    return chart;
}

} // namespace tarnwick
