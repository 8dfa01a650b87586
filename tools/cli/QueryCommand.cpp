#include "QueryCommand.h"

#include "CliSupport.h"

#include "app/AppState.h"
#include "app/commands/QueryCommands.h"
#include "app/commands/ResultsListCommands.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"
#include "query/QueryBuilder.h"
#include "query/QueryParameters.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;
using namespace tarnwick;
using namespace tarnwick::commands;

namespace {

struct RangeOption {
    const char* name;
    RangeQuantity quantity;
    QString QueryCriteria::*low;
    QString QueryCriteria::*high;
};

const std::array<RangeOption, rangeQuantityCount> rangeOptions{{
    {"--total", RangeQuantity::Total, &QueryCriteria::totalLow, &QueryCriteria::totalHigh},
    {"--fine", RangeQuantity::Fine, &QueryCriteria::fineLow, &QueryCriteria::fineHigh},
    {"--coarse", RangeQuantity::Coarse, &QueryCriteria::coarseLow, &QueryCriteria::coarseHigh},
    {"--herb", RangeQuantity::Herb, &QueryCriteria::herbLow, &QueryCriteria::herbHigh},
    {"--shrub", RangeQuantity::Shrub, &QueryCriteria::shrubLow, &QueryCriteria::shrubHigh},
}};

struct ListOption {
    const char* name;
    QStringList QueryCriteria::*rows;
};

const std::array<ListOption, 4> listOptions{{
    {"--veg", &QueryCriteria::vegTypes},
    {"--act", &QueryCriteria::activities},
    {"--danger", &QueryCriteria::dangerModels},
    {"--fire", &QueryCriteria::fireModels},
}};

struct Options {
    QString appDir;
    std::optional<QueryCriteria> criteria;
    std::array<bool, rangeQuantityCount> boundsGiven{};
    bool sqlOnly = false;
};

// Parses the arguments into criteria; returns a message for bad input.
std::optional<QString> parse(const QStringList& args, Options& options) {
    QueryCriteria c;
    c.bookRow = allBooksRow;
    bool kindGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const auto values = [&](int count) -> std::optional<QStringList> {
            if (i + count >= args.size())
                return std::nullopt;
            const QStringList taken = args.mid(i + 1, count);
            i += count;
            return taken;
        };
        const auto missing = [&](const char* what) {
            return u"%1 needs %2"_s.arg(arg, QString::fromLatin1(what));
        };

        if (arg == u"--sql-only") {
            options.sqlOnly = true;
            continue;
        }
        if (arg == u"--app-dir") {
            const auto v = values(1);
            if (!v)
                return missing("a folder");
            options.appDir = v->first();
            continue;
        }
        if (arg == u"--kind") {
            const auto v = values(1);
            if (!v)
                return missing("a number from 0 to 5");
            bool ok = false;
            const int kind = v->first().toInt(&ok);
            if (!ok || kind < 0 || kind > 5)
                return u"--kind must be a number from 0 to 5, not '%1'"_s.arg(v->first());
            c.kind = QueryKind(kind);
            kindGiven = true;
            continue;
        }
        if (arg == u"--book") {
            const auto v = values(1);
            if (!v)
                return missing("a book row");
            c.bookRow = v->first();
            continue;
        }
        if (arg == u"--models") {
            const auto v = values(1);
            if (!v || (v->first() != u"1982" && v->first() != u"2005"))
                return u"--models must be 1982 or 2005"_s;
            c.use2005Models = v->first() == u"2005";
            continue;
        }
        bool matched = false;
        for (const RangeOption& range : rangeOptions) {
            if (arg != QLatin1String(range.name))
                continue;
            const auto v = values(2);
            if (!v)
                return missing("a low and a high bound");
            c.*range.low = v->at(0);
            c.*range.high = v->at(1);
            options.boundsGiven[size_t(range.quantity)] = true;
            matched = true;
        }
        for (const ListOption& list : listOptions) {
            if (arg != QLatin1String(list.name))
                continue;
            const auto v = values(1);
            if (!v)
                return missing("a code-list row");
            (c.*list.rows) << v->first();
            matched = true;
        }
        if (!matched)
            return u"unknown argument '%1'"_s.arg(arg);
    }
    if (!kindGiven)
        return u"--kind is required"_s;
    options.criteria = c;
    return std::nullopt;
}

// The photos found, as the results list shows them, in the CSV form of 'tarnwick-cli list'.
int printPhotoList(const ResultsListModel& list) {
    if (!printResultsListCsv(list)) {
        printLine(stderr, u"tarnwick-cli query: cannot write the list to standard output"_s);
        return exitFailure;
    }
    return 0;
}

} // namespace

int runQueryCommand(const QStringList& args) {
    Options options;
    if (const std::optional<QString> problem = parse(args, options))
        return usageError(u"tarnwick-cli query"_s, *problem);
    QueryCriteria& criteria = *options.criteria;

    AppState state(installationPaths(options.appDir));
    try {
        state.database =
            PhotoDatabase::open(configuredCatalogue(state.paths), CatalogueAccess::ReadOnly);
    } catch (const DatabaseError& error) {
        printLine(stderr, u"tarnwick-cli query: %1"_s.arg(error.message()));
        return exitFailure;
    }

    // Bounds of the kind left out are the range combos' full span, as the pages start; finding
    // it reads the whole catalogue, so only when one is missing.
    const std::vector<RangeQuantity> bounded = boundedQuantities(criteria.kind);
    if (std::any_of(bounded.begin(), bounded.end(),
                    [&](RangeQuantity q) { return !options.boundsGiven[size_t(q)]; })) {
        const QueryParameters parameters = computeRangeParameters(*state.database);
        for (const QString& message : parameters.messages)
            printLine(stderr, u"tarnwick-cli query: %1"_s.arg(message));
        for (const RangeOption& range : rangeOptions) {
            if (options.boundsGiven[size_t(range.quantity)])
                continue;
            const QStringList& rows = parameters.rangeRowsOf(range.quantity);
            criteria.*range.low = rows.value(0, u"0"_s);
            criteria.*range.high = rows.isEmpty() ? u"0"_s : rows.last();
        }
    }

    const std::optional<QString> statement = composeQueryStatement(criteria);
    if (!statement) {
        state.statusLine.statusMessage(StatusKind::Error, rangeValuesMustBeNumbers);
        printLine(stderr, state.statusLine.panelText(StatusLine::Message));
        return exitUsage;
    }
    printLine(stdout, *statement);
    if (options.sqlOnly)
        return 0;

    std::fflush(stdout);
    if (!buildAndRunQuery(state, criteria, [&state] { fillResultsList(state); })) {
        printLine(stderr, state.statusLine.panelText(StatusLine::Message));
        return exitFailure;
    }
    return printPhotoList(state.resultsList);
}
