#include "query/SiteMatch.h"

#include "catalogue/RecordSet.h"
#include "query/QueryBuilder.h"

#include <algorithm>
#include <cmath>
#include <QString>

namespace tarnwick {

namespace {

// A photo's value of a quantity; nullopt when it was not measured (Null, or below 0 for "not
// available"). The woody loadings are sums of size classes: one Null class makes the sum Null,
// as the list shows it.
class QuantityReader {
public:
    explicit QuantityReader(const RecordSet& set) : set_(set) {
        for (int k = 0; k < 7; ++k)
            classes_[size_t(k)] =
                set.requireFieldIndex(QStringLiteral("TonsPerAcreBreak%1").arg(k + 1));
        duff_ = set.requireFieldIndex(u"AverageDuffDepth");
        fuelBed_ = set.requireFieldIndex(u"AverageFuelbedDepth");
        herb_ = set.requireFieldIndex(u"HerbTonsPerAcre");
        shrub_ = set.requireFieldIndex(u"WoodyTonsPerAcre");
    }

    std::optional<double> value(int record, SiteQuantity quantity) const {
        std::optional<double> v;
        switch (quantity) {
        case SiteQuantity::Fine:
            v = classSum(record, 0, 2);
            break;
        case SiteQuantity::Coarse:
            v = classSum(record, 3, 6);
            break;
        case SiteQuantity::Duff:
            v = set_.number(record, duff_);
            break;
        case SiteQuantity::FuelBed:
            v = set_.number(record, fuelBed_);
            break;
        case SiteQuantity::Herb:
            v = set_.number(record, herb_);
            break;
        case SiteQuantity::Shrub:
            v = set_.number(record, shrub_);
            break;
        }
        if (v && (*v < 0 || !std::isfinite(*v)))
            return std::nullopt;
        return v;
    }

private:
    std::optional<double> classSum(int record, int first, int last) const {
        double sum = 0;
        for (int k = first; k <= last; ++k) {
            const std::optional<double> part = set_.number(record, classes_[size_t(k)]);
            if (!part)
                return std::nullopt;
            sum += *part;
        }
        return sum;
    }

    const RecordSet& set_;
    std::array<int, 7> classes_{};
    int duff_ = -1;
    int fuelBed_ = -1;
    int herb_ = -1;
    int shrub_ = -1;
};

} // namespace

bool anySiteValue(const SiteValues& site) {
    return std::any_of(site.begin(), site.end(), [](const auto& v) { return v.has_value(); });
}

std::optional<double> readSiteValue(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    QLocale own = locale;
    // A group separator would read "1.5" as 15 where the point groups thousands.
    own.setNumberOptions(QLocale::RejectGroupSeparator);
    double value = own.toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value) || value < 0)
        return std::nullopt;
    return value;
}

QString siteQuantityLabel(SiteQuantity quantity) {
    switch (quantity) {
    case SiteQuantity::Fine:
        return QStringLiteral("DDW 0\"-3\" (t/ac)");
    case SiteQuantity::Coarse:
        return QStringLiteral("DDW 3.1\"+ (t/ac)");
    case SiteQuantity::Duff:
        return QStringLiteral("Duff depth (in)");
    case SiteQuantity::FuelBed:
        return QStringLiteral("Fuel bed depth (in)");
    case SiteQuantity::Herb:
        return QStringLiteral("Herb (t/ac)");
    case SiteQuantity::Shrub:
        return QStringLiteral("Shrub (t/ac)");
    }
    return QString();
}

QString siteValuesLine(const SiteValues& site) {
    QStringList parts;
    for (int q = 0; q < siteQuantityCount; ++q)
        if (site[size_t(q)])
            parts << siteQuantityLabel(SiteQuantity(q)) + u' ' +
                         QLocale::c().toString(*site[size_t(q)], 'g', 6);
    return QStringLiteral("Site: ") + parts.join(QStringLiteral(", "));
}

SiteValuesRead readSiteValues(const std::array<QString, siteQuantityCount>& texts,
                              const QLocale& locale) {
    SiteValuesRead read;
    for (int q = 0; q < siteQuantityCount; ++q) {
        const QString& text = texts[size_t(q)];
        if (text.trimmed().isEmpty())
            continue;
        read.site[size_t(q)] = readSiteValue(text, locale);
        if (!read.site[size_t(q)] && read.problem.isEmpty())
            read.problem = siteQuantityLabel(SiteQuantity(q)) + QStringLiteral(": '") +
                           text.trimmed() + QStringLiteral("' is no number. ") +
                           siteValuesMustBeNumbers;
    }
    return read;
}

double siteDistanceConstant(SiteQuantity quantity) {
    switch (quantity) {
    case SiteQuantity::Fine:
    case SiteQuantity::Coarse:
        return 0.1; // t/ac; the list shows hundredths, the transects are coarser
    case SiteQuantity::Duff:
    case SiteQuantity::FuelBed:
        return 0.1; // inches, the list's precision
    case SiteQuantity::Herb:
    case SiteQuantity::Shrub:
        return 0.01; // t/ac; live loadings are an order smaller than the woody ones
    }
    return 0.1;
}

double siteDistance(SiteQuantity quantity, double photo, double site) {
    return std::abs(photo - site) /
           (std::abs(photo) + std::abs(site) + siteDistanceConstant(quantity));
}

int SiteMatch::percent() const {
    if (missing == 0 && distance == 0)
        return 100;
    // A photo that differs at all never reads as a perfect match.
    return std::min(99, int(std::lround(100.0 * (1.0 - distance))));
}

std::vector<SiteMatch> siteMatches(const RecordSet& set, const SiteValues& site) {
    std::vector<SiteMatch> matches(size_t(set.recordCount()));
    if (set.recordCount() == 0)
        return matches;
    int entered = 0;
    for (const auto& v : site)
        entered += v ? 1 : 0;
    if (entered == 0)
        return matches;
    const QuantityReader reader(set);
    for (int record = 0; record < set.recordCount(); ++record) {
        SiteMatch& match = matches[size_t(record)];
        double sum = 0;
        for (int q = 0; q < siteQuantityCount; ++q) {
            if (!site[size_t(q)])
                continue;
            const auto quantity = SiteQuantity(q);
            if (const std::optional<double> value = reader.value(record, quantity)) {
                sum += siteDistance(quantity, *value, *site[size_t(q)]);
            } else {
                ++match.missing;
                sum += 1.0;
            }
        }
        match.distance = sum / entered;
    }
    return matches;
}

void rankNearestFirst(std::vector<int>& rows, const std::vector<SiteMatch>& matchOfRow) {
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        const SiteMatch& x = matchOfRow[size_t(a)];
        const SiteMatch& y = matchOfRow[size_t(b)];
        if (x.missing != y.missing)
            return x.missing < y.missing;
        return x.distance < y.distance;
    });
}

QString siteSearchStatement(const QStringList& vegTypes) {
    if (vegTypes.isEmpty())
        return QStringLiteral("SELECT * FROM qryactive;");
    return QStringLiteral("SELECT * FROM qryactive WHERE Vegtype in (") + quotedCodeSet(vegTypes) +
           QStringLiteral(");");
}

ResultsListModel::PreparedFill prepareSiteRanking(const RecordSet& set, const SiteValues& site) {
    ResultsListModel::PreparedFill prepared = ResultsListModel::prepareFill(set, BookPhotoIdColumn);
    const std::vector<SiteMatch> byRecord = siteMatches(set, site);
    const int rows = prepared.source.rowCount();
    std::vector<SiteMatch> byRow(static_cast<size_t>(rows));
    prepared.matchPercent.resize(size_t(rows));
    for (int row = 0; row < rows; ++row) {
        byRow[size_t(row)] = byRecord[size_t(prepared.source.record(row))];
        prepared.matchPercent[size_t(row)] = quint8(byRow[size_t(row)].percent());
    }
    rankNearestFirst(prepared.order, byRow);
    return prepared;
}

} // namespace tarnwick
