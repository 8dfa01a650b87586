// Speed figures of the program's heavy paths against reference tools, in one run on one machine.
// Usage: tarnwick-bench [--photos N] [--work DIR]
#include "BenchSupport.h"
#include "QueryBench.h"
#include "ResultsListBench.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/JetDialect.h"
#include "catalogue/PhotoDatabase.h"
#include "platform/AppPaths.h"

#include <cstdio>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
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

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    int photos = 100000;
    QString work = QDir::currentPath();
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--photos"))
            photos = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--work"))
            work = args[i + 1];
    }
    const QString installation = bench::demoInstallation(work, photos);
    bool ok = benchCatalogueStartup(installation);
    ok = benchProgramStartup(installation) && ok;
    ok = bench::benchResultsList(installation) && ok;
    ok = bench::benchQueryParameters(installation) && ok;
    ok = bench::benchQueries(installation) && ok;
    return ok ? 0 : 1;
}
