#pragma once

#include <QString>

namespace tarnwick {

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
