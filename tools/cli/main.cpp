// tarnwick-cli: command-line companion of Tarnwick. Each subcommand is one entry in the table
// below; add a function and a row to add a command.

#include "AssistantCommands.h"
#include "CatalogueCommand.h"
#include "ChoicesCommand.h"
#include "CliSupport.h"
#include "demo/DemoInstallation.h"
#include "document/ReportFonts.h"
#include "ListCommand.h"
#include "MatchCommand.h"
#include "PlateCommand.h"
#include "platform/MemoryPolicy.h"
#include "QueryCommand.h"
#include "ReportCommand.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

int runDemo(const QStringList& args) {
    QString dir;
    tarnwick::demo::DemoOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        QString count;
        if (arg == u"--force") {
            options.replaceInstallation = true;
            continue;
        }
        if (arg == u"--photos") {
            if (i + 1 >= args.size())
                return usageError(u"tarnwick-cli"_s, u"--photos needs a number"_s);
            count = args[++i];
        } else if (arg.startsWith(u"--photos=")) {
            count = arg.mid(9);
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return usageError(u"tarnwick-cli"_s, u"unknown option '%1' for demo"_s.arg(arg));
        } else if (dir.isEmpty()) {
            dir = arg;
            continue;
        } else {
            return usageError(u"tarnwick-cli"_s,
                              u"demo takes one folder, got '%1' and '%2'"_s.arg(dir, arg));
        }
        bool ok = false;
        const int photos = count.toInt(&ok);
        if (!ok || photos < 1 || photos > tarnwick::demo::maxDemoPhotoCount)
            return usageError(u"tarnwick-cli"_s,
                              u"--photos must be a whole number from 1 to %1, not '%2'"_s.arg(
                                  QString::number(tarnwick::demo::maxDemoPhotoCount), count));
        options.photoCount = photos;
    }
    if (dir.isEmpty())
        return usageError(u"tarnwick-cli"_s,
                          u"demo needs the folder to write the installation into"_s);

    QElapsedTimer timer;
    timer.start();
    try {
        tarnwick::demo::writeDemoInstallation(dir, options);
    } catch (const std::exception& error) {
        printLine(stderr, u"tarnwick-cli: %1"_s.arg(QString::fromStdString(error.what())));
        return exitFailure;
    }
    const int photos =
        options.photoCount > 0 ? options.photoCount : tarnwick::demo::standardDemoPhotoCount;
    printLine(stdout, u"Wrote a demo installation with %1 %2 to %3 in %4 s."_s.arg(
                          QString::number(photos), photos == 1 ? u"photo"_s : u"photos"_s,
                          QDir::toNativeSeparators(QDir(dir).absolutePath()),
                          QString::number(double(timer.elapsed()) / 1000.0, 'f', 1)));
    return 0;
}

struct Command {
    std::string_view name;
    const char* synopsis;
    int (*run)(const QStringList& args);
};

int runHelp(const QStringList& args);

constexpr std::array commands{
    Command{"catalogue", catalogueCommandSynopsis, &runCatalogue},
    Command{"choices", "choices [--app-dir DIR] what the query pages offer, as JSON", &runChoices},
    Command{"compare", compareCommandSynopsis, &runCompare},
    Command{"demo",
            "demo DIR [--photos N] [--force]\n"
            "                          write a demo installation into DIR; --force replaces the\n"
            "                          catalogue, code lists and images already there",
            &runDemo},
    Command{"plate", "plate --id ID [--app-dir DIR]   a photo's data plate and chart as JSON",
            &runPlate},
    Command{"help", "help                    show this list", &runHelp},
    Command{"list", "list [--app-dir DIR]    print the start-up results list as CSV", &runList},
    Command{"match", matchCommandSynopsis, &runMatch},
    Command{"profile", profileCommandSynopsis, &runProfile},
    Command{"query", queryCommandSynopsis, &runQueryCommand},
    Command{"report", reportCommandSynopsis, &runReport},
};

bool asksForHelp(const QString& arg) {
    return arg == u"--help" || arg == u"-h";
}

void printUsage(std::FILE* stream) {
    printLine(stream, u"Usage: tarnwick-cli COMMAND [ARGUMENTS]"_s);
    printLine(stream, u"Commands:"_s);
    for (const Command& command : commands)
        printLine(stream, u"  %1"_s.arg(QString::fromUtf8(command.synopsis)));
}

int runHelp(const QStringList&) {
    printUsage(stdout);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    tarnwick::returnLargeBlocksToSystem();
    // Images and reports are painted without a screen; the charts of reports need the widget
    // application.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tarnwick::registerReportFonts();

    QStringList args = QCoreApplication::arguments();
    args.removeFirst(); // the program
    if (args.isEmpty()) {
        printUsage(stderr);
        return exitUsage;
    }
    const QString name = args.takeFirst();
    if (asksForHelp(name))
        return runHelp(args);
    for (const Command& command : commands) {
        if (name != QLatin1StringView(command.name.data(), qsizetype(command.name.size())))
            continue;
        // Answered here, before a command can touch an installation.
        if (std::any_of(args.cbegin(), args.cend(), asksForHelp)) {
            printLine(stdout, u"Usage: tarnwick-cli %1"_s.arg(QString::fromUtf8(command.synopsis)));
            return 0;
        }
        return command.run(args);
    }
    printLine(stderr, u"tarnwick-cli: unknown command '%1'"_s.arg(name));
    printUsage(stderr);
    return exitUsage;
}
