#pragma once

#include <QList>
#include <QString>

namespace tarnwick {

class MainWindow;

// What a scripted run of the window's heavy commands measured.
struct TimedSessionFigures {
    struct Step {
        QString name;
        double ms = 0;      // from the step's start until its command returned
        double stallMs = 0; // the longest time the window could not answer meanwhile
    };
    QList<Step> steps;
    double longestStallMs = 0; // over the whole session, paints included
    // From Escape, pressed a moment into a search of every photo, until the window answered
    // again; -1 when the search had ended before. Whether the list then kept its rows.
    double escapeMs = -1;
    bool escapeKeptList = false;
    qint64 peakKilobytes = -1; // the process's peak memory at the end
};

// Runs, on the shown window, what a planner does with a large catalogue: orders the list by two
// columns from their headers, searches total loadings of 0 to 10, starts a search of every photo
// and stops it with Escape, displays all photos again and reads the catalogue afresh, as after
// Manage Photo Series.
// A fast timer ticks meanwhile; the widest gap between its ticks is the longest stall, paints
// included. For the benchmark, which starts the program with TARNWICK_BENCH_SESSION=1.
TimedSessionFigures runTimedSession(MainWindow& window);

// The figures as "session-...: N" lines, one per figure, for the benchmark to read.
QString timedSessionReport(const TimedSessionFigures& figures);

} // namespace tarnwick
