#include "CatalogueCommand.h"

#include "CliSupport.h"

#include "catalogue/CatalogueLocation.h"
#include "catalogue/CataloguePush.h"
#include "catalogue/DatabaseError.h"

using namespace Qt::StringLiterals;
using namespace tarnwick;

namespace {

int usage(const QString& message) {
    return usageError(u"tarnwick-cli catalogue"_s, message);
}

} // namespace

int runCatalogue(const QStringList& args) {
    if (args.isEmpty() || args.front() != u"push")
        return usage(args.isEmpty() ? u"push is the one catalogue command"_s
                                    : u"unknown catalogue command '%1'"_s.arg(args.front()));
    QString appDir;
    QString address;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        QString* target = nullptr;
        QString option = arg;
        if (option.startsWith(u"--to=") || option.startsWith(u"--app-dir=")) {
            option = arg.left(arg.indexOf(u'='));
            (option == u"--to" ? address : appDir) = arg.mid(option.size() + 1);
            continue;
        }
        if (option == u"--to")
            target = &address;
        else if (option == u"--app-dir")
            target = &appDir;
        else
            return usage(u"unknown argument '%1' for catalogue push"_s.arg(arg));
        if (i + 1 >= args.size())
            return usage(u"%1 needs a value"_s.arg(option));
        *target = args[++i];
    }
    if (address.isEmpty())
        return usage(u"catalogue push needs --to postgresql://HOST[:PORT]/DB"_s);
    QString problem;
    const std::optional<CatalogueLocation> location =
        CatalogueLocation::fromServerAddress(address, &problem);
    if (!location)
        return usage(u"--to cannot be used: %1; write postgresql://HOST[:PORT]/DB and keep the "
                     "password in ~/.pgpass or PGPASSWORD"_s.arg(problem));

    const QString source = installationPaths(appDir).cataloguePath();
    try {
        const PushedCatalogue pushed = pushCatalogue(source, *location);
        printLine(stdout,
                  u"Copied %1 books and %2 photos (%3 active) from %4 to %5."_s.arg(
                      QString::number(pushed.books), QString::number(pushed.photos),
                      QString::number(pushed.activePhotos), source, location->displayName()));
    } catch (const DatabaseError& error) {
        printLine(stderr, u"tarnwick-cli: %1"_s.arg(error.message()));
        return exitFailure;
    }
    return 0;
}
