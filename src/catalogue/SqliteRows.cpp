#include "catalogue/SqliteRows.h"

#include "catalogue/RecordSet.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QStringList>
#include <sqlite3.h>

namespace tarnwick {

namespace {

sqlite3* handleOf(const QSqlDatabase& database) {
    if (database.driverName() != QLatin1String("QSQLITE"))
        return nullptr;
    const QVariant handle = database.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

QSqlError engineError(sqlite3* db, int code) {
    return QSqlError(QStringLiteral("Unable to execute statement"),
                     QString::fromUtf8(sqlite3_errmsg(db)), QSqlError::StatementError,
                     QString::number(code));
}

} // namespace

bool readSqliteRows(const QSqlDatabase& database, const QString& sql, RecordSet& set,
                    std::optional<QSqlError>& error) {
    sqlite3* db = handleOf(database);
    if (!db)
        return false;
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    const int prepared =
        sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, nullptr);
    if (prepared != SQLITE_OK) {
        error = engineError(db, sqlite3_extended_errcode(db));
        sqlite3_finalize(statement);
        return true;
    }
    const int fields = sqlite3_column_count(statement);
    QStringList names;
    names.reserve(fields);
    for (int i = 0; i < fields; ++i)
        names << QString::fromUtf8(sqlite3_column_name(statement, i));
    RecordSet rows(set.statement(), names);

    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int i = 0; i < fields; ++i) {
            switch (sqlite3_column_type(statement, i)) {
            case SQLITE_INTEGER:
                rows.appendInteger(sqlite3_column_int64(statement, i));
                break;
            case SQLITE_FLOAT:
                rows.appendReal(sqlite3_column_double(statement, i));
                break;
            case SQLITE_NULL:
                rows.appendNull();
                break;
            default: {
                // Texts, and whatever else, as their text.
                const auto* bytes =
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
                rows.appendUtf8(bytes, sqlite3_column_bytes(statement, i));
            }
            }
        }
    }
    if (step != SQLITE_DONE)
        error = engineError(db, sqlite3_extended_errcode(db));
    sqlite3_finalize(statement);
    rows.finish();
    set = rows;
    return true;
}

} // namespace tarnwick
