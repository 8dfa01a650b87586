#pragma once

#include <memory>
#include <QLockFile>
#include <QString>

namespace tarnwick {

// One running copy per user and installation: a lock file keyed by the application directory,
// so copies of different installations (and tests in their own folders) run side by side.
// A copy that crashed leaves a stale lock that the next start takes over.
class SingleInstance {
public:
    explicit SingleInstance(const QString& applicationDir);
    // False when another running copy holds the installation.
    bool tryAcquire();

    static QString lockFilePath(const QString& applicationDir);

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace tarnwick
