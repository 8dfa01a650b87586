#include "app/widgets/TimedSession.h"

#include "app/widgets/MainWindow.h"
#include "platform/ProcessClock.h"
#include "query/QueryBuilder.h"
#include "query/QueryControls.h"
#include "resultslist/ResultsRows.h"
#include "resultslist/widgets/ResultsView.h"

#include <algorithm>
#include <functional>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>
#include <QTreeView>

namespace tarnwick {

namespace {

constexpr int tickMs = 5;
// Long enough after a step for the queued paints and the timer's late tick to have run.
constexpr int settleMs = 100;
// How long into a search of every photo the planner changes their mind.
constexpr int escapeAfterMs = 100;

class StallWatch {
public:
    StallWatch() {
        clock_.start();
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            longest_ = std::max(longest_, now - lastTick_);
            stepLongest_ = std::max(stepLongest_, now - lastTick_);
            lastTick_ = now;
        });
        timer_.start(tickMs);
    }
    double longestMs() const { return double(longest_); }
    // The longest gap from here on, for one step; the session's longest is kept.
    void startStep() { stepLongest_ = 0; }
    double stepLongestMs() const { return double(stepLongest_); }

private:
    QElapsedTimer clock_;
    QTimer timer_;
    qint64 lastTick_ = 0;
    qint64 longest_ = 0;
    qint64 stepLongest_ = 0;
};

void settle() {
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < settleMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, tickMs);
}

TimedSessionFigures::Step timed(StallWatch& watch, const QString& name,
                                const std::function<void()>& command) {
    watch.startStep();
    QElapsedTimer timer;
    timer.start();
    command();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    settle();
    return {name, ms, watch.stepLongestMs()};
}

SearchRequest totalLoadingSearch() {
    QueryCriteria criteria;
    criteria.kind = QueryKind::TotalLoading;
    criteria.bookRow = allBooksRow;
    criteria.totalLow = QStringLiteral("0");
    criteria.totalHigh = QStringLiteral("10");
    SearchRequest request;
    request.criteria = criteria;
    return request;
}

SearchRequest allPhotosSearch() {
    QueryCriteria criteria;
    criteria.kind = QueryKind::AllPhotos;
    criteria.bookRow = allBooksRow;
    SearchRequest request;
    request.criteria = criteria;
    return request;
}

// Escape is pressed escapeAfterMs into a search of every photo. The time counts from then, even
// when the window is too busy to take the key, until the search command has returned.
TimedSessionFigures::Step escapeDuringSearch(StallWatch& watch, MainWindow& window,
                                             TimedSessionFigures& figures) {
    const QAbstractItemModel* list = window.resultsView()->listPage()->model();
    const int rowsBefore = list->rowCount();
    QTimer escape;
    escape.setSingleShot(true);
    QObject::connect(&escape, &QTimer::timeout, &window, [&window] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &press);
    });
    QElapsedTimer clock;
    const TimedSessionFigures::Step step = timed(watch, QStringLiteral("escape-search"), [&] {
        clock.start();
        escape.start(escapeAfterMs);
        window.searchCommand(allPhotosSearch());
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        escape.stop();
        if (ms >= escapeAfterMs)
            figures.escapeMs = ms - escapeAfterMs;
    });
    figures.escapeKeptList = list->rowCount() == rowsBefore;
    return step;
}

} // namespace

TimedSessionFigures runTimedSession(MainWindow& window) {
    settle();
    StallWatch watch;
    settle();
    TimedSessionFigures figures;
    QHeaderView* header = window.resultsView()->listPage()->header();
    for (const char16_t* column : {u"Total", u"Description", u"BookPhotoID"}) {
        const int section = resultsColumnIndex(QStringView(column));
        figures.steps.append(timed(watch,
                                   QStringLiteral("header-click-%1").arg(QStringView(column)),
                                   [&] { Q_EMIT header->sectionClicked(section); }));
    }
    figures.steps.append(timed(watch, QStringLiteral("search"),
                               [&] { window.searchCommand(totalLoadingSearch()); }));
    figures.steps.append(escapeDuringSearch(watch, window, figures));
    figures.steps.append(
        timed(watch, QStringLiteral("display-all"), [&] { window.displayAllCommand(); }));
    figures.steps.append(
        timed(watch, QStringLiteral("refresh"), [&] { window.refreshCatalogueCommand(); }));
    figures.longestStallMs = watch.longestMs();
    figures.peakKilobytes = peakResidentKilobytes();
    return figures;
}

QString timedSessionReport(const TimedSessionFigures& figures) {
    QString text;
    for (const TimedSessionFigures::Step& step : figures.steps) {
        text += QStringLiteral("session-%1-ms: %2\n").arg(step.name).arg(step.ms, 0, 'f', 1);
        text += QStringLiteral("session-%1-stall-ms: %2\n").arg(step.name).arg(step.stallMs);
    }
    text += QStringLiteral("session-escape-ms: %1\n").arg(figures.escapeMs, 0, 'f', 1);
    text += QStringLiteral("session-escape-kept-list: %1\n").arg(figures.escapeKeptList ? 1 : 0);
    text += QStringLiteral("session-longest-stall-ms: %1\n").arg(figures.longestStallMs, 0, 'f', 0);
    text += QStringLiteral("session-peak-kb: %1\n").arg(figures.peakKilobytes);
    return text;
}

} // namespace tarnwick
