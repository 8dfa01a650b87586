#pragma once

#include "catalogue/CatalogueLocation.h"

#include <memory>
#include <QString>
#include <vector>

namespace tarnwick::slidekeep {

struct BookEntry {
    QString label;
    QString description;
    bool active = false;
};

struct PhotoEntry {
    qint64 id = 0;
    QString label;
    QString group;
    bool active = false;
};

// The active flags of the photo catalogue Tarnwick reads. Every change is its own transaction,
// so Tarnwick never sees half of one.
class SlidekeepCatalogue {
public:
    // Opens an existing catalogue, the file or the server's; throws DatabaseError with a
    // readable message when it is missing, unreachable, unreadable or not a catalogue.
    static std::unique_ptr<SlidekeepCatalogue> open(const CatalogueLocation& location);
    static std::unique_ptr<SlidekeepCatalogue> open(const QString& path) {
        return open(CatalogueLocation::file(path));
    }
    ~SlidekeepCatalogue();

    SlidekeepCatalogue(const SlidekeepCatalogue&) = delete;
    SlidekeepCatalogue& operator=(const SlidekeepCatalogue&) = delete;

    // The file's path, or postgresql://HOST:PORT/DB.
    const QString& path() const { return path_; }

    std::vector<BookEntry> books() const;
    std::vector<PhotoEntry> photos(const QString& bookLabel) const;

    // False when the catalogue has no such book or photo. Throws DatabaseError when the change
    // cannot be written.
    bool setBookActive(const QString& bookLabel, bool active);
    bool setPhotoActive(qint64 photoId, bool active);

private:
    explicit SlidekeepCatalogue(CatalogueLocation location);
    bool update(const QString& sql, const QVariantList& values);

    CatalogueLocation location_;
    QString path_;
    QString connectionName_;
};

} // namespace tarnwick::slidekeep
