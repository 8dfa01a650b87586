#pragma once

#include "app/commands/CatalogueCommands.h"
#include "app/commands/PhotoDisplayCommands.h"
#include "app/commands/ReportCommands.h"
#include "display/SlotDisplay.h"

#include <array>
#include <functional>
#include <memory>
#include <QPointer>
#include <QWidget>

class QAction;
class QMenu;
class QSplitter;
class QToolBar;

namespace tarnwick {

struct AppState;
enum class Mode;
enum class ListViewKind;
class AssistantController;
class AboutWindow;
class AssistantWindow;
class PhotoImageView;
class DataPlateView;
class DesktopServices;
class Dialogs;
class LoadingChartView;
class PathProbe;
class PhotoPane;
class PhotoThumbnails;
class QueryPane;
struct SearchRequest;
enum class QueryKind;
class ProcessRunner;
class ProgramSettings;
struct PlateSource;
class ReportPreview;
class ResultsView;
struct ResultsRow;
class ViewerWindow;

// The window's body, a QWidget inside MainFrame (the QMainWindow): toolbar, menus, the query
// pane above the results list, and the two photo panes.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(AppState& state, QWidget* parent = nullptr);

    // Run once at start-up, before the window is first shown.
    void setUp();

    // Switches between the browse and compare layouts.
    void setMode(Mode mode);
    // Marks the pane that receives the next photo (comparing only); clears the status line.
    void selectPane(int slot);

    void queryCommand();
    void listViewCommand(ListViewKind view);
    void assistantCommand();
    void compareCommand();
    // A click on a results-list row: a repeat click on the last row does nothing.
    void listItemClicked(const QString& key);
    void managePhotoSeriesCommand();
    void importOldCatalogueCommand();
    void displayAllCommand();
    // Every query criterion back to its default; the list keeps its photos.
    void resetCommand();
    void searchCommand(const SearchRequest& request);
    // Closes an open drop-down code list of the query pane.
    void closeList();
    // Fills the query choices from the catalogue; run at start-up and after a refresh. Returns
    // what could not be loaded.
    QStringList loadQueryParameters();
    QueryPane* queryPane() const { return queryPane_; }
    // Re-runs the current photo set's statement, refills the list, reloads the query choices.
    void refreshCatalogueCommand();

    // What the window needs beyond the state: the dialogs, the way to start Slidekeep, the probe
    // of the photo directory.
    void setServices(Dialogs& dialogs, ProcessRunner& runner, PathProbe& probe);
    // The layout a planner left at the end of the last run: the splitters, list or icon view,
    // the column widths and the sort. Kept in Tarnwick's own settings.
    void saveLayout(ProgramSettings& settings) const;
    void restoreLayout(const ProgramSettings& settings);

    // The desktop's browser and viewers, for the help and the support page.
    void setDesktopServices(DesktopServices& desktop) { desktop_ = &desktop; }

    // The Help menu: the help file or manual, the support page, the about box (not modal).
    void helpContentsCommand();
    void webSupportCommand();
    void aboutCommand();
    // The about box while it is open.
    AboutWindow* aboutWindow() const;
    DataPlateView* plateView(int pane) const { return paneViews(pane).plate; }
    LoadingChartView* chartView(int pane) const { return paneViews(pane).chart; }

    // Shows a results-list entry in the current slot; a catalogue failure goes to the status line.
    void showPhoto(const ListEntry& entry);
    void showListRow(int row);
    // The comparison can be printed only while both slots hold a photo.
    void setComparisonPrintEnabled(bool enabled);
    // Opens the full-size viewer, not modal, on the photo shown for a pane.
    void openViewer(int pane);
    // The display's seams: the directory check, the results list, the assistant, the plates.
    commands::PhotoDisplayHooks& photoDisplayHooks() { return displayHooks_; }
    // The report commands' seams: the printers, the charts, the assistant, the preview.
    commands::ReportHooks& reportHooks() { return reportHooks_; }

    // Shows a report in the preview, opening it when closed; closes it with its report.
    void showReport(std::shared_ptr<const ComposedReport> report);
    void closeReportPreview();
    // The open preview, if any.
    ReportPreview* reportPreview() const;
    // Where a new preview goes: the frame gives it a window of its own inside it. Without one
    // the preview is a window of its own.
    void setPreviewPlacement(std::function<void(QWidget* preview)> place) {
        placePreview_ = std::move(place);
    }

    QToolBar* toolBar() const { return toolBar_; }
    const QList<QMenu*>& menus() const { return menus_; }
    QAction* action(const QString& name) const;
    PhotoPane* photoPane(int slot) const { return paneViews(slot).pane; }
    PhotoImageView* imageView(int slot) const { return paneViews(slot).image; }
    // The open viewer, if any.
    ViewerWindow* viewer() const;
    AssistantWindow* assistantWindow() const;
    AssistantController* assistant() const { return assistant_; }
    // The dialogs given with the services; none before.
    Dialogs* dialogs() const { return dialogs_; }
    QWidget* queryArea() const { return queryArea_; }
    QWidget* listArea() const { return listArea_; }
    ResultsView* resultsView() const { return resultsView_; }
    bool queryPaneShown() const;

Q_SIGNALS:
    void exitRequested();
    // Shown for the first time: the command line is read then.
    void firstActivated();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Scrolls the list to the loadings a search of the kind bounded.
    void showSearchedColumns(QueryKind kind);
    void buildToolBar();
    void buildMenus();
    // File > Recent Profiles as the settings keep it, filled each time it opens.
    void fillRecentProfiles(QMenu& menu);
    void buildLayout();
    QAction* addCommand(QMenu* menu, const QString& caption, const QString& name,
                        std::function<void()> command);
    QAction* addTool(const QString& key, const QString& image, const QString& toolTip,
                     bool checkable, std::function<void()> command);
    void setQueryPaneShown(bool shown);
    // A click on a pane's caption strip, picture, plate or chart.
    void paneClicked(int slot);
    // Empties a slot's pane and forgets its photo.
    void clearSlot(int slot);
    void drawSlotPlate(int pane, int slot);
    commands::CatalogueViewHooks catalogueViewHooks();
    void setUpReportHooks();

    AppState& state_;
    QToolBar* toolBar_;
    QList<QMenu*> menus_;
    QWidget* queryArea_ = nullptr;
    QWidget* listArea_ = nullptr;
    ResultsView* resultsView_ = nullptr;
    QueryPane* queryPane_ = nullptr;
    // The widgets of one photo pane, the same slot's in compare mode.
    struct PaneViews {
        PhotoPane* pane = nullptr;
        PhotoImageView* image = nullptr;
        DataPlateView* plate = nullptr;
        LoadingChartView* chart = nullptr;
        std::unique_ptr<SlotDisplay> display;
    };
    PaneViews& paneViews(int pane) { return panes_[size_t(pane)]; }
    const PaneViews& paneViews(int pane) const { return panes_[size_t(pane)]; }
    std::array<PaneViews, 2> panes_;
    ProcessRunner* runner_ = nullptr;
    Dialogs* dialogs_ = nullptr;
    commands::ReportHooks reportHooks_;
    QPointer<ReportPreview> preview_;
    std::function<void(QWidget*)> placePreview_;
    commands::PhotoDisplayHooks displayHooks_;
    QPointer<ViewerWindow> viewer_;
    AssistantController* assistant_ = nullptr;
    DesktopServices* desktop_ = nullptr;
    PhotoThumbnails* thumbnails_ = nullptr;
    QPointer<AboutWindow> about_;
    bool activated_ = false;
};

} // namespace tarnwick
