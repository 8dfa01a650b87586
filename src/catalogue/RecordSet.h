#pragma once

#include <memory>
#include <optional>
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace tarnwick {

// A client-side snapshot of a statement's rows: exact count, field access by name without regard
// to letter case, and Null kept apart from 0 and "".
//
// The rows are kept by column: numbers as doubles, texts as indexes into the column's own table
// of distinct texts, so a catalogue of a million photos fits in a few hundred megabytes. Copies
// share the rows: a set handed to the results list costs nothing more.
class RecordSet {
    struct Column;
    struct Data;

public:
    RecordSet();
    RecordSet(QString statement, QStringList fieldNames);

    const QString& statement() const;
    const QStringList& fieldNames() const;
    int fieldCount() const;
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    // Whether the two are copies of one set, sharing its rows.
    bool sharesRowsWith(const RecordSet& other) const { return d_ == other.d_; }

    // -1 when the set has no such field.
    int fieldIndex(QStringView name) const;
    // Throws DatabaseError for a field the set does not have.
    int requireFieldIndex(QStringView name) const;

    QVariant value(int row, int field) const;
    QVariant value(int row, QStringView field) const {
        return value(row, requireFieldIndex(field));
    }
    bool isNull(int row, int field) const;
    bool isNull(int row, QStringView field) const { return isNull(row, requireFieldIndex(field)); }
    // Null gives "" here; use value() where the difference matters.
    QString text(int row, int field) const;
    QString text(int row, QStringView field) const { return text(row, requireFieldIndex(field)); }
    // text() as UTF-8, appended to `out`; the texts are kept that way, so this converts nothing.
    void appendTextTo(QByteArray& out, int row, int field) const;
    // Null and text that is no number give nothing.
    std::optional<double> number(int row, int field) const;
    std::optional<double> number(int row, QStringView field) const {
        return number(row, requireFieldIndex(field));
    }
    // Whether a field holds nothing but numbers and Null; then number() is its value.
    bool isNumeric(int field) const;
    // Equal identities in a field are equal values (texts by their text, numbers by their bits).
    // A field of mixed kinds has none.
    bool hasIdentities(int field) const;
    quint64 identity(int row, int field) const;

    // Building, row by row and field by field in order.
    void reserveRows(int rows);
    void appendValue(const QVariant& value);
    void appendNull();
    void appendInteger(qint64 value);
    void appendReal(double value);
    void appendText(QStringView text);
    void appendUtf8(const char* text, qsizetype size);
    // Frees what building needed and the room reserved but not used.
    void finish();

    // Fills a new set straight into its columns, field by field; the fastest way in.
    class Writer {
    public:
        explicit Writer(RecordSet& set);
        void appendNull(int field);
        void appendInteger(int field, qint64 value);
        void appendReal(int field, double value);
        void appendUtf8(int field, const char* text, qsizetype size);
        void endRow();

    private:
        Data& data_;
    };

private:
    Data& building();
    Column& nextColumn();

    std::shared_ptr<Data> d_;
};

} // namespace tarnwick
