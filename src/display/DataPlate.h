#pragma once

#include "catalogue/RecordSet.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tarnwick {

class PhotoDatabase;
class ReportDocument;

// What the plate and chart of a photo need from its results-list entry: the key's photo ID, the
// "Dir" column (the book label) and the entry's text (the photo's display label).
struct PlateEntry {
    qint64 photoId = 0;
    QString bookLabel;
    QString text;
};

// The two rows a plate and a chart are drawn from. They are read afresh for every drawing, so a
// plate always shows what the catalogue holds now.
struct PlateSource {
    RecordSet photo; // the photo by ID among the active photos; empty when it is not active
    RecordSet book;  // the book by label; empty when there is none
    QString label;   // the photo's display label

    bool isComplete() const { return !photo.isEmpty() && !book.isEmpty(); }
};

PlateSource readPlateSource(const PhotoDatabase& database, const PlateEntry& entry);

// How many size classes the book has above 3 inches, less one (0..3), from its limits 4 to 6.
// A Null limit makes every test that reads it false.
int overThreeClassCase(const RecordSet& book);

struct PlateRow {
    QString label;
    QString value;
};

// The plate's rows exactly as shown: labels with their tabs, inch marks and blanks, values
// formatted, "N/A" for not-available values, empty cells for Null.
struct DataPlateContent {
    int overThreeClassCase = 0;
    std::vector<PlateRow> rows; // 16 to 19
};

// Throws DatabaseError when the photo or its book is missing: there is no plate to show then.
DataPlateContent dataPlateContent(const PlateSource& source);

// How a plate goes into a document: into one its caller has open (a comparison report, where a
// plate for pane 1 is indented to sit beside pane 0's), into a document of its own (the screen
// plates), or into a photo report (caller's document, never indented).
enum class PlateDocument { Callers = 0, Own = 1, PhotoReport = 2 };

// Where pane 1's plate starts in a document shared with pane 0's: 3.5 in from the left margin,
// under the right-hand picture and chart. A plate is 4500 twips wide, so any less and the two
// would overlap, the shaded rows of the right one painting over the left one's values.
inline constexpr double secondPlateIndent = 5040;

// The plate's colours: a light grid, the size-class heading row set off, and the three totals
// rows shaded, so the eye finds the loading breakdown at once.
inline const QColor plateGridColour = QColor(0xb4, 0xb9, 0xbf);
inline const QColor plateHeadingFill = QColor(0xe3, 0xea, 0xde);
inline const QColor plateTotalsFill = QColor(0xf3, 0xf4, 0xf1);
// The paper a plate lies on, on screen as in print.
inline const QColor plateBackground = QColor(Qt::white);

// Draws the plate as a two-column table (label, right-aligned value) at the document's current
// position.
void drawDataPlate(ReportDocument& document, int pane, const DataPlateContent& content,
                   PlateDocument use);

// Sets up a screen plate's document: a page of the given size (twips) with margins of 100.
void prepareScreenPlate(ReportDocument& document, double pageWidth, double pageHeight);

// The size-class loading chart: a two-line header and one bar per size class the book has.
struct ChartBar {
    int sizeClass = 1;           // 1..7
    QString label;               // as shown: range, blanks, loading "####0.00", unit
    QString range;               // the label's leading class range, e.g. 3.1" - 6"
    std::optional<double> value; // the class loading; none when Null
};

struct LoadingChartContent {
    QStringList header; // two lines
    std::vector<ChartBar> bars;
};

// overThreeClassCase is the one the last plate set: the chart follows the plate drawn before it.
// Throws DatabaseError when the photo or its book is missing.
LoadingChartContent loadingChartContent(const PlateSource& source, int overThreeClassCase);

} // namespace tarnwick
