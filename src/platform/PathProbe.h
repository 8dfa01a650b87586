#pragma once

#include <QString>

namespace tarnwick {

enum class ProbeResult {
    Found,
    Missing,    // the photo directory can be read but has no such file
    Unreadable, // the photo directory, or the disc or mount it lies on, cannot be read at all
};

// Looks for a photo file under the photo directory. Commands take this seam so the difference
// between an absent disc and an absent file can be staged in tests.
class PathProbe {
public:
    virtual ~PathProbe() = default;
    virtual ProbeResult probe(const QString& photoDirectory, const QString& filePath) = 0;
};

// The real file system. A removed disc or unplugged drive usually leaves its mount point behind
// as an empty folder, so a photo directory that has vanished counts as unreadable just like one
// whose listing fails.
class FileSystemProbe : public PathProbe {
public:
    ProbeResult probe(const QString& photoDirectory, const QString& filePath) override;
};

} // namespace tarnwick
