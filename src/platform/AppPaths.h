#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

// The catalogue's file name in the application directory.
inline constexpr const char* catalogueFileName = "Photo3.db";
// The old suite's catalogue (an Access file) that an installation may still hold.
inline constexpr const char* oldCatalogueFileName = "Photo3.mdb";

// The code-list files every installation carries beside its catalogue.
QStringList codeListFileNames();

// Joins a directory and a name with the platform's separator, adding one only when the
// directory does not already end with it. A stored photo directory normally ends with one; a
// hand-edited setting may not. An empty directory leaves the name as it is (relative).
QString joinPath(const QString& directory, const QString& name);

// What decides where a run's installation is.
struct InstallationSearch {
    QString executableDir;
    QString home;         // TARNWICK_HOME
    QString sharedFolder; // the folder our settings name for every user, if any
    QString userDataDir;  // the user's data folder (XDG_DATA_HOME, ~/.local/share)
};

// Every fixed location of an installation, relative to the application directory, the folder
// the program reads and writes: its catalogue (normalised at every start), code lists, "data",
// "Reports" and the suite's file list.
//
// A self-contained installation is one folder: the executable's own, or the one TARNWICK_HOME
// names. A program installed under a prefix (bin/tarnwick beside share/tarnwick) may not write
// there: each user gets a folder of their own, laid out from the catalogue installed with the
// program, whose photo images stay where they were installed.
class AppPaths {
public:
    explicit AppPaths(QString applicationDir, QString programDataDir = {},
                      QString installedCatalogueDir = {});
    static AppPaths fromEnvironment();
    static AppPaths locate(const InstallationSearch& search);

    const QString& applicationDir() const { return applicationDir_; }
    // A file or folder directly in the application directory.
    QString file(const QString& name) const;
    QString dataDir() const { return file(QStringLiteral("data")); }
    QString cataloguePath() const;
    // The application's own photo images; for a folder laid out from an installed catalogue,
    // the images installed with it.
    QString photoImagesDir() const;
    // The files installed with the program (the manual under "help", the installed catalogue);
    // empty when there are none.
    const QString& programDataDir() const { return programDataDir_; }
    // The catalogue installed with the program, copied into a user's folder on first start;
    // empty when none was installed.
    const QString& installedCatalogueDir() const { return installedCatalogueDir_; }

private:
    QString applicationDir_;
    QString programDataDir_;
    QString installedCatalogueDir_;
};

// Lays out the application directory from the installed catalogue when it holds no catalogue
// yet: the folder, the catalogue, the code lists and "data". Files already there are kept.
// Returns what went wrong, for the user, or an empty text.
QString layOutApplicationDir(const AppPaths& paths);

} // namespace tarnwick
