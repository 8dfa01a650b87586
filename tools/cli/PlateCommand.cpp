#include "PlateCommand.h"

#include "CliSupport.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"
#include "catalogue/PhotoLabels.h"
#include "display/DataPlate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

int fail(int status, const QString& message) {
    printLine(stderr, u"tarnwick-cli: %1"_s.arg(message));
    return status;
}

QJsonObject toJson(const tarnwick::DataPlateContent& plate,
                   const tarnwick::LoadingChartContent& chart) {
    QJsonArray rows;
    for (const tarnwick::PlateRow& row : plate.rows)
        rows.append(QJsonArray{row.label, row.value});
    QJsonArray bars;
    for (const tarnwick::ChartBar& bar : chart.bars)
        bars.append(QJsonObject{{u"label"_s, bar.label},
                                {u"value"_s, bar.value ? QJsonValue(*bar.value) : QJsonValue()}});
    return QJsonObject{
        {u"case"_s, plate.overThreeClassCase},
        {u"rows"_s, rows},
        {u"chart"_s,
         QJsonObject{{u"header"_s, QJsonArray::fromStringList(chart.header)}, {u"bars"_s, bars}}},
    };
}

} // namespace

int runPlate(const QStringList& args) {
    std::optional<qint64> id;
    QString appDir;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        QString value;
        const qsizetype equals = arg.indexOf(u'=');
        if (arg.startsWith(u"--") && equals > 0) {
            value = arg.mid(equals + 1);
            arg.truncate(equals);
        } else if (arg == u"--id" || arg == u"--app-dir") {
            if (i + 1 >= args.size())
                return fail(exitUsage, u"%1 needs a value"_s.arg(arg));
            value = args[++i];
        }
        if (arg == u"--id") {
            bool ok = false;
            id = value.toLongLong(&ok);
            if (!ok)
                return fail(exitUsage, u"--id must be a photo ID, not '%1'"_s.arg(value));
        } else if (arg == u"--app-dir") {
            appDir = value;
        } else {
            return fail(exitUsage, u"unknown argument '%1' for plate"_s.arg(args[i]));
        }
    }
    if (!id)
        return fail(exitUsage, u"plate needs --id ID"_s);

    const tarnwick::AppPaths paths = installationPaths(appDir);
    try {
        const auto database = tarnwick::PhotoDatabase::open(tarnwick::configuredCatalogue(paths),
                                                            tarnwick::CatalogueAccess::ReadOnly);
        // The limits as the window shows them, even before its first start normalised them.
        database->normaliseBookBreaksWhenRead();
        const tarnwick::RecordSet photo = database->run(tarnwick::statements::onePhotoById(*id));
        if (photo.isEmpty())
            return fail(exitUsage,
                        u"photo ID %1 is not among the active photos"_s.arg(QString::number(*id)));
        const QString book = photo.text(0, u"BookLabel");
        const tarnwick::PlateSource source =
            tarnwick::readPlateSource(*database, {*id, book, tarnwick::photoDisplayLabel(photo)});
        const tarnwick::DataPlateContent plate = tarnwick::dataPlateContent(source);
        const tarnwick::LoadingChartContent chart =
            tarnwick::loadingChartContent(source, plate.overThreeClassCase);
        const QByteArray json = QJsonDocument(toJson(plate, chart)).toJson(QJsonDocument::Indented);
        std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
        return 0;
    } catch (const tarnwick::DatabaseError& error) {
        return fail(exitFailure, error.message());
    }
}
