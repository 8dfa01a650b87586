#pragma once

#include "DemoInstallation.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <span>

// What every part of the demo generator shares: the fixed books, vegetation types and codes, the
// deterministic randomness, and the photo record.
namespace tarnwick::demo {

// ---------------------------------------------------------------------------------------------
// Fixed content
// ---------------------------------------------------------------------------------------------

enum class Cover { Pine, Fir, Spruce, Hardwood, Juniper, Shrubland, Grassland };

struct VegType {
    QStringView code;
    QStringView description; // as written to VegCodes.txt
    QStringView site;        // the GroupLabel photos of this type are filed under
    Cover cover;
    bool listed; // false: used in the catalogue but missing from VegCodes.txt
};

// Site names deliberately mix letter case: grouping and sorting must not depend on it.
inline constexpr std::array vegTypes{
    VegType{u"PP", u"Ponderosa pine", u"Ponderosa pine", Cover::Pine, true},
    VegType{u"DF", u"Douglas-fir", u"Douglas-fir", Cover::Fir, true},
    VegType{u"LP", u"Lodgepole pine, mature", u"lodgepole pine", Cover::Fir, true},
    VegType{u"GF", u"Grand fir, white fir", u"Grand fir - white fir", Cover::Fir, true},
    VegType{u"MC", u"Mixed conifer", u"Mixed conifer", Cover::Fir, true},
    VegType{u"WJ", u"Western juniper", u"western juniper", Cover::Juniper, true},
    VegType{u"PJ", u"Pi\u00F1on-juniper woodland", u"Pinyon-juniper", Cover::Juniper, true},
    VegType{u"SB", u"Sagebrush, big and low", u"Sagebrush steppe", Cover::Shrubland, true},
    VegType{u"GR", u"Grassland, perennial", u"grassland", Cover::Grassland, true},
    VegType{u"SF", u"Subalpine fir, Engelmann spruce", u"Subalpine fir", Cover::Fir, true},
    VegType{u"AS", u"Quaking aspen", u"Aspen", Cover::Hardwood, true},
    VegType{u"NH", u"Northern hardwoods", u"Northern hardwoods", Cover::Hardwood, true},
    VegType{u"OH", u"Oak-hickory", u"oak-hickory", Cover::Hardwood, true},
    VegType{u"RP", u"Red pine", u"Red pine", Cover::Pine, true},
    VegType{u"WP", u"Eastern white pine", u"White pine", Cover::Pine, true},
    VegType{u"BS", u"Black spruce", u"Black spruce", Cover::Spruce, true},
    VegType{u"WS", u"White spruce", u"white spruce", Cover::Spruce, false},
    VegType{u"WH", u"Western hemlock", u"Western hemlock", Cover::Fir, true},
    VegType{u"ZZ", u"Unclassified", u"Unclassified", Cover::Shrubland, false},
};

constexpr int vegIndex(QStringView code) {
    for (std::size_t i = 0; i < vegTypes.size(); ++i)
        if (vegTypes[i].code == code)
            return static_cast<int>(i);
    return -1;
}

struct Book {
    QStringView label;
    QStringView description;
    bool active;
    std::array<double, 6> breaks; // BreakInches1..6 exactly as stored
    int standardPhotos;
    std::array<QStringView, 5> vegCodes; // empty entries are unused
};

// The break limits cover every data-plate layout: one open class above 3 in., a 9 in. limit,
// 9 and 20 in., and 6, 9 and 20 in. AK-5 is stored the way older tools wrote it (0.3, 9.6, ...):
// the program normalises limits when it opens a catalogue.
inline constexpr std::array books{
    Book{u"PNW-1",
         u"Photo series for quantifying forest residues in the ponderosa pine type, ponderosa "
         u"pine and associated species type, and lodgepole pine type",
         true,
         {0.25, 1, 3, 0, 0, 0},
         45,
         {u"PP", u"DF", u"LP", u"GF", u"WJ"}},
    Book{u"SW-2",
         u"Photo series for quantifying natural fuels in the pinyon-juniper, sagebrush and "
         u"grassland types of the Southwest",
         true,
         {0.25, 1, 3, 9, 0, 0},
         35,
         {u"PJ", u"PP", u"SB", u"GR", u"MC"}},
    Book{u"RM-3",
         u"Photo series for quantifying forest residues in the lodgepole pine, subalpine fir and "
         u"aspen types of the central Rocky Mountains",
         true,
         {0.25, 1, 3, 9, 20, 0},
         35,
         {u"LP", u"SF", u"DF", u"AS", u"MC"}},
    Book{u"NE-4",
         u"Photo series for quantifying natural forest residues in common vegetation types of "
         u"the Northeast and Lake States",
         true,
         {0.25, 1, 3, 6, 9, 20},
         30,
         {u"NH", u"OH", u"RP", u"WP", u"AS"}},
    Book{u"AK-5",
         u"Photo series for quantifying natural fuels in the black spruce, white spruce and "
         u"aspen types of interior Alaska",
         true,
         {0.3, 1, 3, 9.6, 14.2, 20.5},
         20,
         {u"BS", u"WS", u"AS", u"GR", {}}},
    Book{u"GB-6",
         u"Photo series for quantifying natural fuels in the juniper and sagebrush types of the "
         u"Great Basin (withdrawn edition)",
         false,
         {0.25, 1, 3, 9, 0, 0},
         15,
         {u"WJ", u"SB", u"GR", u"PJ", {}}},
};

inline constexpr int standardPhotoCount = [] {
    int total = 0;
    for (const Book& book : books)
        total += book.standardPhotos;
    return total;
}();
static_assert(standardPhotoCount == standardDemoPhotoCount);

// Every pool photo gets its own image files; larger catalogues point their rows at the pool.
// Big enough that the standard set never shares an image.
inline constexpr int imagePoolPerBook = 48;
static_assert(std::ranges::all_of(books, [](const Book& b) {
    return b.standardPhotos <= imagePoolPerBook;
}));

struct Code {
    QStringView code;
    QStringView description;
};

inline constexpr std::array activityCodes{
    Code{u"NAT", u"Natural, no recent management"},
    Code{u"THIN", u"Commercial thinning"},
    Code{u"PCT", u"Precommercial thinning"},
    Code{u"CC", u"Clearcut, slash left on site"},
    Code{u"SW", u"Shelterwood harvest"},
    Code{u"PB", u"Prescribed burn, underburned"},
    Code{u"WF", u"Wildfire, burned within 5 years"},
};
// Used in the catalogue, absent from ActCodes.txt.
inline constexpr QStringView unlistedActivity = u"SALV";

inline constexpr std::array dangerCodes{
    Code{u"A", u"Western grasses (annual)"},
    Code{u"B", u"California chaparral"},
    Code{u"C", u"Pine-grass savanna"},
    Code{u"D", u"Southern rough"},
    Code{u"E", u"Hardwood litter (winter)"},
    Code{u"F", u"Intermediate brush"},
    Code{u"G", u"Short-needle conifer, heavy dead"},
    Code{u"H", u"Short-needle conifer, normal dead"},
    Code{u"I", u"Heavy logging slash"},
    Code{u"J", u"Intermediate logging slash"},
    Code{u"K", u"Light logging slash"},
    Code{u"L", u"Western grasses (perennial)"},
    Code{u"N", u"Sawgrass"},
    Code{u"O", u"High pocosin"},
    Code{u"P", u"Southern pine plantation"},
    Code{u"R", u"Hardwood litter (summer)"},
    Code{u"S", u"Tundra"},
    Code{u"T", u"Sagebrush-grass"},
    Code{u"U", u"Western long-needle pine"},
};
// "Q" (black spruce) is used in the catalogue but missing from DangerRatingCodes.txt.

inline constexpr std::array behaveCodes{
    Code{u"GR1", u"Short, sparse dry climate grass"},
    Code{u"GR2", u"Low load, dry climate grass"},
    Code{u"GR4", u"Moderate load, dry climate grass"},
    Code{u"GS2", u"Moderate load, dry climate grass-shrub"},
    Code{u"SH2", u"Moderate load dry climate shrub"},
    Code{u"SH5", u"High load, dry climate shrub"},
    Code{u"TU1", u"Low load dry climate timber-grass-shrub"},
    Code{u"TU5", u"Very high load, dry climate timber-shrub"},
    Code{u"TL1", u"Low load compact conifer litter"},
    Code{u"TL2", u"Low load broadleaf litter"},
    Code{u"TL3", u"Moderate load conifer litter"},
    Code{u"TL4", u"Small downed logs"},
    Code{u"TL5", u"High load conifer litter"},
    Code{u"TL6", u"Moderate load broadleaf litter"},
    Code{u"TL7", u"Large downed logs"},
    Code{u"TL8", u"Long-needle litter"},
    Code{u"TL9", u"Very high load broadleaf litter"},
    Code{u"SB1", u"Low load activity fuel"},
    Code{u"SB2", u"Moderate load activity fuel or low load blowdown"},
    Code{u"SB3", u"High load activity fuel or moderate load blowdown"},
    // SB4 is used in the catalogue but missing here.
    Code{u"1", u"Short grass (1 foot)"},
    Code{u"2", u"Timber (grass and understory)"},
    Code{u"3", u"Tall grass (2.5 feet)"},
    Code{u"4", u"Chaparral (6 feet)"},
    Code{u"5", u"Brush (2 feet)"},
    Code{u"6", u"Dormant brush, hardwood slash"},
    Code{u"7", u"Southern rough"},
    Code{u"8", u"Closed timber litter"},
    Code{u"9", u"Hardwood litter"},
    Code{u"10", u"Timber (litter and understory)"},
    Code{u"11", u"Light logging slash"},
    Code{u"12", u"Medium logging slash"},
    Code{u"13", u"Heavy logging slash"},
};

// ---------------------------------------------------------------------------------------------
// Deterministic randomness
// ---------------------------------------------------------------------------------------------

// std::mt19937's output sequence is fixed by the standard, unlike the std:: distributions, so
// the demo comes out identical with every compiler and library.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : engine_(seed) {}

    double uniform() { return static_cast<double>(engine_()) / 4294967296.0; } // [0, 1)
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    int integer(int low, int high) { // inclusive
        return low + static_cast<int>(uniform() * (high - low + 1));
    }
    bool chance(double probability) { return uniform() < probability; }
    template <typename T> const T& pick(std::span<const T> items) {
        return items[static_cast<std::size_t>(integer(0, static_cast<int>(items.size()) - 1))];
    }

private:
    std::mt19937 engine_;
};

// ---------------------------------------------------------------------------------------------
// Photo records
// ---------------------------------------------------------------------------------------------

struct Photo {
    int bookIndex = 0;
    int sequence = 0; // 0-based within the book
    int vegType = 0;  // index into vegTypes (the site, even when the stored code is missing)
    bool active = true;
    std::optional<QString> label;
    QString group;
    std::array<double, 7> tons{};
    double total = 0;
    double upTo3 = 0;
    // Duff depth, fuelbed depth, herb, woody, canopy closure, trees per acre; negative = not
    // available, nullopt = Null.
    std::array<std::optional<double>, 6> site;
    std::optional<QString> veg, activity, behave2005, behave1982, danger;
    QString photoPic, dataPic;
};

enum SiteField { Duff, FuelbedDepth, Herb, Woody, Canopy, Trees };

} // namespace tarnwick::demo
