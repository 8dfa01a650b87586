#pragma once

#include "catalogue/AccessFile.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/RunControl.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace tarnwick {

// What an import reads of an Access file, as bytes one process hands another: the tables, the
// stored queries with their statements and every table's rows. A table whose rows could not all
// be read keeps the rows read and the error, which reading it gives again.
QByteArray accessSnapshot(const TableSource& source);
// The bytes of a source that could not be opened at all: reading them throws the error.
QByteArray accessSnapshotOfError(const DatabaseError& error);

// The source the bytes hold, in memory. Throws the error they hold, or a DatabaseError naming
// the file (name) when they are cut short or of another kind.
std::unique_ptr<TableSource> readAccessSnapshot(const QByteArray& bytes, const QString& name);

// The program that writes the snapshot ("tarnwick-cli", run as: catalogue snapshot FILE OUTPUT),
// and how much memory it may hold before it is taken to be lost in a damaged file.
struct SnapshotReader {
    QString program;
    qint64 memoryLimitBytes = 0;
};

// The memory a reader may hold for a file of fileSize bytes: far more than any sound file needs.
qint64 snapshotMemoryLimit(qint64 fileSize);

// Reads the Access file at path in a process of its own and returns what it holds. mdbtools'
// library can loop for minutes on a damaged file, piling up memory as it goes; out of process
// that costs the reader only: it is ended when control asks for a stop (a DatabaseError of kind
// Stopped) or when it holds more than the limit (one naming the file as damaged). Blocks the
// calling thread meanwhile.
std::unique_ptr<TableSource> readAccessFileApart(const QString& path, const SnapshotReader& reader,
                                                 const RunControl& control);
// The same with tarnwick-cli beside this program and the limit for the file's size.
std::unique_ptr<TableSource> readAccessFileApart(const QString& path, const RunControl& control);

} // namespace tarnwick
