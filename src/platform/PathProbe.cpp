#include "platform/PathProbe.h"

#include <QFileInfo>

namespace tarnwick {

ProbeResult FileSystemProbe::probe(const QString& photoDirectory, const QString& filePath) {
    if (QFileInfo(filePath).isFile())
        return ProbeResult::Found;
    // A stale network mount or a failing disc makes the folder's status itself unreadable.
    const QFileInfo directory(photoDirectory);
    if (!directory.isDir() || !directory.isReadable())
        return ProbeResult::Unreadable;
    return ProbeResult::Missing;
}

} // namespace tarnwick
