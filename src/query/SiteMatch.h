#pragma once

#include "resultslist/ResultsListModel.h"

#include <array>
#include <optional>
#include <QLocale>
#include <QStringList>
#include <vector>

namespace tarnwick {

class RecordSet;

// The six quantities a planner may have measured on a site, in the order the fuel profile and the
// site search page list them.
enum class SiteQuantity { Fine, Coarse, Duff, FuelBed, Herb, Shrub };
inline constexpr int siteQuantityCount = 6;

// A site's measured values; an empty entry was not measured and takes no part.
using SiteValues = std::array<std::optional<double>, siteQuantityCount>;

bool anySiteValue(const SiteValues& site);

// A site value as a person types it: written the locale's way or with a period, blanks around it
// ignored. nullopt for text that is not a number of 0 or more (an empty text included).
std::optional<double> readSiteValue(const QString& text, const QLocale& locale);
inline const QString siteValuesMustBeNumbers =
    QStringLiteral("Site values must be numbers of 0 or more, such as 2.5");

// What the site search page calls each quantity, with its unit.
QString siteQuantityLabel(SiteQuantity quantity);

// The site's values in one line for a report: "Site: DDW 0"-3" (t/ac) 5, Duff depth (in) 1.5".
QString siteValuesLine(const SiteValues& site);

// The page's six texts, in quantity order, as site values: an empty text is a value not
// measured. The message names the first field whose text is no number.
struct SiteValuesRead {
    SiteValues site;
    QString problem; // empty when every text was read
};
SiteValuesRead readSiteValues(const std::array<QString, siteQuantityCount>& texts,
                              const QLocale& locale);

// How far a photo's value x lies from a site's value s, from 0 (equal) towards 1:
// |x - s| / (|x| + |s| + c). Dividing by the size of the values makes it scale-free (10 against
// 12 t/ac is as near as 1.0 against 1.2); the small constant c of each quantity keeps it defined
// at zero and makes differences far below what is measured count as near, so 0 against 0.005
// t/ac of herb is close rather than as far as 0 against 5.
double siteDistance(SiteQuantity quantity, double photo, double site);
double siteDistanceConstant(SiteQuantity quantity);

// A photo's closeness to the site over the entered quantities.
struct SiteMatch {
    int missing = 0;     // entered quantities the photo has no value for (Null or below 0)
    double distance = 0; // mean over the entered quantities; a missing one counts 1
    // 0 to 100; 100 only for a photo equal to the site in every entered quantity.
    int percent() const;
};

// One match per record of the set. The set needs the seven size classes, the two depths and
// the herb and shrub loadings; throws DatabaseError when one is lacking.
std::vector<SiteMatch> siteMatches(const RecordSet& set, const SiteValues& site);

// Orders rows (indexes into matchOfRow) nearest first: photos lacking fewer entered values before
// those lacking more, then by distance. Stable, so ties keep the order the rows came in.
void rankNearestFirst(std::vector<int>& rows, const std::vector<SiteMatch>& matchOfRow);

// A search by site values: the values, and the vegetation types it is narrowed to (code-list
// rows; none: every type).
struct SiteSearch {
    SiteValues site;
    QStringList vegTypes;
};

// The statement of the photos a site search ranks: the active photos, of the chosen vegetation
// types only when some are chosen.
QString siteSearchStatement(const QStringList& vegTypes);

// The list's fill for a ranking: the set's rows nearest first, ties in the order the list takes
// after start-up (by Book/Photo ID), each with its Match.
ResultsListModel::PreparedFill prepareSiteRanking(const RecordSet& set, const SiteValues& site);

} // namespace tarnwick
