#include "catalogue/ResultsRows.h"

#include "catalogue/NumberFormat.h"
#include "catalogue/RecordSet.h"

#include <cmath>
#include <optional>
#include <QHash>

namespace tarnwick {

namespace {

constexpr Qt::Alignment left = Qt::AlignLeft;
constexpr Qt::Alignment right = Qt::AlignRight;

// The double-quote characters in two headers stand for inches.
const std::array<ResultsColumn, resultsColumnCount> columns{{
    {u"Book/Photo ID", u"BookPhotoID", 2500, left},
    {u"Description", u"Description", 3750, left},
    {u"DDW 0\" to 3\"", u"0to3", 1500, right},
    {u"DDW 3.1+\"", u"3Plus", 1500, right},
    {u"DDW:Total", u"Total", 1000, right},
    {u"Herb", u"HerbTonsPerAcre", 900, right},
    {u"Shrub", u"WoodyTonsPerAcre", 900, right},
    {u"Duff Depth", u"DuffDepth", 1100, right},
    {u"Fuel Bed Depth", u"FuelBedDepth", 1400, right},
    {u"Canopy Closure", u"CanopyClosure", 1400, right},
    {u"Trees Per Acre", u"TreesPerAcre", 1400, right},
    {u"Veg Type", u"VegType", 1500, left},
    {u"Activity Type", u"ActType", 1500, left},
    {u"FB-Model 2005", u"FBModel", 1500, left},
    {u"FB-Model 1982", u"FBModel2", 1500, left},
    {u"DR-Fuel Model", u"DRModel", 1500, left},
    {u"Picture", u"Picture", 0, left},
    {u"Data", u"Data", 0, left},
    {u"0to3Sort", u"0to3Sort", 0, left},
    {u"3+Sort", u"3+Sort", 0, left},
    {u"TotalSort", u"TotalSort", 0, left},
    {u"Dir", u"Dir", 0, left},
    {u"DuffSort", u"DuffSort", 0, left},
    {u"FuelBedSort", u"FuelBedSort", 0, left},
    {u"FBSModelsSort", u"FBSModelsSort", 0, left},
    {u"HerbSort", u"HerbSort", 0, left},
    {u"WoodySort", u"WoodySort", 0, left},
    {u"FBSModelsSort2", u"FBSModelsSort2", 0, left},
}};

// Visible columns whose numbers sort through a zero-padded hidden companion. "FB-Model 1982" has
// none: its companion column is never filled, so it sorts by its own text.
constexpr std::array<std::pair<int, int>, 8> sortKeyColumns{{
    {ZeroToThreeColumn, ZeroToThreeSortColumn},
    {ThreePlusColumn, ThreePlusSortColumn},
    {TotalColumn, TotalSortColumn},
    {DuffDepthColumn, DuffSortColumn},
    {FuelBedDepthColumn, FuelBedSortColumn},
    {FbModelColumn, FbModelSortColumn},
    {HerbColumn, HerbSortColumn},
    {ShrubColumn, ShrubSortColumn},
}};

const QString notAvailable = QStringLiteral("N/A");
// Sorts a photo without a 2005 fire behaviour model between model "00000" and "00001".
const QString noFireBehaviourModelKey = QStringLiteral("000000");

// The value as a number; Null and text that is no number give nothing.
std::optional<double> numberOf(const QVariant& value) {
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

// Only blanks are trimmed: a code's other characters are shown as stored.
QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return begin == 0 && end == text.size() ? text : text.mid(begin, end - begin);
}

// The field indexes the list reads, looked up once per set.
struct Fields {
    explicit Fields(const RecordSet& set)
        : id(set.requireFieldIndex(u"ID")), book(set.requireFieldIndex(u"BookLabel")),
          photo(set.requireFieldIndex(u"photolabel")), group(set.requireFieldIndex(u"GroupLabel")),
          duff(set.requireFieldIndex(u"AverageDuffDepth")),
          fuelBed(set.requireFieldIndex(u"AverageFuelbedDepth")),
          herb(set.requireFieldIndex(u"herbtonsperacre")),
          shrub(set.requireFieldIndex(u"woodytonsperacre")),
          canopy(set.requireFieldIndex(u"canopyclosure")),
          trees(set.requireFieldIndex(u"treesperacre")), vegType(set.requireFieldIndex(u"VegType")),
          activity(set.requireFieldIndex(u"Activity")),
          fbModel(set.requireFieldIndex(u"FireBehaveFM")),
          fbModel2(set.requireFieldIndex(u"FireBehaveFM2")),
          drModel(set.requireFieldIndex(u"DangerRatingFM")),
          photoPic(set.requireFieldIndex(u"PhotoPic")), dataPic(set.requireFieldIndex(u"DataPic")) {
        for (int k = 0; k < 7; ++k)
            classes[size_t(k)] =
                set.requireFieldIndex(QStringLiteral("TonsPerAcreBreak%1").arg(k + 1));
    }

    int id, book, photo, group, duff, fuelBed, herb, shrub, canopy, trees, vegType, activity,
        fbModel, fbModel2, drModel, photoPic, dataPic;
    std::array<int, 7> classes{};
};

// Numbers repeat across a catalogue (loadings to the hundredth, depths to the tenth): each
// distinct value is formatted once per set and its rows share the text, which keeps a fill of a
// large catalogue fast and small.
class NumberTexts {
public:
    // A format pattern, or an empty one for the value as stored.
    explicit NumberTexts(QStringView pattern = {}) : pattern_(pattern) {}

    const QString& operator()(double value) {
        auto found = texts_.constFind(value);
        if (found == texts_.cend())
            found = texts_.insert(value, pattern_.isEmpty() ? plainNumber(value)
                                                            : formatNumber(value, pattern_));
        return *found;
    }

private:
    QStringView pattern_;
    QHash<double, QString> texts_;
};

// A value shown in a visible column and, zero-padded, in its hidden sort-key column.
struct PairedTexts {
    PairedTexts(QStringView format, QStringView sortFormat) : shown(format), sortKey(sortFormat) {}
    NumberTexts shown;
    NumberTexts sortKey;
};

// A loading sum goes empty when any of its classes is Null, as the old arithmetic on Null did.
void writeLoading(ResultsRow& row, std::optional<double> loading, int column, int sortColumn,
                  PairedTexts& texts) {
    if (!loading)
        return;
    row.cells[size_t(column)] = texts.shown(*loading);
    row.cells[size_t(sortColumn)] = texts.sortKey(*loading);
}

// An optional measurement: Null leaves both cells empty, below 0 is "not available".
void writeMeasurement(ResultsRow& row, const QVariant& value, int column, int sortColumn,
                      PairedTexts& texts) {
    const std::optional<double> number = numberOf(value);
    if (!number)
        return;
    if (*number >= 0) {
        row.cells[size_t(column)] = texts.shown(*number);
        row.cells[size_t(sortColumn)] = texts.sortKey(*number);
    } else {
        row.cells[size_t(column)] = notAvailable;
        row.cells[size_t(sortColumn)] = notAvailable;
    }
}

// An optional value shown as stored, without a sort companion.
void writeStoredMeasurement(ResultsRow& row, const QVariant& value, int column,
                            NumberTexts& texts) {
    const std::optional<double> number = numberOf(value);
    if (!number)
        return;
    if (*number < 0)
        row.cells[size_t(column)] = notAvailable;
    else if (value.typeId() == QMetaType::Double)
        row.cells[size_t(column)] = texts(*number);
    else
        row.cells[size_t(column)] = textOfValue(value);
}

std::optional<double> sumOf(const std::array<std::optional<double>, 7>& classes, int first,
                            int last) {
    double sum = 0;
    for (int k = first; k <= last; ++k) {
        if (!classes[size_t(k)])
            return std::nullopt;
        sum += *classes[size_t(k)];
    }
    return sum;
}

} // namespace

const std::array<ResultsColumn, resultsColumnCount>& resultsColumns() {
    return columns;
}

int resultsColumnIndex(QStringView key) {
    for (int i = 0; i < resultsColumnCount; ++i)
        if (columns[size_t(i)].key == key)
            return i;
    return -1;
}

int sortKeyColumn(int column) {
    for (const auto& [visible, hidden] : sortKeyColumns)
        if (visible == column)
            return hidden;
    return column;
}

int twipsToPixels(int twips, double logicalDpi) {
    return int(std::lround(twips * logicalDpi / 1440.0));
}

const QString& ResultsRow::cell(QStringView columnKey) const {
    static const QString none;
    const int column = resultsColumnIndex(columnKey);
    return column < 0 ? none : cells[size_t(column)];
}

qint64 ResultsRow::photoId() const {
    return QStringView(key).mid(1).toLongLong();
}

std::vector<ResultsRow> composeResultsRows(const RecordSet& set) {
    std::vector<ResultsRow> rows;
    if (set.recordCount() < 1)
        return rows;
    const Fields f(set);
    PairedTexts zeroToThree(u"####0.00", u"00000.00");
    PairedTexts threePlus(u"####0.00", u"000000.00");
    PairedTexts total(u"####0.00", u"000000.00");
    PairedTexts duff(u"###0.0", u"00000.0");
    PairedTexts fuelBed(u"###0.0", u"00000.0");
    PairedTexts herb(u"#0.000", u"000000.000");
    PairedTexts shrub(u"#0.000", u"000000.000");
    NumberTexts storedNumbers;
    QHash<QString, QString> fbModelSortKeys;

    rows.reserve(size_t(set.recordCount()));
    for (int r = 0; r < set.recordCount(); ++r) {
        const QVariant& book = set.value(r, f.book);
        const QVariant& photo = set.value(r, f.photo);
        if (book.isNull() || photo.isNull())
            continue;
        ResultsRow& row = rows.emplace_back();
        const QString bookLabel = textOfValue(book);
        row.key = u'P' + textOfValue(set.value(r, f.id));
        row.cells[BookPhotoIdColumn] = bookLabel + u'/' + textOfValue(photo);
        row.cells[DescriptionColumn] = textOfValue(set.value(r, f.group));

        std::array<std::optional<double>, 7> classes;
        for (size_t k = 0; k < classes.size(); ++k)
            classes[k] = numberOf(set.value(r, f.classes[k]));
        writeLoading(row, sumOf(classes, 0, 2), ZeroToThreeColumn, ZeroToThreeSortColumn,
                     zeroToThree);
        writeLoading(row, sumOf(classes, 3, 6), ThreePlusColumn, ThreePlusSortColumn, threePlus);
        writeLoading(row, sumOf(classes, 0, 6), TotalColumn, TotalSortColumn, total);

        writeMeasurement(row, set.value(r, f.duff), DuffDepthColumn, DuffSortColumn, duff);
        writeMeasurement(row, set.value(r, f.fuelBed), FuelBedDepthColumn, FuelBedSortColumn,
                         fuelBed);

        const QVariant& fbModel = set.value(r, f.fbModel);
        if (fbModel.isNull()) {
            row.cells[FbModelSortColumn] = noFireBehaviourModelKey;
        } else {
            const QString model = textOfValue(fbModel);
            auto key = fbModelSortKeys.constFind(model);
            if (key == fbModelSortKeys.cend())
                key = fbModelSortKeys.insert(model, formatValue(fbModel, u"00000"));
            row.cells[FbModelSortColumn] = *key;
        }

        row.cells[VegTypeColumn] = textOfValue(set.value(r, f.vegType));
        row.cells[ActTypeColumn] = textOfValue(set.value(r, f.activity));
        row.cells[FbModelColumn] = trimBlanks(textOfValue(fbModel));
        row.cells[FbModel2Column] = trimBlanks(textOfValue(set.value(r, f.fbModel2)));
        row.cells[DrModelColumn] = textOfValue(set.value(r, f.drModel));
        row.cells[PictureColumn] = textOfValue(set.value(r, f.photoPic));
        row.cells[DataColumn] = textOfValue(set.value(r, f.dataPic));
        row.cells[DirColumn] = bookLabel;

        writeMeasurement(row, set.value(r, f.herb), HerbColumn, HerbSortColumn, herb);
        writeMeasurement(row, set.value(r, f.shrub), ShrubColumn, ShrubSortColumn, shrub);

        writeStoredMeasurement(row, set.value(r, f.canopy), CanopyClosureColumn, storedNumbers);
        writeStoredMeasurement(row, set.value(r, f.trees), TreesPerAcreColumn, storedNumbers);
    }
    return rows;
}

} // namespace tarnwick
