#include "platform/AppPaths.h"

#include "platform/ProgramSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarnwick {

namespace {

QString cleanAbsolute(const QString& path) {
    return path.isEmpty() ? QString() : QDir::cleanPath(QDir(path).absolutePath());
}

bool isDir(const QString& path) {
    return QFileInfo(path).isDir();
}

} // namespace

QStringList codeListFileNames() {
    return {QStringLiteral("VegCodes.txt"), QStringLiteral("ActCodes.txt"),
            QStringLiteral("DangerRatingCodes.txt"), QStringLiteral("BehaveCodes.txt")};
}

QString joinPath(const QString& directory, const QString& name) {
    if (directory.isEmpty() || directory.endsWith(QLatin1Char('/')) ||
        directory.endsWith(QDir::separator()))
        return directory + name;
    return directory + QDir::separator() + name;
}

AppPaths::AppPaths(QString applicationDir, QString programDataDir, QString installedCatalogueDir)
    : applicationDir_(
          cleanAbsolute(applicationDir.isEmpty() ? QStringLiteral(".") : applicationDir)),
      programDataDir_(cleanAbsolute(programDataDir)),
      installedCatalogueDir_(cleanAbsolute(installedCatalogueDir)) {}

AppPaths AppPaths::locate(const InstallationSearch& search) {
    const QString exe = cleanAbsolute(search.executableDir);
    // Installed under a prefix: bin/tarnwick and share/tarnwick.
    const QString shared = QDir::cleanPath(exe + QStringLiteral("/../share/tarnwick"));
    const bool installed =
        isDir(shared) && !QFileInfo::exists(joinPath(exe, QLatin1String(catalogueFileName)));
    // A build folder or a self-contained installation keeps the manual beside the executable.
    QString programData;
    if (isDir(exe + QStringLiteral("/help")))
        programData = exe;
    else if (isDir(shared))
        programData = shared;
    QString catalogue;
    if (!programData.isEmpty() && QFileInfo::exists(programData + QStringLiteral("/catalogue/") +
                                                    QLatin1String(catalogueFileName)))
        catalogue = programData + QStringLiteral("/catalogue");

    QString applicationDir = exe;
    if (!search.home.isEmpty())
        applicationDir = search.home;
    else if (installed)
        applicationDir = !search.sharedFolder.isEmpty()
                             ? search.sharedFolder
                             : search.userDataDir + QStringLiteral("/Tarnwick");
    return AppPaths(applicationDir, programData, catalogue);
}

AppPaths AppPaths::fromEnvironment() {
    InstallationSearch search;
    search.executableDir = QCoreApplication::applicationDirPath();
    search.home = qEnvironmentVariable("TARNWICK_HOME");
    search.sharedFolder = ProgramSettings().sharedApplicationDir();
    search.userDataDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return locate(search);
}

QString AppPaths::file(const QString& name) const {
    return QDir::toNativeSeparators(applicationDir_ + QLatin1Char('/') + name);
}

QString AppPaths::cataloguePath() const {
    return file(QString::fromLatin1(catalogueFileName));
}

QString AppPaths::photoImagesDir() const {
    const QString own = file(QStringLiteral("PhotoImages"));
    if (installedCatalogueDir_.isEmpty() || isDir(own) || installedCatalogueDir_ == applicationDir_)
        return own;
    return QDir::toNativeSeparators(installedCatalogueDir_ + QStringLiteral("/PhotoImages"));
}

QString layOutApplicationDir(const AppPaths& paths) {
    const QString source = paths.installedCatalogueDir();
    if (source.isEmpty() || QFileInfo::exists(paths.cataloguePath()))
        return {};
    const QString target = paths.applicationDir();
    const QString advice =
        QStringLiteral("Make the folder writable or free some space, or name another folder with "
                       "the environment variable TARNWICK_HOME.");
    if (!QDir().mkpath(target) || !QDir().mkpath(paths.dataDir()))
        return QStringLiteral("Tarnwick could not create its folder %1.\n%2")
            .arg(QDir::toNativeSeparators(target), advice);
    QStringList names{QString::fromLatin1(catalogueFileName)};
    names << codeListFileNames();
    for (const QString& name : names) {
        const QString from = source + u'/' + name;
        const QString to = paths.file(name);
        if (!QFileInfo::exists(from) || QFileInfo::exists(to))
            continue;
        QFile file(from);
        if (!file.copy(to))
            return QStringLiteral("Tarnwick could not copy %1 into %2: %3.\n%4")
                .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(target),
                     file.errorString(), advice);
        // The installed copy may be read-only; this one is the user's to change.
        QFile::setPermissions(to, QFile::permissions(to) | QFile::ReadOwner | QFile::WriteOwner);
    }
    return {};
}

} // namespace tarnwick
