#include "display/ListEntry.h"

#include "catalogue/PhotoLabels.h"
#include "catalogue/RecordSet.h"
#include "resultslist/ResultsRows.h"

namespace tarnwick {

ListEntry listEntryOfRow(const ResultsRow& row, int position) {
    ListEntry entry;
    entry.key = row.key;
    entry.text = row.text();
    entry.dir = row.cell(u"Dir");
    entry.picture = row.cell(u"Picture");
    entry.data = row.cell(u"Data");
    entry.row = position;
    return entry;
}

ListEntry listEntryOfPhoto(const RecordSet& photo) {
    ListEntry entry;
    if (photo.isEmpty())
        return entry;
    entry.key = photoListKey(photo);
    entry.dir = photo.text(0, u"BookLabel");
    entry.text = photoDisplayLabel(photo);
    entry.picture = photo.text(0, u"PhotoPic");
    entry.data = photo.text(0, u"DataPic");
    return entry;
}

} // namespace tarnwick
