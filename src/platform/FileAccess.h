#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

namespace tarnwick {

// The first folder on the way to path that this user may not search (enter). Behind such a
// folder a file can be neither found nor opened, though it may well be there, so a message must
// not call it missing. Empty when every folder on the way that exists can be searched.
QString firstUnsearchableFolder(const QString& path);

// Whether this user may write into the folder: create, rename and remove files in it.
bool folderIsWritable(const QString& folder);

// Writes every byte, going on after a short write; false when the device takes no more.
bool writeAll(QIODevice& device, const QByteArray& bytes);

// Why a file could not be written: the kind as Qt's files report it (ResourceError for a full
// disk) and the system's own words.
struct FileWriteError {
    QFileDevice::FileError kind = QFileDevice::WriteError;
    QString detail;
};

// Writes bytes so that the file ends up holding all of them or stays as it was: a temporary file
// beside it, every write checked, renamed over it once complete. A device or pipe (/dev/full, a
// FIFO) cannot be replaced by renaming and is written directly, every write checked too.
std::optional<FileWriteError> writeWholeFile(const QString& path, const QByteArray& bytes);

} // namespace tarnwick
