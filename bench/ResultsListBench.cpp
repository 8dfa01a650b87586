#include "ResultsListBench.h"

#include "BenchSupport.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/JetDialect.h"
#include "catalogue/PhotoDatabase.h"
#include "platform/AppPaths.h"
#include "resultslist/ResultsListModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <utility>

namespace tarnwick::bench {

bool benchResultsList(const QString& installation) {
    const QString catalogue = AppPaths(installation).cataloguePath();
    const double cli =
        bestRunOf(3, QCoreApplication::applicationDirPath() + QStringLiteral("/tarnwick-cli"),
                  {QStringLiteral("list"), QStringLiteral("--app-dir"), installation});
    const double shell = bestRunOf(3, QStringLiteral("sqlite3"),
                                   {QStringLiteral("-csv"), catalogue,
                                    translateJetToSqlite(statements::activePhotosAtStartUp)});
    bool ok = report(QStringLiteral("tarnwick-cli list (whole start-up set as CSV)"), cli,
                     QStringLiteral("sqlite3"), shell, 2.0);

    const RecordSet set = PhotoDatabase::open(catalogue)->run(statements::activePhotosAtStartUp);
    ResultsListModel model;
    const double fill = bestOf(5, [&] { model.fill(set); });
    ok = reportLimit(QStringLiteral("results list fill (%1 rows composed and ordered)")
                         .arg(model.rowCount()),
                     fill, 1000) &&
         ok;

    // The first click on a column after a fill, when its order has to be found: a numeric
    // column (through its sort-key column), a text column with repeats and the row text, which
    // differs on every row.
    const double limit = model.rowCount() <= 110000 ? 50 : 300;
    for (const auto& [name, key] :
         {std::pair{"loading column", u"Total"}, std::pair{"text column", u"Description"},
          std::pair{"row text column", u"BookPhotoID"}}) {
        const int column = resultsColumnIndex(QStringView(key));
        double best = 1e12;
        for (int run = 0; run < 3; ++run) {
            // Filled while ordered by another column, so the clicked one starts unordered.
            model.columnClicked(column == 0 ? 1 : 0);
            model.fill(set);
            QElapsedTimer timer;
            timer.start();
            model.columnClicked(column);
            best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
        }
        ok = reportLimit(QStringLiteral("header click sort, %1").arg(QLatin1String(name)), best,
                         limit) &&
             ok;
    }
    return ok;
}

} // namespace tarnwick::bench
