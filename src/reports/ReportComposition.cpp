#include "reports/ReportComposition.h"

#include "display/ImageDecoding.h"
#include "document/ReportFonts.h"
#include "profile/FuelProfile.h"
#include "text/NumberFormat.h"
#include "Version.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace tarnwick {

namespace {

const QString tab = QStringLiteral("\t");
const QString inch = QStringLiteral("\"");

// Pictures are kept at no more than this resolution of their box: sharp on paper, and small
// enough that a report of four photos is written in a moment.
constexpr double pictureDotsPerInch = 300;

// The chart is resized to its box and drawn there; the box sizes are the reports' own.
struct Box {
    Measure width;
    Measure height;
    QSizeF size() const { return QSizeF(width.twips(), height.twips()); }
};

void drawChart(ReportDocument& document, const ReportChartRenderer& chart,
               const LoadingChartContent& content, XPosition x, double y, const Box& box) {
    if (!chart)
        return;
    const ReportChart drawn = chart(content, box.size());
    document.drawDrawing(drawn.picture, drawn.size, x, y, box.width, box.height);
}

// Draws a picture file into a box keeping its proportions; the area it covers, or none when the
// file holds no picture.
std::optional<QRectF> drawPictureFile(ReportDocument& document, const QString& path, XPosition x,
                                      double y, const Box& box) {
    const QImage image = reportPicture(path, box.size());
    if (image.isNull())
        return std::nullopt;
    return document.drawPicture(image, x, y, box.width, box.height, PictureFit::KeepAspect);
}

void printAt(ReportDocument& document, XPosition x, double y, const QString& text) {
    document.setCurrentX(x);
    document.setCurrentY(y);
    document.printParagraph(text);
}

} // namespace

QString reportNoticeLine() {
    return QString::fromUtf8(version::noticeLine);
}

void startReport(ReportDocument& document) {
    document.clear();
    document.setPaperSize(PaperSize::Letter);
    document.setMargins(reportMarginSide, reportMarginTopBottom, reportMarginSide,
                        reportMarginTopBottom);
    ReportFont font;
    font.family = reportFontFamily;
    font.pointSize = reportFontPoints;
    document.setFont(font);
    document.setHeadingFont(font);
    document.setTextAlignment(TextAlign::Left);
    document.setTabStops({});
    document.setDefaultTabInterval(720);
    document.setHeading(QString());
    document.setFooter(QString());
    document.startDocument();
}

void setReportHeadings(ReportDocument& document, const QString& title) {
    document.setHeading(title + u'\r' + QString(headingRuleLength, u'_'));
    document.setFooter(reportNoticeLine() + u"|| Page: %d"_s);
}

ReportPhoto reportPhotoOf(const PlateSource& source, const QString& picturePath) {
    ReportPhoto photo;
    photo.label = source.label;
    photo.picturePath = picturePath;
    photo.plate = dataPlateContent(source);
    photo.chart = loadingChartContent(source, photo.plate.overThreeClassCase);
    return photo;
}

QImage reportPicture(const QString& path, const QSizeF& boxTwips) {
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QImage();
    const QSize most = (boxTwips * (pictureDotsPerInch / twipsPerInch)).toSize();
    return decodeImage(path, most.expandedTo(QSize(1, 1))).image;
}

void composePhotoReport(ReportDocument& document, const ReportPhoto& photo,
                        const ReportChartRenderer& chart) {
    startReport(document);
    setReportHeadings(document, u"Tarnwick - "_s + photo.label);

    const Box box{"5in", "2.7in"};
    if (!photo.siteMatch.isEmpty()) {
        // Right of the picture box, where nothing else is drawn.
        const XPosition left = pagePosition(document.currentX());
        const double top = document.currentY();
        printAt(document, fromMargin(box.width.twips() + 200), top, photo.siteMatch);
        document.setCurrentX(left);
        document.setCurrentY(top);
    }
    if (const std::optional<QRectF> drawn =
            drawPictureFile(document, photo.picturePath, pagePosition(document.currentX()),
                            document.currentY(), box)) {
        document.setCurrentY(drawn->bottom() + 200);
    } else {
        document.setCurrentY(2000);
        document.printParagraph(noImageText);
        document.setCurrentY(2500);
    }

    const double chartTop = document.currentY();
    drawChart(document, chart, photo.chart, pagePosition(document.currentX()), chartTop, box);
    document.setCurrentY(chartTop + box.height.twips() + 200);

    drawDataPlate(document, 1, photo.plate, PlateDocument::PhotoReport);
    document.endDocument();
}

void composeComparisonReport(ReportDocument& document, const ReportPhoto& left,
                             const ReportPhoto& right, const ReportChartRenderer& chart) {
    startReport(document);
    setReportHeadings(document, u"Tarnwick - Comparison of Photos"_s);

    // The fifth stop is where the right-hand picture starts, so the second label stands over it
    // whenever the first is shorter than 2 in.
    document.setTabStops({2880, 3420, 3960, 4500, 5040});
    document.printParagraph(left.label + tab.repeated(5) + right.label);
    document.setTabStops({});
    document.printParagraph(u" "_s);

    const Box pictureBox{"3.2in", "2.16in"};
    const double pictureTop = 1910;
    if (!drawPictureFile(document, left.picturePath, pagePosition(document.currentX()), pictureTop,
                         pictureBox)) {
        document.drawRectangle(fromMargin(0), pictureTop, fromMargin(4608), 4996.8);
        printAt(document, fromMargin(1440), 3350, noImageText);
    }
    if (const std::optional<QRectF> drawn =
            drawPictureFile(document, right.picturePath, pagePosition(document.currentX() + 5040),
                            pictureTop, pictureBox)) {
        document.setCurrentY(drawn->bottom() + 200);
    } else {
        document.drawRectangle(pagePosition("4.2in"), pictureTop, pagePosition("7.4in"), 4996.8);
        printAt(document, fromMargin(6192), 3350, noImageText);
    }

    const Box chartBox{4608, "2in"};
    drawChart(document, chart, left.chart, fromMargin(0), 5300, chartBox);
    drawChart(document, chart, right.chart, fromMargin(5040), 5300, chartBox);
    // Between chart and plate, after a search by site values.
    if (!left.matchPercent.isEmpty())
        printAt(document, fromMargin(0), 8200, u"Match "_s + left.matchPercent);
    if (!right.matchPercent.isEmpty())
        printAt(document, fromMargin(5040), 8200, u"Match "_s + right.matchPercent);

    // Side by side, each plate 4500 twips wide: the right-hand one starts where the right-hand
    // picture and chart do.
    const double plateTop = 8500;
    document.setCurrentX(fromMargin(0));
    document.setCurrentY(plateTop);
    drawDataPlate(document, 0, left.plate, PlateDocument::Callers);
    document.setCurrentX(fromMargin(5040));
    document.setCurrentY(plateTop);
    drawDataPlate(document, 1, right.plate, PlateDocument::Callers);
    document.endDocument();
}

QStringList fuelProfileParagraphs(const FuelProfile& p) {
    const QString source = u"Source Photo: "_s;
    const double zeroToThree = p.break1 + p.break2 + p.break3;
    return {
        u"Loading(t/ac): "_s,
        tab + u"DDW .0"_s + inch + u"3"_s + inch + u":"_s + tab + plainNumber(zeroToThree) + tab +
            source + tab + p.source0to3,
        tab + u"DDW 3.1"_s + inch + u" plus:"_s + tab + plainNumber(p.value3Plus) + tab + source +
            tab + p.source3Plus,
        tab + u"DDW Total:"_s + tab + plainNumber(zeroToThree + p.value3Plus),
        tab + u"Herb:"_s + tab + tab + p.herbValue,
        tab + u"Shrub:"_s + tab + tab + p.woodyValue,
        u"\rDepths:"_s,
        tab + u"Duff Depth:"_s + tab + p.duffValue + tab + source + tab + p.duffSource,
        tab + u"Fuel Bed Depth:"_s + tab + p.fuelBedValue + tab + source + tab + p.fuelBedSource,
        u"Notes: \r"_s + p.notes,
    };
}

QStringList fuelProfileSourcePhotos(const FuelProfile& p) {
    QStringList photos;
    for (const QString& source : {p.source0to3, p.source3Plus, p.duffSource, p.fuelBedSource})
        if (!source.isEmpty() && !photos.contains(source))
            photos << source;
    return photos;
}

void composeFuelProfileReport(ReportDocument& document, const FuelProfile& profile,
                              const std::function<QString(const QString& label)>& pictureOf) {
    startReport(document);
    setReportHeadings(document, u"Tarnwick - Fuel Profile: "_s + profile.name);

    // Labels after the first stop; the short ones (Herb, Shrub) take a second tab to reach the
    // values, which the longer ones reach with one; then the source photo.
    document.setTabStops({720, 1440, 2520, 3600, 5220});
    for (const QString& paragraph : fuelProfileParagraphs(profile))
        document.printParagraph(paragraph);
    document.setTabStops({});

    struct Place {
        XPosition caption;
        double captionY;
        XPosition picture;
        double pictureTop;
        XPosition frameLeft;
        XPosition frameRight;
        double frameBottom;
        XPosition textX;
        double textY;
    };
    const std::array<Place, 4> places{{
        {fromMargin(1440), 4500, fromMargin(0), 5000, fromMargin(0), fromMargin(4608), 7880,
         fromMargin(1440), 6440},
        {fromMargin(6336), 4500, fromMargin(5040), 5000, pagePosition("4.2in"),
         pagePosition("7.4in"), 8110.4, fromMargin(6192), 6440},
        {fromMargin(1440), 8500, fromMargin(0), 9000, fromMargin(0), fromMargin(4608), 11880,
         fromMargin(1440), 10440},
        {fromMargin(6336), 8500, fromMargin(5040), 9000, pagePosition("4.2in"),
         pagePosition("7.4in"), 12110.4, fromMargin(6192), 10440},
    }};

    // Long notes would run under the pictures: the pictures then go on a page of their own,
    // starting at its top.
    double shift = 0;
    const QStringList sources = fuelProfileSourcePhotos(profile);
    if (!sources.isEmpty() && document.currentY() > places[0].captionY) {
        document.newPage();
        shift = document.marginTop() - places[0].captionY;
    }

    const Box box{"3.2in", "2.16in"};
    for (qsizetype i = 0; i < std::min<qsizetype>(sources.size(), qsizetype(places.size())); ++i) {
        const Place& place = places[size_t(i)];
        printAt(document, place.caption, place.captionY + shift, sources[i]);
        const QString path = pictureOf ? pictureOf(sources[i]) : QString();
        if (!drawPictureFile(document, path, place.picture, place.pictureTop + shift, box)) {
            document.drawRectangle(place.frameLeft, place.pictureTop + shift, place.frameRight,
                                   place.frameBottom + shift);
            printAt(document, place.textX, place.textY + shift, u" "_s + noImageText);
        }
    }
    document.endDocument();
}

} // namespace tarnwick
