#include "catalogue/RecordSet.h"

#include "catalogue/DatabaseError.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <deque>
#include <string>
#include <string_view>

namespace tarnwick {

namespace {

// Null among numbers: a NaN no arithmetic produces (the engine never stores a NaN).
constexpr quint64 nullBits = 0x7ff8'dead'beef'0000ULL;
const double nullNumber = std::bit_cast<double>(nullBits);
constexpr quint32 noText = 0xffff'ffffU;
// Integers beyond this lose digits as doubles; such a column keeps its values as they came.
constexpr qint64 largestExactInteger = qint64(1) << 53;
// A column whose texts mostly differ (labels, file names) stops looking for repeats after this
// many rows: the look-up would cost more than it saves.
constexpr qsizetype internTrialRows = 2048;

bool isNullNumber(double value) {
    return std::bit_cast<quint64>(value) == nullBits;
}

// A column's distinct texts as their UTF-8 bytes end to end: some fifteen bytes a label or file
// name where a QString of its own would cost some seventy.
class TextTable {
public:
    quint32 add(std::string_view text) {
        bytes_.append(text);
        ends_.push_back(bytes_.size());
        return quint32(ends_.size() - 1);
    }
    QString at(quint32 index) const {
        const std::string_view text = bytesAt(index);
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    std::string_view bytesAt(quint32 index) const {
        const size_t start = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(bytes_).substr(start, ends_[index] - start);
    }
    size_t size() const { return ends_.size(); }
    void shrinkToFit() {
        bytes_.shrink_to_fit();
        ends_.shrink_to_fit();
    }

private:
    std::string bytes_;
    std::vector<size_t> ends_;
};

// The distinct texts of a column while it is built, found by their bytes. Open addressing with a
// hash worked out inline: the look-up runs for every text of every row, and the texts are codes
// of a few bytes, so the general hash of a map costs more than all the rest of the read.
class InternIndex {
public:
    struct Slot {
        std::string_view bytes; // the kept copy
        quint32 index = noText;
    };

    // The slot holding these bytes, or nullptr.
    const Slot* find(std::string_view bytes) const {
        for (size_t slot = hashOf(bytes) & mask(); slots_[slot].index != noText;
             slot = (slot + 1) & mask())
            if (slots_[slot].bytes == bytes)
                return &slots_[slot];
        return nullptr;
    }
    // The bytes must stay where they are while the index is used.
    void insert(std::string_view bytes, quint32 index) {
        if ((used_ + 1) * 2 > slots_.size())
            grow();
        place(bytes, index);
        ++used_;
    }

private:
    static size_t hashOf(std::string_view bytes) {
        quint64 hash = 0xcbf2'9ce4'8422'2325ULL; // FNV-1a
        for (const char c : bytes)
            hash = (hash ^ quint8(c)) * 0x100'0000'01b3ULL;
        return size_t(hash ^ (hash >> 29));
    }
    size_t mask() const { return slots_.size() - 1; }
    void place(std::string_view bytes, quint32 index) {
        size_t slot = hashOf(bytes) & mask();
        while (slots_[slot].index != noText)
            slot = (slot + 1) & mask();
        slots_[slot] = {bytes, index};
    }
    void grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& slot : old)
            if (slot.index != noText)
                place(slot.bytes, slot.index);
    }

    std::vector<Slot> slots_ = std::vector<Slot>(64);
    size_t used_ = 0;
};

} // namespace

struct RecordSet::Column {
    enum class Kind : quint8 { Unknown, Numeric, Text, Mixed };

    Kind kind = Kind::Unknown;
    bool integral = true;
    qsizetype pendingNulls = 0; // Nulls that came before the first value
    qsizetype reserved = 0;
    std::vector<double> numbers;
    std::vector<quint32> texts;
    TextTable strings;
    std::vector<QVariant> mixed;

    // While building: the distinct texts so far, by their bytes, and the text appended last
    // (rows often repeat the one before).
    bool interning = true;
    std::deque<std::string> internedBytes;
    InternIndex internedIndex;
    std::string_view lastBytes;
    quint32 lastIndex = noText;

    qsizetype size() const {
        switch (kind) {
        case Kind::Unknown:
            return pendingNulls;
        case Kind::Numeric:
            return qsizetype(numbers.size());
        case Kind::Text:
            return qsizetype(texts.size());
        case Kind::Mixed:
            return qsizetype(mixed.size());
        }
        return 0;
    }

    QVariant at(qsizetype row) const {
        switch (kind) {
        case Kind::Unknown:
            return QVariant();
        case Kind::Numeric: {
            const double v = numbers[size_t(row)];
            if (isNullNumber(v))
                return QVariant();
            return integral ? QVariant(qlonglong(v)) : QVariant(v);
        }
        case Kind::Text: {
            const quint32 index = texts[size_t(row)];
            return index == noText ? QVariant() : QVariant(strings.at(index));
        }
        case Kind::Mixed:
            return mixed[size_t(row)];
        }
        return QVariant();
    }

    void becomeMixed() {
        std::vector<QVariant> all;
        all.reserve(size_t(std::max(reserved, size())));
        for (qsizetype row = 0; row < size(); ++row)
            all.push_back(at(row));
        numbers = {};
        texts = {};
        strings = {};
        stopInterning();
        mixed = std::move(all);
        kind = Kind::Mixed;
    }

    void startAs(Kind first) {
        kind = first;
        const size_t rows = size_t(std::max(reserved, pendingNulls));
        if (first == Kind::Numeric) {
            numbers.reserve(rows);
            numbers.assign(size_t(pendingNulls), nullNumber);
        } else {
            texts.reserve(rows);
            texts.assign(size_t(pendingNulls), noText);
        }
        pendingNulls = 0;
    }

    void appendNull() {
        switch (kind) {
        case Kind::Unknown:
            ++pendingNulls;
            break;
        case Kind::Numeric:
            numbers.push_back(nullNumber);
            break;
        case Kind::Text:
            texts.push_back(noText);
            break;
        case Kind::Mixed:
            mixed.emplace_back();
            break;
        }
    }

    void appendInteger(qint64 value);

    void appendNumber(double value, bool isInteger) {
        if (kind == Kind::Unknown)
            startAs(Kind::Numeric);
        if (kind == Kind::Text)
            becomeMixed();
        if (kind == Kind::Mixed) {
            mixed.push_back(isInteger ? QVariant(qlonglong(value)) : QVariant(value));
            return;
        }
        integral = integral && isInteger;
        numbers.push_back(value);
    }

    void appendText(std::string_view bytes) {
        if (kind == Kind::Unknown)
            startAs(Kind::Text);
        if (kind == Kind::Numeric)
            becomeMixed();
        if (kind == Kind::Mixed) {
            mixed.push_back(QString::fromUtf8(bytes.data(), qsizetype(bytes.size())));
            return;
        }
        if (interning) {
            if (lastIndex != noText && bytes == lastBytes) {
                texts.push_back(lastIndex);
                return;
            }
            if (const InternIndex::Slot* found = internedIndex.find(bytes)) {
                texts.push_back(found->index);
                lastBytes = found->bytes;
                lastIndex = found->index;
                return;
            }
        }
        const quint32 index = strings.add(bytes);
        texts.push_back(index);
        if (!interning)
            return;
        const std::string& kept = internedBytes.emplace_back(bytes);
        internedIndex.insert(kept, index);
        lastBytes = kept;
        lastIndex = index;
        if (qsizetype(texts.size()) == internTrialRows &&
            qsizetype(strings.size()) * 2 > internTrialRows)
            stopInterning();
    }

    void stopInterning() {
        interning = false;
        internedIndex = {};
        internedBytes = {};
        lastBytes = {};
        lastIndex = noText;
    }

    void finish() {
        stopInterning();
        numbers.shrink_to_fit();
        texts.shrink_to_fit();
        strings.shrinkToFit();
        mixed.shrink_to_fit();
    }
};

struct RecordSet::Data {
    QString statement;
    QStringList fieldNames;
    QHash<QString, int> indexByLowerName;
    std::vector<Column> columns;
    qsizetype rows = 0;
    size_t nextField = 0;
};

RecordSet::RecordSet() : d_(std::make_shared<Data>()) {}

RecordSet::RecordSet(QString statement, QStringList fieldNames) : d_(std::make_shared<Data>()) {
    d_->statement = std::move(statement);
    d_->fieldNames = std::move(fieldNames);
    d_->columns.resize(size_t(d_->fieldNames.size()));
    for (int i = 0; i < d_->fieldNames.size(); ++i)
        d_->indexByLowerName.insert(d_->fieldNames[i].toLower(), i);
}

const QString& RecordSet::statement() const {
    return d_->statement;
}

const QStringList& RecordSet::fieldNames() const {
    return d_->fieldNames;
}

int RecordSet::fieldCount() const {
    return int(d_->fieldNames.size());
}

int RecordSet::recordCount() const {
    return int(d_->rows);
}

int RecordSet::fieldIndex(QStringView name) const {
    return d_->indexByLowerName.value(name.toString().toLower(), -1);
}

int RecordSet::requireFieldIndex(QStringView name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        throw DatabaseError(QStringLiteral("The record set has no field named %1.").arg(name),
                            DatabaseError::Kind::Statement);
    return index;
}

QVariant RecordSet::value(int row, int field) const {
    return d_->columns[size_t(field)].at(row);
}

bool RecordSet::isNull(int row, int field) const {
    const Column& column = d_->columns[size_t(field)];
    switch (column.kind) {
    case Column::Kind::Unknown:
        return true;
    case Column::Kind::Numeric:
        return isNullNumber(column.numbers[size_t(row)]);
    case Column::Kind::Text:
        return column.texts[size_t(row)] == noText;
    case Column::Kind::Mixed:
        return column.mixed[size_t(row)].isNull();
    }
    return true;
}

QString RecordSet::text(int row, int field) const {
    const Column& column = d_->columns[size_t(field)];
    if (column.kind == Column::Kind::Text) {
        const quint32 index = column.texts[size_t(row)];
        return index == noText ? QString() : column.strings.at(index);
    }
    const QVariant v = column.at(row);
    return v.isNull() ? QString() : v.toString();
}

void RecordSet::appendTextTo(QByteArray& out, int row, int field) const {
    const Column& column = d_->columns[size_t(field)];
    if (column.kind == Column::Kind::Text) {
        const quint32 index = column.texts[size_t(row)];
        if (index != noText) {
            const std::string_view text = column.strings.bytesAt(index);
            out.append(text.data(), qsizetype(text.size()));
        }
        return;
    }
    out += text(row, field).toUtf8();
}

std::optional<double> RecordSet::number(int row, int field) const {
    const Column& column = d_->columns[size_t(field)];
    if (column.kind == Column::Kind::Numeric) {
        const double v = column.numbers[size_t(row)];
        return isNullNumber(v) ? std::nullopt : std::optional<double>(v);
    }
    const QVariant v = column.at(row);
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

bool RecordSet::isNumeric(int field) const {
    const Column::Kind kind = d_->columns[size_t(field)].kind;
    return kind == Column::Kind::Numeric || kind == Column::Kind::Unknown;
}

bool RecordSet::hasIdentities(int field) const {
    return d_->columns[size_t(field)].kind != Column::Kind::Mixed;
}

quint64 RecordSet::identity(int row, int field) const {
    const Column& column = d_->columns[size_t(field)];
    switch (column.kind) {
    case Column::Kind::Numeric:
        return std::bit_cast<quint64>(column.numbers[size_t(row)]);
    case Column::Kind::Text:
        return column.texts[size_t(row)];
    default:
        return 0;
    }
}

RecordSet::Data& RecordSet::building() {
    // A set being built is not shared yet; one that is gets its own rows first.
    if (d_.use_count() > 1)
        d_ = std::make_shared<Data>(*d_);
    return *d_;
}

RecordSet::Column& RecordSet::nextColumn() {
    Data& data = building();
    Column& column = data.columns[data.nextField];
    if (++data.nextField == data.columns.size()) {
        data.nextField = 0;
        ++data.rows;
    }
    return column;
}

void RecordSet::reserveRows(int rows) {
    for (Column& column : building().columns)
        column.reserved = rows;
}

void RecordSet::appendValue(const QVariant& value) {
    if (value.isNull()) {
        appendNull();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        appendInteger(value.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        appendReal(value.toDouble());
        return;
    case QMetaType::QString:
        appendText(value.toString());
        return;
    default: {
        Column& column = nextColumn();
        if (column.kind != Column::Kind::Mixed) {
            if (column.kind == Column::Kind::Unknown)
                column.startAs(Column::Kind::Numeric);
            column.becomeMixed();
        }
        column.mixed.push_back(value);
    }
    }
}

void RecordSet::appendNull() {
    nextColumn().appendNull();
}

void RecordSet::Column::appendInteger(qint64 value) {
    if (value > largestExactInteger || value < -largestExactInteger) {
        if (kind != Kind::Mixed) {
            if (kind == Kind::Unknown)
                startAs(Kind::Numeric);
            becomeMixed();
        }
        mixed.push_back(QVariant(qlonglong(value)));
        return;
    }
    appendNumber(double(value), true);
}

void RecordSet::appendInteger(qint64 value) {
    nextColumn().appendInteger(value);
}

void RecordSet::appendReal(double value) {
    nextColumn().appendNumber(value, false);
}

void RecordSet::appendText(QStringView text) {
    const QByteArray bytes = text.toUtf8();
    appendUtf8(bytes.constData(), bytes.size());
}

void RecordSet::appendUtf8(const char* text, qsizetype size) {
    nextColumn().appendText(std::string_view(text, size_t(size)));
}

RecordSet::Writer::Writer(RecordSet& set) : data_(set.building()) {}

void RecordSet::Writer::appendNull(int field) {
    data_.columns[size_t(field)].appendNull();
}

void RecordSet::Writer::appendInteger(int field, qint64 value) {
    data_.columns[size_t(field)].appendInteger(value);
}

void RecordSet::Writer::appendReal(int field, double value) {
    data_.columns[size_t(field)].appendNumber(value, false);
}

void RecordSet::Writer::appendUtf8(int field, const char* text, qsizetype size) {
    data_.columns[size_t(field)].appendText(std::string_view(text, size_t(size)));
}

void RecordSet::Writer::endRow() {
    ++data_.rows;
}

void RecordSet::finish() {
    for (Column& column : building().columns)
        column.finish();
}

} // namespace tarnwick
