#include "resultslist/ResultsRows.h"

#include "catalogue/PhotoLabels.h"
#include "catalogue/RecordSet.h"
#include "text/NumberFormat.h"

#include <bit>
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

// Sorts a photo without a 2005 fire behaviour model between model "00000" and "00001".
const QString noFireBehaviourModelKey = QStringLiteral("000000");

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

// How a column's cell comes from the record.
enum class CellKind {
    RowText,      // BookLabel/PhotoLabel
    Text,         // a field as stored
    TrimmedText,  // a model code, blanks around it removed
    Loading,      // a sum of size classes through a pattern; empty when a class is Null
    Measurement,  // an optional value through a pattern; "N/A" below 0
    Stored,       // an optional value as stored; "N/A" below 0
    ModelSortKey, // the 2005 model through "00000", "000000" without one
    Empty,
};

struct CellRule {
    CellKind kind;
    const char16_t* pattern = nullptr; // Loading, Measurement
    int first = 0;                     // Loading: size classes first..last (0-based)
    int last = 0;
};

// Field slots of the rules below; the indexes are looked up once per set.
enum FieldSlot {
    Book,
    Photo,
    Group,
    Duff,
    FuelBed,
    Herb,
    Shrub,
    Canopy,
    Trees,
    VegType,
    Activity,
    FbModel,
    FbModel2,
    DrModel,
    PhotoPic,
    DataPic,
    Id,
    FieldSlotCount
};

const std::array<std::pair<CellRule, int>, resultsColumnCount> cellRules{{
    {{CellKind::RowText}, -1},
    {{CellKind::Text}, Group},
    {{CellKind::Loading, u"####0.00", 0, 2}, -1},
    {{CellKind::Loading, u"####0.00", 3, 6}, -1},
    {{CellKind::Loading, u"####0.00", 0, 6}, -1},
    {{CellKind::Measurement, u"#0.000"}, Herb},
    {{CellKind::Measurement, u"#0.000"}, Shrub},
    {{CellKind::Measurement, u"###0.0"}, Duff},
    {{CellKind::Measurement, u"###0.0"}, FuelBed},
    {{CellKind::Stored}, Canopy},
    {{CellKind::Stored}, Trees},
    {{CellKind::Text}, VegType},
    {{CellKind::Text}, Activity},
    {{CellKind::TrimmedText}, FbModel},
    {{CellKind::TrimmedText}, FbModel2},
    {{CellKind::Text}, DrModel},
    {{CellKind::Text}, PhotoPic},
    {{CellKind::Text}, DataPic},
    {{CellKind::Loading, u"00000.00", 0, 2}, -1},
    {{CellKind::Loading, u"000000.00", 3, 6}, -1},
    {{CellKind::Loading, u"000000.00", 0, 6}, -1},
    {{CellKind::Text}, Book},
    {{CellKind::Measurement, u"00000.0"}, Duff},
    {{CellKind::Measurement, u"00000.0"}, FuelBed},
    {{CellKind::ModelSortKey}, FbModel},
    {{CellKind::Measurement, u"000000.000"}, Herb},
    {{CellKind::Measurement, u"000000.000"}, Shrub},
    {{CellKind::Empty}, -1},
}};

constexpr quint64 nullIdentity = ~quint64(0);
constexpr quint64 notAvailableIdentity = ~quint64(0) - 1;

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
    return photoIdOfListKey(key).value_or(0);
}

struct ResultsRowSource::Fields {
    explicit Fields(const RecordSet& set) {
        const std::array<const char16_t*, FieldSlotCount> names{u"BookLabel",
                                                                u"photolabel",
                                                                u"GroupLabel",
                                                                u"AverageDuffDepth",
                                                                u"AverageFuelbedDepth",
                                                                u"herbtonsperacre",
                                                                u"woodytonsperacre",
                                                                u"canopyclosure",
                                                                u"treesperacre",
                                                                u"VegType",
                                                                u"Activity",
                                                                u"FireBehaveFM",
                                                                u"FireBehaveFM2",
                                                                u"DangerRatingFM",
                                                                u"PhotoPic",
                                                                u"DataPic",
                                                                u"ID"};
        for (size_t i = 0; i < names.size(); ++i)
            indexes[i] = set.requireFieldIndex(QStringView(names[i]));
        for (int k = 0; k < 7; ++k)
            classes[size_t(k)] =
                set.requireFieldIndex(QStringLiteral("TonsPerAcreBreak%1").arg(k + 1));
    }

    int at(int slot) const { return indexes[size_t(slot)]; }

    std::array<int, FieldSlotCount> indexes{};
    std::array<int, 7> classes{};
};

ResultsRowSource::ResultsRowSource(const RecordSet& set) : set_(set) {
    if (set.recordCount() < 1)
        return;
    fields_ = std::make_shared<const Fields>(set);
    records_.reserve(size_t(set.recordCount()));
    const int book = fields_->at(Book);
    const int photo = fields_->at(Photo);
    for (int r = 0; r < set.recordCount(); ++r)
        if (!set.isNull(r, book) && !set.isNull(r, photo))
            records_.push_back(r);
}

qint64 ResultsRowSource::photoId(int row) const {
    return qint64(set_.number(records_[size_t(row)], fields_->at(Id)).value_or(0));
}

QString ResultsRowSource::key(int row) const {
    return photoListKey(set_.text(records_[size_t(row)], fields_->at(Id)));
}

std::optional<double> ResultsRowSource::classSum(int record, int first, int last) const {
    double sum = 0;
    for (int k = first; k <= last; ++k) {
        const std::optional<double> part = set_.number(record, fields_->classes[size_t(k)]);
        if (!part)
            return std::nullopt; // the old arithmetic on Null gave Null
        sum += *part;
    }
    return sum;
}

QString ResultsRowSource::cell(int row, int column) const {
    const int record = records_[size_t(row)];
    const auto& [rule, slot] = cellRules[size_t(column)];
    const int field = slot >= 0 ? fields_->at(slot) : -1;
    switch (rule.kind) {
    case CellKind::RowText:
        return photoDisplayLabel(set_.text(record, fields_->at(Book)),
                                 set_.text(record, fields_->at(Photo)));
    case CellKind::Text:
        return set_.text(record, field);
    case CellKind::TrimmedText:
        return trimBlanks(set_.text(record, field));
    case CellKind::ModelSortKey: {
        const QVariant model = set_.value(record, field);
        return model.isNull() ? noFireBehaviourModelKey : formatValue(model, u"00000");
    }
    case CellKind::Empty:
        return QString();
    default: {
        QByteArray text;
        appendNumberCell(text, record, column);
        return QString::fromUtf8(text);
    }
    }
}

void ResultsRowSource::appendCellUtf8(QByteArray& out, int row, int column) const {
    const int record = records_[size_t(row)];
    const auto& [rule, slot] = cellRules[size_t(column)];
    const int field = slot >= 0 ? fields_->at(slot) : -1;
    switch (rule.kind) {
    case CellKind::RowText:
        set_.appendTextTo(out, record, fields_->at(Book));
        out += photoLabelSeparator;
        set_.appendTextTo(out, record, fields_->at(Photo));
        return;
    case CellKind::Text:
        set_.appendTextTo(out, record, field);
        return;
    case CellKind::TrimmedText:
    case CellKind::ModelSortKey:
        out += cell(row, column).toUtf8();
        return;
    case CellKind::Empty:
        return;
    default:
        appendNumberCell(out, record, column);
    }
}

void ResultsRowSource::appendKeyUtf8(QByteArray& out, int row) const {
    out += photoListKeyPrefix;
    set_.appendTextTo(out, records_[size_t(row)], fields_->at(Id));
}

void ResultsRowSource::appendNumberCell(QByteArray& out, int record, int column) const {
    const auto& [rule, slot] = cellRules[size_t(column)];
    const int field = slot >= 0 ? fields_->at(slot) : -1;
    const auto pattern = QStringView(rule.pattern);
    if (rule.kind == CellKind::Loading) {
        if (const std::optional<double> sum = classSum(record, rule.first, rule.last))
            appendFormattedNumber(out, *sum, pattern);
        return;
    }
    const std::optional<double> value = set_.number(record, field);
    if (!value)
        return;
    if (*value < 0) {
        out += "N/A";
        return;
    }
    if (rule.kind == CellKind::Measurement)
        appendFormattedNumber(out, *value, pattern);
    else if (set_.value(record, field).typeId() == QMetaType::Double)
        appendPlainNumber(out, *value);
    else
        set_.appendTextTo(out, record, field);
}

ResultsRow ResultsRowSource::row(int row) const {
    ResultsRow composed;
    composed.key = key(row);
    for (int column = 0; column < resultsColumnCount; ++column)
        composed.cells[size_t(column)] = cell(row, column);
    return composed;
}

bool ResultsRowSource::hasIdentities(int column) const {
    const auto& [rule, slot] = cellRules[size_t(column)];
    switch (rule.kind) {
    case CellKind::RowText:
        return false;
    case CellKind::Loading:
        return true;
    case CellKind::Empty:
        return true;
    default:
        return set_.hasIdentities(fields_->at(slot));
    }
}

quint64 ResultsRowSource::cellIdentity(int row, int column) const {
    const int record = records_[size_t(row)];
    const auto& [rule, slot] = cellRules[size_t(column)];
    switch (rule.kind) {
    case CellKind::Loading: {
        const std::optional<double> sum = classSum(record, rule.first, rule.last);
        return sum ? std::bit_cast<quint64>(*sum + 0.0) : nullIdentity;
    }
    case CellKind::Measurement: {
        const std::optional<double> value = set_.number(record, fields_->at(slot));
        if (!value)
            return nullIdentity;
        return *value < 0 ? notAvailableIdentity : std::bit_cast<quint64>(*value + 0.0);
    }
    case CellKind::Empty:
    case CellKind::RowText:
        return 0;
    default:
        return set_.identity(record, fields_->at(slot));
    }
}

std::vector<ResultsRow> composeResultsRows(const RecordSet& set) {
    const ResultsRowSource source(set);
    std::vector<ResultsRow> rows;
    rows.reserve(size_t(source.rowCount()));
    for (int row = 0; row < source.rowCount(); ++row)
        rows.push_back(source.row(row));
    return rows;
}

} // namespace tarnwick
