#include "BenchSupport.h"

#include "demo/DemoInstallation.h"
#include "platform/AppPaths.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

namespace tarnwick::bench {

double bestOf(int runs, const std::function<void()>& work) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

double bestRunOf(int runs, const QString& program, const QStringList& arguments) {
    return bestOf(runs, [&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, arguments);
        if (!process.waitForFinished(600000) || process.exitCode() != 0) {
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                         process.readAllStandardError().constData());
            std::exit(1);
        }
    });
}

QString demoInstallation(const QString& root, int photos) {
    const QString dir = QDir(root).filePath(QStringLiteral("demo-%1").arg(photos));
    if (!QFileInfo::exists(AppPaths(dir).cataloguePath())) {
        std::printf("writing a demo installation with %d photos into %s ...\n", photos,
                    qPrintable(dir));
        std::fflush(stdout);
        demo::DemoOptions options;
        options.photoCount = photos;
        // The folder is the benchmark's own; an earlier run cut short may have left images.
        options.replaceInstallation = true;
        demo::writeDemoInstallation(dir, options);
    }
    return dir;
}

bool report(const QString& what, double ours, const QString& reference, double theirs,
            double maxRatio) {
    const double ratio = ours / theirs;
    const bool ok = ratio <= maxRatio;
    std::printf("%-60s %9.1f ms   %-8s %9.1f ms   ratio %.2f (target <= %.1f)  %s\n",
                qPrintable(what), ours, qPrintable(reference), theirs, ratio, maxRatio,
                ok ? "OK" : "SLOW");
    std::fflush(stdout);
    return ok;
}

bool reportLimit(const QString& what, double ours, double limit) {
    const bool ok = ours <= limit;
    std::printf("%-60s %9.1f ms   (target <= %.0f ms)  %s\n", qPrintable(what), ours, limit,
                ok ? "OK" : "SLOW");
    std::fflush(stdout);
    return ok;
}

} // namespace tarnwick::bench
