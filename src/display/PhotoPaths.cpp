#include "display/PhotoPaths.h"

#include "app/AppPaths.h"
#include "display/ListEntry.h"

#include <QDir>

namespace tarnwick {

namespace {

bool endsWithSeparator(const QString& path) {
    return path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator());
}

} // namespace

QString joinImagePath(const QString& directory, const QString& dir, const QString& file) {
    QString path = directory;
    // An empty directory leaves the path relative, as a bare "photoimages" setting would.
    if (!path.isEmpty() && !endsWithSeparator(path))
        path += QDir::separator();
    return path + dir + QDir::separator() + file;
}

SlotPaths composeSlotPaths(const QString& photoDir, const AppPaths& paths, const ListEntry& entry) {
    const QString local = paths.photoImagesDir();
    return SlotPaths{joinImagePath(photoDir, entry.dir, entry.picture),
                     joinImagePath(photoDir, entry.dir, entry.data),
                     joinImagePath(local, entry.dir, entry.picture),
                     joinImagePath(local, entry.dir, entry.data)};
}

QString noPictureText(const QString& photoDir, const AppPaths& paths) {
    return QStringLiteral("No Picture Available in:") + QLatin1Char('\n') + photoDir +
           QStringLiteral(" or") + QLatin1Char('\n') + paths.photoImagesDir();
}

} // namespace tarnwick
