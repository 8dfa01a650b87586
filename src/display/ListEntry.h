#pragma once

#include <QString>

namespace tarnwick {

class RecordSet;
struct ResultsRow;

// One entry of the results list as the photo display needs it.
struct ListEntry {
    QString key;     // "P" followed by the photo's ID
    QString text;    // the photo's display label, BookLabel/PhotoLabel
    QString dir;     // the book's image sub-directory, its BookLabel
    QString picture; // photo image file name
    QString data;    // data-sheet image file name
    int row = -1;    // index in the results list, -1 when the entry is not from the list
};

// The entry for a results-list row at a position of the list.
ListEntry listEntryOfRow(const ResultsRow& row, int position);

// The entry a listed photo would have, from its record (first row), for a photo shown without
// its list row; row is -1.
ListEntry listEntryOfPhoto(const RecordSet& photo);

} // namespace tarnwick
