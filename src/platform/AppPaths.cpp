#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace tarnwick {

QString joinPath(const QString& directory, const QString& name) {
    if (directory.isEmpty() || directory.endsWith(QLatin1Char('/')) ||
        directory.endsWith(QDir::separator()))
        return directory + name;
    return directory + QDir::separator() + name;
}

AppPaths::AppPaths(QString applicationDir)
    : applicationDir_(QDir::cleanPath(QDir(applicationDir).absolutePath())) {}

AppPaths AppPaths::fromEnvironment() {
    const QString home = qEnvironmentVariable("TARNWICK_HOME");
    return AppPaths(home.isEmpty() ? QCoreApplication::applicationDirPath() : home);
}

QString AppPaths::file(const QString& name) const {
    return QDir::toNativeSeparators(applicationDir_ + QLatin1Char('/') + name);
}

QString AppPaths::cataloguePath() const {
    return file(QString::fromLatin1(catalogueFileName));
}

} // namespace tarnwick
