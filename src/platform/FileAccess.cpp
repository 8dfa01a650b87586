#include "platform/FileAccess.h"

#include <cerrno>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

} // namespace tarnwick
