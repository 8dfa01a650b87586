#include "support/TestInstallation.h"

#include "catalogue/CataloguePush.h"
#include "catalogue/CatalogueSchema.h"
#include "catalogue/DatabaseError.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace tarnwick::test {

TestInstallation::TestInstallation(CatalogueEngine engine) : engine_(engine) {
    QDir(root_.path()).mkpath(QStringLiteral("app"));
    QDir(root_.path()).mkpath(QStringLiteral("config"));
    qputenv("TARNWICK_HOME", appDir().toUtf8());
    qputenv("XDG_CONFIG_HOME", configDir().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configDir());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configDir());
}

TestInstallation::~TestInstallation() {
    qunsetenv("TARNWICK_HOME");
    for (const QString& database : databases_)
        dropTestDatabase(database);
}

QString TestInstallation::engineUnavailable() const {
    if (engine_ == CatalogueEngine::Sqlite)
        return QString();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return QStringLiteral("Qt's PostgreSQL driver is not installed (libqt6sql6-psql)");
    return testServer().unavailable;
}

CatalogueLocation TestInstallation::serveCatalogue() {
    if (engine_ == CatalogueEngine::Sqlite)
        return CatalogueLocation::file(cataloguePath());
    const QString database = createTestDatabase();
    databases_ << database;
    servedDatabase_ = database;
    const QString address = testServerAddress(database);
    const CatalogueLocation location = *CatalogueLocation::fromServerAddress(address, nullptr);
    try {
        pushCatalogue(cataloguePath(), location);
    } catch (const DatabaseError& error) {
        ADD_FAILURE() << "cannot copy the catalogue to the server: "
                      << error.message().toStdString();
    }
    // Where every program of the suite looks for a shared catalogue.
    QSettings settings(QStringLiteral("Corbell 3"), QStringLiteral("Corbell 3"));
    settings.setValue(QStringLiteral("General/Catalogue"), address);
    settings.sync();
    return location;
}

std::unique_ptr<PhotoDatabase> TestInstallation::openCatalogue(CatalogueAccess access) {
    return PhotoDatabase::open(serveCatalogue(), access);
}

bool TestInstallation::execOnCatalogue(const QString& sql) {
    if (servedDatabase_)
        return execOnTestServer(*servedDatabase_, sql);
    bool ok = false;
    const QString name = QStringLiteral("test-catalogue-change");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(cataloguePath());
        if (db.open()) {
            QSqlQuery query(db);
            ok = query.exec(sql);
            if (!ok)
                ADD_FAILURE() << sql.toStdString() << ": "
                              << query.lastError().text().toStdString();
        } else {
            ADD_FAILURE() << "cannot open " << cataloguePath().toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

std::string engineName(const ::testing::TestParamInfo<CatalogueEngine>& info) {
    return info.param == CatalogueEngine::Sqlite ? "Sqlite" : "PostgreSql";
}

} // namespace tarnwick::test

namespace tarnwick {

void PrintTo(CatalogueEngine engine, std::ostream* out) {
    *out << (engine == CatalogueEngine::Sqlite ? "SQLite file" : "PostgreSQL server");
}

} // namespace tarnwick

namespace tarnwick::test {

QString TestInstallation::appDir() const {
    return root_.path() + QStringLiteral("/app");
}

QString TestInstallation::configDir() const {
    return root_.path() + QStringLiteral("/config");
}

TestCatalogue::TestCatalogue(const QString& path)
    : connection_(QStringLiteral("test-catalogue-%1").arg(reinterpret_cast<quintptr>(this))) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path);
    if (!db.open())
        ADD_FAILURE() << "cannot create " << path.toStdString();
    for (const QString& statement : catalogueSchemaStatements())
        exec(statement);
}

TestCatalogue::~TestCatalogue() {
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

void TestCatalogue::exec(const QString& sql, const QVariantList& values) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        ADD_FAILURE() << sql.toStdString() << ": " << query.lastError().text().toStdString();
}

void TestCatalogue::addBook(const QString& label, bool active,
                            const std::array<QVariant, 6>& breaks) {
    exec(QStringLiteral("INSERT INTO Books (BookLabel, BookDescription, active, BreakInches1, "
                        "BreakInches2, BreakInches3, BreakInches4, BreakInches5, BreakInches6) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {label, QStringLiteral("Photo series ") + label, active ? 1 : 0, breaks[0], breaks[1],
          breaks[2], breaks[3], breaks[4], breaks[5]});
}

void TestCatalogue::addPhoto(qint64 id, const QString& book, const QVariant& photoLabel,
                             const QVariantMap& fields) {
    QStringList names{QStringLiteral("ID"), QStringLiteral("BookLabel"),
                      QStringLiteral("PhotoLabel")};
    QVariantList values{id, book, photoLabel};
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        names << it.key();
        values << it.value();
    }
    QStringList marks;
    for (qsizetype i = 0; i < names.size(); ++i)
        marks << QStringLiteral("?");
    exec(QStringLiteral("INSERT INTO Photos (%1) VALUES (%2)")
             .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
         values);
}

void writeSmallCatalogue(const QString& path, int photos) {
    TestCatalogue catalogue(path);
    catalogue.addBook(QStringLiteral("B1"));
    for (int i = 1; i <= photos; ++i)
        catalogue.addPhoto(i, QStringLiteral("B1"), QStringLiteral("P%1").arg(i),
                           {{QStringLiteral("GroupLabel"), QStringLiteral("Group %1").arg(i)}});
}

} // namespace tarnwick::test
