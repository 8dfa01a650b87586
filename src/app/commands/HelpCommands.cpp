#include "app/commands/HelpCommands.h"

#include "platform/AppPaths.h"
#include "platform/DesktopServices.h"
#include "platform/Dialogs.h"
#include "suite/HelpFiles.h"

#include <optional>
#include <QDir>
#include <QUrl>

namespace tarnwick::commands {

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

// Tarnwick's manual, or the suite's own help in its place; a message when none is found.
std::optional<HelpFile> foundHelp(const AppPaths& paths, Dialogs& dialogs) {
    QStringList roots{paths.applicationDir()};
    if (!paths.programDataDir().isEmpty())
        roots << paths.programDataDir();
    const HelpFile help = chooseHelpFile(paths.applicationDir(), roots);
    if (help.exists)
        return help;
    QStringList places;
    for (const QString& path : help.searched)
        places << QDir::toNativeSeparators(path);
    dialogs.warning(defaultDialogTitle,
                    QStringLiteral("Tarnwick's manual was not found. It was looked for as\n%1"
                                   "\n\nThe installation is incomplete: install Tarnwick "
                                   "again, or build it again in a build folder (the build "
                                   "puts the manual into its help folder).")
                        .arg(places.join(u'\n')));
    return std::nullopt;
}

void openHelp(const HelpFile& help, const QUrl& url, DesktopServices& desktop, Dialogs& dialogs) {
    if (!desktop.open(url))
        dialogs.warning(defaultDialogTitle,
                        QStringLiteral("No program on this desktop could be started to show "
                                       "%1.\n\n%2")
                            .arg(QDir::toNativeSeparators(help.path), viewerAdvice(help.kind)));
}

} // namespace

void helpContentsCommand(const AppPaths& paths, DesktopServices& desktop, Dialogs& dialogs) {
    if (const std::optional<HelpFile> help = foundHelp(paths, dialogs))
        openHelp(*help, QUrl::fromLocalFile(help->path), desktop, dialogs);
}

void webSupportCommand(const QString& address, const AppPaths& paths, DesktopServices& desktop,
                       Dialogs& dialogs) {
    if (!address.trimmed().isEmpty()) {
        desktop.open(QUrl::fromUserInput(address));
        return;
    }
    const std::optional<HelpFile> help = foundHelp(paths, dialogs);
    if (!help)
        return;
    QUrl url = QUrl::fromLocalFile(help->path);
    // Only Tarnwick's own manual has the section; the suite's help opens at its start.
    if (help->kind == HelpFile::Manual)
        url.setFragment(QString::fromLatin1(gettingHelpSection));
    openHelp(*help, url, desktop, dialogs);
}

} // namespace tarnwick::commands
