// Speed figures of the program's heavy paths against reference tools, in one run on one machine.
// Usage: tarnwick-bench --work DIR [--photos N] [--server postgresql://HOST[:PORT]/DB]
#include "BenchSupport.h"
#include "QueryBench.h"
#include "ReportBench.h"
#include "ResultsListBench.h"

#include "catalogue/CatalogueLocation.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/JetDialect.h"
#include "catalogue/PhotoDatabase.h"
#include "demo/DemoInstallation.h"
#include "platform/AppPaths.h"
#include "reports/ReportFonts.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

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

bool benchProgramStartup(const QString& installation) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARNWICK_HOME"), installation);
    environment.insert(QStringLiteral("TARNWICK_EXIT_AFTER_STARTUP"), QStringLiteral("1"));
    environment.insert(QStringLiteral("TARNWICK_NONINTERACTIVE"), QStringLiteral("1"));
    if (!environment.contains(QStringLiteral("DISPLAY")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    double best = 1e12;
    for (int i = 0; i < 3; ++i) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tarnwick"), {});
        process.waitForFinished(120000);
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        const auto match = QRegularExpression(QStringLiteral("startup-ms: (\\d+)")).match(errors);
        if (process.exitCode() != 0 || !match.hasMatch()) {
            std::fprintf(stderr, "tarnwick did not start: %s\n", qPrintable(errors));
            return false;
        }
        best = std::min(best, match.captured(1).toDouble());
    }
    return bench::reportLimit(QStringLiteral("program start to main window shown"), best, 1500);
}

const char* const usage =
    "Usage: tarnwick-bench --work DIR [--photos N] [--server postgresql://HOST[:PORT]/DB]\n"
    "Measures the program's heavy paths on a demo installation of N photos (100000 unless\n"
    "given), which it writes under DIR once and reuses. Nothing is written outside DIR but,\n"
    "with --server, the catalogue copied into that empty database, whose searches are then\n"
    "measured against psql.\n";

struct Options {
    int photos = 100000;
    QString work;
    std::optional<CatalogueLocation> server;
};

// Reads the arguments before anything is written; a message for bad input.
std::optional<QString> parseArguments(const QStringList& args, Options& options) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg != QLatin1String("--photos") && arg != QLatin1String("--work") &&
            arg != QLatin1String("--server"))
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
    ok = benchProgramStartup(installation) && ok;
    ok = bench::benchResultsList(installation) && ok;
    ok = bench::benchQueryParameters(installation) && ok;
    ok = bench::benchQueries(installation) && ok;
    if (options.server)
        ok = bench::benchServerQueries(installation, *options.server) && ok;
    ok = bench::benchReports(installation, options.work) && ok;
    return ok ? 0 : 1;
}
