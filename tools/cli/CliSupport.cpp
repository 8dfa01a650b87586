#include "CliSupport.h"

#include "app/AppState.h"
#include "app/commands/PhotoDisplayCommands.h"
#include "resultslist/ResultsListCsv.h"

int usageError(const QString& command, const QString& message) {
    printLine(stderr, command + QStringLiteral(": ") + message);
    printLine(stderr, QStringLiteral("Run 'tarnwick-cli help' for the list of commands."));
    return exitUsage;
}

void printLine(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

tarnwick::AppPaths installationPaths(const QString& appDir) {
    if (!appDir.isEmpty())
        return tarnwick::AppPaths(appDir);
    const tarnwick::AppPaths paths = tarnwick::AppPaths::fromEnvironment();
    // An installed program: the user's folder is laid out on the first use, as the window does.
    // What could not be done is said; the command then reports the missing catalogue itself.
    if (const QString problem = tarnwick::layOutApplicationDir(paths); !problem.isEmpty())
        printLine(stderr, problem);
    return paths;
}

bool printResultsListCsv(const tarnwick::ResultsListModel& list, int rowLimit) {
    bool written = true;
    tarnwick::writeResultsListCsv(
        list,
        [&written](const QByteArray& chunk) {
            written = written && std::fwrite(chunk.constData(), 1, size_t(chunk.size()), stdout) ==
                                     size_t(chunk.size());
        },
        rowLimit);
    return std::fflush(stdout) == 0 && written;
}

bool takeValue(const QStringList& args, qsizetype& i, const QString& name, QString& value) {
    if (args[i].startsWith(name + u'=')) {
        value = args[i].mid(name.size() + 1);
        return true;
    }
    if (args[i] != name || i + 1 >= args.size())
        return false;
    value = args[++i];
    return true;
}

using namespace Qt::Literals::StringLiterals;

std::optional<QString> showPhotoOf(tarnwick::AppState& state, const QString& idText) {
    bool ok = false;
    const qint64 id = idText.toLongLong(&ok);
    if (!ok)
        return u"'%1' is not a photo ID"_s.arg(idText);
    switch (tarnwick::commands::showPhotoById(state, id, tarnwick::commands::PhotoDisplayHooks{})
                .outcome) {
    case tarnwick::commands::ShowPhotoOutcome::Shown:
        return std::nullopt;
    case tarnwick::commands::ShowPhotoOutcome::NotInList:
        return u"photo ID %1 is not among the active photos"_s.arg(id);
    case tarnwick::commands::ShowPhotoOutcome::NoDataImage:
        return u"photo ID %1 names no data sheet, so it is never shown"_s.arg(id);
    }
    return std::nullopt;
}
