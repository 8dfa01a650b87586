#include "app/commands/ReportCommands.h"

#include "app/AppState.h"
#include "app/commands/SlotCommands.h"
#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoLabels.h"
#include "document/ReportDocument.h"
#include "platform/Dialogs.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace tarnwick::commands {

namespace {

ReportPhoto slotReportPhoto(const AppState& state, int slot) {
    const PlateSource source = slotPlateSource(state, slot);
    ReportPhoto photo = reportPhotoOf(source, slotPicturePath(state, slot));
    if (state.resultsList.hasMatch() && !source.photo.isEmpty()) {
        const int position = state.resultsList.positionOfKey(photoListKey(source.photo));
        if (position >= 0) {
            photo.matchPercent = state.resultsList.cellAt(position, MatchColumn);
            photo.siteMatch = siteValuesLine(state.siteValues) + u"; Match "_s + photo.matchPercent;
        }
    }
    return photo;
}

// Runs a report command with the assistant out of the way, and back afterwards if it was shown.
template <typename Action> bool withAssistantAside(const ReportHooks& hooks, Action action) {
    const bool shown = hooks.assistantShown && hooks.assistantShown();
    if (shown && hooks.hideAssistant)
        hooks.hideAssistant();
    const bool result = action();
    if (shown && hooks.showAssistant)
        hooks.showAssistant();
    return result;
}

// Composes a report and shows it, as every report command does: the printer warning first, the
// export file written with it. A catalogue that fails meanwhile is told on the status line.
bool composeAndShow(AppState& state, const ReportHooks& hooks,
                    const std::function<std::shared_ptr<const ComposedReport>()>& compose) {
    return withAssistantAside(hooks, [&] {
        if (hooks.printerInstalled && !hooks.printerInstalled() && hooks.dialogs)
            hooks.dialogs->warning(QString(), printerNotConnectedMessage);
        std::shared_ptr<const ComposedReport> report;
        try {
            report = compose();
        } catch (const DatabaseError& error) {
            state.statusLine.statusMessage(StatusKind::Error, error.message());
            return false;
        }
        if (const std::optional<QString> problem = writeExportFile(state, *report))
            state.statusLine.statusMessage(StatusKind::Error, *problem);
        if (hooks.preview)
            hooks.preview(report);
        return true;
    });
}

} // namespace

QString slotPicturePath(const AppState& state, int slot) {
    const SlotPaths& paths = state.displaySlot(slot).paths;
    return state.displaySlot(slot).imageSource == ImageSource::PhotoDirectory ? paths.photo
                                                                              : paths.localPhoto;
}

std::shared_ptr<const ComposedReport> photoReportOf(const AppState& state,
                                                    const ReportChartRenderer& chart) {
    const ReportPhoto photo = slotReportPhoto(state, state.currentSlot);
    ReportDocument document;
    composePhotoReport(document, photo, chart);
    return finishReport(std::move(document), u"Tarnwick - "_s + photo.label);
}

std::shared_ptr<const ComposedReport> comparisonReportOf(const AppState& state,
                                                         const ReportChartRenderer& chart) {
    ReportDocument document;
    composeComparisonReport(document, slotReportPhoto(state, 0), slotReportPhoto(state, 1), chart);
    return finishReport(std::move(document), u"Tarnwick - Comparison of Photos"_s);
}

std::shared_ptr<const ComposedReport> fuelProfileReportOf(const AppState& state,
                                                          const ResultsListAccess& list) {
    ReportDocument document;
    composeFuelProfileReport(document, state.fuelProfile, [&](const QString& label) {
        return photoImagePathFor(state, label, list);
    });
    return finishReport(std::move(document),
                        u"Tarnwick - Fuel Profile: "_s + state.fuelProfile.name);
}

std::optional<QString> writeExportFile(const AppState& state, const ComposedReport& report) {
    const QString path = state.paths.file(exportFileName);
    if (const std::optional<QString> problem = writeFileWhole(path, report.richText))
        return u"The rich-text copy %1 was not written; the report can still be saved from the "
               "preview. %2"_s.arg(QDir::toNativeSeparators(path), *problem);
    return std::nullopt;
}

bool printPhotoCommand(AppState& state, const ReportHooks& hooks) {
    if (!slotHasPhoto(state, state.currentSlot)) {
        state.statusLine.statusMessage(StatusKind::Error, noPhotoToPrintMessage);
        return false;
    }
    return composeAndShow(state, hooks, [&] { return photoReportOf(state, hooks.chart); });
}

bool printComparisonCommand(AppState& state, const ReportHooks& hooks) {
    if (!slotHasPhoto(state, 0) || !slotHasPhoto(state, 1)) {
        state.statusLine.statusMessage(StatusKind::Error, noPhotosToCompareMessage);
        return false;
    }
    return composeAndShow(state, hooks, [&] { return comparisonReportOf(state, hooks.chart); });
}

bool printFuelProfileCommand(AppState& state, const ReportHooks& hooks) {
    return composeAndShow(state, hooks, [&] { return fuelProfileReportOf(state, hooks.list); });
}

void printerSetupCommand(AppState& state, const ReportHooks& hooks) {
    withAssistantAside(hooks, [&] {
        if (hooks.dialogs)
            if (const std::optional<QString> printer =
                    hooks.dialogs->choosePrinter(state.reportPrinter))
                state.reportPrinter = *printer;
        if (hooks.closePreview)
            hooks.closePreview();
        return true;
    });
}

} // namespace tarnwick::commands
