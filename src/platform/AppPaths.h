#pragma once

#include <QString>

namespace tarnwick {

// The catalogue's file name in the application directory.
inline constexpr const char* catalogueFileName = "Photo3.db";

// Joins a directory and a name with the platform's separator, adding one only when the
// directory does not already end with it. A stored photo directory normally ends with one; a
// hand-edited setting may not. An empty directory leaves the name as it is (relative).
QString joinPath(const QString& directory, const QString& name);

// Every fixed location of an installation, relative to the application directory: the
// executable's directory unless TARNWICK_HOME names another.
class AppPaths {
public:
    explicit AppPaths(QString applicationDir);
    static AppPaths fromEnvironment();

    const QString& applicationDir() const { return applicationDir_; }
    // A file or folder directly in the application directory.
    QString file(const QString& name) const;
    QString dataDir() const { return file(QStringLiteral("data")); }
    QString cataloguePath() const;
    QString photoImagesDir() const { return file(QStringLiteral("PhotoImages")); }

private:
    QString applicationDir_;
};

} // namespace tarnwick
