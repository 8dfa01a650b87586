#include "DemoCatalogue.h"

#include "catalogue/CatalogueSchema.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QVariant>

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <system_error>

using namespace Qt::StringLiterals;

namespace tarnwick::demo {
namespace {

QVariant nullable(const std::optional<double>& value) {
    return value ? QVariant(*value) : QVariant();
}
QVariant nullable(const std::optional<QString>& value) {
    return value ? QVariant(*value) : QVariant();
}

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

std::atomic<int> connectionCounter{0};

} // namespace

CatalogueWriter::CatalogueWriter(const QDir& root) {
    const int serial = ++connectionCounter;
    connection_ = u"tarnwick-demo-writer-%1"_s.arg(serial);
    path_ = root.filePath(
        u"Photo3.db.partial-%1-%2"_s.arg(QCoreApplication::applicationPid()).arg(serial));
    QFile::remove(path_); // a leftover from a crashed run
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection_);
    db.setDatabaseName(path_);
    if (!db.open())
        fail(u"create the catalogue %1"_s.arg(QDir::toNativeSeparators(path_)), db.lastError());
    // The file is thrown away on any failure, so it needs no journal or syncing while it grows.
    exec(u"PRAGMA journal_mode = OFF"_s);
    exec(u"PRAGMA synchronous = OFF"_s);
    for (const QString& statement : catalogueSchemaStatements())
        exec(statement);
    if (!db.transaction())
        fail(u"start writing the catalogue"_s, db.lastError());

    QSqlQuery bookInsert(db);
    if (!bookInsert.prepare(u"INSERT INTO Books (id, BookLabel, BookDescription, active, "
                            "BreakInches1, BreakInches2, BreakInches3, BreakInches4, BreakInches5, "
                            "BreakInches6) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s))
        fail(u"prepare the book insert"_s, bookInsert.lastError());
    for (std::size_t i = 0; i < books.size(); ++i) {
        const Book& book = books[i];
        bookInsert.bindValue(0, static_cast<int>(i) + 1);
        bookInsert.bindValue(1, book.label.toString());
        bookInsert.bindValue(2, book.description.toString());
        bookInsert.bindValue(3, book.active ? 1 : 0);
        for (int b = 0; b < 6; ++b)
            bookInsert.bindValue(4 + b, book.breaks[static_cast<std::size_t>(b)]);
        if (!bookInsert.exec())
            fail(u"add book %1"_s.arg(book.label), bookInsert.lastError());
    }

    photoInsert_.emplace(db);
    if (!photoInsert_->prepare(
            u"INSERT INTO Photos (ID, BookLabel, PhotoLabel, GroupLabel, active, "
            "TonsPerAcreBreak1, TonsPerAcreBreak2, TonsPerAcreBreak3, TonsPerAcreBreak4, "
            "TonsPerAcreBreak5, TonsPerAcreBreak6, TonsPerAcreBreak7, TotalFL, Oto3FL, "
            "AverageDuffDepth, AverageFuelbedDepth, HerbTonsPerAcre, WoodyTonsPerAcre, "
            "CanopyClosure, TreesPerAcre, VegType, Activity, FireBehaveFM, FireBehaveFM2, "
            "DangerRatingFM, PhotoPic, DataPic) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s))
        fail(u"prepare the photo insert"_s, photoInsert_->lastError());
}

CatalogueWriter::~CatalogueWriter() {
    close();
    if (!installed_)
        QFile::remove(path_);
}

void CatalogueWriter::close() {
    photoInsert_.reset();
    if (!QSqlDatabase::contains(connection_))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isOpen() && !installed_)
            db.rollback();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

void CatalogueWriter::fail(const QString& what, const QSqlError& error) const {
    throw std::runtime_error(u"Cannot %1: %2"_s.arg(what, error.text().trimmed()).toStdString());
}

void CatalogueWriter::exec(const QString& sql) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.exec(sql))
        fail(u"run \"%1\" on the catalogue"_s.arg(sql.left(60)), query.lastError());
}

void CatalogueWriter::addPhoto(const Photo& photo) {
    static const std::array<QString, books.size()> labels = [] {
        std::array<QString, books.size()> result;
        for (std::size_t i = 0; i < books.size(); ++i)
            result[i] = books[i].label.toString();
        return result;
    }();
    QSqlQuery& q = *photoInsert_;
    q.bindValue(0, nextId_++);
    q.bindValue(1, labels[static_cast<std::size_t>(photo.bookIndex)]);
    q.bindValue(2, nullable(photo.label));
    q.bindValue(3, photo.group);
    q.bindValue(4, photo.active ? 1 : 0);
    for (int i = 0; i < 7; ++i)
        q.bindValue(5 + i, photo.tons[static_cast<std::size_t>(i)]);
    q.bindValue(12, photo.total);
    q.bindValue(13, photo.upTo3);
    for (int i = 0; i < 6; ++i)
        q.bindValue(14 + i, nullable(photo.site[static_cast<std::size_t>(i)]));
    q.bindValue(20, nullable(photo.veg));
    q.bindValue(21, nullable(photo.activity));
    q.bindValue(22, nullable(photo.behave2005));
    q.bindValue(23, nullable(photo.behave1982));
    q.bindValue(24, nullable(photo.danger));
    q.bindValue(25, photo.photoPic);
    q.bindValue(26, photo.dataPic);
    if (!q.exec())
        fail(u"add photo %1"_s.arg(photo.photoPic), q.lastError());
}

void CatalogueWriter::install(const QString& finalPath) {
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (!db.commit())
            fail(u"finish writing the catalogue"_s, db.lastError());
    }
    close();
    std::error_code error;
    std::filesystem::rename(nativePath(path_), nativePath(finalPath), error);
    if (error)
        throw std::runtime_error(
            u"Cannot move the new catalogue into place as %1: %2"_s
                .arg(QDir::toNativeSeparators(finalPath), QString::fromStdString(error.message()))
                .toStdString());
    installed_ = true;
}

} // namespace tarnwick::demo
