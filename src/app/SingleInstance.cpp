#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace tarnwick {

SingleInstance::SingleInstance(const QString& applicationDir)
    : lock_(std::make_unique<QLockFile>(lockFilePath(applicationDir))) {
    lock_->setStaleLockTime(0); // a lock is stale only when its process is gone
}

bool SingleInstance::tryAcquire() {
    return lock_->isLocked() || lock_->tryLock(0);
}

QString SingleInstance::lockFilePath(const QString& applicationDir) {
    // The canonical path: an installation reached through a symbolic link is the same one.
    const QFileInfo folder(applicationDir);
    const QString canonical = folder.canonicalFilePath();
    const QString identity =
        canonical.isEmpty() ? QDir::cleanPath(folder.absoluteFilePath()) : canonical;
    const QByteArray key = QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha1);
    return QDir::tempPath() +
           QStringLiteral("/tarnwick-%1-%2.lock")
               .arg(QString::number(getuid()), QString::fromLatin1(key.toHex().left(16)));
}

} // namespace tarnwick
