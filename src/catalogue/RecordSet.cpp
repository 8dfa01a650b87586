#include "catalogue/RecordSet.h"

#include "catalogue/DatabaseError.h"

namespace tarnwick {

RecordSet::RecordSet(QString statement, QStringList fieldNames)
    : statement_(std::move(statement)), fieldNames_(std::move(fieldNames)) {
    for (int i = 0; i < fieldNames_.size(); ++i)
        indexByLowerName_.insert(fieldNames_[i].toLower(), i);
}

int RecordSet::fieldIndex(QStringView name) const {
    return indexByLowerName_.value(name.toString().toLower(), -1);
}

int RecordSet::requireFieldIndex(QStringView name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        throw DatabaseError(QStringLiteral("The record set has no field named %1.").arg(name),
                            DatabaseError::Kind::Statement);
    return index;
}

QString RecordSet::text(int row, QStringView field) const {
    const QVariant& v = value(row, field);
    return v.isNull() ? QString() : v.toString();
}

std::optional<double> RecordSet::number(int row, QStringView field) const {
    const QVariant& v = value(row, field);
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

} // namespace tarnwick
