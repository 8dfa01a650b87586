#include "support/TestInstallation.h"

#include "catalogue/CatalogueSchema.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace tarnwick::test {

TestInstallation::TestInstallation() {
    QDir(root_.path()).mkpath(QStringLiteral("app"));
    QDir(root_.path()).mkpath(QStringLiteral("config"));
    qputenv("TARNWICK_HOME", appDir().toUtf8());
    qputenv("XDG_CONFIG_HOME", configDir().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configDir());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configDir());
}

TestInstallation::~TestInstallation() {
    qunsetenv("TARNWICK_HOME");
}

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
