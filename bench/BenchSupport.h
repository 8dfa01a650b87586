#pragma once

#include <functional>
#include <QString>
#include <QStringList>

namespace tarnwick::bench {

// Best wall-clock time of a few runs, in milliseconds.
double bestOf(int runs, const std::function<void()>& work);

// Runs a program with its standard output sent to /dev/null; the best of a few runs, in ms.
double bestRunOf(int runs, const QString& program, const QStringList& arguments);

// A demo installation with the given number of photos, written once and reused.
QString demoInstallation(const QString& root, int photos);

// Prints one comparison line and whether it meets its target.
bool report(const QString& what, double ours, const QString& reference, double theirs,
            double maxRatio);
bool reportLimit(const QString& what, double ours, double limit);

} // namespace tarnwick::bench
