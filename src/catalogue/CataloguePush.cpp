#include "catalogue/CataloguePush.h"

#include "catalogue/CatalogueSchema.h"
#include "catalogue/CatalogueServer.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"

#include <QSqlError>
#include <QSqlQuery>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

// Rows per INSERT: a few round trips for a large catalogue, and well inside the server's limit
// of parameters per statement.
constexpr int rowsPerInsert = 200;

QStringList columnsOf(const QString& object) {
    for (const RequiredColumns& required : requiredCatalogueColumns())
        if (required.object == object)
            return required.columns;
    return {};
}

// Removes both connections however the copy ends.
class Connections {
public:
    explicit Connections(const void* owner)
        : source_(u"tarnwick-push-source-%1"_s.arg(reinterpret_cast<quintptr>(owner), 0, 16)),
          target_(u"tarnwick-push-target-%1"_s.arg(reinterpret_cast<quintptr>(owner), 0, 16)) {}
    ~Connections() {
        for (const QString& name : {source_, target_}) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }
    Connections(const Connections&) = delete;
    Connections& operator=(const Connections&) = delete;

    const QString& source() const { return source_; }
    const QString& target() const { return target_; }

private:
    QString source_;
    QString target_;
};

class Copy {
public:
    Copy(QString sourcePath, CatalogueLocation target, QSqlDatabase from, QSqlDatabase to)
        : sourcePath_(std::move(sourcePath)), target_(std::move(target)), from_(std::move(from)),
          to_(std::move(to)) {}

    void refuseUnlessEmpty() {
        QSqlQuery query(to_);
        if (!query.exec(serverCatalogueObjectsStatement))
            throwServerFailure(target_, u"list what the database holds"_s, query.lastError());
        QStringList found;
        while (query.next())
            found << query.value(0).toString();
        if (!found.isEmpty())
            throw DatabaseError(
                u"The database %1 on the catalogue server %2 is not empty: it holds %3.\n\n"
                "Nothing was copied. Push into a new, empty database (createdb NAME on the "
                "server), or ask the server's administrator to empty this one."_s.arg(
                    target_.server().database, target_.serverName(), found.join(u", "_s)),
                DatabaseError::Kind::NotACatalogue);
    }

    void exec(const QString& statement, const QString& what) {
        QSqlQuery query(to_);
        if (!query.exec(statement))
            throwServerFailure(target_, what, query.lastError());
    }

    qint64 copyTable(const QString& table) {
        const QStringList columns = columnsOf(table);
        QSqlQuery read(from_);
        read.setForwardOnly(true);
        if (!read.exec(u"SELECT %1 FROM %2 ORDER BY 1"_s.arg(columns.join(u", "_s), table)))
            throwSourceFailure(u"read its table %1"_s.arg(table), read.lastError());

        const QString what = u"copy the table %1"_s.arg(table);
        QSqlQuery full(to_);
        if (!full.prepare(insertStatement(table, columns, rowsPerInsert)))
            throwServerFailure(target_, what, full.lastError());
        QVariantList pending;
        pending.reserve(rowsPerInsert * columns.size());
        qint64 copied = 0;
        const auto flush = [&](int rows) {
            QSqlQuery partial(to_);
            QSqlQuery& insert = rows == rowsPerInsert ? full : partial;
            if (rows != rowsPerInsert && !partial.prepare(insertStatement(table, columns, rows)))
                throwServerFailure(target_, what, partial.lastError());
            for (qsizetype i = 0; i < pending.size(); ++i)
                insert.bindValue(int(i), pending[i]);
            if (!insert.exec())
                throwServerFailure(target_, what, insert.lastError());
            copied += rows;
            pending.clear();
        };
        int rows = 0;
        while (read.next()) {
            for (qsizetype i = 0; i < columns.size(); ++i)
                pending << read.value(int(i));
            if (++rows == rowsPerInsert) {
                flush(rows);
                rows = 0;
            }
        }
        if (read.lastError().isValid())
            throwSourceFailure(u"read its table %1"_s.arg(table), read.lastError());
        if (rows > 0)
            flush(rows);
        return copied;
    }

    qint64 sourceCount(const QString& object) {
        QSqlQuery query(from_);
        if (!query.exec(u"SELECT count(*) FROM %1"_s.arg(object)) || !query.next())
            throwSourceFailure(u"count the rows of %1"_s.arg(object), query.lastError());
        return query.value(0).toLongLong();
    }

    qint64 targetCount(const QString& object) {
        QSqlQuery query(to_);
        if (!query.exec(u"SELECT count(*) FROM %1"_s.arg(object)) || !query.next())
            throwServerFailure(target_, u"count the rows of %1"_s.arg(object), query.lastError());
        return query.value(0).toLongLong();
    }

    void checkCount(const QString& what, const QString& object, qint64 inFile) {
        const qint64 onServer = targetCount(object);
        if (onServer == inFile)
            return;
        throw DatabaseError(
            u"The copy on the catalogue server %1 holds %2 %3 where the file %4 holds %5, so "
            "nothing was copied.\n\nThe file's stored query qryactive may pick the active photos "
            "otherwise than the server's, or book labels may differ only in letter case, which "
            "the server does not tell apart. Let Slidekeep check the catalogue's books and "
            "photos, then push again."_s.arg(target_.serverName(), QString::number(onServer), what,
                                             sourcePath_, QString::number(inFile)),
            DatabaseError::Kind::Statement);
    }

private:
    static QString insertStatement(const QString& table, const QStringList& columns, int rows) {
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << u"?"_s;
        const QString row = u'(' + marks.join(u',') + u')';
        QStringList values;
        for (int i = 0; i < rows; ++i)
            values << row;
        return u"INSERT INTO %1 (%2) VALUES %3"_s.arg(table, columns.join(u", "_s),
                                                      values.join(u','));
    }

    [[noreturn]] void throwSourceFailure(const QString& what, const QSqlError& error) const {
        throw DatabaseError(
            u"The photo catalogue %1 could not %2 (%3), so nothing was copied."_s.arg(
                sourcePath_, what, error.text()),
            DatabaseError::Kind::Unreadable);
    }

    QString sourcePath_;
    CatalogueLocation target_;
    QSqlDatabase from_;
    QSqlDatabase to_;
};

} // namespace

PushedCatalogue pushCatalogue(const QString& sourcePath, const CatalogueLocation& target) {
    // The file is checked as every program checks it, and only read.
    PhotoDatabase::open(sourcePath, CatalogueAccess::ReadOnly);

    Connections connections(&sourcePath);
    QSqlDatabase from =
        addCatalogueConnection(sourcePath, connections.source(), CatalogueAccess::ReadOnly);
    if (!from.open())
        throw DatabaseError(u"The photo catalogue %1 cannot be opened (%2)."_s.arg(
                                sourcePath, from.lastError().text()),
                            DatabaseError::Kind::Unreadable);
    QSqlDatabase to = addServerConnection(target, connections.target(), CatalogueAccess::ReadWrite);
    openServerConnection(to, target);

    Copy copy(sourcePath, target, from, to);
    copy.refuseUnlessEmpty();
    // One snapshot of the file, so a change by Slidekeep meanwhile cannot make the counts differ.
    if (!from.transaction())
        throw DatabaseError(u"The photo catalogue %1 cannot be read (%2)."_s.arg(
                                sourcePath, from.lastError().text()),
                            DatabaseError::Kind::Unreadable);
    if (!to.transaction())
        throwServerFailure(target, u"start the copy"_s, to.lastError());
    PushedCatalogue pushed;
    try {
        for (const QString& statement : serverCatalogueSchemaStatements())
            copy.exec(statement, u"create the catalogue's tables"_s);
        pushed.books = copy.copyTable(u"Books"_s);
        pushed.photos = copy.copyTable(u"Photos"_s);
        pushed.activePhotos = copy.sourceCount(u"qryactive"_s);
        copy.checkCount(u"books"_s, u"Books"_s, copy.sourceCount(u"Books"_s));
        copy.checkCount(u"photos"_s, u"Photos"_s, copy.sourceCount(u"Photos"_s));
        copy.checkCount(u"active photos"_s, u"qryactive"_s, pushed.activePhotos);
        copy.exec(u"ANALYZE"_s, u"gather the statistics of the new tables"_s);
        if (!to.commit())
            throwServerFailure(target, u"save the copy"_s, to.lastError());
    } catch (...) {
        to.rollback();
        from.rollback();
        throw;
    }
    from.rollback();
    return pushed;
}

} // namespace tarnwick
