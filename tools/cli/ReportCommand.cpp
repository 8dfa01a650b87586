#include "ReportCommand.h"

#include "CliSupport.h"

#include "app/AppState.h"
#include "app/commands/PhotoDisplayCommands.h"
#include "app/commands/ReportCommands.h"
#include "app/commands/ResultsListCommands.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"
#include "display/widgets/LoadingChartView.h"
#include "platform/SuiteSettings.h"
#include "profile/ProfileFile.h"
#include "reports/ReportFiles.h"

#include <QDir>

#include <optional>

using namespace Qt::StringLiterals;
using namespace tarnwick;
using namespace tarnwick::commands;

namespace {

const QString command = u"tarnwick-cli report"_s;

int fail(int status, const QString& message) {
    printLine(stderr, command + u": "_s + message);
    return status;
}

// The run's state on the installation, as start-up leaves it, read-only.
std::optional<QString> openInstallation(AppState& state) {
    try {
        state.database =
            PhotoDatabase::open(configuredCatalogue(state.paths), CatalogueAccess::ReadOnly);
        // Start-up's normalisation of the books' limits, in memory only: nothing is written.
        state.database->normaliseBookBreaksWhenRead();
        state.activePhotoSet = state.database->run(statements::activePhotosAtStartUp);
    } catch (const DatabaseError& error) {
        return error.message();
    }
    state.photoImageDir = SuiteSettings().photoDir(state.paths.photoImagesDir());
    fillResultsList(state);
    return std::nullopt;
}

} // namespace

int runReport(const QStringList& args) {
    const QString kind = args.value(0);
    if (kind != u"photo" && kind != u"compare" && kind != u"profile")
        return usageError(command, u"say which report: photo, compare or profile"_s);
    QStringList ids;
    QString profileFile;
    QString out;
    QString appDir;
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString value;
        if (kind != u"profile" && takeValue(args, i, u"--id"_s, value))
            ids << value;
        else if (kind == u"profile" && takeValue(args, i, u"--profile"_s, value))
            profileFile = value;
        else if (takeValue(args, i, u"--out"_s, value))
            out = value;
        else if (takeValue(args, i, u"--app-dir"_s, value))
            appDir = value;
        else
            return usageError(command, u"unknown argument '%1' for %2"_s.arg(args[i], kind));
    }
    if (kind == u"photo" && ids.size() != 1)
        return usageError(command, u"the photo report needs one --id ID"_s);
    if (kind == u"compare" && ids.size() != 2)
        return usageError(command, u"the comparison report needs --id A --id B"_s);
    if (kind == u"profile" && profileFile.isEmpty())
        return usageError(command, u"the profile report needs --profile FILE.pr3"_s);
    if (out.isEmpty())
        return usageError(command, u"say where the report goes: --out FILE"_s);

    AppState state(installationPaths(appDir));
    if (const std::optional<QString> problem = openInstallation(state))
        return fail(exitFailure, *problem);
    std::shared_ptr<const ComposedReport> report;
    try {
        if (kind == u"profile") {
            const ProfileRead read = readProfileFile(profileFile);
            if (!read.profile)
                // The advice names the file and says what to do.
                return fail(exitUsage, u"%1: %2"_s.arg(read.error.description, read.error.advice));
            state.fuelProfile = *read.profile;
            report = fuelProfileReportOf(state, resultsListAccess(state.resultsList, {}));
        } else {
            // Slot 0 is the photo browsed, slot 1 the one compared with it.
            state.mode = kind == u"compare" ? tarnwick::Mode::Compare : tarnwick::Mode::Browse;
            for (qsizetype slot = 0; slot < ids.size(); ++slot) {
                state.currentSlot = int(slot);
                if (const std::optional<QString> problem = showPhotoOf(state, ids[slot]))
                    return fail(exitUsage, *problem);
            }
            state.currentSlot = 0;
            report = kind == u"compare" ? comparisonReportOf(state, reportLoadingChart)
                                        : photoReportOf(state, reportLoadingChart);
        }
    } catch (const DatabaseError& error) {
        return fail(exitFailure, error.message());
    }
    if (const std::optional<QString> problem = writeReportFile(out, *report))
        return fail(exitFailure, *problem);
    return 0;
}
