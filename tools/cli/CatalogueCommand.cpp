#include "CatalogueCommand.h"

#include "CliSupport.h"

#include "catalogue/AccessFile.h"
#include "catalogue/AccessSnapshot.h"
#include "catalogue/CatalogueImport.h"
#include "catalogue/CatalogueLocation.h"
#include "catalogue/CataloguePush.h"
#include "catalogue/DatabaseError.h"

#include "platform/AppPaths.h"
#include "platform/FileAccess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <optional>

using namespace Qt::StringLiterals;
using namespace tarnwick;

namespace {

int usage(const QString& message) {
    return usageError(u"tarnwick-cli catalogue"_s, message);
}

int failed(const DatabaseError& error) {
    printLine(stderr, u"tarnwick-cli: %1"_s.arg(error.message()));
    return exitFailure;
}

QJsonObject describe(const AccessFile& file) {
    QJsonArray tables;
    for (const AccessTable& table : file.tables()) {
        QJsonArray columns;
        for (const AccessColumn& column : table.columns)
            columns.append(QJsonObject{{u"name"_s, column.name}, {u"type"_s, column.type}});
        tables.append(
            QJsonObject{{u"name"_s, table.name}, {u"rows"_s, table.rows}, {u"columns"_s, columns}});
    }
    const QStringList missing = missingForCatalogue(file);
    return QJsonObject{{u"file"_s, file.name()},
                       {u"format"_s, accessFormatName(file.format())},
                       {u"tables"_s, tables},
                       {u"queries"_s, QJsonArray::fromStringList(file.storedQueries())},
                       {u"importable"_s, missing.isEmpty()},
                       {u"missing"_s, QJsonArray::fromStringList(missing)}};
}

int runInspect(const QStringList& args) {
    if (args.size() != 1 || args.front().startsWith(u'-'))
        return usage(u"catalogue inspect takes one Access file"_s);
    try {
        const auto file = AccessFile::open(args.front());
        const QJsonDocument json(describe(*file));
        printLine(stdout, QString::fromUtf8(json.toJson(QJsonDocument::Indented)).trimmed());
    } catch (const DatabaseError& error) {
        return failed(error);
    }
    return 0;
}

// Writes OUTPUT whole even when the file cannot be read: the error is part of what it holds, for
// the window that reads it.
int runSnapshot(const QStringList& args) {
    if (args.size() != 2 || args.front().startsWith(u'-'))
        return usage(u"catalogue snapshot takes the Access file and the file to write"_s);
    QByteArray snapshot;
    try {
        snapshot = accessSnapshot(*AccessFile::open(args[0]));
    } catch (const DatabaseError& error) {
        snapshot = accessSnapshotOfError(error);
    }
    if (const std::optional<FileWriteError> failure = writeWholeFile(args[1], snapshot)) {
        printLine(stderr,
                  u"tarnwick-cli: %1 could not be written: %2"_s.arg(args[1], failure->detail));
        return exitFailure;
    }
    return 0;
}

// Where an import writes: the installation's file, or an empty database on a server.
struct ImportTarget {
    QString file;
    std::optional<CatalogueLocation> server;
};

void printImported(const ImportedCatalogue& imported, const AccessFile& source,
                   const QString& where) {
    printLine(stdout, u"Imported %1 books and %2 photos (%3 active) from %4 (%5) into %6."_s.arg(
                          QString::number(imported.books), QString::number(imported.photos),
                          QString::number(imported.activePhotos), source.name(),
                          accessFormatName(source.format()), where));
    printLine(stdout, imported.ownActiveQuery
                          ? u"qryactive: the file's own stored query."_s
                          : u"qryactive: the standard definition (the active photos of active "
                            "books), since %1."_s.arg(imported.whyStandardQuery));
    if (imported.activePhotos == 0)
        printLine(stdout, u"No photo is active, so Tarnwick will list none: let Slidekeep "
                          "activate books and photos."_s);
}

int importInto(const QString& file, const ImportTarget& target, bool force) {
    try {
        const auto source = AccessFile::open(file);
        if (!target.server) {
            printImported(importCatalogue(*source, target.file, force), *source, target.file);
            return 0;
        }
        // Through a file of ours, so the server receives what push copies from any catalogue.
        QTemporaryDir scratch;
        if (!scratch.isValid())
            throw DatabaseError(u"No temporary folder could be made for the import (%1)."_s.arg(
                                    scratch.errorString()),
                                DatabaseError::Kind::ReadOnly);
        const QString staged = scratch.filePath(QString::fromLatin1(catalogueFileName));
        const ImportedCatalogue imported = importCatalogue(*source, staged, false);
        pushCatalogue(staged, *target.server);
        printImported(imported, *source, target.server->displayName());
    } catch (const DatabaseError& error) {
        return failed(error);
    }
    return 0;
}

int runImport(const QStringList& args) {
    QString appDir;
    QString address;
    QString file;
    bool force = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--force")
            force = true;
        else if (takeValue(args, i, u"--app-dir"_s, appDir) ||
                 takeValue(args, i, u"--to"_s, address))
            continue;
        else if (args[i].startsWith(u'-'))
            return usage(u"unknown argument '%1' for catalogue import"_s.arg(args[i]));
        else if (file.isEmpty())
            file = args[i];
        else
            return usage(
                u"catalogue import takes one Access file, got '%1' and '%2'"_s.arg(file, args[i]));
    }
    if (file.isEmpty())
        return usage(u"catalogue import needs the Access file (Photo3.mdb) to import"_s);
    ImportTarget target;
    if (address.isEmpty()) {
        target.file = installationPaths(appDir).cataloguePath();
    } else {
        QString problem;
        target.server = CatalogueLocation::fromServerAddress(address, &problem);
        if (!target.server)
            return usage(u"--to cannot be used: %1; write postgresql://HOST[:PORT]/DB and keep "
                         "the password in ~/.pgpass or PGPASSWORD"_s.arg(problem));
    }
    return importInto(file, target, force);
}

int runPush(const QStringList& args) {
    QString appDir;
    QString address;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        QString* target = nullptr;
        QString option = arg;
        if (option.startsWith(u"--to=") || option.startsWith(u"--app-dir=")) {
            option = arg.left(arg.indexOf(u'='));
            (option == u"--to" ? address : appDir) = arg.mid(option.size() + 1);
            continue;
        }
        if (option == u"--to")
            target = &address;
        else if (option == u"--app-dir")
            target = &appDir;
        else
            return usage(u"unknown argument '%1' for catalogue push"_s.arg(arg));
        if (i + 1 >= args.size())
            return usage(u"%1 needs a value"_s.arg(option));
        *target = args[++i];
    }
    if (address.isEmpty())
        return usage(u"catalogue push needs --to postgresql://HOST[:PORT]/DB"_s);
    QString problem;
    const std::optional<CatalogueLocation> location =
        CatalogueLocation::fromServerAddress(address, &problem);
    if (!location)
        return usage(u"--to cannot be used: %1; write postgresql://HOST[:PORT]/DB and keep the "
                     "password in ~/.pgpass or PGPASSWORD"_s.arg(problem));

    const QString source = installationPaths(appDir).cataloguePath();
    try {
        const PushedCatalogue pushed = pushCatalogue(source, *location);
        printLine(stdout,
                  u"Copied %1 books and %2 photos (%3 active) from %4 to %5."_s.arg(
                      QString::number(pushed.books), QString::number(pushed.photos),
                      QString::number(pushed.activePhotos), source, location->displayName()));
    } catch (const DatabaseError& error) {
        return failed(error);
    }
    return 0;
}

} // namespace

int runCatalogue(const QStringList& args) {
    const QString command = args.value(0);
    if (command == u"push")
        return runPush(args.mid(1));
    if (command == u"inspect")
        return runInspect(args.mid(1));
    if (command == u"import")
        return runImport(args.mid(1));
    if (command == u"snapshot")
        return runSnapshot(args.mid(1));
    return usage(command.isEmpty()
                     ? u"name a catalogue command: push, inspect, import or snapshot"_s
                     : u"unknown catalogue command '%1'"_s.arg(command));
}
