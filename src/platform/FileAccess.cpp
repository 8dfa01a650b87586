#include "platform/FileAccess.h"

#include <cerrno>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <unistd.h>

namespace tarnwick {

QString firstUnsearchableFolder(const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // Every folder below the root down to the one holding the file; the file itself is not one.
    const qsizetype lastSlash = absolute.lastIndexOf(QLatin1Char('/'));
    qsizetype end = 0;
    while (end < lastSlash) {
        end = absolute.indexOf(QLatin1Char('/'), end + 1);
        const QString folder = absolute.left(end);
        if (::access(QFile::encodeName(folder).constData(), X_OK) == 0)
            continue;
        // A folder that is missing, or a file in a folder's place, is not a question of
        // permission: the caller reports what is missing.
        return errno == EACCES ? QDir::toNativeSeparators(folder) : QString();
    }
    return QString();
}

bool folderIsWritable(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

namespace {

// Flushed too: a buffered device reports a failed write only then.
bool writeAllFlushed(QFileDevice& file, const QByteArray& bytes) {
    return writeAll(file, bytes) && file.flush();
}

FileWriteError errorOf(const QFileDevice& file) {
    if (file.error() == QFileDevice::NoError)
        return {QFileDevice::WriteError, QStringLiteral("the data could not all be written")};
    return {file.error(), file.errorString()};
}

} // namespace

bool writeAll(QIODevice& device, const QByteArray& bytes) {
    // A short write leaves no error behind in Qt's devices: writing the rest either goes on or
    // fails with the system's reason (a full disk, a file size limit).
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 written = device.write(data, left);
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

std::optional<FileWriteError> writeWholeFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        // Renaming over a device would put a plain file in its place.
        QFile device(path);
        if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
            !writeAllFlushed(device, bytes))
            return errorOf(device);
        return std::nullopt;
    }
    QSaveFile file(path);
    // Unbuffered: a buffered save writes its last block only at the commit and does not look at
    // how that write went.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return errorOf(file);
    if (!writeAllFlushed(file, bytes)) {
        const FileWriteError error = errorOf(file);
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return errorOf(file);
    return std::nullopt;
}

} // namespace tarnwick
