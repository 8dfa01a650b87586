#include "ResultsListBench.h"

#include "BenchSupport.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/JetDialect.h"
#include "catalogue/PhotoDatabase.h"
#include "catalogue/ResultsListModel.h"
#include "platform/AppPaths.h"

#include <QCoreApplication>

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

    // A numeric column (through its sort-key column) and a text column, both directions.
    const int loadingColumn = resultsColumnIndex(u"Total");
    const int textColumn = resultsColumnIndex(u"Description");
    const double numericSort = bestOf(4, [&] { model.columnClicked(loadingColumn); });
    const double textSort = bestOf(4, [&] { model.columnClicked(textColumn); });
    ok = reportLimit(QStringLiteral("header click sort, loading column"), numericSort, 500) && ok;
    ok = reportLimit(QStringLiteral("header click sort, text column"), textSort, 500) && ok;
    return ok;
}

} // namespace tarnwick::bench
