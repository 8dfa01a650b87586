#pragma once

#include <QString>

namespace tarnwick {

// The six fuel components of a profile, numbered as the builder's Select commands name them.
enum class ProfileComponent {
    Duff = 0,
    FuelBed = 1,
    ZeroToThree = 2,
    ThreePlus = 3,
    Herb = 4,
    Woody = 5
};
inline constexpr int profileComponentCount = 6;

// The fuel profile under construction: for each component the value taken from the photo that
// fits the site best, and that photo's label (BookLabel/PhotoLabel) as its source; an empty
// source means the component was never taken. Duff, fuel bed, herb and shrub keep text so a
// photo without data gives "N/A"; 0 to 3 inches keeps the three raw class loadings.
struct FuelProfile {
    QString name = QStringLiteral("Untitled");
    QString notes;
    double break1 = 0;
    double break2 = 0;
    double break3 = 0;
    QString source0to3;
    double value3Plus = 0;
    QString source3Plus;
    QString duffValue = QStringLiteral("0");
    QString duffSource;
    QString fuelBedValue = QStringLiteral("0");
    QString fuelBedSource;
    QString herbValue = QStringLiteral("0");
    QString herbSource;
    QString woodyValue = QStringLiteral("0");
    QString woodySource;

    bool operator==(const FuelProfile&) const = default;
};

} // namespace tarnwick
