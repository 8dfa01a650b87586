#include "QueryBench.h"

#include "BenchSupport.h"

#include "app/AppState.h"
#include "app/commands/QueryCommands.h"
#include "catalogue/CataloguePush.h"
#include "catalogue/CatalogueSchema.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/JetDialect.h"
#include "catalogue/PhotoDatabase.h"
#include "platform/AppPaths.h"
#include "query/CodeList.h"
#include "query/QueryBuilder.h"
#include "query/QueryParameters.h"

#include <cstdio>
#include <functional>
#include <QCoreApplication>

namespace tarnwick::bench {

using namespace tarnwick::commands;

namespace {

struct Search {
    const char* what;
    QueryCriteria criteria;
};

QueryCriteria criteriaOf(QueryKind kind) {
    QueryCriteria c;
    c.kind = kind;
    c.bookRow = QStringLiteral("All Books");
    c.totalLow = c.fineLow = c.coarseLow = c.herbLow = c.shrubLow = QStringLiteral("0");
    c.totalHigh = QStringLiteral(" 60");
    c.fineHigh = QStringLiteral(" 20");
    c.coarseHigh = QStringLiteral(" 60");
    c.herbHigh = QStringLiteral(" 2");
    c.shrubHigh = QStringLiteral(" 6");
    return c;
}

std::vector<Search> searches() {
    std::vector<Search> all;
    all.push_back({"all photos (kind 4)", criteriaOf(QueryKind::AllPhotos)});
    QueryCriteria book = criteriaOf(QueryKind::Books);
    book.bookRow = QStringLiteral("RM-3, Photo series");
    all.push_back({"one book (kind 0)", book});
    all.push_back({"total loading, no codes (kind 1)", criteriaOf(QueryKind::TotalLoading)});
    QueryCriteria total = criteriaOf(QueryKind::TotalLoading);
    total.vegTypes = {QStringLiteral("PP-Ponderosa pine"), QStringLiteral("DF-Douglas-fir"),
                      QStringLiteral("LP-Lodgepole pine")};
    total.activities = {QStringLiteral("NAT-Natural"), QStringLiteral("CC-Clearcut")};
    all.push_back({"total loading with codes (kind 1)", total});
    QueryCriteria size = criteriaOf(QueryKind::SizeClassLoading);
    size.vegTypes = total.vegTypes;
    all.push_back({"size-class loading (kind 2)", size});
    QueryCriteria live = criteriaOf(QueryKind::LiveLoading);
    live.activities = total.activities;
    all.push_back({"live loading (kind 5)", live});
    QueryCriteria models = criteriaOf(QueryKind::FuelModels);
    models.dangerModels = {QStringLiteral("T-Sagebrush"), QStringLiteral("F-Brush")};
    models.fireModels = {QStringLiteral("GR1-x"), QStringLiteral("SH2-x"), QStringLiteral("TL3-x")};
    all.push_back({"fuel models (kind 3)", models});
    return all;
}

// The engine's own client running a translated statement, its rows written nowhere.
struct ReferenceTool {
    QString name;
    std::function<QStringList(const QString& sql)> arguments;
};

// The command line's search as a whole process, every bound given, against the shell writing
// the same statement's rows as CSV.
bool benchCliQuery(const QString& installation) {
    QueryCriteria criteria;
    criteria.kind = QueryKind::TotalLoading;
    criteria.bookRow = allBooksRow;
    criteria.totalLow = QStringLiteral("0");
    criteria.totalHigh = QStringLiteral("10");
    const QString statement = composeQueryStatement(criteria).value_or(QString());
    const double ours =
        bestRunOf(3, QCoreApplication::applicationDirPath() + QStringLiteral("/tarnwick-cli"),
                  {QStringLiteral("query"), QStringLiteral("--app-dir"), installation,
                   QStringLiteral("--kind"), QStringLiteral("1"), QStringLiteral("--total"),
                   criteria.totalLow, criteria.totalHigh});
    const double shell =
        bestRunOf(3, QStringLiteral("sqlite3"),
                  {QStringLiteral("-csv"), QStringLiteral("-header"),
                   AppPaths(installation).cataloguePath(), translateJetToSqlite(statement)});
    return report(QStringLiteral("tarnwick-cli query, total 0 to 10 (whole process)"), ours,
                  QStringLiteral("sqlite3 -csv"), shell, 1.3);
}

bool runSearches(AppState& state, const QString& engine, const ReferenceTool& tool,
                 SqlTarget target) {
    bool ok = true;
    for (const Search& search : searches()) {
        const QString statement = composeQueryStatement(search.criteria).value_or(QString());
        int rows = 0;
        const double ours = bestOf(5, [&] {
            if (!buildAndRunQuery(state, search.criteria, [] {}))
                std::fprintf(stderr, "%s failed: %s\n", search.what,
                             qPrintable(state.statusLine.panelText(StatusLine::Message)));
            rows = state.activePhotoSet.recordCount();
        });
        const double theirs =
            bestRunOf(5, tool.name, tool.arguments(translateJet(statement, target)));
        ok = report(QStringLiteral("%1search: %2, %3 rows")
                        .arg(engine, QString::fromLatin1(search.what))
                        .arg(rows),
                    ours, tool.name, theirs, 2.0) &&
             ok;
    }
    return ok;
}

// Ranking every active photo by six site values, against the search that reads the same rows
// and fills the list by a column: the ranking is to cost about what that search costs.
bool benchSiteSearch(AppState& state) {
    SiteSearch site;
    site.site = {5.0, 20.0, 1.5, 8.0, 0.2, 1.0};
    int rows = 0;
    const double ours = bestOf(5, [&] {
        if (!runSiteSearch(state, site, [] {}))
            std::fprintf(stderr, "site search failed: %s\n",
                         qPrintable(state.statusLine.panelText(StatusLine::Message)));
        rows = state.activePhotoSet.recordCount();
    });
    const double search =
        bestOf(5, [&] { buildAndRunQuery(state, criteriaOf(QueryKind::AllPhotos), [] {}); });
    return report(QStringLiteral("site search: six values, %1 photos ranked").arg(rows), ours,
                  QStringLiteral("search all photos"), search, 1.5);
}

} // namespace

bool benchQueries(const QString& installation) {
    AppState state{AppPaths(installation)};
    state.database = PhotoDatabase::open(AppPaths(installation).cataloguePath());
    const QString catalogue = state.paths.cataloguePath();
    const ReferenceTool shell{QStringLiteral("sqlite3"), [&](const QString& sql) {
                                  return QStringList{catalogue, sql};
                              }};
    bool ok = runSearches(state, QString(), shell, SqlTarget::Sqlite);
    ok = benchSiteSearch(state) && ok;
    return benchCliQuery(installation) && ok;
}

bool benchServerQueries(const QString& installation, const CatalogueLocation& server) {
    AppState state{AppPaths(installation)};
    try {
        std::printf("copying the catalogue to %s ...\n", qPrintable(server.displayName()));
        std::fflush(stdout);
        pushCatalogue(state.paths.cataloguePath(), server);
        state.database = PhotoDatabase::open(server);
        // As start-up leaves a server catalogue: normalised, with the indexes it adds.
        state.database->normaliseBookBreaks();
        loadQueryParameters(state);
    } catch (const DatabaseError& error) {
        std::fprintf(stderr, "the server catalogue cannot be used: %s\n",
                     qPrintable(error.message()));
        return false;
    }
    // psql over the same TCP connection, printing rows unaligned as the sqlite3 shell does.
    const CatalogueServer& where = server.server();
    QStringList connection{QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"),
                           QStringLiteral("-t"), QStringLiteral("-d"), where.database};
    if (!where.host.isEmpty())
        connection << QStringLiteral("-h") << where.host;
    if (where.port > 0)
        connection << QStringLiteral("-p") << QString::number(where.port);
    if (!where.user.isEmpty())
        connection << QStringLiteral("-U") << where.user;
    const ReferenceTool psql{QStringLiteral("psql"), [&](const QString& sql) {
                                 return connection + QStringList{QStringLiteral("-c"), sql};
                             }};
    const double startUp = bestOf(5, [&] {
        auto db = PhotoDatabase::open(server);
        db->normaliseBookBreaks();
        db->run(statements::activePhotosAtStartUp);
    });
    const double psqlStartUp = bestRunOf(
        5, psql.name, psql.arguments(translateJetToPostgreSql(statements::activePhotosAtStartUp)));
    bool ok = report(QStringLiteral("server: open, normalise, load start-up set"), startUp,
                     psql.name, psqlStartUp, 2.0);
    return runSearches(state, QStringLiteral("server "), psql, SqlTarget::PostgreSql) && ok;
}

bool benchQueryParameters(const QString& installation) {
    // The choices read the whole catalogue, on a second thread beside the list's own read: they
    // must cost no more than that read does in the shell.
    AppState state{AppPaths(installation)};
    state.database = PhotoDatabase::open(state.paths.cataloguePath());
    const double ours = bestOf(3, [&] {
        const QueryParameters parameters = loadQueryParameters(state);
        for (const QString& message : parameters.messages)
            std::fprintf(stderr, "loading the query choices: %s\n", qPrintable(message));
    });
    const double shell = bestRunOf(
        3, QStringLiteral("sqlite3"),
        {state.paths.cataloguePath(), translateJetToSqlite(statements::activePhotosAtStartUp)});
    return report(QStringLiteral("load query parameters"), ours,
                  QStringLiteral("sqlite3 start-up statement"), shell, 1.0);
}

} // namespace tarnwick::bench
