#include "ChoicesCommand.h"

#include "CliSupport.h"

#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"
#include "query/QueryBuilder.h"
#include "query/QueryParameters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace tarnwick;

namespace {

// Every list as the query pane's controls show it, rows in their order.
QJsonObject toJson(const QueryParameters& parameters) {
    QJsonArray books{QJsonObject{{u"id"_s, QJsonValue()}, {u"text"_s, allBooksRow}}};
    for (const BookChoice& book : parameters.books)
        books.append(
            QJsonObject{{u"id"_s, QJsonValue::fromVariant(book.id)}, {u"text"_s, book.text}});
    const auto rangeRows = [&](RangeQuantity q) {
        return QJsonArray::fromStringList(parameters.rangeRowsOf(q));
    };
    const auto listRows = [&](CodeListId id) {
        return QJsonArray::fromStringList(parameters.codeList(id).sorted);
    };
    return QJsonObject{
        {u"books"_s, books},
        {u"ranges"_s, QJsonObject{{u"total"_s, rangeRows(RangeQuantity::Total)},
                                  {u"fine"_s, rangeRows(RangeQuantity::Fine)},
                                  {u"coarse"_s, rangeRows(RangeQuantity::Coarse)},
                                  {u"herb"_s, rangeRows(RangeQuantity::Herb)},
                                  {u"shrub"_s, rangeRows(RangeQuantity::Shrub)}}},
        {u"veg"_s, listRows(CodeListId::Vegetation)},
        {u"act"_s, listRows(CodeListId::Activity)},
        {u"danger"_s, listRows(CodeListId::DangerRating)},
        {u"fire2005"_s, listRows(CodeListId::FireBehaviour)},
        // The 1982 models as the list shows them after a switch to that set.
        {u"fire1982"_s,
         QJsonArray::fromStringList(fuelModelSetRows(parameters.fireBehaviourModelNames[1]))},
        {u"messages"_s, QJsonArray::fromStringList(parameters.messages)},
    };
}

} // namespace

int runChoices(const QStringList& args) {
    QString appDir;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--app-dir" && i + 1 < args.size())
            appDir = args[++i];
        else if (args[i].startsWith(u"--app-dir="))
            appDir = args[i].mid(10);
        else
            return usageError(u"tarnwick-cli choices"_s, u"unknown argument '%1'"_s.arg(args[i]));
    }
    const AppPaths paths = installationPaths(appDir);
    try {
        const auto database =
            PhotoDatabase::open(configuredCatalogue(paths), CatalogueAccess::ReadOnly);
        const QByteArray json = QJsonDocument(toJson(computeQueryParameters(*database, paths)))
                                    .toJson(QJsonDocument::Indented);
        std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : exitFailure;
    } catch (const DatabaseError& error) {
        printLine(stderr, u"tarnwick-cli choices: %1"_s.arg(error.message()));
        return exitFailure;
    }
}
