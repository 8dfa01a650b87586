#include "catalogue/AccessFile.h"

#include "catalogue/DatabaseError.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <mdbtools.h>
#include <optional>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

// Long texts (memo fields) are read up to this length; a longer one is refused, not cut.
constexpr std::size_t bindSize = 1 << 20;
// A row's place on its page; the bits above flag deleted and moved rows (the library's
// OFFSET_MASK, which its header does not export).
constexpr int rowOffsetMask = 0x1fff;
// The first bytes of a compound document, the container of an encrypted Access 2007+ database.
const QByteArray compoundFileSignature = QByteArray::fromHex("d0cf11e0a1b11ae1");

QString typeName(int type) {
    switch (type) {
    case MDB_BOOL:
        return u"Boolean"_s;
    case MDB_BYTE:
        return u"Byte"_s;
    case MDB_INT:
        return u"Integer"_s;
    case MDB_LONGINT:
        return u"Long Integer"_s;
    case MDB_MONEY:
        return u"Currency"_s;
    case MDB_FLOAT:
        return u"Single"_s;
    case MDB_DOUBLE:
        return u"Double"_s;
    case MDB_DATETIME:
        return u"DateTime"_s;
    case MDB_BINARY:
        return u"Binary"_s;
    case MDB_TEXT:
        return u"Text"_s;
    case MDB_OLE:
        return u"OLE"_s;
    case MDB_MEMO:
        return u"Memo"_s;
    case MDB_REPID:
        return u"Replication ID"_s;
    case MDB_NUMERIC:
        return u"Numeric"_s;
    case MDB_COMPLEX:
        return u"Complex"_s;
    default:
        return u"Unknown (%1)"_s.arg(type);
    }
}

template <typename T> T littleEndian(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return qFromLittleEndian(value);
}

// Days since 30 December 1899, the time of day as the fraction, also before that day (the
// fraction then counts forward from the day's start).
QString isoDateTime(double stored) {
    const double day = std::trunc(stored);
    qint64 seconds = std::llround(std::fabs(stored - day) * 86400.0);
    qint64 days = qint64(day);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;
    }
    const QDate date = QDate(1899, 12, 30).addDays(days);
    return u"%1 %2:%3:%4"_s.arg(date.toString(u"yyyy-MM-dd"_s))
        .arg(seconds / 3600, 2, 10, QChar(u'0'))
        .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(seconds % 60, 2, 10, QChar(u'0'));
}

// The value a Single holds, as the shortest decimal that reads back as it: 0.15, not
// 0.15000000596.
double singleAsDouble(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    double widened = value;
    std::from_chars(text, result.ptr, widened);
    return widened;
}

QString nonNullText(const char* text) {
    QString value = QString::fromUtf8(text);
    return value.isNull() ? u""_s : value;
}

} // namespace

QString accessFormatName(AccessFormat format) {
    switch (format) {
    case AccessFormat::Jet3:
        return u"Jet 3"_s;
    case AccessFormat::Jet4:
        return u"Jet 4"_s;
    case AccessFormat::Access2007:
        return u"Access 2007+"_s;
    }
    return {};
}

struct AccessFile::Handle {
    MdbHandle* mdb = nullptr;
    QByteArray bytes; // what a file opened from memory reads, kept while it is open
    ~Handle() {
        if (mdb)
            mdb_close(mdb);
    }
};

AccessFile::AccessFile(QString path, std::unique_ptr<Handle> handle)
    : path_(std::move(path)), handle_(std::move(handle)) {}

AccessFile::~AccessFile() = default;

std::unique_ptr<AccessFile> AccessFile::open(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw DatabaseError(u"The file %1 does not exist.\n\nName the Access file (Photo3.mdb) "
                            "of the old installation."_s.arg(path),
                            DatabaseError::Kind::Missing);
    if (!info.isFile() || !info.isReadable())
        throw DatabaseError(u"The file %1 cannot be read: it is a folder, or you have no "
                            "permission to read it.\n\nName the Access file itself, and ask "
                            "for read permission on it."_s.arg(path),
                            DatabaseError::Kind::Unreadable);
    auto handle = std::make_unique<Handle>();
    // Opened for reading only: the library never writes a file opened without MDB_WRITABLE.
    handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    QByteArray head;
    if (!handle->mdb) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            head = file.read(compoundFileSignature.size());
    }
    return opened(path, std::move(handle), info.size(), head);
}

std::unique_ptr<AccessFile> AccessFile::openBytes(QByteArray bytes, const QString& name) {
    auto handle = std::make_unique<Handle>();
    handle->bytes = std::move(bytes);
    if (!handle->bytes.isEmpty())
        handle->mdb =
            mdb_open_buffer(handle->bytes.data(), size_t(handle->bytes.size()), MDB_NOFLAGS);
    const qint64 size = handle->bytes.size();
    const QByteArray head = handle->bytes.left(compoundFileSignature.size());
    return opened(name, std::move(handle), size, head);
}

std::unique_ptr<AccessFile> AccessFile::opened(const QString& path, std::unique_ptr<Handle> handle,
                                               qint64 size, const QByteArray& head) {
    // Access keeps a database it encrypted with a password in a container of another kind.
    if (!handle->mdb && head == compoundFileSignature)
        throw DatabaseError(u"The file %1 is an Access database protected by a password: its "
                            "contents are encrypted and cannot be read.\n\nOpen it in Access "
                            "with the password, remove the password (File > Info > Decrypt "
                            "Database), then import the copy."_s.arg(path),
                            DatabaseError::Kind::Unreadable);
    if (!handle->mdb)
        throw DatabaseError(u"The file %1 is not an Access database (Jet 3, Jet 4 or Access "
                            "2007+).\n\nName the old catalogue Photo3.mdb from the folder of "
                            "the old installation."_s.arg(path),
                            DatabaseError::Kind::NotACatalogue);
    std::unique_ptr<AccessFile> file(new AccessFile(path, std::move(handle)));
    MdbHandle* mdb = file->handle_->mdb;
    switch (mdb->f->jet_version) {
    case MDB_VER_JET3:
        file->format_ = AccessFormat::Jet3;
        break;
    case MDB_VER_JET4:
        file->format_ = AccessFormat::Jet4;
        break;
    default:
        file->format_ = AccessFormat::Access2007;
        break;
    }
    // A file is whole pages; anything else was cut short while copied or saved.
    if (mdb->fmt->pg_size <= 0 || size % mdb->fmt->pg_size != 0)
        throw DatabaseError(
            u"The Access file %1 (%2) is damaged: it ends in the middle of a "
            "page, as a file cut short does.\n\nCopy the file again from the "
            "old installation or a backup."_s.arg(path, accessFormatName(file->format_)),
            DatabaseError::Kind::Corrupt);
    // The library takes a buffer of the bind size for every text it decodes, properties too:
    // the long one only once the tables are known, or a damaged property list takes minutes.
    file->readCatalogue();
    mdb_set_bind_size(mdb, bindSize);
    return file;
}

void AccessFile::readCatalogue() {
    MdbHandle* mdb = handle_->mdb;
    const QString damaged = u"The Access file %1 (%2) is damaged: %3.\n\nCopy the file again from "
                            "the old installation or a backup, or let Access repair it (Compact "
                            "and Repair)."_s;
    if (!mdb_read_catalog(mdb, MDB_ANY))
        throw DatabaseError(
            damaged.arg(path_, accessFormatName(format_), u"its list of tables cannot be read"_s),
            DatabaseError::Kind::Corrupt);
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        const QString name = QString::fromUtf8(entry->object_name);
        if (entry->object_type == MDB_QUERY) {
            queries_ << name;
            continue;
        }
        if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry))
            continue;
        MdbTableDef* table = mdb_read_table(entry);
        if (!table || !mdb_read_columns(table)) {
            if (table)
                mdb_free_tabledef(table);
            throw DatabaseError(damaged.arg(path_, accessFormatName(format_),
                                            u"its table %1 cannot be read"_s.arg(name)),
                                DatabaseError::Kind::Corrupt);
        }
        AccessTable described{name, {}, qint64(table->num_rows)};
        for (unsigned int c = 0; c < table->num_cols; ++c) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            described.columns.push_back(
                {QString::fromUtf8(column->name), typeName(column->col_type)});
        }
        mdb_free_tabledef(table);
        tables_.push_back(std::move(described));
    }
}

void AccessFile::readRows(const QString& tableName,
                          const std::function<void(const QVariantList&)>& visit) const {
    MdbHandle* mdb = handle_->mdb;
    const QString format = accessFormatName(format_);
    QByteArray encoded = tableName.toUtf8();
    MdbTableDef* table = mdb_read_table_by_name(mdb, encoded.data(), MDB_TABLE);
    if (!table || !mdb_read_columns(table)) {
        if (table)
            mdb_free_tabledef(table);
        throw DatabaseError(
            u"The Access file %1 (%2) has no readable table %3."_s.arg(path_, format, tableName),
            DatabaseError::Kind::Corrupt);
    }
    struct Free {
        MdbTableDef* table;
        ~Free() { mdb_free_tabledef(table); }
    } freeTable{table};

    const unsigned int columnCount = table->num_cols;
    std::vector<std::vector<char>> buffers(columnCount, std::vector<char>(bindSize + 1));
    std::vector<int> lengths(columnCount, 0);
    for (unsigned int c = 0; c < columnCount; ++c)
        mdb_bind_column(table, int(c) + 1, buffers[c].data(), &lengths[c]);
    if (mdb_rewind_table(table) != 0)
        throw DatabaseError(
            u"The Access file %1 (%2) is damaged: the table %3 cannot be read."_s.arg(path_, format,
                                                                                      tableName),
            DatabaseError::Kind::Corrupt);

    // A damaged row can claim more fields than the table has columns: the count is held to this.
    std::vector<MdbField> fields(std::max<std::size_t>(MDB_MAX_COLS, table->num_cols));
    qint64 row = 0;
    QVariantList values;
    while (mdb_fetch_row(table)) {
        ++row;
        const auto cannotConvert = [&](const QString& column, const QString& why) {
            return DatabaseError(u"In the Access file %1, row %2 of the table %3 holds a value "
                                 "in the column %4 that cannot be read: %5.\n\nCorrect the value "
                                 "in Access or Slidekeep, then import again."_s.arg(
                                     path_, QString::number(row), tableName, column, why),
                                 DatabaseError::Kind::Corrupt);
        };
        // The bound texts cannot tell Null from "": the row's null mask can, read again here
        // from the page the row was fetched from.
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) != 0)
            throw cannotConvert(u"(all)"_s, u"the row cannot be found on its page"_s);
        const int fieldCount = std::min(
            mdb_crack_row(table, start & rowOffsetMask, size, fields.data()), int(fields.size()));
        std::vector<const MdbField*> byColumn(columnCount, nullptr);
        for (int f = 0; f < fieldCount; ++f)
            if (fields[std::size_t(f)].colnum >= 0 &&
                unsigned(fields[std::size_t(f)].colnum) < columnCount)
                byColumn[std::size_t(fields[std::size_t(f)].colnum)] = &fields[std::size_t(f)];

        values.clear();
        for (unsigned int c = 0; c < columnCount; ++c) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            const MdbField* field = byColumn[c];
            const QString columnName = QString::fromUtf8(column->name);
            if (column->col_type == MDB_BOOL) {
                // A Yes/No field lives in the null mask: set is Yes, which the old engine
                // reads as -1.
                values << QVariant(field && !field->is_null ? qint64(-1) : qint64(0));
                continue;
            }
            if (!field || field->is_null) {
                values << QVariant();
                continue;
            }
            const unsigned char* at = mdb->pg_buf + field->start;
            const auto needs = [&](int bytes) {
                if (field->siz < bytes || field->start < 0 ||
                    field->start + bytes > mdb->fmt->pg_size)
                    throw cannotConvert(columnName, u"it is shorter than its type"_s);
            };
            switch (column->col_type) {
            case MDB_BYTE:
                needs(1);
                values << QVariant(qint64(at[0]));
                break;
            case MDB_INT:
                needs(2);
                values << QVariant(qint64(littleEndian<qint16>(at)));
                break;
            case MDB_LONGINT:
            case MDB_COMPLEX:
                needs(4);
                values << QVariant(qint64(littleEndian<qint32>(at)));
                break;
            case MDB_MONEY:
                needs(8);
                values << QVariant(double(littleEndian<qint64>(at)) / 10000.0);
                break;
            case MDB_FLOAT: {
                needs(4);
                const quint32 bits = littleEndian<quint32>(at);
                float single;
                std::memcpy(&single, &bits, sizeof single);
                values << QVariant(singleAsDouble(single));
                break;
            }
            case MDB_DOUBLE:
            case MDB_DATETIME: {
                needs(8);
                const quint64 bits = littleEndian<quint64>(at);
                double number;
                std::memcpy(&number, &bits, sizeof number);
                if (!std::isfinite(number))
                    throw cannotConvert(columnName, u"it is no number"_s);
                if (column->col_type == MDB_DATETIME)
                    values << QVariant(isoDateTime(number));
                else
                    values << QVariant(number);
                break;
            }
            case MDB_NUMERIC: {
                bool ok = false;
                const double number = QString::fromUtf8(buffers[c].data()).toDouble(&ok);
                if (!ok)
                    throw cannotConvert(columnName, u"it is no number"_s);
                values << QVariant(number);
                break;
            }
            case MDB_BINARY:
                values << QVariant(
                    QByteArray(reinterpret_cast<const char*>(at), qsizetype(field->siz)));
                break;
            case MDB_OLE: {
                size_t length = 0;
                void* data = mdb_ole_read_full(mdb, column, &length);
                values << QVariant(QByteArray(static_cast<const char*>(data), qsizetype(length)));
                g_free(data);
                break;
            }
            default: { // texts, memos, replication IDs
                const std::size_t length = strnlen(buffers[c].data(), bindSize + 1);
                if (length >= bindSize)
                    throw cannotConvert(columnName,
                                        u"it is longer than %1 bytes"_s.arg(bindSize - 1));
                values << QVariant(nonNullText(buffers[c].data()));
                break;
            }
            }
        }
        visit(values);
    }
    // A damaged page ends the library's reading early and silently.
    if (row != qint64(table->num_rows))
        throw DatabaseError(u"The Access file %1 (%2) is damaged: its table %3 should hold %4 "
                            "rows, of which %5 could be read.\n\nCopy the file again from the "
                            "old installation or a backup, or let Access repair it (Compact and "
                            "Repair)."_s.arg(path_, format, tableName,
                                             QString::number(table->num_rows),
                                             QString::number(row)),
                            DatabaseError::Kind::Corrupt);
}

QString composeStoredQuery(const std::vector<StoredQueryPart>& parts) {
    constexpr int kind = 1, options = 3, table = 5, column = 6, join = 7, where = 8, groupBy = 9,
                  having = 10, orderBy = 11;
    constexpr qint64 selectQuery = 1, allColumns = 1, distinct = 2;
    const auto of = [&](int attribute) {
        std::vector<const StoredQueryPart*> found;
        for (const StoredQueryPart& part : parts)
            if (part.attribute == attribute)
                found.push_back(&part);
        return found;
    };
    const auto kinds = of(kind);
    if (kinds.size() != 1 || kinds.front()->flag != selectQuery)
        return {};
    const qint64 optionFlags = of(options).empty() ? 0 : of(options).front()->flag;
    const auto bracketed = [](const QString& name) { return u'[' + name + u']'; };

    QStringList columns;
    if (optionFlags & allColumns)
        columns << u"*"_s;
    for (const StoredQueryPart* part : of(column))
        columns << (part->name1.isEmpty() ? part->expression
                                          : part->expression + u" AS "_s + bracketed(part->name1));
    if (columns.isEmpty())
        return {};

    // Joined tables nest from the first join on; the others follow, comma-separated.
    QString joined;
    QStringList inJoins;
    for (const StoredQueryPart* part : of(join)) {
        const QString how = part->flag == 2   ? u"LEFT JOIN"_s
                            : part->flag == 3 ? u"RIGHT JOIN"_s
                                              : u"INNER JOIN"_s;
        if (joined.isEmpty()) {
            joined = bracketed(part->name1);
            inJoins << part->name1;
        }
        const QString& next = inJoins.contains(part->name2) ? part->name1 : part->name2;
        if (inJoins.contains(next))
            return {}; // a join between tables joined already: not one statement of ours
        joined = u"%1 %2 %3 ON %4"_s.arg(joined, how, bracketed(next), part->expression);
        inJoins << next;
    }
    QStringList from;
    if (!joined.isEmpty())
        from << joined;
    for (const StoredQueryPart* part : of(table)) {
        if (inJoins.contains(part->name2.isEmpty() ? part->name1 : part->name2))
            continue;
        if (part->name1.isEmpty())
            return {}; // a subquery in FROM
        from << (part->name2.isEmpty()
                     ? bracketed(part->name1)
                     : bracketed(part->name1) + u" AS "_s + bracketed(part->name2));
    }
    if (from.isEmpty())
        return {};

    QString statement =
        u"SELECT %1%2 FROM %3"_s.arg(optionFlags & distinct ? u"DISTINCT "_s : QString(),
                                     columns.join(u", "_s), from.join(u", "_s));
    const auto expressions = [&](int attribute) {
        QStringList texts;
        for (const StoredQueryPart* part : of(attribute))
            texts << (attribute == orderBy && part->name1.compare(u"D", Qt::CaseInsensitive) == 0
                          ? part->expression + u" DESC"_s
                          : part->expression);
        return texts;
    };
    if (const QStringList w = expressions(where); !w.isEmpty())
        statement += u" WHERE "_s + w.join(u" AND "_s);
    if (const QStringList g = expressions(groupBy); !g.isEmpty())
        statement += u" GROUP BY "_s + g.join(u", "_s);
    if (const QStringList h = expressions(having); !h.isEmpty())
        statement += u" HAVING "_s + h.join(u" AND "_s);
    if (const QStringList o = expressions(orderBy); !o.isEmpty())
        statement += u" ORDER BY "_s + o.join(u", "_s);
    return statement;
}

std::vector<QVariantMap> AccessFile::rowsByName(const QString& tableName) const {
    QByteArray encoded = tableName.toUtf8();
    QStringList names;
    if (MdbTableDef* table = mdb_read_table_by_name(handle_->mdb, encoded.data(), MDB_TABLE)) {
        if (mdb_read_columns(table))
            for (unsigned int c = 0; c < table->num_cols; ++c)
                names << QString::fromUtf8(
                    static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c))->name);
        mdb_free_tabledef(table);
    }
    std::vector<QVariantMap> rows;
    if (names.isEmpty())
        return rows;
    readRows(tableName, [&](const QVariantList& values) {
        QVariantMap row;
        for (qsizetype i = 0; i < names.size() && i < values.size(); ++i)
            row.insert(names[i], values[i]);
        rows.push_back(row);
    });
    return rows;
}

const std::map<QString, std::vector<StoredQueryPart>>& AccessFile::storedQueryParts() const {
    if (queryParts_)
        return *queryParts_;
    constexpr qint64 queryObject = 5;
    queryParts_.emplace();
    try {
        std::map<qint64, QString> names;
        for (const QVariantMap& object : rowsByName(u"MSysObjects"_s))
            if (object.value(u"Type"_s).toLongLong() == queryObject)
                names.emplace(object.value(u"Id"_s).toLongLong(),
                              object.value(u"Name"_s).toString());
        for (const QVariantMap& row : rowsByName(u"MSysQueries"_s)) {
            const auto name = names.find(row.value(u"ObjectId"_s).toLongLong());
            if (name != names.end())
                (*queryParts_)[name->second].push_back(
                    {int(row.value(u"Attribute"_s).toLongLong()), row.value(u"Name1"_s).toString(),
                     row.value(u"Name2"_s).toString(), row.value(u"Expression"_s).toString(),
                     row.value(u"Flag"_s).toLongLong()});
        }
    } catch (const DatabaseError&) {
        queryParts_->clear(); // the descriptions are damaged: callers use their own definitions
    }
    return *queryParts_;
}

QString AccessFile::storedQuerySql(const QString& query) const {
    if (!queries_.contains(query))
        return {};
    const auto& parts = storedQueryParts();
    const auto found = parts.find(query);
    return found == parts.end() ? QString() : composeStoredQuery(found->second);
}

} // namespace tarnwick
