#include "AssistantCommands.h"

#include "CliSupport.h"

#include "app/AppState.h"
#include "app/commands/PhotoDisplayCommands.h"
#include "app/commands/ProfileCommands.h"
#include "app/commands/ProfileFileCommands.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"
#include "platform/Dialogs.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using namespace tarnwick;
using namespace tarnwick::commands;

namespace {

int fail(const QString& command, int status, const QString& message) {
    printLine(stderr, u"tarnwick-cli %1: %2"_s.arg(command, message));
    return status;
}

int printJson(const QJsonObject& object) {
    const QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : exitFailure;
}

QString colourName(QRgb colour) {
    return QColor(colour).name();
}

QJsonObject comparisonJson(const ComparisonTab& tab) {
    QJsonArray rows;
    for (const ComparisonTabRow& row : comparisonTabRows()) {
        QJsonObject line{{u"caption"_s, QString::fromUtf16(row.caption)},
                         {u"values"_s, QJsonArray{comparisonRowText(tab.photos[0], row),
                                                  comparisonRowText(tab.photos[1], row)}}};
        if (row.compared) {
            const Difference& difference = tab.difference(*row.compared);
            line.insert(u"difference"_s, difference.text);
            line.insert(u"colours"_s, QJsonArray{colourName(difference.colours[0]),
                                                 colourName(difference.colours[1])});
        } else {
            line.insert(u"difference"_s, QJsonValue());
            line.insert(u"colours"_s, QJsonValue());
        }
        rows.append(line);
    }
    return QJsonObject{{u"photos"_s, QJsonArray{tab.photos[0].photo, tab.photos[1].photo}},
                       {u"rows"_s, rows}};
}

QJsonObject profileJson(const AppState& state) {
    const FuelProfile& p = state.fuelProfile;
    const QJsonObject fields{
        {u"Name"_s, p.name},
        {u"Notes"_s, p.notes},
        {u"Break1"_s, p.break1},
        {u"Break2"_s, p.break2},
        {u"Break3"_s, p.break3},
        {u"Source0to3"_s, p.source0to3},
        {u"Value3Plus"_s, p.value3Plus},
        {u"Source3Plus"_s, p.source3Plus},
        {u"DuffValue"_s, p.duffValue},
        {u"DuffSource"_s, p.duffSource},
        {u"FuelBedValue"_s, p.fuelBedValue},
        {u"FuelBedSource"_s, p.fuelBedSource},
        {u"HerbValue"_s, p.herbValue},
        {u"HerbSource"_s, p.herbSource},
        {u"WoodyValue"_s, p.woodyValue},
        {u"WoodySource"_s, p.woodySource},
    };
    const ProfileColumn shown = profileColumn(p);
    QJsonObject shownJson;
    for (const BuilderTabRow& row : builderTabRows())
        shownJson.insert(QString::fromUtf16(row.key), shown[row.value]);
    return QJsonObject{{u"fields"_s, fields},
                       {u"shown"_s, shownJson},
                       {u"title"_s, assistantTitle(state.profileFileName)},
                       {u"changed"_s, state.profileChanged}};
}

std::optional<ProfileComponent> componentNamed(const QString& name) {
    const std::array<std::pair<const char16_t*, ProfileComponent>, 6> names{{
        {u"duff", ProfileComponent::Duff},
        {u"fuelbed", ProfileComponent::FuelBed},
        {u"0to3", ProfileComponent::ZeroToThree},
        {u"3plus", ProfileComponent::ThreePlus},
        {u"herb", ProfileComponent::Herb},
        {u"shrub", ProfileComponent::Woody},
    }};
    for (const auto& [text, component] : names)
        if (name.compare(QStringView(text), Qt::CaseInsensitive) == 0)
            return component;
    return std::nullopt;
}

// The run's state on an installation's catalogue, as the window's start-up leaves it.
std::optional<QString> openState(AppState& state) {
    try {
        state.database =
            PhotoDatabase::open(configuredCatalogue(state.paths), CatalogueAccess::ReadOnly);
    } catch (const DatabaseError& error) {
        return error.message();
    }
    newProfile(state);
    return std::nullopt;
}

} // namespace

int runCompare(const QStringList& args) {
    const QString command = u"compare"_s;
    QStringList ids;
    QString appDir;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString value;
        if (takeValue(args, i, u"--id"_s, value))
            ids << value;
        else if (takeValue(args, i, u"--app-dir"_s, value))
            appDir = value;
        else
            return usageError(u"tarnwick-cli compare"_s, u"unknown argument '%1'"_s.arg(args[i]));
    }
    if (ids.size() != 2)
        return usageError(u"tarnwick-cli compare"_s, u"compare needs --id A --id B"_s);

    AppState state(installationPaths(appDir));
    if (const std::optional<QString> problem = openState(state))
        return fail(command, exitFailure, *problem);
    state.mode = Mode::Compare;
    try {
        for (int slot = 0; slot < 2; ++slot) {
            state.currentSlot = slot;
            if (const std::optional<QString> problem = showPhotoOf(state, ids[slot]))
                return fail(command, exitUsage, *problem);
        }
        return printJson(comparisonJson(assistantValues(state)));
    } catch (const DatabaseError& error) {
        return fail(command, exitFailure, error.message());
    }
}

namespace {

int buildProfile(const QStringList& args) {
    const QString command = u"profile build"_s;
    std::optional<QString> name;
    std::optional<QString> notes;
    std::optional<QString> out;
    std::vector<std::pair<ProfileComponent, QString>> takes;
    QString appDir;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString value;
        if (takeValue(args, i, u"--name"_s, value)) {
            name = value;
        } else if (takeValue(args, i, u"--notes"_s, value)) {
            notes = value;
        } else if (takeValue(args, i, u"--out"_s, value)) {
            // An empty name would save a file called ".pr3" in the working folder.
            if (value.isEmpty())
                return usageError(u"tarnwick-cli profile"_s,
                                  u"--out needs a file name, such as site.pr3"_s);
            out = value;
        } else if (takeValue(args, i, u"--app-dir"_s, value)) {
            appDir = value;
        } else if (takeValue(args, i, u"--take"_s, value)) {
            const std::optional<ProfileComponent> component =
                componentNamed(value.section(u'=', 0, 0));
            if (!component || !value.contains(u'='))
                return usageError(u"tarnwick-cli profile"_s,
                                  u"--take needs COMPONENT=ID with a component of duff, fuelbed, "
                                  "0to3, 3plus, herb, shrub, not '%1'"_s.arg(value));
            takes.emplace_back(*component, value.section(u'=', 1));
        } else {
            return usageError(u"tarnwick-cli profile"_s, u"unknown argument '%1'"_s.arg(args[i]));
        }
    }

    AppState state(installationPaths(appDir));
    if (const std::optional<QString> problem = openState(state))
        return fail(command, exitFailure, *problem);
    if (name)
        state.fuelProfile.name = *name;
    if (notes)
        state.fuelProfile.notes = *notes;
    try {
        for (const auto& [component, id] : takes) {
            if (const std::optional<QString> problem = showPhotoOf(state, id))
                return fail(command, exitUsage, *problem);
            selectProfileValue(state, int(component), ProfileHooks{});
        }
    } catch (const DatabaseError& error) {
        return fail(command, exitFailure, error.message());
    }
    if (!out)
        return printJson(profileJson(state));
    ConsoleDialogs dialogs;
    const std::optional<QString> written = saveProfile(state, *out, dialogs, {});
    if (!written)
        return exitFailure;
    if (const QString notice = state.statusLine.panelText(StatusLine::Message); !notice.isEmpty())
        printLine(stderr, u"tarnwick-cli %1: %2"_s.arg(command, notice));
    printLine(stdout, *written);
    return 0;
}

int showProfile(const QStringList& args) {
    QString appDir;
    QString file;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString value;
        if (takeValue(args, i, u"--app-dir"_s, value))
            appDir = value;
        else if (file.isEmpty() && !args[i].startsWith(u"--"))
            file = args[i];
        else
            return usageError(u"tarnwick-cli profile"_s, u"unknown argument '%1'"_s.arg(args[i]));
    }
    if (file.isEmpty())
        return usageError(u"tarnwick-cli profile"_s, u"profile show needs a profile file"_s);
    AppState state(installationPaths(appDir));
    ConsoleDialogs dialogs;
    if (!readProfile(state, file, dialogs, {}))
        return exitUsage;
    return printJson(profileJson(state));
}

int upgradeProfiles(const QStringList& args) {
    QString appDir;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString value;
        if (takeValue(args, i, u"--app-dir"_s, value))
            appDir = value;
        else if (!args[i].startsWith(u"--"))
            files << args[i];
        else
            return usageError(u"tarnwick-cli profile"_s, u"unknown argument '%1'"_s.arg(args[i]));
    }
    if (files.isEmpty())
        return usageError(u"tarnwick-cli profile"_s, u"profile upgrade needs .pro files"_s);
    AppState state(installationPaths(appDir));
    ConsoleDialogs dialogs;
    int status = 0;
    for (const QString& file : files) {
        // Each old profile is read as the Load button reads it and saved beside it as ".pr3".
        if (!readProfile(state, file, dialogs, {})) {
            status = exitFailure;
            continue;
        }
        if (const std::optional<QString> written = saveProfile(state, file, dialogs, {}))
            printLine(stdout, *written);
        else
            status = exitFailure;
    }
    return status;
}

} // namespace

int runProfile(const QStringList& args) {
    const QString action = args.value(0);
    if (action == u"build")
        return buildProfile(args.mid(1));
    if (action == u"show")
        return showProfile(args.mid(1));
    if (action == u"upgrade")
        return upgradeProfiles(args.mid(1));
    return usageError(u"tarnwick-cli profile"_s,
                      u"profile takes build, show or upgrade, not '%1'"_s.arg(action));
}
