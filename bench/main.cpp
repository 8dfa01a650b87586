// Speed figures of the program's heavy paths against reference tools, in one run on one machine.
// Usage: tarnwick-bench --work DIR [--photos N] [--server postgresql://HOST[:PORT]/DB
//                       [--latency MS]]
#include "BenchSupport.h"
#include "latency-relay/LatencyRelay.h"
#include "QueryBench.h"
#include "ReportBench.h"
#include "ResultsListBench.h"

#include "catalogue/CatalogueLocation.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/JetDialect.h"
#include "catalogue/PhotoDatabase.h"
#include "demo/DemoInstallation.h"
#include "document/ReportFonts.h"
#include "platform/AppPaths.h"
#include "query/QueryBuilder.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <stdexcept>
#include <string>

using namespace tarnwick;

namespace {

bool benchCatalogueStartup(const QString& installation) {
    const QString catalogue = AppPaths(installation).cataloguePath();
    int rows = 0;
    const double ours = bench::bestOf(5, [&] {
        auto db = PhotoDatabase::open(catalogue);
        db->normaliseBookBreaks();
        rows = db->run(statements::activePhotosAtStartUp).recordCount();
    });
    const double shell =
        bench::bestRunOf(5, QStringLiteral("sqlite3"),
                         {catalogue, translateJetToSqlite(statements::activePhotosAtStartUp)});
    return bench::report(QStringLiteral("open, normalise, load start-up set (%1 rows)").arg(rows),
                         ours, QStringLiteral("sqlite3"), shell, 2.0);
}

// Runs the program on the installation until its first photo is shown (and, for a session, its
// scripted commands have run), on the server catalogue at catalogue where one is given; what it
// printed to standard error, or nothing when it failed.
std::optional<QString> runProgram(const QString& installation, bool session,
                                  const QString& catalogue = QString()) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARNWICK_HOME"), installation);
    if (!catalogue.isEmpty())
        environment.insert(QString::fromLatin1(catalogueEnvironmentVariable), catalogue);
    environment.insert(QStringLiteral("TARNWICK_EXIT_AFTER_STARTUP"), QStringLiteral("1"));
    environment.insert(QStringLiteral("TARNWICK_NONINTERACTIVE"), QStringLiteral("1"));
    if (session)
        environment.insert(QStringLiteral("TARNWICK_BENCH_SESSION"), QStringLiteral("1"));
    if (!environment.contains(QStringLiteral("DISPLAY")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tarnwick"), {});
    process.waitForFinished(300000);
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "tarnwick did not run: %s\n", qPrintable(errors));
        return std::nullopt;
    }
    return errors;
}

// The figure the program printed as "name: N", or -1.
double printedFigure(const QString& output, const QString& name) {
    const auto match =
        QRegularExpression(QRegularExpression::escape(name) + QStringLiteral(": ([0-9.]+)"))
            .match(output);
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

double sqliteRun(const QString& installation, const QString& statement) {
    return bench::bestRunOf(
        3, QStringLiteral("sqlite3"),
        {AppPaths(installation).cataloguePath(), translateJetToSqlite(statement)});
}

// A copy of the installation as another tool of the suite leaves a catalogue: without the
// indexes the program adds on its first start. Images and profiles are linked, not copied.
std::optional<QString> firstStartCopy(const QString& installation) {
    const QString copy = installation + QStringLiteral("-first-start");
    QDir(copy).removeRecursively();
    QDir().mkpath(copy);
    const QDir from(installation);
    for (const QFileInfo& entry : from.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = QDir(copy).filePath(entry.fileName());
        if (!(entry.isDir() ? QFile::link(entry.absoluteFilePath(), target)
                            : QFile::copy(entry.absoluteFilePath(), target)))
            return std::nullopt;
    }
    const QString catalogue = AppPaths(copy).cataloguePath();
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"),
                {catalogue, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' "
                                           "AND sql IS NOT NULL")});
    shell.waitForFinished(60000);
    QString drops;
    for (const QString& name :
         QString::fromUtf8(shell.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
        drops += QStringLiteral("DROP INDEX %1;").arg(name);
    if (!drops.isEmpty() && QProcess::execute(QStringLiteral("sqlite3"), {catalogue, drops}) != 0)
        return std::nullopt;
    return copy;
}

// The first start on a large catalogue, indexes made on the way, against a fixed limit.
bool benchFirstStart(const QString& installation) {
    const std::optional<QString> copy = firstStartCopy(installation);
    const std::optional<QString> output = copy ? runProgram(*copy, false) : std::nullopt;
    const double ms = output ? printedFigure(*output, QStringLiteral("startup-ms")) : -1;
    if (copy)
        QDir(*copy).removeRecursively();
    if (ms < 0)
        return false;
    return bench::reportLimit(QStringLiteral("first start on a catalogue without indexes"), ms,
                              4000);
}

// The best of three starts until the first photo is on screen, in ms; -1 when one failed.
double bestStartup(const QString& installation, const QString& catalogue = QString()) {
    double best = 1e12;
    for (int i = 0; i < 3; ++i) {
        const std::optional<QString> output = runProgram(installation, false, catalogue);
        const double ms = output ? printedFigure(*output, QStringLiteral("startup-ms")) : -1;
        if (ms < 0)
            return -1;
        best = std::min(best, ms);
    }
    return best;
}

// From the start of the process until the first photo is on screen, against the shell's start
// with the start-up statement; on a very large catalogue, against a fixed limit, the first
// start as well.
bool benchProgramStartup(const QString& installation, int photos) {
    const bool firstStartOk = photos <= 200000 || benchFirstStart(installation);
    const double best = bestStartup(installation);
    if (best < 0)
        return false;
    const QString what = QStringLiteral("program start to main window shown (whole process)");
    if (photos > 200000)
        return bench::reportLimit(what, best, 4000) && firstStartOk;
    return bench::report(what, best, QStringLiteral("sqlite3 start-up statement"),
                         sqliteRun(installation, statements::activePhotosAtStartUp), 1.2);
}

// Escape a moment into a search of every photo, from the window session's output: how soon
// the window answered with the list as it was.
bool reportEscape(const QString& what, const QString& output) {
    const double ms = printedFigure(output, QStringLiteral("session-escape-ms"));
    if (ms < 0) {
        std::printf("%-60s   the search ended before Escape: no figure\n", qPrintable(what));
        return true;
    }
    const bool ok = bench::reportLimit(what, ms, 500);
    if (printedFigure(output, QStringLiteral("session-escape-kept-list")) == 1)
        return ok;
    std::printf("%-60s   not stopped: the list was replaced  FAILED\n", qPrintable(what));
    return false;
}

// The window's commands as a planner meets them, lists refilled and painted: against the shell
// running the same statement, the longest stall of the window and the peak memory.
bool benchWindowSession(const QString& installation, int photos) {
    const std::optional<QString> output = runProgram(installation, true);
    if (!output)
        return false;
    auto figure = [&](const char* name) {
        return printedFigure(*output, QStringLiteral("session-%1").arg(QLatin1String(name)));
    };
    const double clickLimit = photos > 200000 ? 300 : 50;
    bool ok = bench::reportLimit(QStringLiteral("window: header click, Total"),
                                 figure("header-click-Total-ms"), clickLimit);
    ok = bench::reportLimit(QStringLiteral("window: header click, Description"),
                            figure("header-click-Description-ms"), clickLimit) &&
         ok;
    ok = bench::reportLimit(QStringLiteral("window: header click, Book/Photo ID"),
                            figure("header-click-BookPhotoID-ms"), clickLimit) &&
         ok;
    QueryCriteria search;
    search.kind = QueryKind::TotalLoading;
    search.bookRow = allBooksRow;
    search.totalLow = QStringLiteral("0");
    search.totalHigh = QStringLiteral("10");
    ok = bench::report(QStringLiteral("window: search total 0 to 10, list refilled"),
                       figure("search-ms"), QStringLiteral("sqlite3"),
                       sqliteRun(installation, composeQueryStatement(search).value_or(QString())),
                       1.3) &&
         ok;
    QueryCriteria all;
    all.kind = QueryKind::AllPhotos;
    all.bookRow = allBooksRow;
    // The refresh after Display All reads the same statement again, and the query choices.
    const double displayAll =
        sqliteRun(installation, composeQueryStatement(all).value_or(QString()));
    ok = bench::report(QStringLiteral("window: Display All, list refilled"),
                       figure("display-all-ms"), QStringLiteral("sqlite3"), displayAll, 1.3) &&
         ok;
    ok = bench::report(QStringLiteral("window: catalogue refresh, list refilled"),
                       figure("refresh-ms"), QStringLiteral("sqlite3"), displayAll, 1.3) &&
         ok;
    ok = bench::reportLimit(QStringLiteral("window: longest stall"), figure("longest-stall-ms"),
                            100) &&
         ok;
    ok =
        reportEscape(QStringLiteral("window: Escape during a search, until it answers"), *output) &&
        ok;
    const double peakMb = figure("peak-kb") / 1024.0;
    const double memoryLimitMb = photos > 200000 ? 600 : 150;
    const bool fits = peakMb >= 0 && peakMb <= memoryLimitMb;
    std::printf("%-52s %9.1f MB   (target <= %.0f MB)  %s\n", "window: peak memory", peakMb,
                memoryLimitMb, fits ? "OK" : "SLOW");
    ok = fits && ok;
    return ok;
}

const char* const usage =
    "Usage: tarnwick-bench --work DIR [--photos N] [--server postgresql://HOST[:PORT]/DB\n"
    "                      [--latency MS]]\n"
    "Measures the program's heavy paths on a demo installation of N photos (100000 unless\n"
    "given), which it writes under DIR once and reuses. Nothing is written outside DIR but,\n"
    "with --server, the catalogue copied into that empty database, whose searches are then\n"
    "measured against psql, and on which the program's start and window session run.\n"
    "--latency runs them again through a relay on loopback that holds every chunk MS ms each\n"
    "way (the server must then be at a numeric loopback address).\n";

struct Options {
    int photos = 100000;
    QString work;
    std::optional<CatalogueLocation> server;
    QString serverAddress;
    int latencyMs = -1;
    // Where the relay forwards to, with --latency.
    std::optional<relay::LoopbackEndpoint> relayTarget;
};

// The window session on a server catalogue: the window kept answering, Escape heard.
bool reportServerSession(const QString& how, const QString& installation,
                         const QString& catalogue) {
    const std::optional<QString> output = runProgram(installation, true, catalogue);
    if (!output)
        return false;
    const bool ok =
        bench::reportLimit(QStringLiteral("%1: window's longest stall").arg(how),
                           printedFigure(*output, QStringLiteral("session-longest-stall-ms")), 100);
    return reportEscape(QStringLiteral("%1: Escape during a search").arg(how), *output) && ok;
}

// The program on the server's catalogue as an office runs it, its start and its window session:
// on the server directly and, with --latency, through a relay on loopback that holds every
// chunk that long each way, its start against the direct one.
bool benchServerProgram(const QString& installation, const Options& options) {
    const double directStart = bestStartup(installation, options.serverAddress);
    if (directStart < 0)
        return false;
    std::printf("%-60s %9.1f ms\n", "server: program start to main window shown", directStart);
    bool ok = reportServerSession(QStringLiteral("server"), installation, options.serverAddress);
    if (options.latencyMs < 0)
        return ok;
    std::string problem;
    const std::optional<relay::LoopbackEndpoint> anyPort =
        relay::parseLoopbackEndpoint("127.0.0.1:0", problem);
    std::unique_ptr<relay::LatencyRelay> delaying;
    try {
        delaying = std::make_unique<relay::LatencyRelay>(*anyPort, *options.relayTarget,
                                                         options.latencyMs);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "the latency relay cannot start: %s\n", error.what());
        return false;
    }
    const CatalogueServer& server = options.server->server();
    const QString relayed =
        QStringLiteral("postgresql://") +
        (server.user.isEmpty() ? QString() : server.user + QLatin1Char('@')) +
        QStringLiteral("127.0.0.1:%1/%2").arg(delaying->port()).arg(server.database);
    const QString how = QStringLiteral("server, %1 ms each way").arg(options.latencyMs);
    const double start = bestStartup(installation, relayed);
    if (start < 0)
        return false;
    ok = bench::report(QStringLiteral("%1: program start").arg(how), start,
                       QStringLiteral("direct"), directStart, 1.5) &&
         ok;
    return reportServerSession(how, installation, relayed) && ok;
}

// Reads the arguments before anything is written; a message for bad input.
std::optional<QString> parseArguments(const QStringList& args, Options& options) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg != QLatin1String("--photos") && arg != QLatin1String("--work") &&
            arg != QLatin1String("--server") && arg != QLatin1String("--latency"))
            return QStringLiteral("unknown argument '%1'").arg(arg);
        if (i + 1 >= args.size())
            return QStringLiteral("%1 needs a value").arg(arg);
        const QString& value = args[++i];
        if (arg == QLatin1String("--work")) {
            options.work = value;
            continue;
        }
        if (arg == QLatin1String("--server")) {
            QString problem;
            options.server = CatalogueLocation::fromServerAddress(value, &problem);
            if (!options.server)
                return QStringLiteral("--server cannot be used: %1").arg(problem);
            options.serverAddress = value;
            continue;
        }
        if (arg == QLatin1String("--latency")) {
            bool ok = false;
            options.latencyMs = value.toInt(&ok);
            if (!ok || options.latencyMs < 0 || options.latencyMs > 10000)
                return QStringLiteral("--latency must be a whole number of ms from 0 to 10000, "
                                      "not '%1'")
                    .arg(value);
            continue;
        }
        bool ok = false;
        options.photos = value.toInt(&ok);
        if (!ok || options.photos < 1 || options.photos > demo::maxDemoPhotoCount)
            return QStringLiteral("--photos must be a whole number from 1 to %1, not '%2'")
                .arg(demo::maxDemoPhotoCount)
                .arg(value);
    }
    if (options.work.isEmpty())
        return QStringLiteral("--work DIR is required: the folder the benchmark may write into");
    if (options.latencyMs >= 0) {
        if (!options.server)
            return QStringLiteral("--latency needs --server: it delays the way to the server");
        std::string problem;
        options.relayTarget =
            relay::parseLoopbackEndpoint(options.server->serverName().toStdString(), problem);
        if (!options.relayTarget)
            return QStringLiteral("--latency cannot reach the server: %1")
                .arg(QString::fromStdString(problem));
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The reports' charts need the widget application.
    QApplication application(argc, argv);
    registerReportFonts();
    Options options;
    if (const std::optional<QString> problem =
            parseArguments(QCoreApplication::arguments(), options)) {
        std::fprintf(stderr, "tarnwick-bench: %s\n%s", qPrintable(*problem), usage);
        return 2;
    }
    const QString installation = bench::demoInstallation(options.work, options.photos);
    bool ok = benchCatalogueStartup(installation);
    ok = benchProgramStartup(installation, options.photos) && ok;
    ok = benchWindowSession(installation, options.photos) && ok;
    ok = bench::benchResultsList(installation) && ok;
    ok = bench::benchQueryParameters(installation) && ok;
    ok = bench::benchQueries(installation) && ok;
    if (options.server) {
        ok = bench::benchServerQueries(installation, *options.server) && ok;
        ok = benchServerProgram(installation, options) && ok;
    }
    ok = bench::benchReports(installation, options.work) && ok;
    return ok ? 0 : 1;
}
