#include "DemoPhotos.h"

#include <cmath>
#include <cstdint>
#include <span>

using namespace Qt::StringLiterals;

namespace tarnwick::demo {
namespace {

double round2(double value) {
    return std::round(value * 100.0) / 100.0;
}
double round1(double value) {
    return std::round(value * 10.0) / 10.0;
}

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

} // namespace

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

} // namespace tarnwick::demo
