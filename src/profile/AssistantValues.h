#pragma once

#include "profile/FuelProfile.h"

#include <QRgb>
#include <QString>

#include <array>
#include <optional>

namespace tarnwick {

class RecordSet;

// The rows of the comparison tab that set numbers against each other, top to bottom.
enum class ComparedRow { ZeroToThree, ThreePlus, Total, Duff, FuelBed, Herb, Woody };
inline constexpr int comparedRowCount = 7;

// The texts of one column in those rows.
struct RowTexts {
    QString zeroToThree;
    QString threePlus;
    QString total;
    QString duff;
    QString fuelBed;
    QString herb;
    QString woody;

    const QString& operator[](ComparedRow row) const;
};

// One photo's column of the comparison tab, as shown: loadings and depths to one decimal,
// "no data" below 0, empty for a Null value or when the slot holds no photo.
struct PhotoColumn : RowTexts {
    QString photo; // BookLabel/PhotoLabel
    QString vegType;
    QString activity;
};

inline const QString noDataText = QStringLiteral("no data");

PhotoColumn photoColumn(const RecordSet& photo);

inline constexpr QRgb largerColour = qRgb(255, 0, 0);
inline constexpr QRgb smallerColour = qRgb(0, 0, 255);

struct Difference {
    QString text;                // "##0.0", never negative; "N/A" when a photo has no data
    std::array<QRgb, 2> colours; // of the two photos' values: larger red, smaller blue
};

struct ComparisonTab {
    std::array<PhotoColumn, 2> photos;
    std::array<Difference, comparedRowCount> differences;

    const Difference& difference(ComparedRow row) const { return differences[size_t(row)]; }
};

// Both photos set against each other. An empty column counts as 0, so with one photo the
// differences are that photo's values. On a tie photo 0 is blue and photo 1 red.
ComparisonTab comparisonTab(const RecordSet& slot0, const RecordSet& slot1);

// The comparison tab's rows below the photo labels, top to bottom: caption, the name of its
// value labels (one per photo, and the difference where the row compares numbers).
struct ComparisonTabRow {
    const char16_t* caption;
    const char16_t* name;
    std::optional<ComparedRow> compared; // none: text shown side by side
};
const std::array<ComparisonTabRow, 9>& comparisonTabRows();
QString comparisonRowText(const PhotoColumn& column, const ComparisonTabRow& row);

// The builder tab's rows, top to bottom.
struct BuilderTabRow {
    const char16_t* caption;
    const char16_t* key; // of its labels and buttons: lblCur<key>, cmdSelect<key> ...
    ComparedRow value;   // the current photo's value shown in the row
    std::optional<ProfileComponent> component; // none: the total, with no commands of its own
};
const std::array<BuilderTabRow, 7>& builderTabRows();
const QString& profileSource(const FuelProfile& profile, ProfileComponent component);

// The builder's current-photo column: the photo of the current slot, or slot 0's when the
// current slot shows none.
PhotoColumn currentPhotoColumn(const ComparisonTab& tab, int currentSlot);

// The builder's profile column as shown: 0 to 3 inches "###0.0" of the three raw class
// loadings, over 3 inches "##0.0", the total the two rounded displays added, in the general form.
using ProfileColumn = RowTexts;

ProfileColumn profileColumn(const FuelProfile& profile);

// The assistant window's caption for the profile's file ("Untitled" or a path).
QString assistantTitle(const QString& profileFileName);

// Takes the current photo's value of a component into the profile, with the current photo's
// label as its source: duff and fuel bed as displayed ("1.0" stays "1.0"), herb and shrub as
// the displayed number written out ("1.0" becomes "1"), "N/A" for "no data"; 0 to 3 inches as
// the photo's three raw class loadings; over 3 inches as its one-decimal display.
void takeProfileValue(FuelProfile& profile, ProfileComponent component, const PhotoColumn& current,
                      const RecordSet& currentPhoto);

} // namespace tarnwick
