#include "query/SiteMatch.h"

#include "catalogue/RecordSet.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QVariant>

using namespace tarnwick;
using namespace Qt::StringLiterals;

namespace {

// One photo: its three fine classes, its duff depth and herb loading; the other classes and
// measurements hold 1. An invalid QVariant stands for Null.
struct Photo {
    QVariant fine1, fine2, fine3, duff, herb;
};

RecordSet catalogue(const std::vector<Photo>& photos) {
    QStringList fields{u"ID"_s};
    for (int k = 1; k <= 7; ++k)
        fields << u"TonsPerAcreBreak%1"_s.arg(k);
    fields << u"AverageDuffDepth"_s << u"AverageFuelbedDepth"_s << u"HerbTonsPerAcre"_s
           << u"WoodyTonsPerAcre"_s;
    RecordSet set(u"SELECT * FROM qryactive;"_s, fields);
    int id = 1;
    for (const Photo& p : photos) {
        set.appendInteger(id++);
        for (const QVariant& v :
             {p.fine1, p.fine2, p.fine3, QVariant(1.0), QVariant(1.0), QVariant(1.0), QVariant(1.0),
              p.duff, QVariant(1.0), p.herb, QVariant(1.0)})
            v.isValid() ? set.appendValue(v) : set.appendNull();
    }
    set.finish();
    return set;
}

std::vector<int> ranked(const std::vector<SiteMatch>& matches) {
    std::vector<int> rows(matches.size());
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = int(i);
    rankNearestFirst(rows, matches);
    return rows;
}

// The closeness written out again here, apart from the code: per quantity |x-s|/(x+s+c), c 0.1
// for woody loadings and depths, 0.01 for herb; a missing value counts 1; the mean of them.
double near(double x, double s, double c) {
    return std::abs(x - s) / (x + s + c);
}

} // namespace

// Site: 0-3" 10 t/ac and duff 2 in. An exact photo leads; photos lacking an entered value (Null
// duff, a Null size class, duff "not available") come after every photo that has them all, even
// one with a zero loading; ties keep the order the rows came in.
TEST(SiteMatch, RanksNearestFirstWithMissingValuesLastAndTiesInListOrder) {
    const QVariant null;
    const RecordSet set = catalogue({
        {5.0, 3.0, 2.0, 2.0, 1.0},  // 0: exact
        {6.0, 4.0, 2.0, 2.5, 1.0},  // 1: 12 t/ac, 2.5 in
        {0.0, 0.0, 0.0, 2.0, 1.0},  // 2: no fine wood at all
        {5.0, 3.0, 2.0, null, 1.0}, // 3: duff not measured
        {6.0, 4.0, 2.0, 2.5, 1.0},  // 4: the same as 1
        {8.0, 2.0, 0.0, 1.5, 1.0},  // 5: 10 t/ac, 1.5 in
        {5.0, null, 2.0, 2.0, 1.0}, // 6: a size class not measured
        {1.0, 1.0, 0.0, -1.0, 1.0}, // 7: 2 t/ac, duff not available
    });
    SiteValues site;
    site[size_t(SiteQuantity::Fine)] = 10.0;
    site[size_t(SiteQuantity::Duff)] = 2.0;
    const std::vector<SiteMatch> matches = siteMatches(set, site);

    const std::vector<double> expected{
        0.0,
        (near(12, 10, 0.1) + near(2.5, 2, 0.1)) / 2,
        (near(0, 10, 0.1) + 0) / 2,
        (0 + 1.0) / 2,
        (near(12, 10, 0.1) + near(2.5, 2, 0.1)) / 2,
        (0 + near(1.5, 2, 0.1)) / 2,
        (1.0 + 0) / 2,
        (near(2, 10, 0.1) + 1.0) / 2,
    };
    const std::vector<int> missing{0, 0, 0, 1, 0, 0, 1, 1};
    ASSERT_EQ(matches.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(matches[i].distance, expected[i], 1e-12) << "photo " << i;
        EXPECT_EQ(matches[i].missing, missing[i]) << "photo " << i;
        EXPECT_EQ(matches[i].percent(), i == 0 ? 100 : int(std::lround(100 * (1 - expected[i]))))
            << "photo " << i;
    }
    EXPECT_EQ(ranked(matches), (std::vector<int>{0, 5, 1, 4, 2, 3, 6, 7}));
}

// Scale-free: 10 against 12 t/ac reads as near as 1.0 against 1.2. At zero the measure still
// orders: a site without herb is matched by a photo without herb, then by a trace, and a heavy
// herb layer is as far as can be. Only an exact photo reads 100 %.
TEST(SiteMatch, IsScaleFreeAndOrdersAroundZero) {
    const QVariant null;
    const RecordSet woody = catalogue({{10.0, 0.0, 0.0, null, null}, {1.0, 0.0, 0.0, null, null}});
    SiteValues twelve;
    twelve[size_t(SiteQuantity::Fine)] = 12.0;
    SiteValues onePointTwo;
    onePointTwo[size_t(SiteQuantity::Fine)] = 1.2;
    EXPECT_EQ(siteMatches(woody, twelve)[0].percent(), 91);
    EXPECT_EQ(siteMatches(woody, onePointTwo)[1].percent(), 91);

    const RecordSet herbs = catalogue({
        {1.0, 1.0, 1.0, 1.0, 5.0},
        {1.0, 1.0, 1.0, 1.0, 0.005},
        {1.0, 1.0, 1.0, 1.0, 0.0},
        {1.0, 1.0, 1.0, 1.0, 0.0004},
    });
    SiteValues noHerb;
    noHerb[size_t(SiteQuantity::Herb)] = 0.0;
    const std::vector<SiteMatch> matches = siteMatches(herbs, noHerb);
    EXPECT_EQ(ranked(matches), (std::vector<int>{2, 3, 1, 0}));
    EXPECT_EQ(matches[2].percent(), 100);
    EXPECT_EQ(matches[3].percent(), int(std::lround(100 * (1 - near(0.0004, 0, 0.01)))));
    EXPECT_EQ(matches[1].percent(), 67);
    EXPECT_EQ(matches[0].percent(), 0);
}
