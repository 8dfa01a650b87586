#include "catalogue/SqliteRows.h"

#include "catalogue/RecordSet.h"
#include "catalogue/RunControl.h"

#include <QFile>
#include <QStringList>
#include <sqlite3.h>

namespace tarnwick {

namespace {

QSqlError engineError(sqlite3* db, int code) {
    return QSqlError(QStringLiteral("Unable to execute statement"),
                     QString::fromUtf8(sqlite3_errmsg(db)), QSqlError::StatementError,
                     QString::number(code));
}

// One statement's own read-only connection, closed with it.
struct ReadConnection {
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    ~ReadConnection() {
        sqlite3_finalize(statement);
        sqlite3_close_v2(db);
    }
};

// Waits this long for a writer such as Slidekeep, as the program's own connection does.
constexpr int busyTimeoutMs = 2000;

// How often, in engine steps, a sort or scan before the first row looks for a stop.
constexpr int stepsBetweenStopChecks = 20000;
constexpr long long rowsBetweenCounts = 4096;

int stopWhenAsked(void* control) {
    return static_cast<RunControl*>(control)->stopRequested.load(std::memory_order_relaxed) ? 1 : 0;
}

void appendRow(sqlite3_stmt* statement, int fields, RecordSet::Writer& rows) {
    for (int i = 0; i < fields; ++i) {
        switch (sqlite3_column_type(statement, i)) {
        case SQLITE_INTEGER:
            rows.appendInteger(i, sqlite3_column_int64(statement, i));
            break;
        case SQLITE_FLOAT:
            rows.appendReal(i, sqlite3_column_double(statement, i));
            break;
        case SQLITE_NULL:
            rows.appendNull(i);
            break;
        default: {
            // Texts, and whatever else, as their text.
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            rows.appendUtf8(i, bytes, sqlite3_column_bytes(statement, i));
        }
        }
    }
    rows.endRow();
}

} // namespace

bool readSqliteRows(const QString& path, const QString& sql, RecordSet& set,
                    std::optional<QSqlError>& error, RunControl* control) {
    ReadConnection connection;
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &connection.db,
                                       SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (opened != SQLITE_OK)
        return false; // the program's own connection reports why
    sqlite3_busy_timeout(connection.db, busyTimeoutMs);
    if (control)
        sqlite3_progress_handler(connection.db, stepsBetweenStopChecks, stopWhenAsked, control);
    const QByteArray text = sql.toUtf8();
    const int prepared = sqlite3_prepare_v2(connection.db, text.constData(), int(text.size()),
                                            &connection.statement, nullptr);
    if (prepared != SQLITE_OK) {
        error = engineError(connection.db, sqlite3_extended_errcode(connection.db));
        return true;
    }
    if (!sqlite3_stmt_readonly(connection.statement))
        return false;
    sqlite3_stmt* statement = connection.statement;
    const int fields = sqlite3_column_count(statement);
    QStringList names;
    names.reserve(fields);
    for (int i = 0; i < fields; ++i)
        names << QString::fromUtf8(sqlite3_column_name(statement, i));
    RecordSet rows(set.statement(), names);
    RecordSet::Writer writer(rows);

    int step = SQLITE_ROW;
    long long count = 0;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        appendRow(statement, fields, writer);
        if (control && ++count % rowsBetweenCounts == 0) {
            control->rowsRead.store(count, std::memory_order_relaxed);
            if (control->stopRequested.load(std::memory_order_relaxed)) {
                step = SQLITE_INTERRUPT;
                break;
            }
        }
    }
    if (step == SQLITE_INTERRUPT)
        error = QSqlError(QStringLiteral("Stopped"), QStringLiteral("interrupted"),
                          QSqlError::StatementError, QString::number(SQLITE_INTERRUPT));
    else if (step != SQLITE_DONE)
        error = engineError(connection.db, sqlite3_extended_errcode(connection.db));
    rows.finish();
    set = rows;
    return true;
}

} // namespace tarnwick
