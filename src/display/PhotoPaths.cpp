#include "display/PhotoPaths.h"

#include "display/ListEntry.h"
#include "platform/AppPaths.h"

#include <QDir>

namespace tarnwick {

QString joinImagePath(const QString& directory, const QString& dir, const QString& file) {
    return joinPath(directory, dir + QDir::separator() + file);
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
