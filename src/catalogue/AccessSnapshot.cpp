#include "catalogue/AccessSnapshot.h"

#include "platform/ProcessRunner.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <map>
#include <optional>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

const QByteArray snapshotMagic = QByteArrayLiteral("Tarnwick Access snapshot 1");
constexpr auto streamVersion = QDataStream::Qt_6_0;
constexpr qint8 holdsError = 0;
constexpr qint8 holdsTables = 1;
// What follows each row of a table: another row, the table's end, or the error that ended it.
constexpr qint8 tableEnds = 0;
constexpr qint8 rowFollows = 1;
constexpr qint8 tableFailed = 2;
constexpr int pollMs = 50;

void writeError(QDataStream& out, const DatabaseError& error) {
    out << qint32(error.kind()) << error.message();
}

DatabaseError readError(QDataStream& in) {
    qint32 kind = 0;
    QString message;
    in >> kind >> message;
    return DatabaseError(message, DatabaseError::Kind(kind));
}

struct TableRows {
    std::vector<QVariantList> rows;
    std::optional<DatabaseError> error;
};

class SnapshotSource final : public TableSource {
public:
    QString name_;
    std::vector<AccessTable> tables_;
    QStringList queries_;
    std::map<QString, QString> querySql_;
    std::map<QString, TableRows> rows_;

    QString name() const override { return name_; }
    std::vector<AccessTable> tables() const override { return tables_; }
    QStringList storedQueries() const override { return queries_; }
    QString storedQuerySql(const QString& query) const override {
        const auto found = querySql_.find(query);
        return found == querySql_.end() ? QString() : found->second;
    }
    void readRows(const QString& table,
                  const std::function<void(const QVariantList&)>& visit) const override {
        const auto found = rows_.find(table);
        if (found == rows_.end())
            throw DatabaseError(u"The Access file %1 has no readable table %2."_s.arg(name_, table),
                                DatabaseError::Kind::Corrupt);
        for (const QVariantList& row : found->second.rows)
            visit(row);
        if (found->second.error)
            throw *found->second.error;
    }
};

void writeTables(QDataStream& out, const TableSource& source) {
    const std::vector<AccessTable> tables = source.tables();
    out << quint32(tables.size());
    for (const AccessTable& table : tables) {
        out << table.name << quint32(table.columns.size());
        for (const AccessColumn& column : table.columns)
            out << column.name << column.type;
        out << table.rows;
    }
    const QStringList queries = source.storedQueries();
    out << queries;
    for (const QString& query : queries)
        out << source.storedQuerySql(query);
    for (const AccessTable& table : tables) {
        try {
            source.readRows(table.name, [&](const QVariantList& row) { out << rowFollows << row; });
            out << tableEnds;
        } catch (const DatabaseError& error) {
            out << tableFailed;
            writeError(out, error);
        }
    }
}

void readTables(QDataStream& in, SnapshotSource& source) {
    quint32 tableCount = 0;
    in >> tableCount;
    for (quint32 t = 0; t < tableCount && in.status() == QDataStream::Ok; ++t) {
        AccessTable table;
        quint32 columnCount = 0;
        in >> table.name >> columnCount;
        for (quint32 c = 0; c < columnCount && in.status() == QDataStream::Ok; ++c) {
            AccessColumn column;
            in >> column.name >> column.type;
            table.columns.push_back(std::move(column));
        }
        in >> table.rows;
        source.tables_.push_back(std::move(table));
    }
    in >> source.queries_;
    for (const QString& query : std::as_const(source.queries_))
        in >> source.querySql_[query];
    for (const AccessTable& table : source.tables_) {
        TableRows& rows = source.rows_[table.name];
        qint8 next = tableEnds;
        for (in >> next; next == rowFollows && in.status() == QDataStream::Ok; in >> next)
            in >> rows.rows.emplace_back();
        if (next == tableFailed)
            rows.error = readError(in);
    }
}

DatabaseError unreadable(const QString& path, const QString& why) {
    return DatabaseError(u"The Access file %1 could not be read: %2.\n\nCopy the file again from "
                         "the old installation or a backup, or let Access repair it (Compact and "
                         "Repair)."_s.arg(path, why),
                         DatabaseError::Kind::Corrupt);
}

// The memory the process holds now, or -1 where the system does not tell.
qint64 residentBytes(qint64 pid) {
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

} // namespace

QByteArray accessSnapshot(const TableSource& source) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << snapshotMagic << holdsTables << source.name();
    writeTables(out, source);
    return bytes;
}

QByteArray accessSnapshotOfError(const DatabaseError& error) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << snapshotMagic << holdsError;
    writeError(out, error);
    return bytes;
}

std::unique_ptr<TableSource> readAccessSnapshot(const QByteArray& bytes, const QString& name) {
    QDataStream in(bytes);
    in.setVersion(streamVersion);
    QByteArray magic;
    qint8 holds = holdsError;
    in >> magic >> holds;
    if (magic != snapshotMagic || in.status() != QDataStream::Ok)
        throw unreadable(name, u"its reader handed over something else than its contents"_s);
    if (holds == holdsError) {
        DatabaseError error = readError(in);
        if (in.status() == QDataStream::Ok)
            throw error;
    }
    auto source = std::make_unique<SnapshotSource>();
    in >> source->name_;
    readTables(in, *source);
    if (in.status() != QDataStream::Ok || !in.atEnd())
        throw unreadable(name, u"its reader handed over its contents cut short"_s);
    return source;
}

qint64 snapshotMemoryLimit(qint64 fileSize) {
    constexpr qint64 base = qint64(1) << 30;
    return base + 4 * fileSize;
}

std::unique_ptr<TableSource> readAccessFileApart(const QString& path, const SnapshotReader& reader,
                                                 const RunControl& control) {
    if (reader.program.isEmpty())
        throw DatabaseError(u"The old catalogue %1 cannot be read: the program tarnwick-cli, which "
                            "reads Access files for Tarnwick, is not installed beside it.\n\n"
                            "Install Tarnwick again."_s.arg(path),
                            DatabaseError::Kind::Unreadable);
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw DatabaseError(u"The old catalogue %1 cannot be read: no temporary folder could be "
                            "made for it (%2).\n\nFree some space in the temporary folder."_s.arg(
                                path, scratch.errorString()),
                            DatabaseError::Kind::Unreadable);
    const QString output = scratch.filePath(u"snapshot"_s);
    QProcess process;
    process.setProgram(reader.program);
    // Named as given, so the reader's messages name it as the user does; never as an option.
    const QString file = path.startsWith(u'-') ? u"./"_s + path : path;
    process.setArguments({u"catalogue"_s, u"snapshot"_s, file, output});
    // A damaged file makes the library print warnings by the hundred thousand.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(-1))
        throw DatabaseError(u"The old catalogue %1 cannot be read: the program %2 could not be "
                            "started (%3).\n\nInstall Tarnwick again."_s.arg(path, reader.program,
                                                                             process.errorString()),
                            DatabaseError::Kind::Unreadable);
    const auto end = [&](const DatabaseError& error) {
        process.kill();
        process.waitForFinished(-1);
        return error;
    };
    while (process.state() != QProcess::NotRunning) {
        process.waitForFinished(pollMs);
        if (process.state() == QProcess::NotRunning)
            break;
        if (control.stopRequested)
            throw end(DatabaseError(u"Reading the old catalogue %1 was stopped: nothing was "
                                    "imported."_s.arg(path),
                                    DatabaseError::Kind::Stopped));
        if (residentBytes(process.processId()) > reader.memoryLimitBytes)
            throw end(unreadable(path, u"reading it took more than %1 MB of memory without "
                                       "coming to an end, as a damaged file does"_s.arg(
                                           reader.memoryLimitBytes >> 20)));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw unreadable(path,
                         u"its reader ended abruptly (%1), as it does on a damaged file"_s.arg(
                             process.exitStatus() == QProcess::NormalExit
                                 ? u"exit status %1"_s.arg(process.exitCode())
                                 : u"it crashed"_s));
    QFile snapshot(output);
    if (!snapshot.open(QIODevice::ReadOnly))
        throw unreadable(path, u"its reader handed over nothing"_s);
    return readAccessSnapshot(snapshot.readAll(), path);
}

std::unique_ptr<TableSource> readAccessFileApart(const QString& path, const RunControl& control) {
    return readAccessFileApart(
        path, {programBesideThisOne(cliProgram), snapshotMemoryLimit(QFileInfo(path).size())},
        control);
}

} // namespace tarnwick
