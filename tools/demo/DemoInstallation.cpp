#include "DemoInstallation.h"

#include "catalogue/CatalogueSchema.h"
#include "platform/AppPaths.h"
#include "query/CodeList.h"
#include "text/Windows1252.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <random>
#include <span>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace tarnwick::demo {
namespace {

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
constexpr std::array vegTypes{
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
constexpr std::array books{
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

constexpr int standardPhotoCount = [] {
    int total = 0;
    for (const Book& book : books)
        total += book.standardPhotos;
    return total;
}();
static_assert(standardPhotoCount == standardDemoPhotoCount);

// Every pool photo gets its own image files; larger catalogues point their rows at the pool.
// Big enough that the standard set never shares an image.
constexpr int imagePoolPerBook = 48;
static_assert(std::ranges::all_of(books, [](const Book& b) {
    return b.standardPhotos <= imagePoolPerBook;
}));

struct Code {
    QStringView code;
    QStringView description;
};

constexpr std::array activityCodes{
    Code{u"NAT", u"Natural, no recent management"},
    Code{u"THIN", u"Commercial thinning"},
    Code{u"PCT", u"Precommercial thinning"},
    Code{u"CC", u"Clearcut, slash left on site"},
    Code{u"SW", u"Shelterwood harvest"},
    Code{u"PB", u"Prescribed burn, underburned"},
    Code{u"WF", u"Wildfire, burned within 5 years"},
};
// Used in the catalogue, absent from ActCodes.txt.
constexpr QStringView unlistedActivity = u"SALV";

constexpr std::array dangerCodes{
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

constexpr std::array behaveCodes{
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

double round2(double value) {
    return std::round(value * 100.0) / 100.0;
}
double round1(double value) {
    return std::round(value * 10.0) / 10.0;
}

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

int classCount(const Book& book) {
    int count = 4;
    for (int i = 3; i < 6; ++i)
        if (book.breaks[static_cast<std::size_t>(i)] > 0)
            ++count;
    return count;
}

QString twoDigits(int number) {
    return QString::number(number).rightJustified(2, u'0');
}

template <std::size_t N> QString pickCode(Rng& rng, const std::array<QStringView, N>& codes) {
    return rng.pick(std::span<const QStringView>(codes)).toString();
}

// Generates one book's photos in order. Each book has its own seed so a book's first photos are
// the same whatever the total count.
class PhotoGenerator {
public:
    explicit PhotoGenerator(int bookIndex)
        : bookIndex_(bookIndex), book_(books[static_cast<std::size_t>(bookIndex)]),
          rng_(0x7A4E0000u + static_cast<std::uint32_t>(bookIndex) * 7919u) {
        for (QStringView code : book_.vegCodes)
            if (!code.isEmpty())
                vegChoices_.push_back(vegIndex(code));
    }

    Photo next();

private:
    void fillLoadings(Photo& photo, Cover cover, double slash);
    void fillSite(Photo& photo, Cover cover);
    void fillFuelModels(Photo& photo, Cover cover, bool slashActivity);

    int bookIndex_;
    const Book& book_;
    Rng rng_;
    std::vector<int> vegChoices_;
    int sequence_ = 0;
    std::vector<QString> poolStems_;
};

Photo PhotoGenerator::next() {
    Photo photo;
    photo.bookIndex = bookIndex_;
    photo.sequence = sequence_++;
    const int bookNumber = bookIndex_ + 1;

    // The first photos go through the book's types in turn so every type shows up.
    const int choice = rng_.integer(0, static_cast<int>(vegChoices_.size()) - 1);
    const bool unclassified = rng_.chance(0.02);
    if (photo.sequence < static_cast<int>(vegChoices_.size()))
        photo.vegType = vegChoices_[static_cast<std::size_t>(photo.sequence)];
    else
        photo.vegType =
            unclassified ? vegIndex(u"ZZ") : vegChoices_[static_cast<std::size_t>(choice)];
    const VegType& veg = vegTypes[static_cast<std::size_t>(photo.vegType)];
    if (!rng_.chance(0.02))
        photo.veg = rng_.chance(0.06) ? veg.code.toString().toLower() : veg.code.toString();

    const double activityDraw = rng_.uniform();
    QString activity;
    if (veg.cover == Cover::Grassland || veg.cover == Cover::Shrubland)
        activity = activityDraw < 0.8 ? u"NAT"_s : u"PB"_s;
    else if (activityDraw < 0.48)
        activity = u"NAT"_s;
    else if (activityDraw < 0.60)
        activity = u"THIN"_s;
    else if (activityDraw < 0.70)
        activity = u"PCT"_s;
    else if (activityDraw < 0.78)
        activity = u"CC"_s;
    else if (activityDraw < 0.84)
        activity = u"SW"_s;
    else if (activityDraw < 0.91)
        activity = u"PB"_s;
    else if (activityDraw < 0.96)
        activity = u"WF"_s;
    else
        activity = unlistedActivity.toString();
    const bool slashActivity = activity == u"THIN" || activity == u"PCT" || activity == u"CC" ||
                               activity == unlistedActivity;
    if (!rng_.chance(0.04))
        photo.activity = rng_.chance(0.06) ? activity.toLower() : activity;

    fillLoadings(photo, veg.cover, slashActivity ? 1.8 : (activity == u"PB" ? 0.5 : 1.0));
    fillSite(photo, veg.cover);
    fillFuelModels(photo, veg.cover, slashActivity);

    // One photo in the whole catalogue lacks its label.
    const QString vegForName = photo.veg ? photo.veg->toUpper() : u"NA"_s;
    if (!(bookIndex_ == 0 && photo.sequence == 6))
        photo.label = u"%1-%2-%3"_s.arg(bookNumber).arg(vegForName, twoDigits(photo.sequence + 1));
    photo.group = veg.site.toString();
    if (rng_.chance(0.15))
        photo.group = photo.group.toLower();
    else if (rng_.chance(0.04))
        photo.group = photo.group.toUpper();

    // A few withdrawn photos in active books.
    photo.active =
        !(book_.active && bookIndex_ >= 1 && bookIndex_ <= 3 && photo.sequence % 211 == 4);

    // Rows beyond the pool share the pool's image files.
    if (photo.sequence < imagePoolPerBook)
        poolStems_.push_back(
            u"%1%2%3"_s.arg(bookNumber).arg(vegForName, twoDigits(photo.sequence + 1)));
    const QString& stem = poolStems_[static_cast<std::size_t>(photo.sequence % imagePoolPerBook)];
    photo.photoPic = stem + u".jpg"_s;
    photo.dataPic = stem + u"d.jpg"_s;
    return photo;
}

void PhotoGenerator::fillLoadings(Photo& photo, Cover cover, double slash) {
    double bigFactor = 1.0;
    double fineFactor = 1.0;
    switch (cover) {
    case Cover::Grassland:
        bigFactor = 0.03;
        fineFactor = 0.25;
        break;
    case Cover::Shrubland:
        bigFactor = 0.08;
        fineFactor = 0.5;
        break;
    case Cover::Juniper:
        bigFactor = 0.35;
        fineFactor = 0.7;
        break;
    case Cover::Hardwood:
        bigFactor = 0.7;
        break;
    case Cover::Pine:
    case Cover::Fir:
    case Cover::Spruce:
        break;
    }
    photo.tons[0] = round2(rng_.uniform(0.02, 0.9) * fineFactor * std::min(slash, 1.5));
    photo.tons[1] = round2(rng_.uniform(0.1, 3.2) * fineFactor * slash);
    photo.tons[2] = round2(rng_.uniform(0.2, 6.5) * fineFactor * slash);

    const int classes = classCount(book_);
    const double u = rng_.uniform();
    const double bigLoad = 90.0 * u * u * bigFactor * slash;
    static constexpr std::array<double, 4> shares{1.0, 0.75, 0.5, 0.3};
    std::array<double, 4> weights{};
    double weightSum = 0;
    for (int i = 0; i < classes - 3; ++i) {
        weights[static_cast<std::size_t>(i)] =
            shares[static_cast<std::size_t>(i)] * rng_.uniform(0.3, 1.4);
        weightSum += weights[static_cast<std::size_t>(i)];
    }
    for (int i = 0; i < classes - 3; ++i)
        photo.tons[static_cast<std::size_t>(3 + i)] =
            round2(std::min(60.0, bigLoad * weights[static_cast<std::size_t>(i)] / weightSum));

    photo.upTo3 = round2(photo.tons[0] + photo.tons[1] + photo.tons[2]);
    double total = 0;
    for (double t : photo.tons)
        total += t;
    photo.total = round2(total);
}

void PhotoGenerator::fillSite(Photo& photo, Cover cover) {
    const bool open = cover == Cover::Grassland || cover == Cover::Shrubland;
    const double u = rng_.uniform();
    std::array<double, 6> values{};
    values[Duff] = round1(5.0 * std::pow(rng_.uniform(), 1.5) * (open ? 0.25 : 1.0));
    values[FuelbedDepth] =
        round1(cover == Cover::Shrubland ? rng_.uniform(8, 30)
                                         : rng_.uniform(0.5, 14) * (1 + photo.total / 40));
    values[FuelbedDepth] = std::min(values[FuelbedDepth], 30.0);
    values[Herb] = round2(cover == Cover::Grassland ? rng_.uniform(0.6, 3.0)
                                                    : rng_.uniform(0, 0.8) * (1.2 - u));
    values[Woody] = round2(cover == Cover::Shrubland   ? rng_.uniform(3, 12)
                           : cover == Cover::Grassland ? rng_.uniform(0, 1.2)
                                                       : rng_.uniform(0, 4.5));
    switch (cover) {
    case Cover::Grassland:
        values[Canopy] = std::round(rng_.uniform(0, 6));
        values[Trees] = std::round(rng_.uniform(0, 12));
        break;
    case Cover::Shrubland:
        values[Canopy] = std::round(rng_.uniform(0, 15));
        values[Trees] = std::round(rng_.uniform(0, 40));
        break;
    case Cover::Juniper:
        values[Canopy] = std::round(rng_.uniform(10, 45));
        values[Trees] = std::round(rng_.uniform(40, 400));
        break;
    default:
        values[Canopy] = std::round(rng_.uniform(20, 95));
        values[Trees] = std::round(30 + 1970 * u * u);
        break;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double draw = rng_.uniform();
        if (draw < 0.03)
            photo.site[i] = -1.0; // not measured
        else if (draw >= 0.06)
            photo.site[i] = values[i];
        // else Null
    }
    // Every book shows both kinds of gaps at least once.
    if (photo.sequence == 9) {
        photo.site[Duff] = -1.0;
        photo.site[Canopy] = -1.0;
        photo.site[Trees].reset();
    }
}

void PhotoGenerator::fillFuelModels(Photo& photo, Cover cover, bool slashActivity) {
    using Codes3 = std::array<QStringView, 3>;
    using Codes2 = std::array<QStringView, 2>;
    QString behave2005, behave1982, danger;
    const double load = photo.total;
    switch (cover) {
    case Cover::Grassland:
        behave2005 = pickCode(rng_, Codes3{u"GR1", u"GR2", u"GR4"});
        behave1982 = pickCode(rng_, Codes2{u"1", u"3"});
        danger = pickCode(rng_, Codes2{u"A", u"L"});
        break;
    case Cover::Shrubland:
        behave2005 = pickCode(rng_, Codes3{u"SH2", u"SH5", u"GS2"});
        behave1982 = pickCode(rng_, Codes3{u"4", u"5", u"6"});
        danger = pickCode(rng_, Codes3{u"T", u"F", u"B"});
        break;
    case Cover::Juniper:
        behave2005 = pickCode(rng_, Codes3{u"GS2", u"TU1", u"SH2"});
        behave1982 = pickCode(rng_, Codes2{u"2", u"6"});
        danger = pickCode(rng_, Codes2{u"T", u"F"});
        break;
    case Cover::Hardwood:
        behave2005 = pickCode(rng_, Codes3{u"TL2", u"TL6", u"TL9"});
        behave1982 = u"9"_s;
        danger = pickCode(rng_, Codes2{u"E", u"R"});
        break;
    case Cover::Pine:
    case Cover::Fir:
    case Cover::Spruce:
        if (load < 8) {
            behave2005 = pickCode(rng_, Codes3{u"TL1", u"TL3", u"TU1"});
            behave1982 = u"8"_s;
        } else if (load < 20) {
            behave2005 = pickCode(rng_, Codes3{u"TL5", u"TL8", u"TU5"});
            behave1982 = pickCode(rng_, Codes2{u"9", u"10"});
        } else if (load < 45) {
            behave2005 = pickCode(rng_, Codes3{u"TL7", u"SB1", u"SB2"});
            behave1982 = pickCode(rng_, Codes2{u"10", u"11"});
        } else {
            behave2005 = rng_.chance(0.7) ? u"SB3"_s : u"SB4"_s;
            behave1982 = pickCode(rng_, Codes2{u"12", u"13"});
        }
        if (slashActivity)
            danger = load < 20 ? u"K"_s : (load < 45 ? u"J"_s : u"I"_s);
        else if (cover == Cover::Spruce)
            danger = u"Q"_s;
        else if (cover == Cover::Pine)
            danger = pickCode(rng_, Codes2{u"U", u"C"});
        else
            danger = pickCode(rng_, Codes2{u"H", u"G"});
        break;
    }
    if (!rng_.chance(0.03))
        photo.behave2005 = rng_.chance(0.04) ? behave2005.toLower() : behave2005;
    if (!rng_.chance(0.03))
        photo.behave1982 = behave1982;
    if (!rng_.chance(0.03))
        photo.danger = rng_.chance(0.04) ? danger.toLower() : danger;
    if (photo.sequence == 11)
        photo.behave2005.reset();
}

// Splits the requested total over the books in the standard proportions.
std::array<int, books.size()> photosPerBook(int requested) {
    std::array<int, books.size()> counts{};
    if (requested == 0) {
        for (std::size_t i = 0; i < books.size(); ++i)
            counts[i] = books[i].standardPhotos;
        return counts;
    }
    int assigned = 0;
    for (std::size_t i = 0; i < books.size(); ++i) {
        counts[i] = static_cast<int>(static_cast<long long>(requested) * books[i].standardPhotos /
                                     standardPhotoCount);
        assigned += counts[i];
    }
    for (std::size_t i = 0; assigned < requested; ++i, ++assigned)
        ++counts[i % books.size()];
    return counts;
}

// ---------------------------------------------------------------------------------------------
// Catalogue
// ---------------------------------------------------------------------------------------------

QVariant nullable(const std::optional<double>& value) {
    return value ? QVariant(*value) : QVariant();
}
QVariant nullable(const std::optional<QString>& value) {
    return value ? QVariant(*value) : QVariant();
}

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

// Writes the catalogue under a temporary name; only install() puts it in place. Destroying the
// writer before that deletes the temporary file.
class CatalogueWriter {
public:
    explicit CatalogueWriter(const QDir& root);
    ~CatalogueWriter();
    CatalogueWriter(const CatalogueWriter&) = delete;
    CatalogueWriter& operator=(const CatalogueWriter&) = delete;

    void addPhoto(const Photo& photo);
    void install(const QString& finalPath);

private:
    [[noreturn]] void fail(const QString& what, const QSqlError& error) const;
    void exec(const QString& sql);
    void close();

    QString path_;
    QString connection_;
    std::optional<QSqlQuery> photoInsert_;
    int nextId_ = 1;
    bool installed_ = false;
};

std::atomic<int> connectionCounter{0};

CatalogueWriter::CatalogueWriter(const QDir& root) {
    const int serial = ++connectionCounter;
    connection_ = u"tarnwick-demo-writer-%1"_s.arg(serial);
    path_ = root.filePath(
        u"Photo3.db.partial-%1-%2"_s.arg(QCoreApplication::applicationPid()).arg(serial));
    QFile::remove(path_); // a leftover from a crashed run
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection_);
    db.setDatabaseName(path_);
    if (!db.open())
        fail(u"create the catalogue %1"_s.arg(QDir::toNativeSeparators(path_)), db.lastError());
    // The file is thrown away on any failure, so it needs no journal or syncing while it grows.
    exec(u"PRAGMA journal_mode = OFF"_s);
    exec(u"PRAGMA synchronous = OFF"_s);
    for (const QString& statement : catalogueSchemaStatements())
        exec(statement);
    if (!db.transaction())
        fail(u"start writing the catalogue"_s, db.lastError());

    QSqlQuery bookInsert(db);
    if (!bookInsert.prepare(u"INSERT INTO Books (id, BookLabel, BookDescription, active, "
                            "BreakInches1, BreakInches2, BreakInches3, BreakInches4, BreakInches5, "
                            "BreakInches6) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s))
        fail(u"prepare the book insert"_s, bookInsert.lastError());
    for (std::size_t i = 0; i < books.size(); ++i) {
        const Book& book = books[i];
        bookInsert.bindValue(0, static_cast<int>(i) + 1);
        bookInsert.bindValue(1, book.label.toString());
        bookInsert.bindValue(2, book.description.toString());
        bookInsert.bindValue(3, book.active ? 1 : 0);
        for (int b = 0; b < 6; ++b)
            bookInsert.bindValue(4 + b, book.breaks[static_cast<std::size_t>(b)]);
        if (!bookInsert.exec())
            fail(u"add book %1"_s.arg(book.label), bookInsert.lastError());
    }

    photoInsert_.emplace(db);
    if (!photoInsert_->prepare(
            u"INSERT INTO Photos (ID, BookLabel, PhotoLabel, GroupLabel, active, "
            "TonsPerAcreBreak1, TonsPerAcreBreak2, TonsPerAcreBreak3, TonsPerAcreBreak4, "
            "TonsPerAcreBreak5, TonsPerAcreBreak6, TonsPerAcreBreak7, TotalFL, Oto3FL, "
            "AverageDuffDepth, AverageFuelbedDepth, HerbTonsPerAcre, WoodyTonsPerAcre, "
            "CanopyClosure, TreesPerAcre, VegType, Activity, FireBehaveFM, FireBehaveFM2, "
            "DangerRatingFM, PhotoPic, DataPic) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s))
        fail(u"prepare the photo insert"_s, photoInsert_->lastError());
}

CatalogueWriter::~CatalogueWriter() {
    close();
    if (!installed_)
        QFile::remove(path_);
}

void CatalogueWriter::close() {
    photoInsert_.reset();
    if (!QSqlDatabase::contains(connection_))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isOpen() && !installed_)
            db.rollback();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

void CatalogueWriter::fail(const QString& what, const QSqlError& error) const {
    throw std::runtime_error(u"Cannot %1: %2"_s.arg(what, error.text().trimmed()).toStdString());
}

void CatalogueWriter::exec(const QString& sql) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.exec(sql))
        fail(u"run \"%1\" on the catalogue"_s.arg(sql.left(60)), query.lastError());
}

void CatalogueWriter::addPhoto(const Photo& photo) {
    static const std::array<QString, books.size()> labels = [] {
        std::array<QString, books.size()> result;
        for (std::size_t i = 0; i < books.size(); ++i)
            result[i] = books[i].label.toString();
        return result;
    }();
    QSqlQuery& q = *photoInsert_;
    q.bindValue(0, nextId_++);
    q.bindValue(1, labels[static_cast<std::size_t>(photo.bookIndex)]);
    q.bindValue(2, nullable(photo.label));
    q.bindValue(3, photo.group);
    q.bindValue(4, photo.active ? 1 : 0);
    for (int i = 0; i < 7; ++i)
        q.bindValue(5 + i, photo.tons[static_cast<std::size_t>(i)]);
    q.bindValue(12, photo.total);
    q.bindValue(13, photo.upTo3);
    for (int i = 0; i < 6; ++i)
        q.bindValue(14 + i, nullable(photo.site[static_cast<std::size_t>(i)]));
    q.bindValue(20, nullable(photo.veg));
    q.bindValue(21, nullable(photo.activity));
    q.bindValue(22, nullable(photo.behave2005));
    q.bindValue(23, nullable(photo.behave1982));
    q.bindValue(24, nullable(photo.danger));
    q.bindValue(25, photo.photoPic);
    q.bindValue(26, photo.dataPic);
    if (!q.exec())
        fail(u"add photo %1"_s.arg(photo.photoPic), q.lastError());
}

void CatalogueWriter::install(const QString& finalPath) {
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (!db.commit())
            fail(u"finish writing the catalogue"_s, db.lastError());
    }
    close();
    std::error_code error;
    std::filesystem::rename(nativePath(path_), nativePath(finalPath), error);
    if (error)
        throw std::runtime_error(
            u"Cannot move the new catalogue into place as %1: %2"_s
                .arg(QDir::toNativeSeparators(finalPath), QString::fromStdString(error.message()))
                .toStdString());
    installed_ = true;
}

// ---------------------------------------------------------------------------------------------
// Code lists
// ---------------------------------------------------------------------------------------------

QByteArray codeLine(QStringView code, QStringView description) {
    const QString line = u"\"%1\",\"%2\"\n"_s.arg(code, description);
    return encodeWindows1252(line).bytes;
}

void writeFile(const QDir& root, const QString& name, const QByteArray& content) {
    QFile file(root.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size() || !file.flush())
        throw std::runtime_error(
            u"Cannot write %1: %2"_s
                .arg(QDir::toNativeSeparators(file.fileName()), file.errorString())
                .toStdString());
}

void writeCodeLists(const QDir& root) {
    QByteArray veg;
    for (const VegType& type : vegTypes)
        if (type.listed)
            veg += codeLine(type.code, type.description);
    writeFile(root, codeListFile::vegetation, veg);

    const auto join = [](std::span<const Code> codes) {
        QByteArray text;
        for (const Code& code : codes)
            text += codeLine(code.code, code.description);
        return text;
    };
    writeFile(root, codeListFile::activity, join(activityCodes));
    writeFile(root, codeListFile::dangerRating, join(dangerCodes));
    writeFile(root, codeListFile::fireBehaviour, join(behaveCodes));
}

// ---------------------------------------------------------------------------------------------
// Images
// ---------------------------------------------------------------------------------------------

QString formatNumber(double value) {
    return QString::number(value, 'g', 6);
}

std::uint32_t imageSeed(const Photo& photo) {
    return 0x51C0FFEEu ^ (static_cast<std::uint32_t>(photo.bookIndex) << 20) ^
           static_cast<std::uint32_t>(photo.sequence);
}

// Lighter or darker by up to percent, keeping the hue.
QColor vary(Rng& rng, const QColor& base, int percent) {
    const int factor = 100 + rng.integer(-percent, percent);
    return factor >= 100 ? base.lighter(factor) : base.darker(10000 / factor);
}

// Distant things take on the colour of the air.
QColor hazed(const QColor& color, double scale) {
    const double amount = std::clamp((0.8 - scale) * 0.7, 0.0, 0.5);
    const QColor air(168, 190, 206);
    const auto mix = [&](int near, int far) {
        return static_cast<int>(std::lround(near + (far - near) * amount));
    };
    return QColor(mix(color.red(), air.red()), mix(color.green(), air.green()),
                  mix(color.blue(), air.blue()), color.alpha());
}

double siteValue(const Photo& photo, SiteField field, double fallback) {
    const std::optional<double>& value = photo.site[field];
    return value && *value >= 0 ? *value : fallback;
}

// Something standing on the ground, drawn back to front.
struct Scenery {
    double y; // ground contact, in pixels
    int kind;
    double scale;
    std::uint32_t seed;
};

enum SceneryKind { Tree, Shrub, Tuft, Log, Stick };

constexpr int photoWidth = 900;
constexpr int photoHeight = 600;

void paintTree(QPainter& painter, Cover cover, double x, double y, double scale, Rng& rng) {
    const bool squat =
        cover == Cover::Juniper || cover == Cover::Shrubland || cover == Cover::Grassland;
    const double height = scale * (squat ? rng.uniform(110, 200) : rng.uniform(260, 480));
    const double trunkWidth = std::max(1.5, height * rng.uniform(0.025, 0.04));
    // Broad crowns hide the top of the bole.
    const double bole = squat ? 0.3 : (cover == Cover::Hardwood ? 0.8 : 1.0);
    QColor bark = cover == Cover::Pine       ? QColor(150, 92, 55)
                  : cover == Cover::Hardwood ? QColor(110, 104, 96)
                                             : QColor(92, 68, 50);
    if (cover == Cover::Hardwood && rng.chance(0.4))
        bark = QColor(214, 212, 200); // aspen and birch
    painter.setPen(Qt::NoPen);
    QLinearGradient trunk(x - trunkWidth / 2, 0, x + trunkWidth / 2, 0);
    trunk.setColorAt(0, hazed(bark.lighter(115), scale));
    trunk.setColorAt(1, hazed(bark.darker(140), scale));
    painter.setBrush(trunk);
    painter.drawRect(QRectF(x - trunkWidth / 2, y - height * bole, trunkWidth, height * bole));

    switch (cover) {
    case Cover::Pine: {
        // Open crown of tufted branches in the upper part of the bole.
        const QColor needles = vary(rng, QColor(58, 96, 50), 10);
        const int clumps = 10 + rng.integer(0, 6);
        for (int i = 0; i < clumps; ++i) {
            const double t = rng.uniform(0, 0.5);
            const double cy = y - height * (1 - t);
            const double cx = x + rng.uniform(-1, 1) * height * 0.13 * (0.3 + t);
            const double r = height * rng.uniform(0.05, 0.085);
            painter.setBrush(hazed(vary(rng, needles, 12), scale));
            painter.drawEllipse(QPointF(cx, cy), r * 1.3, r);
        }
        break;
    }
    case Cover::Fir:
    case Cover::Spruce: {
        // Stacked tiers narrowing to a spire, lit from the left.
        const double crownBase = y - height * (cover == Cover::Spruce ? 0.12 : 0.3);
        const double crownTop = y - height * 1.04;
        const double widthAtBase = height * (cover == Cover::Spruce ? 0.13 : 0.24);
        const int tiers = 6 + rng.integer(0, 3);
        const QColor foliage =
            vary(rng, cover == Cover::Spruce ? QColor(36, 60, 40) : QColor(40, 76, 46), 10);
        for (int i = 0; i < tiers; ++i) {
            const double t0 = double(i) / tiers;
            const double bottom = crownBase + (crownTop - crownBase) * t0;
            const double top = bottom + (crownTop - crownBase) * 0.4;
            const double half = widthAtBase * (1 - t0 * 0.85) / 2;
            const double droop = half * 0.12;
            QPolygonF tier;
            tier << QPointF(x - half, bottom) << QPointF(x, bottom - droop)
                 << QPointF(x + half, bottom) << QPointF(x, top);
            const QColor shade = vary(rng, foliage, 5);
            QLinearGradient light(x - half, 0, x + half, 0);
            light.setColorAt(0, hazed(shade.lighter(130), scale));
            light.setColorAt(1, hazed(shade.darker(125), scale));
            painter.setBrush(light);
            painter.drawPolygon(tier);
        }
        break;
    }
    case Cover::Hardwood: {
        const QColor leaves = rng.chance(0.3) ? QColor(176, 146, 60) : QColor(86, 126, 58);
        const double crownY = y - height * 0.72;
        const int clumps = 12 + rng.integer(0, 6);
        for (int i = 0; i < clumps; ++i) {
            const double cx = x + rng.uniform(-1, 1) * height * 0.17;
            const double cy = crownY + rng.uniform(-1, 1) * height * 0.18;
            const double r = height * rng.uniform(0.07, 0.11);
            painter.setBrush(hazed(vary(rng, leaves, 15), scale));
            painter.drawEllipse(QPointF(cx, cy), r, r * 0.85);
        }
        break;
    }
    case Cover::Juniper:
    case Cover::Shrubland:
    case Cover::Grassland: {
        // Squat, rounded and blue-green.
        const QColor foliage = vary(rng, QColor(72, 100, 82), 8);
        const int clumps = 9 + rng.integer(0, 5);
        for (int i = 0; i < clumps; ++i) {
            const double t = rng.uniform();
            const double cx = x + rng.uniform(-1, 1) * height * (0.32 - 0.22 * t);
            const double cy = y - height * (0.25 + 0.6 * t);
            const double r = height * rng.uniform(0.14, 0.22);
            painter.setBrush(hazed(vary(rng, foliage, 12), scale));
            painter.drawEllipse(QPointF(cx, cy), r, r * 0.9);
        }
        break;
    }
    }
}

void paintShrub(QPainter& painter, Cover cover, double x, double y, double scale, Rng& rng) {
    const QColor base =
        cover == Cover::Shrubland ? QColor(132, 142, 116) : QColor(74, 108, 60); // sage or brush
    const double size = scale * rng.uniform(22, 60);
    painter.setPen(Qt::NoPen);
    const int clumps = 6 + rng.integer(0, 4);
    for (int i = 0; i < clumps; ++i) {
        painter.setBrush(hazed(vary(rng, base, 14), scale));
        painter.drawEllipse(QPointF(x + rng.uniform(-1, 1) * size, y - rng.uniform(0.2, 1) * size),
                            size * rng.uniform(0.4, 0.7), size * rng.uniform(0.35, 0.6));
    }
}

void paintTuft(QPainter& painter, double x, double y, double scale, Rng& rng) {
    const QColor base = rng.chance(0.5) ? QColor(180, 170, 100) : QColor(126, 148, 72);
    const double height = scale * rng.uniform(14, 34);
    painter.setPen(QPen(hazed(vary(rng, base, 12), scale), std::max(0.8, scale * 1.6)));
    const int blades = 6 + rng.integer(0, 5);
    for (int i = 0; i < blades; ++i) {
        const double lean = rng.uniform(-0.6, 0.6);
        painter.drawLine(QPointF(x + lean * 3, y), QPointF(x + lean * height, y - height));
    }
}

void paintLog(QPainter& painter, double x, double y, double scale, double sizeClass, Rng& rng) {
    const double length = scale * rng.uniform(90, 300);
    const double diameter = scale * (6 + sizeClass * rng.uniform(5, 9));
    const double angle = rng.uniform(-28, 28);
    painter.save();
    painter.translate(x, y);
    painter.rotate(angle);
    const QColor wood = hazed(vary(rng, QColor(98, 78, 60), 15), scale);
    QLinearGradient shading(0, -diameter, 0, 0);
    shading.setColorAt(0, wood.lighter(135));
    shading.setColorAt(0.4, wood);
    shading.setColorAt(1, wood.darker(170));
    painter.setPen(QPen(wood.darker(190), std::max(0.6, scale)));
    painter.setBrush(shading);
    painter.drawRoundedRect(QRectF(-length / 2, -diameter, length, diameter), diameter * 0.3,
                            diameter * 0.3);
    // Furrowed bark.
    painter.setPen(QPen(wood.darker(150), std::max(0.5, scale * 0.8)));
    const int furrows = 2 + static_cast<int>(diameter / 8);
    for (int i = 0; i < furrows; ++i) {
        const double fy = -diameter * rng.uniform(0.15, 0.85);
        const double start = rng.uniform(-0.45, 0.1) * length;
        painter.drawLine(QPointF(start, fy), QPointF(start + length * rng.uniform(0.2, 0.45), fy));
    }
    // Sawn or broken end showing the rings.
    painter.setBrush(hazed(QColor(198, 170, 124), scale));
    const QPointF end(length / 2, -diameter / 2);
    painter.drawEllipse(end, diameter * 0.28, diameter / 2);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(hazed(QColor(150, 118, 80), scale), std::max(0.5, scale * 0.6)));
    painter.drawEllipse(end, diameter * 0.14, diameter / 4);
    painter.restore();
}

void paintStick(QPainter& painter, double x, double y, double scale, Rng& rng) {
    const double length = scale * rng.uniform(18, 70);
    const double angle = rng.uniform(0, 3.14159);
    painter.setPen(QPen(hazed(vary(rng, QColor(112, 94, 74), 20), scale),
                        std::max(0.7, scale * rng.uniform(1.2, 3.2)), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(x, y),
                     QPointF(x + std::cos(angle) * length, y - std::sin(angle) * length * 0.35));
}

QImage paintPhoto(const Photo& photo) {
    const Cover cover = vegTypes[static_cast<std::size_t>(photo.vegType)].cover;
    Rng rng(imageSeed(photo));
    QImage image(photoWidth, photoHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = photoWidth;
    const double h = photoHeight;
    const double horizon = h * rng.uniform(0.34, 0.44);

    // Sky and a few clouds.
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, vary(rng, QColor(72, 124, 186), 8));
    sky.setColorAt(1, QColor(204, 220, 232));
    painter.fillRect(QRectF(0, 0, w, horizon + 2), sky);
    painter.setPen(Qt::NoPen);
    const int clouds = rng.integer(1, 4);
    for (int c = 0; c < clouds; ++c) {
        const QPointF centre(rng.uniform(0, w), rng.uniform(20, horizon * 0.6));
        for (int i = 0; i < 7; ++i) {
            painter.setBrush(QColor(255, 255, 255, 110));
            painter.drawEllipse(centre + QPointF(rng.uniform(-70, 70), rng.uniform(-10, 10)),
                                rng.uniform(25, 60), rng.uniform(10, 22));
        }
    }

    // Two ridgelines fading into the distance.
    for (int layer = 0; layer < 2; ++layer) {
        QPolygonF ridge;
        ridge << QPointF(0, horizon + 4);
        double y = horizon - rng.uniform(20, 70) / (layer + 1);
        for (double x = 0; x <= w + 30; x += 30) {
            y = std::clamp(y + rng.uniform(-12, 12), horizon - 90.0 / (layer + 1), horizon - 6);
            ridge << QPointF(x, y);
        }
        ridge << QPointF(w, horizon + 4);
        painter.setBrush(layer == 0 ? QColor(140, 160, 178) : QColor(108, 132, 128));
        painter.drawPolygon(ridge);
    }

    // Ground: forest floor, sagebrush flat or grassland; deep duff darkens it.
    const double duff = siteValue(photo, Duff, 1.0);
    QColor ground = cover == Cover::Grassland   ? QColor(166, 158, 100)
                    : cover == Cover::Shrubland ? QColor(168, 150, 114)
                                                : QColor(124, 100, 72);
    ground = ground.darker(100 + static_cast<int>(duff * 7));
    QLinearGradient soil(0, horizon, 0, h);
    soil.setColorAt(0, hazed(ground, 0.1));
    soil.setColorAt(0.3, ground.lighter(108));
    soil.setColorAt(1, ground.darker(125));
    painter.setBrush(soil);
    painter.drawRect(QRectF(0, horizon, w, h - horizon));
    // Litter or grass texture, coarser towards the camera.
    const bool grassy = cover == Cover::Grassland;
    for (int i = 0; i < (grassy ? 2200 : 1400); ++i) {
        const double t = rng.uniform();
        const QPointF at(rng.uniform(0, w), horizon + (h - horizon) * t);
        const double size = 1.5 + 9 * t;
        const QColor colour = grassy && rng.chance(0.6) ? vary(rng, QColor(186, 174, 104), 18)
                                                        : vary(rng, ground, 28);
        painter.setPen(QPen(hazed(colour, t + 0.2), 0.6 + 1.4 * t));
        const double angle = grassy ? rng.uniform(1.2, 1.95) : rng.uniform(0, 3.14159);
        painter.drawLine(at, at + QPointF(std::cos(angle) * size, -std::sin(angle) * size * 0.5));
    }
    painter.setPen(Qt::NoPen);

    // Everything on the ground, in numbers that follow the photo's data.
    const double canopy = siteValue(photo, Canopy, 30) / 100.0;
    const double trees = siteValue(photo, Trees, 150);
    const double herb = siteValue(photo, Herb, 0.3);
    const double woody = siteValue(photo, Woody, 1.0);
    double big = 0;
    for (std::size_t i = 3; i < photo.tons.size(); ++i)
        big += photo.tons[i];

    std::vector<Scenery> scenery;
    const auto place = [&](int kind, int count, double nearest) {
        for (int i = 0; i < count; ++i) {
            const double depth = std::pow(rng.uniform(), 0.8) * nearest;
            scenery.push_back({horizon + (h - horizon) * depth * 1.08, kind, 0.18 + 1.0 * depth,
                               static_cast<std::uint32_t>(rng.integer(0, 1 << 30))});
        }
    };
    place(Tree, std::min(45, static_cast<int>(std::round(trees / 45 + canopy * 22))), 1.0);
    place(Shrub, std::min(80, static_cast<int>(std::round(woody * 6))), 1.0);
    place(Tuft, std::min(260, static_cast<int>(std::round(herb * 70))), 1.0);
    place(Log, std::min(40, static_cast<int>(std::round(big / 2.2))), 0.95);
    place(Stick, std::min(160, static_cast<int>(std::round(photo.upTo3 * 14))), 1.0);
    std::ranges::sort(scenery, {}, &Scenery::y);

    for (const Scenery& item : scenery) {
        Rng local(item.seed);
        const double x = local.uniform(-20, w + 20);
        switch (item.kind) {
        case Tree:
            paintTree(painter, cover, x, item.y, item.scale, local);
            break;
        case Shrub:
            paintShrub(painter, cover, x, item.y, item.scale, local);
            break;
        case Tuft:
            paintTuft(painter, x, item.y, item.scale, local);
            break;
        case Log:
            paintLog(painter, x, item.y, item.scale, local.uniform(0.5, 3.5), local);
            break;
        case Stick:
            paintStick(painter, x, item.y, item.scale, local);
            break;
        }
    }

    // A closed canopy hangs into the top of the frame: branches of trees behind the camera.
    if (canopy > 0.45) {
        const int branches = 2 + static_cast<int>((canopy - 0.45) * 12);
        for (int b = 0; b < branches; ++b) {
            const bool fromLeft = rng.chance(0.5);
            const QPointF base(fromLeft ? -10 : w + 10, rng.uniform(-20, 60));
            const QPointF tip(fromLeft ? rng.uniform(120, w * 0.6) : w - rng.uniform(120, w * 0.6),
                              rng.uniform(10, 60 + canopy * 90));
            painter.setPen(
                QPen(QColor(60, 45, 34), rng.uniform(4, 9), Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(base, tip);
            painter.setPen(Qt::NoPen);
            for (int i = 0; i < 24; ++i) {
                const double t = rng.uniform(0.15, 1.0);
                const QPointF at = base + (tip - base) * t;
                painter.setBrush(vary(rng, QColor(40, 72, 42), 18));
                painter.drawEllipse(at + QPointF(rng.uniform(-25, 25), rng.uniform(-8, 22)),
                                    rng.uniform(14, 32), rng.uniform(8, 16));
            }
        }
    }

    // The plot board in the foreground carries the photo's label.
    const QRectF board(34, h - 118, 150, 62);
    painter.setPen(QPen(QColor(70, 60, 50), 1));
    painter.setBrush(QColor(110, 90, 60));
    painter.drawRect(QRectF(board.center().x() - 4, board.bottom(), 8, 50));
    painter.setBrush(QColor(246, 244, 236));
    painter.drawRect(board);
    QFont font(u"DejaVu Sans"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(22);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(20, 20, 20));
    painter.drawText(board, Qt::AlignCenter, photo.label.value_or(u"?"_s));

    // Lens falloff.
    QRadialGradient vignette(QPointF(w / 2, h / 2), w * 0.65);
    vignette.setColorAt(0.6, QColor(0, 0, 0, 0));
    vignette.setColorAt(1, QColor(0, 0, 0, 80));
    painter.setPen(Qt::NoPen);
    painter.setBrush(vignette);
    painter.drawRect(QRectF(0, 0, w, h));
    painter.end();
    return image;
}

QString describeSite(const std::optional<double>& value, int decimals) {
    if (!value)
        return u"\u2014"_s; // blank in the catalogue
    if (*value < 0)
        return u"not measured"_s;
    return QString::number(*value, 'f', decimals);
}

QString describeCode(const std::optional<QString>& code) {
    return code.value_or(u"\u2014"_s);
}

struct TableRow {
    QString name;
    QString value;
    bool emphasis = false;
};

double paintTable(QPainter& painter, double top, const QString& title,
                  const std::vector<TableRow>& rows) {
    constexpr double left = 70;
    constexpr double width = 710;
    constexpr double rowHeight = 30;
    QFont font(u"DejaVu Sans"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(17);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(44, 86, 60));
    painter.drawRect(QRectF(left, top, width, rowHeight + 4));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(left + 12, top, width - 24, rowHeight + 4), Qt::AlignVCenter, title);

    double y = top + rowHeight + 4;
    font.setPixelSize(16);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QRectF rowRect(left, y, width, rowHeight);
        painter.setPen(Qt::NoPen);
        painter.setBrush(i % 2 ? QColor(255, 255, 255) : QColor(238, 243, 238));
        painter.drawRect(rowRect);
        font.setBold(rows[i].emphasis);
        painter.setFont(font);
        painter.setPen(QColor(25, 25, 25));
        painter.drawText(rowRect.adjusted(12, 0, -230, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         rows[i].name);
        painter.drawText(rowRect.adjusted(width - 220, 0, -16, 0),
                         Qt::AlignVCenter | Qt::AlignRight, rows[i].value);
        y += rowHeight;
    }
    painter.setPen(QPen(QColor(150, 165, 150), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(left, top, width, y - top));
    painter.drawLine(QPointF(left + width - 230, top + rowHeight + 4),
                     QPointF(left + width - 230, y));
    return y;
}

QImage paintDataSheet(const Photo& photo) {
    const Book& book = books[static_cast<std::size_t>(photo.bookIndex)];
    const VegType& veg = vegTypes[static_cast<std::size_t>(photo.vegType)];
    QImage image(850, 1100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QFont font(u"DejaVu Sans"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(QColor(90, 90, 90));
    painter.drawText(QRectF(70, 40, 710, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     u"%1  \u00B7  Photo series data sheet"_s.arg(book.label));
    painter.setPen(QPen(QColor(44, 86, 60), 3));
    painter.drawLine(QPointF(70, 66), QPointF(780, 66));

    QFont serif(u"DejaVu Serif"_s);
    serif.setStyleHint(QFont::Serif);
    serif.setPixelSize(19);
    painter.setFont(serif);
    painter.setPen(QColor(30, 30, 30));
    painter.drawText(QRectF(70, 78, 710, 70), Qt::AlignLeft | Qt::TextWordWrap,
                     book.description.toString());

    font.setPixelSize(36);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(20, 20, 20));
    painter.drawText(QRectF(70, 150, 710, 50), Qt::AlignLeft | Qt::AlignVCenter,
                     u"Photo %1"_s.arg(photo.label.value_or(u"(unlabelled)"_s)));
    font.setPixelSize(18);
    font.setBold(false);
    painter.setFont(font);
    painter.setPen(QColor(60, 60, 60));
    painter.drawText(QRectF(70, 200, 710, 28), Qt::AlignLeft | Qt::AlignVCenter,
                     u"Site: %1"_s.arg(photo.group));

    // Size classes as the book defines them.
    std::vector<double> limits{0};
    for (std::size_t i = 0; i < 6; ++i)
        if (i < 3 || book.breaks[i] > 0)
            limits.push_back(book.breaks[i]);
    std::vector<TableRow> loading;
    for (std::size_t i = 0; i < limits.size(); ++i) {
        const QString range =
            i + 1 < limits.size()
                ? u"%1 to %2 in."_s.arg(formatNumber(limits[i]), formatNumber(limits[i + 1]))
                : u"over %1 in."_s.arg(formatNumber(limits[i]));
        loading.push_back({range, QString::number(photo.tons[i], 'f', 2)});
    }
    loading.push_back({u"0 to 3 in."_s, QString::number(photo.upTo3, 'f', 2), true});
    loading.push_back({u"Total"_s, QString::number(photo.total, 'f', 2), true});
    double y = paintTable(painter, 250, u"Downed woody fuel (tons per acre)"_s, loading);

    y = paintTable(
        painter, y + 26, u"Fuelbed and stand"_s,
        {
            {u"Average duff depth (in.)"_s, describeSite(photo.site[Duff], 1)},
            {u"Average fuelbed depth (in.)"_s, describeSite(photo.site[FuelbedDepth], 1)},
            {u"Herbaceous (tons per acre)"_s, describeSite(photo.site[Herb], 2)},
            {u"Shrub (tons per acre)"_s, describeSite(photo.site[Woody], 2)},
            {u"Canopy closure (%)"_s, describeSite(photo.site[Canopy], 0)},
            {u"Trees per acre"_s, describeSite(photo.site[Trees], 0)},
        });

    y = paintTable(painter, y + 26, u"Classification"_s,
                   {
                       {u"Vegetation type"_s,
                        photo.veg ? u"%1 (%2)"_s.arg(*photo.veg, veg.site) : u"\u2014"_s},
                       {u"Activity"_s, describeCode(photo.activity)},
                       {u"Fire behavior fuel model (2005)"_s, describeCode(photo.behave2005)},
                       {u"Fire behavior fuel model (1982)"_s, describeCode(photo.behave1982)},
                       {u"Fire danger rating fuel model"_s, describeCode(photo.danger)},
                   });

    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(QColor(120, 120, 120));
    painter.drawText(QRectF(70, 1040, 710, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     u"Demonstration data generated by Tarnwick \u2014 not for field use"_s);
    painter.drawText(QRectF(70, 1040, 710, 24), Qt::AlignRight | Qt::AlignVCenter, photo.dataPic);
    painter.end();
    return image;
}

void saveJpeg(const QImage& image, const QString& path) {
    if (!image.save(path, "JPG", 88))
        throw std::runtime_error(
            u"Cannot write the image %1"_s.arg(QDir::toNativeSeparators(path)).toStdString());
}

// Painting and compressing dominate the run time; each image is independent, so spread them
// over the cores. QPainter on a QImage is safe outside the GUI thread.
void writeImages(const QDir& root, const std::vector<Photo>& photos) {
    std::atomic<std::size_t> next{0};
    std::mutex errorMutex;
    std::exception_ptr firstError;
    const auto work = [&] {
        for (std::size_t i = next++; i < photos.size(); i = next++) {
            try {
                const Photo& photo = photos[i];
                const QString folder = u"PhotoImages/%1/"_s.arg(
                    books[static_cast<std::size_t>(photo.bookIndex)].label);
                saveJpeg(paintPhoto(photo), root.filePath(folder + photo.photoPic));
                saveJpeg(paintDataSheet(photo), root.filePath(folder + photo.dataPic));
            } catch (...) {
                const std::lock_guard lock(errorMutex);
                if (!firstError)
                    firstError = std::current_exception();
                next = photos.size();
            }
        }
    };
    const int threads = std::clamp(QThread::idealThreadCount(), 1, 8);
    std::vector<std::jthread> workers;
    for (int i = 1; i < threads; ++i)
        workers.emplace_back(work);
    work();
    workers.clear(); // joins
    if (firstError)
        std::rethrow_exception(firstError);
}

void makePath(const QDir& root, const QString& relative) {
    if (!root.mkpath(relative))
        throw std::runtime_error(
            u"Cannot create the folder %1"_s
                .arg(QDir::toNativeSeparators(QDir::cleanPath(root.filePath(relative))))
                .toStdString());
}

// What a user may have in the folder that writing the demo would replace: the catalogue, the code
// lists and the images.
QStringList installationContents(const QDir& root) {
    QStringList found;
    for (const QString& name :
         {QString::fromLatin1(catalogueFileName), codeListFile::vegetation, codeListFile::activity,
          codeListFile::dangerRating, codeListFile::fireBehaviour})
        if (QFileInfo::exists(root.filePath(name)))
            found << name;
    int images = 0;
    for (QDirIterator it(root.filePath(u"PhotoImages"_s), QDir::Files | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext(); it.next())
        ++images;
    if (images > 0)
        found << u"%1 %2 under PhotoImages"_s.arg(images).arg(images == 1 ? u"file"_s : u"files"_s);
    return found;
}

} // namespace

void writeDemoInstallation(const QString& dir, const DemoOptions& options) {
    if (options.photoCount < 0 || options.photoCount > maxDemoPhotoCount)
        throw std::runtime_error(
            u"The number of demo photos must be from 1 to %1 (or 0 for the standard set), not %2"_s
                .arg(maxDemoPhotoCount)
                .arg(options.photoCount)
                .toStdString());
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("Writing the demo images needs a running QGuiApplication");
    if (dir.isEmpty())
        throw std::runtime_error("No folder given for the demo installation");

    const QDir root(dir);
    if (const QStringList contents = installationContents(root);
        !contents.isEmpty() && !options.replaceInstallation)
        throw std::runtime_error(
            u"The folder %1 already holds an installation (%2), which the demo would replace. "
            u"Choose an empty or new folder, or give --force to replace it."_s
                .arg(QDir::toNativeSeparators(root.absolutePath()), contents.join(u", "_s))
                .toStdString());
    makePath(root, u"."_s);
    makePath(root, u"data"_s);
    for (const Book& book : books)
        makePath(root, u"PhotoImages/%1"_s.arg(book.label));
    writeCodeLists(root);

    const auto counts = photosPerBook(options.photoCount);
    CatalogueWriter catalogue(root);
    std::vector<Photo> pool;
    for (std::size_t b = 0; b < books.size(); ++b) {
        PhotoGenerator generator(static_cast<int>(b));
        for (int i = 0; i < counts[b]; ++i) {
            Photo photo = generator.next();
            catalogue.addPhoto(photo);
            if (i < imagePoolPerBook)
                pool.push_back(std::move(photo));
        }
    }
    // The catalogue goes in place last: it must never point at images that were not written.
    writeImages(root, pool);
    catalogue.install(root.filePath(QString::fromLatin1(catalogueFileName)));
}

} // namespace tarnwick::demo
