#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

// The help Help Contents opens. An installation of the suite may carry its own help beside the
// program: the older help file is preferred when it is there, then the compiled HTML help; an
// installation with neither gets Tarnwick's own manual.
struct HelpFile {
    enum Kind { OlderHelp, CompiledHelp, Manual };
    Kind kind = Manual;
    // The file to open; for the manual, where it was looked for first when no copy exists.
    QString path;
    bool exists = false;
    // Every place the manual was looked for, for the message when it is nowhere.
    QStringList searched;
};

inline constexpr const char* olderHelpFileName = "kel3.HLP";
inline constexpr const char* compiledHelpFileName = "kel3.chm";
inline constexpr const char* manualFileName = "index.html";

// The suite's help files are looked for in the "help" folder of the application directory, the
// manual in the "help" folder of each of manualRoots in turn (the application directory, then
// the folder of the files installed with the program). Names copied from another system may
// differ in case: "KEL3.hlp" counts as the older help file.
HelpFile chooseHelpFile(const QString& applicationDir, const QStringList& manualRoots);

// The file in a folder with the given name, matched exactly first and then ignoring case; empty
// when there is none.
QString findFileIgnoringCase(const QString& folder, const QString& name);

} // namespace tarnwick
