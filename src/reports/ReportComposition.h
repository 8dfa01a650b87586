#pragma once

#include "display/DataPlate.h"
#include "document/ReportDocument.h"

#include <QSizeF>
#include <QString>

#include <functional>
#include <optional>

namespace tarnwick {

struct FuelProfile;

// What every report is laid out on: portrait Letter with margins of 1000 twips at the sides and
// an inch at top and bottom, Tahoma 10 pt throughout.
inline constexpr double reportMarginSide = 1000;
inline constexpr double reportMarginTopBottom = 1440;
inline constexpr double reportFontPoints = 10;

// The rule under every page's title: exactly this many underscores.
inline constexpr int headingRuleLength = 90;

inline const QString noImageText = QStringLiteral("No image available");

// The footer's left part on every page: the suite's notice line.
QString reportNoticeLine();

// Discards what the document held, applies the report page set-up and opens a new document with
// the current position at the top of the body.
void startReport(ReportDocument& document);

// The heading (the title, then the rule) and the footer (notice line, nothing in the centre,
// " Page: " and the page number at the right) of every page.
void setReportHeadings(ReportDocument& document, const QString& title);

// Draws a photo's loading chart for a box of the given size (twips). The chart component lives
// with the windows; reports only place what it draws.
using ReportChartRenderer =
    std::function<ReportChart(const LoadingChartContent& content, const QSizeF& boxTwips)>;

// A photo as a report shows it: label, picture file, and the plate and chart of its rows.
struct ReportPhoto {
    QString label; // BookLabel/PhotoLabel, as the slot's caption shows it
    // The picture to draw; a path that is no readable picture prints the missing-picture form.
    QString picturePath;
    DataPlateContent plate;
    LoadingChartContent chart;
    // After a search by site values: the site's values and the photo's Match, one line beside
    // the picture; empty otherwise.
    QString siteMatch;
    QString matchPercent; // the Match alone, for the comparison's narrower columns
};

// The photo and its rows as a report shows them. Throws DatabaseError when the rows are not
// complete (photo no longer active, book missing).
ReportPhoto reportPhotoOf(const PlateSource& source, const QString& picturePath);

// A picture file decoded for a box (twips) at print resolution; null when the path names no
// readable picture.
QImage reportPicture(const QString& path, const QSizeF& boxTwips);

// The photo report: the picture in a 5 by 2.7 inch box, the chart below it, then the plate.
void composePhotoReport(ReportDocument& document, const ReportPhoto& photo,
                        const ReportChartRenderer& chart);

// The comparison report: the two labels, the two pictures side by side, the two charts, and the
// two plates side by side, slot 0's on the left.
void composeComparisonReport(ReportDocument& document, const ReportPhoto& left,
                             const ReportPhoto& right, const ReportChartRenderer& chart);

// The fuel profile report: the profile's values and notes, then a picture of each distinct
// source photo in a two by two grid. pictureOf gives the picture file of a source photo's label.
void composeFuelProfileReport(ReportDocument& document, const FuelProfile& profile,
                              const std::function<QString(const QString& label)>& pictureOf);

// The paragraphs of the fuel profile report, in order, with their tabs.
QStringList fuelProfileParagraphs(const FuelProfile& profile);
// The source photos of a profile in the order their pictures are placed: 0 to 3 inch, over
// 3 inch, duff, fuel bed, each once, empty ones left out.
QStringList fuelProfileSourcePhotos(const FuelProfile& profile);

} // namespace tarnwick
