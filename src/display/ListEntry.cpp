#include "display/ListEntry.h"

#include "catalogue/ResultsRows.h"

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

} // namespace tarnwick
