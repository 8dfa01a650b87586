#pragma once

#include <optional>
#include <QString>

namespace tarnwick {

class RecordSet;

// How a photo is named wherever people see it (the list, the captions, the plates, the reports and
// the assistant): its book's label and its own, joined by a slash.
inline constexpr char photoLabelSeparator = '/';
QString photoDisplayLabel(QStringView bookLabel, QStringView photoLabel);
// The label of a photo set's first record; empty when the set has none.
QString photoDisplayLabel(const RecordSet& photo);

// How the results list keys a photo: "P" followed by its ID as the catalogue spells it.
inline constexpr char photoListKeyPrefix = 'P';
QString photoListKey(QStringView id);
// The key of a photo set's first record; empty when the set has none.
QString photoListKey(const RecordSet& photo);
// The photo's ID in a key; none when the key is not one of a photo.
std::optional<qint64> photoIdOfListKey(QStringView key);

} // namespace tarnwick
