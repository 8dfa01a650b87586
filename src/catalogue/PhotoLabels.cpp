#include "catalogue/PhotoLabels.h"

#include "catalogue/RecordSet.h"

namespace tarnwick {

QString photoDisplayLabel(QStringView bookLabel, QStringView photoLabel) {
    QString label;
    label.reserve(bookLabel.size() + 1 + photoLabel.size());
    label += bookLabel;
    label += QLatin1Char(photoLabelSeparator);
    label += photoLabel;
    return label;
}

QString photoDisplayLabel(const RecordSet& photo) {
    if (photo.isEmpty())
        return QString();
    return photoDisplayLabel(photo.text(0, u"BookLabel"), photo.text(0, u"PhotoLabel"));
}

QString photoListKey(QStringView id) {
    QString key;
    key.reserve(1 + id.size());
    key += QLatin1Char(photoListKeyPrefix);
    key += id;
    return key;
}

QString photoListKey(const RecordSet& photo) {
    return photo.isEmpty() ? QString() : photoListKey(photo.text(0, u"ID"));
}

std::optional<qint64> photoIdOfListKey(QStringView key) {
    if (!key.startsWith(QLatin1Char(photoListKeyPrefix)))
        return std::nullopt;
    bool ok = false;
    const qint64 id = key.mid(1).toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

} // namespace tarnwick
