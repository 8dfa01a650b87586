#pragma once

#include "catalogue/AccessFile.h"

#include <QString>
#include <QStringList>

namespace tarnwick {

// What the source lacks to be imported as a photo catalogue: "the table Books", "the columns
// TotalFL, Oto3FL of the table Photos". Empty when it can be imported.
QStringList missingForCatalogue(const TableSource& source);

// Throws DatabaseError naming the file and what it lacks when it cannot be imported.
void checkImportable(const TableSource& source);

struct ImportedCatalogue {
    qint64 books = 0;
    qint64 photos = 0;
    qint64 activePhotos = 0;
    // qryactive is the file's own stored query; else the standard definition, for the reason
    // given.
    bool ownActiveQuery = false;
    QString whyStandardQuery;
};

// Writes the photo catalogue at targetPath from the source's tables Books and Photos: every
// column they hold, values as stored (a Yes stays -1), and qryactive: the file's own stored query
// where it can be translated and gives what the programs read, else the standard definition.
// Written under a temporary name beside the target, checked (row counts equal to the source's,
// the catalogue check every program makes), then renamed into place. An existing target is
// replaced only when replace is set. Throws DatabaseError naming the file, the cause and what to
// do; then nothing was written and an existing target is untouched.
ImportedCatalogue importCatalogue(const TableSource& source, const QString& targetPath,
                                  bool replace);

} // namespace tarnwick
