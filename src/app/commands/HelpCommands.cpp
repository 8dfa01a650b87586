#include "app/commands/HelpCommands.h"

#include "platform/AppPaths.h"
#include "platform/DesktopServices.h"
#include "platform/Dialogs.h"
#include "suite/HelpFiles.h"

#include <QDir>
#include <QUrl>

namespace tarnwick {

namespace {

QString viewerAdvice(HelpFile::Kind kind) {
    switch (kind) {
    case HelpFile::OlderHelp:
        return QStringLiteral("Install a viewer for Windows help files, or move the file out of "
                              "the help folder to read Tarnwick's own manual instead.");
    case HelpFile::CompiledHelp:
        return QStringLiteral("Install a viewer for compiled HTML help (.chm) files, such as "
                              "xchm or kchmviewer, or move the file out of the help folder to "
                              "read Tarnwick's own manual instead.");
    case HelpFile::Manual:
        break;
    }
    return QStringLiteral("Set a default web browser for this desktop, or open the file in a "
                          "browser yourself.");
}

} // namespace

void helpContentsCommand(const AppPaths& paths, DesktopServices& desktop, Dialogs& dialogs) {
    QStringList roots{paths.applicationDir()};
    if (!paths.programDataDir().isEmpty())
        roots << paths.programDataDir();
    const HelpFile help = chooseHelpFile(paths.applicationDir(), roots);
    if (!help.exists) {
        QStringList places;
        for (const QString& path : help.searched)
            places << QDir::toNativeSeparators(path);
        dialogs.warning(defaultDialogTitle,
                        QStringLiteral("Tarnwick's manual was not found. It was looked for as\n%1"
                                       "\n\nThe installation is incomplete: install Tarnwick "
                                       "again, or build it again in a build folder (the build "
                                       "puts the manual into its help folder).")
                            .arg(places.join(u'\n')));
        return;
    }
    if (!desktop.open(QUrl::fromLocalFile(help.path)))
        dialogs.warning(defaultDialogTitle,
                        QStringLiteral("No program on this desktop could be started to show "
                                       "%1.\n\n%2")
                            .arg(QDir::toNativeSeparators(help.path), viewerAdvice(help.kind)));
}

void webSupportCommand(const QString& address, DesktopServices& desktop) {
    desktop.open(QUrl::fromUserInput(address));
}

} // namespace tarnwick
