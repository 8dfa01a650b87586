#include "slidekeep/SlidekeepCatalogue.h"

#include "catalogue/CatalogueServer.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace tarnwick::slidekeep {

namespace {

[[noreturn]] void fail(const CatalogueLocation& location, const QString& what,
                       const QSqlError& error) {
    const QString path = location.displayName();
    if (location.engine() == CatalogueEngine::PostgreSql && isServerTrouble(error))
        throwServerFailure(location, what, error);
    throw DatabaseError(
        QStringLiteral("The photo catalogue %1 could not %2: %3").arg(path, what, error.text()),
        DatabaseError::Kind::Statement);
}

} // namespace

SlidekeepCatalogue::SlidekeepCatalogue(CatalogueLocation location)
    : location_(std::move(location)), path_(location_.displayName()),
      connectionName_(QStringLiteral("slidekeep-%1").arg(reinterpret_cast<quintptr>(this))) {}

SlidekeepCatalogue::~SlidekeepCatalogue() {
    QSqlDatabase::database(connectionName_, false).close();
    QSqlDatabase::removeDatabase(connectionName_);
}

std::unique_ptr<SlidekeepCatalogue> SlidekeepCatalogue::open(const CatalogueLocation& location) {
    // Tarnwick's own open gives the same messages for a missing, locked or foreign file, and for
    // a server that cannot be reached or refuses the login.
    PhotoDatabase::open(location);

    std::unique_ptr<SlidekeepCatalogue> catalogue(new SlidekeepCatalogue(location));
    QSqlDatabase db = addCatalogueConnection(location, catalogue->connectionName_);
    if (location.engine() == CatalogueEngine::PostgreSql)
        openServerConnection(db, location);
    else if (!db.open())
        fail(location, QStringLiteral("be opened"), db.lastError());
    return catalogue;
}

std::vector<BookEntry> SlidekeepCatalogue::books() const {
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    if (!query.exec(QStringLiteral(
            "SELECT BookLabel, BookDescription, active FROM Books ORDER BY BookLabel")))
        fail(location_, QStringLiteral("list its books"), query.lastError());
    std::vector<BookEntry> books;
    while (query.next())
        books.push_back(
            {query.value(0).toString(), query.value(1).toString(), query.value(2).toInt() != 0});
    return books;
}

std::vector<PhotoEntry> SlidekeepCatalogue::photos(const QString& bookLabel) const {
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    query.prepare(QStringLiteral("SELECT ID, PhotoLabel, GroupLabel, active FROM Photos "
                                 "WHERE BookLabel = ? ORDER BY GroupLabel, PhotoLabel"));
    query.addBindValue(bookLabel);
    if (!query.exec())
        fail(location_, QStringLiteral("list the photos of %1").arg(bookLabel), query.lastError());
    std::vector<PhotoEntry> photos;
    while (query.next())
        photos.push_back({query.value(0).toLongLong(), query.value(1).toString(),
                          query.value(2).toString(), query.value(3).toInt() != 0});
    return photos;
}

bool SlidekeepCatalogue::setBookActive(const QString& bookLabel, bool active) {
    return update(QStringLiteral("UPDATE Books SET active = ? WHERE BookLabel = ?"),
                  {active ? 1 : 0, bookLabel});
}

bool SlidekeepCatalogue::setPhotoActive(qint64 photoId, bool active) {
    return update(QStringLiteral("UPDATE Photos SET active = ? WHERE ID = ?"),
                  {active ? 1 : 0, photoId});
}

bool SlidekeepCatalogue::update(const QString& sql, const QVariantList& values) {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (!db.transaction())
        fail(location_, QStringLiteral("start a change"), db.lastError());
    QSqlQuery query(db);
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        db.rollback();
        fail(location_, QStringLiteral("be changed"), error);
    }
    const bool matched = query.numRowsAffected() > 0;
    query.finish();
    if (!matched) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        fail(location_, QStringLiteral("save the change"), error);
    }
    return true;
}

} // namespace tarnwick::slidekeep
