#pragma once

#include "catalogue/CatalogueLocation.h"

#include <QString>

namespace tarnwick {

struct PushedCatalogue {
    qint64 books = 0;
    qint64 photos = 0;
    qint64 activePhotos = 0;
};

// Copies the catalogue file at sourcePath (books, photos, the active-photos view) into an empty
// database on a server, in one transaction, and checks that the server then holds as many books,
// photos and active photos as the file. The file is only read. Throws DatabaseError naming the
// file or the server and database and what to do; on any failure the database stays empty.
PushedCatalogue pushCatalogue(const QString& sourcePath, const CatalogueLocation& target);

} // namespace tarnwick
