#include "display/ListEntry.h"

#include "catalogue/RecordSet.h"

namespace tarnwick {

ListEntry listEntryFromPhoto(const RecordSet& photos, int row) {
    ListEntry entry;
    entry.key = QStringLiteral("P") + photos.text(row, u"ID");
    entry.dir = photos.text(row, u"BookLabel");
    entry.text = entry.dir + QLatin1Char('/') + photos.text(row, u"PhotoLabel");
    entry.picture = photos.text(row, u"PhotoPic");
    entry.data = photos.text(row, u"DataPic");
    entry.row = row;
    return entry;
}

} // namespace tarnwick
