#pragma once

#include "app/commands/PhotoDisplayCommands.h"
#include "reports/ReportComposition.h"
#include "reports/ReportFiles.h"

#include <functional>
#include <memory>
#include <optional>
#include <QString>

namespace tarnwick {

struct AppState;
class Dialogs;

} // namespace tarnwick

namespace tarnwick::commands {

inline const QString noPhotoToPrintMessage = QStringLiteral("Can't print, no photo selected");
inline const QString noPhotosToCompareMessage =
    QStringLiteral("Can't print, two photos  not selected");
inline const QString printerNotConnectedMessage = QStringLiteral("Printer is not connected");

// What the report commands reach beyond the state. Any member may be empty.
struct ReportHooks {
    Dialogs* dialogs = nullptr;
    // Whether the system has a printer; when it has none, each report says so first.
    std::function<bool()> printerInstalled;
    ReportChartRenderer chart;
    // The results list, where the profile report finds its source photos' pictures.
    ResultsListAccess list;
    // The assistant stands above the program's windows: it goes while a report is composed.
    std::function<bool()> assistantShown;
    std::function<void()> hideAssistant;
    std::function<void()> showAssistant;
    // Shows a report in the preview window, replacing the one it held; closes the preview.
    std::function<void(std::shared_ptr<const ComposedReport>)> preview;
    std::function<void()> closePreview;
};

// The reports of the run's photos and profile. The photo report shows the photo of the current
// slot, the comparison report those of both slots, each with the plate and chart of the very
// photo whose picture it prints. Both throw DatabaseError when a slot's rows are incomplete.
std::shared_ptr<const ComposedReport> photoReportOf(const AppState& state,
                                                    const ReportChartRenderer& chart);
std::shared_ptr<const ComposedReport> comparisonReportOf(const AppState& state,
                                                         const ReportChartRenderer& chart);
std::shared_ptr<const ComposedReport> fuelProfileReportOf(const AppState& state,
                                                          const ResultsListAccess& list);

// The picture a report prints for a slot: the photo directory's file when the slot's picture
// came from there, its local copy otherwise.
QString slotPicturePath(const AppState& state, int slot);

// Writes the rich-text export of a report into the application directory, replacing the last
// one only once it is complete; a message when it could not be written.
std::optional<QString> writeExportFile(const AppState& state, const ComposedReport& report);

// The Reports menu commands. Each returns whether a report was composed and shown.
bool printPhotoCommand(AppState& state, const ReportHooks& hooks);
bool printComparisonCommand(AppState& state, const ReportHooks& hooks);
bool printFuelProfileCommand(AppState& state, const ReportHooks& hooks);
// Printer Setup: the printer chosen is the next report's; the preview closes in any case.
void printerSetupCommand(AppState& state, const ReportHooks& hooks);

} // namespace tarnwick::commands
