#pragma once

#include <optional>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace tarnwick {

// A client-side snapshot of a statement's rows: exact count, field access by name without regard
// to letter case, and Null kept apart from 0 and "".
class RecordSet {
public:
    RecordSet() = default;
    RecordSet(QString statement, QStringList fieldNames);

    const QString& statement() const { return statement_; }
    const QStringList& fieldNames() const { return fieldNames_; }
    int fieldCount() const { return int(fieldNames_.size()); }
    int recordCount() const {
        return fieldNames_.isEmpty() ? 0 : int(cells_.size()) / fieldCount();
    }
    bool isEmpty() const { return recordCount() == 0; }

    // -1 when the set has no such field.
    int fieldIndex(QStringView name) const;
    // Throws DatabaseError for a field the set does not have.
    int requireFieldIndex(QStringView name) const;

    const QVariant& value(int row, int field) const { return cells_[cellIndex(row, field)]; }
    const QVariant& value(int row, QStringView field) const {
        return value(row, requireFieldIndex(field));
    }
    bool isNull(int row, QStringView field) const { return value(row, field).isNull(); }
    // Null gives "" here; use value() where the difference matters.
    QString text(int row, QStringView field) const;
    std::optional<double> number(int row, QStringView field) const;

    void reserveRows(int rows) { cells_.reserve(size_t(rows) * size_t(fieldCount())); }
    void appendValue(QVariant value) { cells_.push_back(std::move(value)); }

private:
    size_t cellIndex(int row, int field) const {
        return size_t(row) * size_t(fieldNames_.size()) + size_t(field);
    }

    QString statement_;
    QStringList fieldNames_;
    QHash<QString, int> indexByLowerName_;
    std::vector<QVariant> cells_;
};

} // namespace tarnwick
