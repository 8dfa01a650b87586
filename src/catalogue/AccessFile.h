#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace tarnwick {

enum class AccessFormat { Jet3, Jet4, Access2007 };

// "Jet 3", "Jet 4", "Access 2007+".
QString accessFormatName(AccessFormat format);

struct AccessColumn {
    QString name;
    QString type; // as Access names it: "Long Integer", "Text", "Boolean", ...
};

struct AccessTable {
    QString name;
    std::vector<AccessColumn> columns;
    qint64 rows = 0;
};

// Tables with their rows, as an import reads them. AccessFile reads them from a file; tests feed
// rows of their own. A row holds one value per column, in the columns' order: an invalid
// QVariant for Null, a Boolean as 0 or -1, whole numbers as qint64, other numbers as double,
// text as a non-null QString (so "" stays apart from Null), date/time as ISO text
// (yyyy-MM-dd HH:mm:ss), binary data as QByteArray.
class TableSource {
public:
    virtual ~TableSource() = default;
    // The file the rows come from, for messages.
    virtual QString name() const = 0;
    // The user's tables, system tables left out.
    virtual std::vector<AccessTable> tables() const = 0;
    virtual QStringList storedQueries() const = 0;
    // A stored select query's statement as the old engine writes it; empty when there is no
    // such query or it is of a kind that cannot be written back as one statement.
    virtual QString storedQuerySql(const QString& query) const = 0;
    // Calls visit for each row of the table. Throws DatabaseError, naming the file, the table and
    // the row, when a row cannot be read.
    virtual void readRows(const QString& table,
                          const std::function<void(const QVariantList&)>& visit) const = 0;
};

// One row of the old engine's description of a stored query (its system table MSysQueries).
struct StoredQueryPart {
    int attribute = 0; // 1 kind, 3 options, 5 table, 6 column, 7 join, 8 where, 9 group by,
                       // 10 having, 11 order by
    QString name1;
    QString name2;
    QString expression;
    qint64 flag = 0;
};

// The select statement the parts describe, in the old engine's dialect; empty for any other
// kind of query.
QString composeStoredQuery(const std::vector<StoredQueryPart>& parts);

// An Access database file (Jet 3, Jet 4, Access 2007+), opened read-only. The only place the
// program touches mdbtools' library.
class AccessFile final : public TableSource {
public:
    // Throws DatabaseError naming the file, the cause and what to do: a missing or unreadable
    // file, one that is no Access database, one that is damaged or cut short.
    static std::unique_ptr<AccessFile> open(const QString& path);
    // The same for a file's bytes already in memory; name stands for the file in messages.
    static std::unique_ptr<AccessFile> openBytes(QByteArray bytes, const QString& name);
    ~AccessFile() override;
    AccessFile(const AccessFile&) = delete;
    AccessFile& operator=(const AccessFile&) = delete;

    AccessFormat format() const { return format_; }
    QString name() const override { return path_; }
    std::vector<AccessTable> tables() const override { return tables_; }
    QStringList storedQueries() const override { return queries_; }
    QString storedQuerySql(const QString& query) const override;
    void readRows(const QString& table,
                  const std::function<void(const QVariantList&)>& visit) const override;

private:
    struct Handle;
    // The rows of a table, system tables too, by column name.
    std::vector<QVariantMap> rowsByName(const QString& table) const;
    // Every stored query's description by the query's name, read once when first asked for.
    const std::map<QString, std::vector<StoredQueryPart>>& storedQueryParts() const;
    AccessFile(QString path, std::unique_ptr<Handle> handle);
    // Checks what the library opened (size bytes in all, beginning with head where it opened
    // nothing) and reads its list of tables.
    static std::unique_ptr<AccessFile> opened(const QString& path, std::unique_ptr<Handle> handle,
                                              qint64 size, const QByteArray& head);
    void readCatalogue();

    QString path_;
    std::unique_ptr<Handle> handle_;
    AccessFormat format_ = AccessFormat::Jet4;
    std::vector<AccessTable> tables_;
    QStringList queries_;
    mutable std::optional<std::map<QString, std::vector<StoredQueryPart>>> queryParts_;
};

} // namespace tarnwick
