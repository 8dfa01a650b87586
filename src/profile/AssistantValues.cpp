#include "profile/AssistantValues.h"

#include "catalogue/PhotoLabels.h"
#include "catalogue/RecordSet.h"
#include "text/NumberFormat.h"

#include <optional>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

const QString oneDecimal = u"###0.0"_s;
const QString differencePattern = u"##0.0"_s;

std::optional<double> sumOf(const RecordSet& photo, int first, int last) {
    double sum = 0;
    for (int k = first; k <= last; ++k) {
        const std::optional<double> part = photo.number(0, u"TonsPerAcreBreak%1"_s.arg(k));
        if (!part)
            return std::nullopt; // a missing class leaves the sum unknown
        sum += *part;
    }
    return sum;
}

QString shownLoading(std::optional<double> value) {
    return value ? formatNumber(*value, oneDecimal) : QString();
}

QString shownMeasurement(const RecordSet& photo, QStringView field) {
    const std::optional<double> value = photo.number(0, field);
    if (!value)
        return QString();
    return *value < 0 ? noDataText : formatNumber(*value, oneDecimal);
}

// The old runtime's test of whether a text is a number as a whole.
std::optional<double> wholeNumber(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QString shownProfileText(const QString& value) {
    const std::optional<double> number = wholeNumber(value);
    if (!number)
        return value; // "N/A" and any other text as it stands
    return *number < 0 ? noDataText : formatNumber(*number, differencePattern);
}

bool hasNoData(const ComparisonTab& tab, ComparedRow row) {
    return tab.photos[0][row] == noDataText || tab.photos[1][row] == noDataText;
}

} // namespace

PhotoColumn photoColumn(const RecordSet& photo) {
    if (photo.isEmpty())
        return {};
    PhotoColumn column;
    column.photo = photoDisplayLabel(photo);
    column.zeroToThree = shownLoading(sumOf(photo, 1, 3));
    column.threePlus = shownLoading(sumOf(photo, 4, 7));
    column.total = shownLoading(sumOf(photo, 1, 7));
    column.duff = shownMeasurement(photo, u"AverageDuffDepth");
    column.fuelBed = shownMeasurement(photo, u"AverageFuelbedDepth");
    column.herb = shownMeasurement(photo, u"HerbTonsPerAcre");
    column.woody = shownMeasurement(photo, u"WoodyTonsPerAcre");
    column.vegType = photo.text(0, u"VegType");
    column.activity = photo.text(0, u"Activity");
    return column;
}

const QString& RowTexts::operator[](ComparedRow row) const {
    const RowTexts& column = *this;
    switch (row) {
    case ComparedRow::ZeroToThree:
        return column.zeroToThree;
    case ComparedRow::ThreePlus:
        return column.threePlus;
    case ComparedRow::Total:
        return column.total;
    case ComparedRow::Duff:
        return column.duff;
    case ComparedRow::FuelBed:
        return column.fuelBed;
    case ComparedRow::Herb:
        return column.herb;
    case ComparedRow::Woody:
        return column.woody;
    }
    return column.total;
}

const std::array<ComparisonTabRow, 9>& comparisonTabRows() {
    static const std::array<ComparisonTabRow, 9> rows{{
        {u"DDW 0\" - 3\" (Tons Per Acre)", u"lbl0to3", ComparedRow::ZeroToThree},
        {u"DDW 3.1\" + (Tons Per Acre)", u"lbl3Plus", ComparedRow::ThreePlus},
        {u"DDW Total (Tons Per Acre)", u"lblTotal", ComparedRow::Total},
        {u"Duff Depth (in)", u"lblDuff", ComparedRow::Duff},
        {u"Fuel Bed Depth (in)", u"lblFuelBed", ComparedRow::FuelBed},
        {u"Herb (Tons Per Acre)", u"lblHerb", ComparedRow::Herb},
        {u"Shrub (Tons Per Acre)", u"lblWoody", ComparedRow::Woody},
        {u"Vegetation Type", u"lblVegType", std::nullopt},
        {u"Activity", u"lblActType", std::nullopt},
    }};
    return rows;
}

QString comparisonRowText(const PhotoColumn& column, const ComparisonTabRow& row) {
    if (row.compared)
        return column[*row.compared];
    return QStringView(row.name) == u"lblVegType" ? column.vegType : column.activity;
}

const std::array<BuilderTabRow, 7>& builderTabRows() {
    static const std::array<BuilderTabRow, 7> rows{{
        {u"DDW 0\" - 3\" (tpa)", u"0to3", ComparedRow::ZeroToThree, ProfileComponent::ZeroToThree},
        {u"DDW 3.1\" + (tpa)", u"3Plus", ComparedRow::ThreePlus, ProfileComponent::ThreePlus},
        {u"DDW Total (tpa)", u"Total", ComparedRow::Total, std::nullopt},
        {u"Duff Depth (in)", u"Duff", ComparedRow::Duff, ProfileComponent::Duff},
        {u"Fuel Bed Depth (in)", u"FuelBed", ComparedRow::FuelBed, ProfileComponent::FuelBed},
        {u"Herb (tpa)", u"Herb", ComparedRow::Herb, ProfileComponent::Herb},
        {u"Shrub (tpa)", u"Woody", ComparedRow::Woody, ProfileComponent::Woody},
    }};
    return rows;
}

const QString& profileSource(const FuelProfile& profile, ProfileComponent component) {
    switch (component) {
    case ProfileComponent::Duff:
        return profile.duffSource;
    case ProfileComponent::FuelBed:
        return profile.fuelBedSource;
    case ProfileComponent::ZeroToThree:
        return profile.source0to3;
    case ProfileComponent::ThreePlus:
        return profile.source3Plus;
    case ProfileComponent::Herb:
        return profile.herbSource;
    case ProfileComponent::Woody:
        break;
    }
    return profile.woodySource;
}

ComparisonTab comparisonTab(const RecordSet& slot0, const RecordSet& slot1) {
    ComparisonTab tab;
    tab.photos = {photoColumn(slot0), photoColumn(slot1)};
    for (int r = 0; r < comparedRowCount; ++r) {
        const auto row = ComparedRow(r);
        Difference& difference = tab.differences[size_t(r)];
        const bool measured = row == ComparedRow::Duff || row == ComparedRow::FuelBed ||
                              row == ComparedRow::Herb || row == ComparedRow::Woody;
        if (measured && hasNoData(tab, row)) {
            difference = {u"N/A"_s, {smallerColour, smallerColour}};
            continue;
        }
        const double a = leadingNumber(tab.photos[0][row]);
        const double b = leadingNumber(tab.photos[1][row]);
        difference =
            a > b
                ? Difference{formatNumber(a - b, differencePattern), {largerColour, smallerColour}}
                : Difference{formatNumber(b - a, differencePattern), {smallerColour, largerColour}};
    }
    return tab;
}

PhotoColumn currentPhotoColumn(const ComparisonTab& tab, int currentSlot) {
    const size_t slot = currentSlot == 1 ? 1 : 0;
    return tab.photos[slot].photo.isEmpty() ? tab.photos[0] : tab.photos[slot];
}

ProfileColumn profileColumn(const FuelProfile& profile) {
    ProfileColumn column;
    column.zeroToThree = formatNumber(profile.break2 + profile.break1 + profile.break3, oneDecimal);
    column.threePlus = formatNumber(profile.value3Plus, differencePattern);
    column.duff = shownProfileText(profile.duffValue);
    column.fuelBed = shownProfileText(profile.fuelBedValue);
    column.herb = shownProfileText(profile.herbValue);
    column.woody = shownProfileText(profile.woodyValue);
    // The two rounded displays are added, not the stored values: the total reads as their sum.
    column.total = plainNumber(leadingNumber(column.zeroToThree) + leadingNumber(column.threePlus));
    return column;
}

QString assistantTitle(const QString& profileFileName) {
    return u"Tarnwick Assistant["_s + profileFileName + u']';
}

void takeProfileValue(FuelProfile& profile, ProfileComponent component, const PhotoColumn& current,
                      const RecordSet& currentPhoto) {
    const auto displayed = [](const QString& text) { return text == noDataText ? u"N/A"_s : text; };
    const auto writtenOut = [](const QString& text) {
        return text == noDataText ? u"N/A"_s : plainNumber(leadingNumber(text));
    };
    const auto raw = [&currentPhoto](int k) {
        return currentPhoto.isEmpty()
                   ? 0.0
                   : currentPhoto.number(0, u"TonsPerAcreBreak%1"_s.arg(k)).value_or(0.0);
    };
    switch (component) {
    case ProfileComponent::Duff:
        profile.duffValue = displayed(current.duff);
        profile.duffSource = current.photo;
        break;
    case ProfileComponent::FuelBed:
        profile.fuelBedValue = displayed(current.fuelBed);
        profile.fuelBedSource = current.photo;
        break;
    case ProfileComponent::ZeroToThree:
        profile.break1 = raw(1);
        profile.break2 = raw(2);
        profile.break3 = raw(3);
        profile.source0to3 = current.photo;
        break;
    case ProfileComponent::ThreePlus:
        profile.value3Plus = leadingNumber(current.threePlus);
        profile.source3Plus = current.photo;
        break;
    case ProfileComponent::Herb:
        profile.herbValue = writtenOut(current.herb);
        profile.herbSource = current.photo;
        break;
    case ProfileComponent::Woody:
        profile.woodyValue = writtenOut(current.woody);
        profile.woodySource = current.photo;
        break;
    }
}

} // namespace tarnwick
