#include "suite/HelpFiles.h"

#include <QDir>
#include <QFileInfo>

namespace tarnwick {

namespace {

const QString helpFolder = QStringLiteral("help");

} // namespace

QString findFileIgnoringCase(const QString& folder, const QString& name) {
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(name)).isFile())
        return QDir::cleanPath(dir.filePath(name));
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return QDir::cleanPath(dir.filePath(entry));
    return {};
}

HelpFile chooseHelpFile(const QString& applicationDir, const QStringList& manualRoots) {
    const QString suiteHelp = QDir(applicationDir).filePath(helpFolder);
    for (const auto& [kind, name] : {std::pair{HelpFile::OlderHelp, olderHelpFileName},
                                     std::pair{HelpFile::CompiledHelp, compiledHelpFileName}}) {
        const QString found = findFileIgnoringCase(suiteHelp, QString::fromLatin1(name));
        if (!found.isEmpty())
            return HelpFile{kind, found, true, {}};
    }
    HelpFile manual;
    for (const QString& root : manualRoots) {
        const QString path =
            QDir::cleanPath(QDir(root).filePath(helpFolder + u'/' + QLatin1String(manualFileName)));
        if (manual.searched.contains(path))
            continue;
        manual.searched << path;
        if (QFileInfo(path).isFile()) {
            manual.path = path;
            manual.exists = true;
            return manual;
        }
    }
    manual.path = manual.searched.value(0);
    return manual;
}

} // namespace tarnwick
