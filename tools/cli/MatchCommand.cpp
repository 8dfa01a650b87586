#include "MatchCommand.h"

#include "CliSupport.h"

#include "app/AppState.h"
#include "app/commands/QueryCommands.h"
#include "app/commands/ResultsListCommands.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"
#include "query/SiteMatch.h"

#include <array>
#include <optional>

using namespace Qt::StringLiterals;
using namespace tarnwick;
using namespace tarnwick::commands;

namespace {

struct ValueOption {
    const char16_t* name;
    SiteQuantity quantity;
};

const std::array<ValueOption, siteQuantityCount> valueOptions{{
    {u"--fine", SiteQuantity::Fine},
    {u"--coarse", SiteQuantity::Coarse},
    {u"--duff", SiteQuantity::Duff},
    {u"--fuelbed", SiteQuantity::FuelBed},
    {u"--herb", SiteQuantity::Herb},
    {u"--shrub", SiteQuantity::Shrub},
}};

struct Options {
    QString appDir;
    SiteSearch search;
    int limit = -1;
};

// The value of the option at args[i], if it is one of the site's values; a message for bad input.
std::optional<QString> takeSiteValue(const QStringList& args, qsizetype& i, Options& options,
                                     bool& taken) {
    for (const ValueOption& option : valueOptions) {
        QString text;
        const QString name = QString::fromUtf16(option.name);
        if (!takeValue(args, i, name, text))
            continue;
        taken = true;
        const std::optional<double> value = readSiteValue(text, QLocale::c());
        if (!value)
            return u"%1 needs a number of 0 or more, such as 2.5, not '%2'"_s.arg(name, text);
        options.search.site[size_t(option.quantity)] = value;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QString> parse(const QStringList& args, Options& options) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString text;
        bool taken = false;
        if (const std::optional<QString> problem = takeSiteValue(args, i, options, taken))
            return problem;
        if (taken)
            continue;
        if (takeValue(args, i, u"--app-dir"_s, options.appDir))
            continue;
        if (takeValue(args, i, u"--veg"_s, text)) {
            options.search.vegTypes << text;
            continue;
        }
        if (takeValue(args, i, u"--limit"_s, text)) {
            bool ok = false;
            options.limit = text.toInt(&ok);
            if (!ok || options.limit < 0)
                return u"--limit needs a whole number of 0 or more, not '%1'"_s.arg(text);
            continue;
        }
        return u"unknown argument or missing value '%1'"_s.arg(args[i]);
    }
    if (!anySiteValue(options.search.site))
        return u"give at least one of --fine, --coarse, --duff, --fuelbed, --herb, --shrub"_s;
    return std::nullopt;
}

} // namespace

int runMatch(const QStringList& args) {
    Options options;
    if (const std::optional<QString> problem = parse(args, options))
        return usageError(u"tarnwick-cli match"_s, *problem);

    AppState state(installationPaths(options.appDir));
    try {
        state.database =
            PhotoDatabase::open(configuredCatalogue(state.paths), CatalogueAccess::ReadOnly);
    } catch (const DatabaseError& error) {
        printLine(stderr, u"tarnwick-cli match: %1"_s.arg(error.message()));
        return exitFailure;
    }
    if (!runSiteSearch(state, options.search, [&state] { fillResultsList(state); })) {
        printLine(stderr,
                  u"tarnwick-cli match: %1"_s.arg(state.statusLine.panelText(StatusLine::Message)));
        return exitFailure;
    }
    if (!printResultsListCsv(state.resultsList, options.limit)) {
        printLine(stderr, u"tarnwick-cli match: cannot write the list to standard output"_s);
        return exitFailure;
    }
    return 0;
}
