#pragma once

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantMap>

namespace tarnwick::test {

// Photo fields with every size class set (a Null class would make the derived sums Null):
// class 1 and class 4 hold fine and coarse, the others 0.
inline QVariantMap withSizeClasses(QVariantMap fields, double fine, double coarse) {
    for (int i = 1; i <= 7; ++i)
        fields.insert(QStringLiteral("TonsPerAcreBreak%1").arg(i), i == 1   ? fine
                                                                   : i == 4 ? coarse
                                                                            : 0.0);
    return fields;
}

inline void writeLatin1(const QString& path, const QString& text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.toLatin1());
}

// Changes a catalogue behind the program's back, on a connection of its own.
inline bool execOn(const QString& path, const QString& sql) {
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("x"));
        db.setDatabaseName(path);
        ok = db.open() && QSqlQuery(db).exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("x"));
    return ok;
}

} // namespace tarnwick::test
