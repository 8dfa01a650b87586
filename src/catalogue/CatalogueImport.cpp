#include "catalogue/CatalogueImport.h"

#include "catalogue/CatalogueSchema.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/JetDialect.h"
#include "catalogue/PhotoDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>
#include <filesystem>
#include <optional>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

// The tables an import copies, with the columns the programs read from them.
const std::vector<RequiredColumns>& importedTables() {
    static const std::vector<RequiredColumns> tables = [] {
        std::vector<RequiredColumns> result;
        for (const RequiredColumns& required : requiredCatalogueColumns())
            if (required.object != u"qryactive")
                result.push_back(required);
        return result;
    }();
    return tables;
}

std::optional<AccessTable> findTable(const std::vector<AccessTable>& tables, const QString& name) {
    for (const AccessTable& table : tables)
        if (table.name.compare(name, Qt::CaseInsensitive) == 0)
            return table;
    return std::nullopt;
}

bool hasColumn(const AccessTable& table, const QString& name) {
    for (const AccessColumn& column : table.columns)
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString quotedName(QString name) {
    return u'"' + name.replace(u'"', u"\"\""_s) + u'"';
}

// The column type that keeps an Access value as the reader gives it.
QString storedType(const QString& accessType) {
    if (accessType == u"Text" || accessType == u"Memo" || accessType == u"DateTime" ||
        accessType == u"Replication ID")
        return u"TEXT"_s;
    if (accessType == u"Binary" || accessType == u"OLE")
        return u"BLOB"_s;
    if (accessType == u"Single" || accessType == u"Double" || accessType == u"Currency" ||
        accessType == u"Numeric")
        return u"REAL"_s;
    return u"INTEGER"_s;
}

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

std::atomic<int> importSerial{0};

// The new catalogue under a temporary name beside the target; removed unless installed.
class NewCatalogue {
public:
    NewCatalogue(const TableSource& source, const QString& targetPath)
        : source_(source), target_(targetPath), path_(u"%1.import-%2-%3"_s.arg(targetPath)
                                                          .arg(QCoreApplication::applicationPid())
                                                          .arg(++importSerial)),
          connection_(u"tarnwick-import-%1"_s.arg(importSerial.load())) {
        QFile::remove(path_); // a leftover of a run that was killed
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection_);
        db.setDatabaseName(path_);
        if (!db.open())
            fail(u"create it"_s, db.lastError());
        // Thrown away on any failure, so it needs no journal while it grows.
        exec(u"PRAGMA journal_mode = OFF"_s);
        for (const QString& statement : catalogueSchemaStatements())
            exec(statement);
    }
    ~NewCatalogue() {
        close();
        if (!installed_)
            QFile::remove(path_);
    }
    NewCatalogue(const NewCatalogue&) = delete;
    NewCatalogue& operator=(const NewCatalogue&) = delete;

    const QString& path() const { return path_; }

    // Copies every row and column of the source's table; returns the number of rows.
    qint64 copyTable(const QString& ourName, const AccessTable& table) {
        for (const AccessColumn& column : table.columns)
            if (!ourColumn(ourName, column.name))
                exec(u"ALTER TABLE %1 ADD COLUMN %2 %3"_s.arg(ourName, quotedName(column.name),
                                                              storedType(column.type)));
        QStringList names;
        QStringList marks;
        for (const AccessColumn& column : table.columns) {
            names << quotedName(column.name);
            marks << u"?"_s;
        }
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (!db.transaction())
            fail(u"start writing the table %1"_s.arg(ourName), db.lastError());
        QSqlQuery insert(db);
        if (!insert.prepare(u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(ourName, names.join(u", "_s),
                                                                     marks.join(u", "_s))))
            fail(u"prepare the table %1"_s.arg(ourName), insert.lastError());
        qint64 rows = 0;
        source_.readRows(table.name, [&](const QVariantList& row) {
            ++rows;
            for (qsizetype i = 0; i < row.size(); ++i)
                insert.bindValue(int(i), row[i]);
            if (!insert.exec())
                throw DatabaseError(
                    u"Row %1 of the table %2 in %3 cannot be imported: %4.\n\nCorrect the row "
                    "with Slidekeep or Access, then import again. Nothing was written."_s.arg(
                        QString::number(rows), table.name, source_.name(),
                        insert.lastError().databaseText()),
                    DatabaseError::Kind::Statement);
        });
        if (!db.commit())
            fail(u"save the table %1"_s.arg(ourName), db.lastError());
        return rows;
    }

    qint64 count(const QString& object) {
        QSqlQuery query(QSqlDatabase::database(connection_, false));
        if (!query.exec(u"SELECT count(*) FROM %1"_s.arg(object)) || !query.next())
            fail(u"count the rows of %1"_s.arg(object), query.lastError());
        return query.value(0).toLongLong();
    }

    // Defines qryactive by the old catalogue's own statement. Empty when it serves the programs;
    // else why not, and the standard definition stays.
    QString defineActiveQuery(const QString& jetStatement) {
        const QString standard = standardActiveQuery();
        QSqlQuery query(QSqlDatabase::database(connection_, false));
        exec(u"DROP VIEW qryactive"_s);
        QString problem;
        if (!query.exec(u"CREATE VIEW qryactive AS "_s + translateJetToSqlite(jetStatement))) {
            problem = query.lastError().databaseText();
        } else {
            // What every program asks of it: its columns, and Photos. names over it.
            QStringList columns;
            for (const RequiredColumns& required : requiredCatalogueColumns())
                if (required.object == u"qryactive")
                    columns = required.columns;
            for (const QString& statement :
                 {u"SELECT %1 FROM qryactive LIMIT 1"_s.arg(columns.join(u", "_s)),
                  translateJetToSqlite(
                      u"SELECT VegType From qryactive GROUP BY Photos.VegType"_s)}) {
                if (!query.exec(statement)) {
                    problem = query.lastError().databaseText();
                    break;
                }
            }
        }
        if (problem.isEmpty())
            return {};
        query.finish();
        exec(u"DROP VIEW IF EXISTS qryactive"_s);
        exec(standard);
        return problem;
    }

    void close() {
        if (!QSqlDatabase::contains(connection_))
            return;
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }

    void install(bool replace) {
        close();
        if (!replace && QFileInfo::exists(target_))
            throw alreadyThere(target_);
        std::error_code error;
        std::filesystem::rename(nativePath(path_), nativePath(target_), error);
        if (error)
            throw DatabaseError(
                u"The imported catalogue cannot be moved into place as %1 (%2), "
                "so nothing was imported.\n\nCheck that you may write the folder "
                "%3."_s.arg(target_, QString::fromStdString(error.message()),
                            QDir::toNativeSeparators(QFileInfo(target_).absolutePath())),
                DatabaseError::Kind::ReadOnly);
        installed_ = true;
    }

    static DatabaseError alreadyThere(const QString& target) {
        return DatabaseError(u"The catalogue %1 exists already, so nothing was imported.\n\nImport "
                             "with --force to replace it, or into another folder with "
                             "--app-dir."_s.arg(target),
                             DatabaseError::Kind::ReadOnly);
    }

private:
    static QString standardActiveQuery() {
        for (const QString& statement : catalogueSchemaStatements())
            if (statement.startsWith(u"CREATE VIEW qryactive"))
                return statement;
        return {};
    }

    bool ourColumn(const QString& table, const QString& column) {
        QSqlQuery query(QSqlDatabase::database(connection_, false));
        if (!query.exec(u"SELECT * FROM %1 LIMIT 0"_s.arg(table)))
            fail(u"read the table %1"_s.arg(table), query.lastError());
        for (int i = 0; i < query.record().count(); ++i)
            if (query.record().fieldName(i).compare(column, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }

    void exec(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(connection_, false));
        if (!query.exec(sql))
            fail(u"run \"%1\""_s.arg(sql.left(60)), query.lastError());
    }

    [[noreturn]] void fail(const QString& what, const QSqlError& error) const {
        throw DatabaseError(u"The new catalogue %1 could not %2 (%3), so nothing was imported; "
                            "%4 is as it was.\n\nCheck the free space and your permission to "
                            "write the folder, then import again."_s.arg(
                                path_, what, error.text().trimmed(), target_),
                            DatabaseError::Kind::Statement);
    }

    const TableSource& source_;
    QString target_;
    QString path_;
    QString connection_;
    bool installed_ = false;
};

} // namespace

QStringList missingForCatalogue(const TableSource& source) {
    const std::vector<AccessTable> tables = source.tables();
    QStringList missing;
    for (const RequiredColumns& required : importedTables()) {
        const std::optional<AccessTable> table = findTable(tables, required.object);
        if (!table) {
            missing << u"the table %1"_s.arg(required.object);
            continue;
        }
        QStringList columns;
        for (const QString& column : required.columns)
            if (!hasColumn(*table, column))
                columns << column;
        if (!columns.isEmpty())
            missing << u"the %1 %2 of the table %3"_s.arg(columns.size() == 1 ? u"column"_s
                                                                              : u"columns"_s,
                                                          columns.join(u", "_s), required.object);
    }
    return missing;
}

void checkImportable(const TableSource& source) {
    const QStringList missing = missingForCatalogue(source);
    if (!missing.isEmpty())
        throw DatabaseError(
            u"The file %1 is not a photo catalogue of the old suite: it lacks "
            "%2.\n\nName the file Photo3.mdb from the folder of the old "
            "installation; tarnwick-cli catalogue inspect shows what a file "
            "holds. Nothing was written."_s.arg(source.name(), missing.join(u"; "_s)),
            DatabaseError::Kind::NotACatalogue);
}

ImportedCatalogue importCatalogue(const TableSource& source, const QString& targetPath,
                                  bool replace) {
    checkImportable(source);
    if (!replace && QFileInfo::exists(targetPath))
        throw NewCatalogue::alreadyThere(targetPath);

    const std::vector<AccessTable> tables = source.tables();
    NewCatalogue catalogue(source, targetPath);
    ImportedCatalogue imported;
    const auto copy = [&](const QString& name) {
        const qint64 read = catalogue.copyTable(name, *findTable(tables, name));
        const qint64 written = catalogue.count(name);
        if (written != read)
            throw DatabaseError(u"The new catalogue holds %1 rows in %2 where %3 holds %4, so "
                                "nothing was imported.\n\nLet Slidekeep or Access check the "
                                "table, then import again."_s.arg(QString::number(written), name,
                                                                  source.name(),
                                                                  QString::number(read)),
                                DatabaseError::Kind::Statement);
        return written;
    };
    imported.books = copy(u"Books"_s);
    imported.photos = copy(u"Photos"_s);
    const QString stored = source.storedQueries().contains(u"qryactive"_s, Qt::CaseInsensitive)
                               ? source.storedQuerySql(u"qryactive"_s)
                               : QString();
    if (!source.storedQueries().contains(u"qryactive"_s, Qt::CaseInsensitive))
        imported.whyStandardQuery = u"the file holds no stored query qryactive"_s;
    else if (stored.isEmpty())
        imported.whyStandardQuery = u"its stored query qryactive cannot be read as one select "
                                    "statement"_s;
    else if (const QString problem = catalogue.defineActiveQuery(stored); !problem.isEmpty())
        imported.whyStandardQuery =
            u"its stored query qryactive (%1) does not serve the programs: %2"_s.arg(stored,
                                                                                     problem);
    imported.ownActiveQuery = imported.whyStandardQuery.isEmpty();
    imported.activePhotos = catalogue.count(u"qryactive"_s);
    catalogue.close();
    // The check every program makes when it opens a catalogue.
    PhotoDatabase::open(catalogue.path(), CatalogueAccess::ReadOnly);
    catalogue.install(replace);
    return imported;
}

} // namespace tarnwick
