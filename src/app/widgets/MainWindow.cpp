#include "app/widgets/MainWindow.h"

#include "app/widgets/AssistantController.h"

#include "app/AppState.h"
#include "app/commands/CatalogueCommands.h"
#include "app/commands/CatalogueImportCommands.h"
#include "app/commands/HelpCommands.h"
#include "app/commands/Modes.h"
#include "app/commands/PhotoDirectoryCheck.h"
#include "app/commands/PhotoSetRead.h"
#include "app/commands/ProfileCommands.h"
#include "app/commands/ProfileFileCommands.h"
#include "app/commands/QueryCommands.h"
#include "app/commands/ReportCommands.h"
#include "app/commands/ResultsListCommands.h"
#include "app/commands/SlotCommands.h"
#include "catalogue/DatabaseError.h"
#include "display/DataPlate.h"
#include "display/ImageProblem.h"
#include "display/PhotoPaths.h"
#include "display/widgets/DataPlateView.h"
#include "display/widgets/LoadingChartView.h"
#include "display/widgets/PaneSlotDisplay.h"
#include "display/widgets/PhotoImageView.h"
#include "display/widgets/PhotoPane.h"
#include "display/widgets/PhotoThumbnails.h"
#include "display/widgets/ViewerWindow.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramSettings.h"
#include "profile/widgets/AssistantWindow.h"
#include "query/QueryControls.h"
#include "query/widgets/QueryPane.h"
#include "reports/widgets/ReportPreview.h"
#include "resultslist/ResultsListModel.h"
#include "resultslist/widgets/ResultsView.h"
#include "suite/widgets/AboutWindow.h"
#include "ui/widgets/FlatControls.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPrinterInfo>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

QIcon icon(const QString& image) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(image));
}

QWidget* area(const QString& name) {
    auto* widget = new QWidget;
    widget->setObjectName(name);
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    return widget;
}

// Commands whose windows come later stay quiet until then.
void notYetAvailable() {}

} // namespace

MainWindow::MainWindow(AppState& state, QWidget* parent)
    : QWidget(parent), state_(state), toolBar_(new QToolBar(this)) {
    setObjectName(QStringLiteral("frmKel"));
    setWindowTitle(QStringLiteral(" Browsing Photos"));
    // Small enough for a 1366 x 768 screen at scale 1.5 or 1600 x 1000 at scale 2.
    setMinimumSize(600, 360);
    buildToolBar();
    buildMenus();
    buildLayout();
    displayHooks_.list = commands::resultsListAccess(
        state_.resultsList, [this](int position) { resultsView_->selectPosition(position); });
    displayHooks_.drawDataPlate = [this](int pane, int slot) { drawSlotPlate(pane, slot); };
    displayHooks_.setComparisonPrintEnabled = [this](bool enabled) {
        setComparisonPrintEnabled(enabled);
    };
    assistant_ = new AssistantController(state_, *this);
    displayHooks_.refreshAssistant = [this] { assistant_->refreshValues(); };
    setUpReportHooks();
    makeFlat(this);
    qApp->installEventFilter(this);
}

AssistantWindow* MainWindow::assistantWindow() const {
    return assistant_->window();
}

QAction* MainWindow::addTool(const QString& key, const QString& image, const QString& toolTip,
                             bool checkable, std::function<void()> command) {
    QAction* action = toolBar_->addAction(icon(image), key);
    action->setObjectName(QStringLiteral("bar") + key);
    action->setToolTip(toolTip);
    action->setCheckable(checkable);
    // A click on the toolbar also closes an open code list.
    connect(action, &QAction::triggered, this, [this, command] {
        closeList();
        command();
    });
    return action;
}

void MainWindow::buildToolBar() {
    toolBar_->setObjectName(QStringLiteral("barMain"));
    toolBar_->setIconSize(QSize(24, 24));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addTool(QStringLiteral("Query"), QStringLiteral("Query"), QStringLiteral("Close Query Window"),
            true, [this] { queryCommand(); })
        ->setChecked(true);
    addTool(QStringLiteral("Compare"), QStringLiteral("Compare"),
            QStringLiteral("Open Compare Mode"), true, [this] { compareCommand(); });
    QAction* builder = addTool(QStringLiteral("Builder"), QStringLiteral("Builder"),
                               QStringLiteral("Open Builder Mode"), true,
                               [this] { assistant_->builderCommand(); });
    // The builder button is the one that also carries its text.
    if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(builder)))
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    addTool(QStringLiteral("Assistant"), QStringLiteral("Assistant"),
            QStringLiteral("Hide Assistant"), true, [this] { assistantCommand(); });
    toolBar_->addSeparator();
    addTool(QStringLiteral("All"), QStringLiteral("All"), QStringLiteral("Display all photos"),
            false, [this] { displayAllCommand(); });
    addTool(QStringLiteral("Reset"), QStringLiteral("Reset"),
            QStringLiteral("Reset all query parameters"), false, [this] { resetCommand(); });
    toolBar_->addSeparator();
    auto* views = new QActionGroup(this);
    views->addAction(addTool(QStringLiteral("Icon"), QStringLiteral("IconView"),
                             QStringLiteral("View Photos as Icons"), true,
                             [this] { listViewCommand(ListViewKind::Icon); }));
    QAction* list = addTool(QStringLiteral("List"), QStringLiteral("listview"),
                            QStringLiteral("View Photos as a List"), true,
                            [this] { listViewCommand(ListViewKind::List); });
    views->addAction(list);
    list->setChecked(true);
    toolBar_->addSeparator();
    addTool(QStringLiteral("Exit"), QStringLiteral("Exit"), QStringLiteral("Exit Kel"), false,
            [this] { Q_EMIT exitRequested(); });
    addTool(QStringLiteral("Help"), QStringLiteral("Help"), QStringLiteral("Press here for Help"),
            false, [this] { helpContentsCommand(); });
}

QAction* MainWindow::addCommand(QMenu* menu, const QString& caption, const QString& name,
                                std::function<void()> command) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [command] { command(); });
    return action;
}

namespace {

const QString noRecentProfiles = QStringLiteral("(none)");

} // namespace

void MainWindow::fillRecentProfiles(QMenu& menu) {
    menu.clear();
    const QStringList paths = commands::recentProfilesCommand(state_);
    if (paths.isEmpty())
        menu.addAction(noRecentProfiles)->setEnabled(false);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction* item = menu.addAction(QStringLiteral("&%1 %2").arg(QString::number(i + 1), shown));
        connect(item, &QAction::triggered, this, [this, path] {
            if (!commands::forgetMissingRecentProfile(state_, path))
                assistant_->openGiven(path);
        });
    }
}

void MainWindow::buildMenus() {
    // Every command has a mnemonic, so the menus work from the keyboard alone; the common ones
    // have the desktop's usual shortcuts as well.
    auto* file = new QMenu(QStringLiteral("&File"), this);
    addCommand(file, QStringLiteral("&Printer Setup"), QStringLiteral("mnuPrinterSetup"),
               [this] { commands::printerSetupCommand(state_, reportHooks_); });
    addCommand(file, QStringLiteral("&Manage Photo Series"), QStringLiteral("mnuMP"),
               [this] { managePhotoSeriesCommand(); });
    addCommand(file, QStringLiteral("&Import Old Catalogue..."), QStringLiteral("mnuImport"),
               [this] { importOldCatalogueCommand(); });
    addCommand(file, QStringLiteral("Pr&eferences"), QStringLiteral("mnuPreferences"),
               notYetAvailable)
        ->setEnabled(false);
    file->addSeparator();
    QMenu* recent = file->addMenu(QStringLiteral("&Recent Profiles"));
    recent->menuAction()->setObjectName(QStringLiteral("mnuRecentProfiles"));
    recent->addAction(noRecentProfiles)->setEnabled(false);
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { fillRecentProfiles(*recent); });
    file->addSeparator()->setObjectName(QStringLiteral("mnubar2"));
    addCommand(file, QStringLiteral("E&xit"), QStringLiteral("mnuExit"), [this] {
        Q_EMIT exitRequested();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    auto* view = new QMenu(QStringLiteral("&View"), this);
    QAction* listView =
        addCommand(view, QStringLiteral("&List View"), QStringLiteral("mnuListView"),
                   [this] { listViewCommand(ListViewKind::List); });
    QAction* iconView = addCommand(view, QStringLiteral("&IconView"), QStringLiteral("mnuIconView"),
                                   [this] { listViewCommand(ListViewKind::Icon); });
    // One of the two, never both or neither.
    auto* views = new QActionGroup(this);
    views->setExclusive(true);
    for (QAction* a : {listView, iconView}) {
        a->setCheckable(true);
        views->addAction(a);
    }
    listView->setChecked(true);
    addCommand(view, QStringLiteral("&Display All Photos"), QStringLiteral("mnuDisplayAll"),
               [this] { displayAllCommand(); });
    addCommand(view, QStringLiteral("&Reset Query Parameters"), QStringLiteral("mnuReset"),
               [this] { resetCommand(); });
    view->addSeparator()->setObjectName(QStringLiteral("mnubar1"));
    QAction* assistants =
        addCommand(view, QStringLiteral("&Assistants"), QStringLiteral("mnuAssistants"),
                   [this] { assistant_->toggle(); });
    assistants->setCheckable(true);
    assistants->setEnabled(false);

    auto* reports = new QMenu(QStringLiteral("&Reports"), this);
    addCommand(reports, QStringLiteral("Print &Selected Photo/Data"),
               QStringLiteral("mnuPrintPhoto"),
               [this] { commands::printPhotoCommand(state_, reportHooks_); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    addCommand(reports, QStringLiteral("Print Photo &Comparison "),
               QStringLiteral("mnuPrintComparsion"),
               [this] { commands::printComparisonCommand(state_, reportHooks_); })
        ->setEnabled(false);
    addCommand(reports, QStringLiteral("Print Current &Fuel Profile"),
               QStringLiteral("mnuFuelProfilePrint"),
               [this] { commands::printFuelProfileCommand(state_, reportHooks_); })
        ->setEnabled(false);

    auto* tools = new QMenu(QStringLiteral("&Tools"), this);
    QAction* query = addCommand(tools, QStringLiteral("&Query"), QStringLiteral("mnuQuery"),
                                [this] { queryCommand(); });
    query->setCheckable(true);
    query->setChecked(true);
    addCommand(tools, QStringLiteral("&Compare Photo Series"), QStringLiteral("mnuCompare"),
               [this] { compareCommand(); })
        ->setCheckable(true);
    // Checked while the builder is open, as its toolbar button is pressed.
    addCommand(tools, QStringLiteral("Fuel Profile &Builder"), QStringLiteral("mnuProfileBuilder"),
               [this] { assistant_->builderCommand(); })
        ->setCheckable(true);

    auto* help = new QMenu(QStringLiteral("&Help"), this);
    addCommand(help, QStringLiteral("&Help Contents"), QStringLiteral("mnuHelpContents"), [this] {
        helpContentsCommand();
    })->setShortcut(QKeySequence(Qt::Key_F1));
    addCommand(help, QStringLiteral("&Web Based Support"), QStringLiteral("mnuWeb"),
               [this] { webSupportCommand(); });
    addCommand(help, QStringLiteral("&About"), QStringLiteral("mnuAbout"),
               [this] { aboutCommand(); });

    menus_ = {file, view, reports, tools, help};
}

namespace {

const QString assistantPlaceKey = QStringLiteral("Window/AssistantPlace");

const QStringList rememberedSplitters{QStringLiteral("eleKel"), QStringLiteral("vseBrowse"),
                                      QStringLiteral("eleCompareMain")};

} // namespace

void MainWindow::saveLayout(ProgramSettings& settings) const {
    for (const QString& name : rememberedSplitters)
        if (const auto* splitter = findChild<QSplitter*>(name))
            settings.setValue(QStringLiteral("Window/") + name, splitter->saveState());
    settings.setValue(QStringLiteral("List/View"), int(resultsView_->listView()));
    QVariantList widths;
    for (int width : resultsView_->columnWidths())
        widths << width;
    settings.setValue(QStringLiteral("List/ColumnWidths"), widths);
    settings.setValue(QStringLiteral("List/SortColumn"), state_.resultsList.fillColumn());
    settings.setValue(QStringLiteral("List/SortDescending"),
                      state_.resultsList.sortOrder() == Qt::DescendingOrder);
    if (const std::optional<QPoint> place = assistant_->place())
        settings.setValue(assistantPlaceKey, *place);
}

void MainWindow::restoreLayout(const ProgramSettings& settings) {
    if (const QVariant place = settings.value(assistantPlaceKey); place.canConvert<QPoint>())
        assistant_->setPlace(place.toPoint());
    for (const QString& name : rememberedSplitters)
        if (auto* splitter = findChild<QSplitter*>(name))
            splitter->restoreState(settings.value(QStringLiteral("Window/") + name).toByteArray());
    const int view = settings.value(QStringLiteral("List/View"), int(ListViewKind::List)).toInt();
    listViewCommand(view == int(ListViewKind::Icon) ? ListViewKind::Icon : ListViewKind::List);
    QList<int> widths;
    for (const QVariant& width : settings.value(QStringLiteral("List/ColumnWidths")).toList())
        widths << width.toInt();
    resultsView_->setColumnWidths(widths);
    bool known = false;
    const int column = settings.value(QStringLiteral("List/SortColumn")).toInt(&known);
    if (known)
        state_.resultsList.sortBy(column,
                                  settings.value(QStringLiteral("List/SortDescending")).toBool()
                                      ? Qt::DescendingOrder
                                      : Qt::AscendingOrder);
}

void MainWindow::helpContentsCommand() {
    if (desktop_ && dialogs_)
        commands::helpContentsCommand(state_.paths, *desktop_, *dialogs_);
}

void MainWindow::webSupportCommand() {
    if (desktop_ && dialogs_)
        commands::webSupportCommand(ProgramSettings().supportAddress(), state_.paths, *desktop_,
                                    *dialogs_);
}

void MainWindow::aboutCommand() {
    if (!about_) {
        about_ = new AboutWindow(this);
        about_->setAttribute(Qt::WA_DeleteOnClose);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

AboutWindow* MainWindow::aboutWindow() const {
    return about_;
}

void MainWindow::buildLayout() {
    queryArea_ = area(QStringLiteral("vseQuery"));
    listArea_ = area(QStringLiteral("vseList"));
    resultsView_ = new ResultsView(state_.resultsList);
    resultsView_->setObjectName(QStringLiteral("lstPhotos"));
    listArea_->layout()->addWidget(resultsView_);
    connect(resultsView_, &ResultsView::clicked, this, [this] { closeList(); });
    queryPane_ = new QueryPane(state_.fireBehaviourModelNames);
    // On a narrow screen, or at a large scale, the criteria scroll sideways rather than pushing
    // the window past the screen's edge.
    auto* criteria = new QScrollArea;
    criteria->setObjectName(QStringLiteral("queryScroll"));
    criteria->setFrameShape(QFrame::NoFrame);
    criteria->setWidgetResizable(true);
    criteria->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    criteria->setWidget(queryPane_);
    criteria->setMinimumHeight(queryPane_->minimumSizeHint().height() +
                               criteria->horizontalScrollBar()->sizeHint().height());
    queryArea_->layout()->addWidget(criteria);
    connect(queryPane_, &QueryPane::searchRequested, this,
            [this](const SearchRequest& request) { searchCommand(request); });
    connect(queryPane_, &QueryPane::closeQueryRequested, this, [this] { queryCommand(); });
    connect(resultsView_, &ResultsView::itemClicked, this,
            [this](const QString& key) { listItemClicked(key); });
    thumbnails_ = new PhotoThumbnails(resultsView_->thumbnailSize() * devicePixelRatioF(), this);
    resultsView_->setThumbnails([this](const QString& key) {
        const std::optional<ResultsRow> row = state_.resultsList.rowWithKey(key);
        if (!row)
            return QImage();
        const SlotPaths files =
            composeSlotPaths(state_.photoImageDir, state_.paths, listEntryOfRow(*row, -1));
        QImage image = thumbnails_->thumbnail(key, {files.photo, files.localPhoto});
        image.setDevicePixelRatio(devicePixelRatioF());
        return image;
    });
    connect(thumbnails_, &PhotoThumbnails::ready, resultsView_, &ResultsView::thumbnailReady);
    connect(resultsView_, &ResultsView::rowActivated, this, [this](const QString& key) {
        listItemClicked(key);
        openViewer(state_.comparing() ? state_.currentSlot : 0);
    });

    auto* photoArea = new QSplitter(Qt::Horizontal);
    photoArea->setObjectName(QStringLiteral("eleCompareMain"));
    for (int slot = 0; slot < 2; ++slot) {
        PaneViews& views = paneViews(slot);
        views.pane = new PhotoPane(slot);
        photoArea->addWidget(views.pane);
        connect(views.pane, &PhotoPane::headerClicked, this, [this](int s) { paneClicked(s); });
        connect(views.pane, &PhotoPane::viewRequested, this, [this](int s) { openViewer(s); });
        connect(views.pane, &PhotoPane::tabClicked, this, [this] { closeList(); });

        auto* image = new PhotoImageView;
        image->setObjectName(QStringLiteral("elePhotoImage%1").arg(slot));
        views.pane->setPage(PhotoPane::ImageTab, image);
        connect(image, &PhotoImageView::clicked, this, [this, slot] { paneClicked(slot); });
        // A picture that looked readable but does not decode: the status line says why.
        connect(image, &PhotoImageView::imageFailed, this, [this](const QString& path) {
            state_.statusLine.statusMessage(
                StatusKind::Error, imageProblemMessage(path, diagnoseImageFile(path, true)));
        });
        views.image = image;
        views.display = std::make_unique<PaneSlotDisplay>(views.pane, image);
        displayHooks_.displays[size_t(slot)] = views.display.get();

        views.plate = new DataPlateView;
        views.plate->setObjectName(QStringLiteral("vspData%1").arg(slot));
        // A narrow or low pane scrolls the plate rather than shrink its text past reading.
        auto* plateScroll = new QScrollArea;
        plateScroll->setObjectName(QStringLiteral("vspDataScroll%1").arg(slot));
        plateScroll->setFrameShape(QFrame::NoFrame);
        plateScroll->setWidgetResizable(true);
        plateScroll->setWidget(views.plate);
        views.pane->setPage(PhotoPane::DataTab, plateScroll);
        views.chart = new LoadingChartView;
        views.chart->setObjectName(QStringLiteral("chtTotal%1").arg(slot));
        views.pane->setPage(PhotoPane::GraphTab, views.chart);
        connect(views.plate, &DataPlateView::clicked, this, [this, slot] { paneClicked(slot); });
        connect(views.chart, &LoadingChartView::clicked, this, [this, slot] { paneClicked(slot); });
    }

    auto* body = new QSplitter(Qt::Horizontal);
    body->setObjectName(QStringLiteral("vseBrowse"));
    body->addWidget(listArea_);
    body->addWidget(photoArea);
    // The list gets nearly half, enough for its first columns and the loadings searched by; the
    // photos the rest.
    body->setStretchFactor(0, 9);
    body->setStretchFactor(1, 11);
    body->setSizes({630, 770});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar_);
    // The criteria run across the top so that neither the list nor the photos lose width.
    auto* page = new QSplitter(Qt::Vertical);
    page->setObjectName(QStringLiteral("eleKel"));
    page->addWidget(queryArea_);
    page->addWidget(body);
    page->setStretchFactor(1, 1);
    // Only the Query command hides the criteria: dragged to nothing, the pane could not be
    // brought back while the command still said it was shown.
    page->setCollapsible(0, false);
    page->setCollapsible(1, false);
    layout->addWidget(page, 1);
}

QAction* MainWindow::action(const QString& name) const {
    return findChild<QAction*>(name);
}

void MainWindow::setUp() {
    state_.statusLine.statusMessage(StatusKind::Info, QStringLiteral("Initializing ..."));
    commands::newProfile(state_, assistant_->profileHooks());
    setMode(Mode::Browse);
    resultsView_->setListView(ListViewKind::List);
    commands::fillResultsList(state_);
    state_.statusLine.statusMessage(StatusKind::Clear, QStringLiteral(" "));
}

void MainWindow::setMode(Mode mode) {
    if (mode == Mode::Compare) {
        commands::applyModeState(state_, mode);
        paneViews(1).pane->setCaption(QStringLiteral("Select a photo from the list"));
        paneViews(1).pane->captionStrip()->show();
        clearSlot(1);
        selectPane(1);
        for (PaneViews& views : panes_)
            views.pane->setBrowseRole(PhotoPane::ShowsEverything);
    } else {
        selectPane(0);
        commands::applyModeState(state_, mode);
        paneViews(1).pane->setCaption(QString());
        for (PaneViews& views : panes_)
            views.pane->setStripColours(QColor(Qt::black),
                                        QApplication::palette().color(QPalette::Button));
        // Browsing shows one photo: its picture on the left, its plate and chart on the right.
        paneViews(0).pane->setBrowseRole(PhotoPane::ShowsPicture);
        paneViews(1).pane->setBrowseRole(PhotoPane::ShowsData);
        paneViews(0).pane->showTab(PhotoPane::ImageTab);
    }
    action(QStringLiteral("barCompare"))->setChecked(state_.comparing());
}

void MainWindow::clearSlot(int slot) {
    // The pane asks for a photo: nothing of the one it showed may stay behind on screen.
    paneViews(slot).image->clear();
    paneViews(slot).plate->clear();
    paneViews(slot).chart->clear();
    paneViews(slot).chart->hide();
    commands::clearSlot(state_, slot, displayHooks_);
}

void MainWindow::selectPane(int slot) {
    if (!commands::selectSlot(state_, slot))
        return;
    assistant_->setBoldColumn(slot);
    for (int s = 0; s < 2; ++s)
        paneViews(s).pane->setSelected(s == slot);
    assistant_->refreshValues();
}

void MainWindow::paneClicked(int slot) {
    selectPane(slot);
    closeList();
}

bool MainWindow::queryPaneShown() const {
    return action(QStringLiteral("mnuQuery"))->isChecked();
}

void MainWindow::setQueryPaneShown(bool shown) {
    queryArea_->setVisible(shown);
    if (!shown)
        closeList();
    action(QStringLiteral("mnuQuery"))->setChecked(shown);
    action(QStringLiteral("barQuery"))->setChecked(shown);
}

void MainWindow::queryCommand() {
    // The menu's check mark, not the button, tells whether the pane is open.
    setQueryPaneShown(queryArea_->isHidden());
}

void MainWindow::listViewCommand(ListViewKind view) {
    resultsView_->setListView(view);
    const bool icons = view == ListViewKind::Icon;
    action(QStringLiteral("mnuListView"))->setChecked(!icons);
    action(QStringLiteral("mnuIconView"))->setChecked(icons);
    action(QStringLiteral("barList"))->setChecked(!icons);
    action(QStringLiteral("barIcon"))->setChecked(icons);
}

void MainWindow::listItemClicked(const QString& key) {
    commands::itemClicked(state_, key, [this](int, const ResultsRow& row) {
        showPhoto(listEntryOfRow(row, state_.resultsList.positionOfKey(row.key)));
    });
}

void MainWindow::setUpReportHooks() {
    reportHooks_.printerInstalled = [] { return !QPrinterInfo::availablePrinterNames().isEmpty(); };
    reportHooks_.chart = reportLoadingChart;
    reportHooks_.list = displayHooks_.list;
    reportHooks_.assistantShown = [this] { return assistantWindow()->isVisible(); };
    reportHooks_.hideAssistant = [this] { assistantWindow()->hide(); };
    reportHooks_.showAssistant = [this] { assistantWindow()->show(); };
    reportHooks_.preview = [this](std::shared_ptr<const ComposedReport> report) {
        showReport(std::move(report));
    };
    reportHooks_.closePreview = [this] { closeReportPreview(); };
}

ReportPreview* MainWindow::reportPreview() const {
    return preview_;
}

void MainWindow::showReport(std::shared_ptr<const ComposedReport> report) {
    if (!dialogs_)
        return;
    if (!preview_) {
        preview_ = new ReportPreview(*dialogs_, state_.paths);
        preview_->setPrinter([this] { return state_.reportPrinter; });
        connect(preview_, &ReportPreview::closeRequested, this, &MainWindow::closeReportPreview);
        if (placePreview_) {
            placePreview_(preview_);
        } else {
            preview_->setAttribute(Qt::WA_DeleteOnClose);
            preview_->resize(900, 1000);
        }
    }
    preview_->setReport(std::move(report));
    QWidget* window = preview_->parentWidget() ? preview_->parentWidget() : preview_.data();
    window->show();
    window->raise();
    preview_->setFocus();
}

void MainWindow::closeReportPreview() {
    if (!preview_)
        return;
    // The report goes with the window; the next one opens a fresh preview.
    QWidget* window = preview_->parentWidget() ? preview_->parentWidget() : preview_.data();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->close();
    preview_ = nullptr;
}

void MainWindow::setServices(Dialogs& dialogs, ProcessRunner& runner, PathProbe& probe) {
    runner_ = &runner;
    dialogs_ = &dialogs;
    reportHooks_.dialogs = &dialogs;
    displayHooks_.directoryCheck = [this, &dialogs, &runner, &probe](const ListEntry& entry,
                                                                     const QString&) {
        return commands::checkPhotoDirectory(state_, dialogs, probe, runner, entry.dir,
                                             entry.picture, [this] { refreshCatalogueCommand(); });
    };
}

void MainWindow::refreshCatalogueCommand() {
    if (!state_.database)
        return;
    thumbnails_->clear();
    commands::runReportingFailedRead(
        state_, [this] { commands::refreshCatalogue(state_, [this] { loadQueryParameters(); }); });
}

commands::CatalogueViewHooks MainWindow::catalogueViewHooks() {
    return {[this] { thumbnails_->clear(); }, [this] { resetCommand(); },
            [this] { commands::fillResultsList(state_); }, [this] { loadQueryParameters(); }};
}

void MainWindow::managePhotoSeriesCommand() {
    commands::managePhotoSeries(state_, runner_, catalogueViewHooks());
}

void MainWindow::importOldCatalogueCommand() {
    if (!dialogs_)
        return;
    commands::importOldCatalogue(state_, *dialogs_, [this] {
        // A new catalogue: nothing of the old one's list, choices or pictures stays in view.
        thumbnails_->clear();
        resetCommand();
        commands::fillResultsList(state_);
        loadQueryParameters();
    });
}

QStringList MainWindow::loadQueryParameters() {
    const QueryParameters parameters = commands::loadQueryParameters(state_);
    queryPane_->fill(parameters);
    return parameters.messages;
}

void MainWindow::closeList() {
    if (queryPane_)
        queryPane_->closeList();
}

void MainWindow::resetCommand() {
    queryPane_->resetCriteria();
}

void MainWindow::displayAllCommand() {
    commands::listAllPhotos(state_, catalogueViewHooks());
    if (!queryPane_->eraseDisplayed())
        return;
    // Start the current mode afresh, keeping a photo on screen where there was one.
    if (state_.comparing()) {
        setMode(Mode::Compare);
        selectPane(0);
        if (commands::slotHasPhoto(state_, 0))
            showListRow(0);
        selectPane(1);
    } else {
        setMode(Mode::Browse);
        if (commands::slotHasPhoto(state_, 0))
            showListRow(0);
    }
}

void MainWindow::searchCommand(const SearchRequest& request) {
    if (!request.problem.isEmpty()) {
        state_.statusLine.statusMessage(StatusKind::Error, request.problem);
        return;
    }
    if (request.criteria && state_.database &&
        commands::buildAndRunQuery(state_, *request.criteria,
                                   [this] { commands::fillResultsList(state_); }))
        showSearchedColumns(request.criteria->kind);
    if (request.site && state_.database)
        commands::runSiteSearch(state_, *request.site,
                                [this] { commands::fillResultsList(state_); });
    if (!request.eraseDisplayed)
        return;
    if (state_.comparing())
        setMode(Mode::Compare); // the panes ask for a photo again
    if (state_.resultsList.rowCount() > 0)
        showListRow(0);
}

void MainWindow::showSearchedColumns(QueryKind kind) {
    // The loadings a planner searched by are what they look for first in the list.
    const std::vector<RangeQuantity> searched = boundedQuantities(kind);
    if (searched.empty())
        return;
    const auto column = [](RangeQuantity q) {
        static const std::array<int, rangeQuantityCount> columns{
            TotalColumn, ZeroToThreeColumn, ThreePlusColumn, HerbColumn, ShrubColumn};
        return columns[size_t(q)];
    };
    resultsView_->bringColumnsIntoView(column(searched.front()), column(searched.back()));
}

void MainWindow::drawSlotPlate(int pane, int slot) {
    const commands::SlotPlate plate = commands::slotPlate(state_, slot);
    paneViews(pane).plate->showPhoto(plate.source);
    paneViews(pane).chart->showPhoto(plate.source, plate.overThreeClassCase);
    paneViews(pane).chart->show();
}

void MainWindow::assistantCommand() {
    assistant_->toggle();
    QAction* button = action(QStringLiteral("barAssistant"));
    button->setToolTip(button->isChecked() ? QStringLiteral("Hide Assistant")
                                           : QStringLiteral("Display Assistant"));
}

void MainWindow::compareCommand() {
    if (!state_.comparing()) {
        action(QStringLiteral("mnuCompare"))->setChecked(true);
        // The mode switch empties pane 1; the photo on screen becomes the left-hand photo of
        // the comparison.
        setMode(Mode::Compare);
        assistant_->comparingStarted();
        drawSlotPlate(0, 0);
        selectPane(1);
    } else {
        // Back to browsing the photo last browsed, not the last one compared; the data pane
        // shows the photo the picture pane names.
        action(QStringLiteral("mnuCompare"))->setChecked(false);
        setMode(Mode::Browse);
        commands::runReportingFailedRead(
            state_, [this] { commands::showBrowsedPhotoAgain(state_, displayHooks_); });
        assistant_->comparingEnded();
        setComparisonPrintEnabled(false);
    }
    action(QStringLiteral("mnuCompare"))->setChecked(state_.comparing());
}

void MainWindow::showPhoto(const ListEntry& entry) {
    commands::runReportingFailedRead(state_,
                                     [&] { commands::showPhoto(state_, entry, displayHooks_); });
}

void MainWindow::showListRow(int row) {
    commands::runReportingFailedRead(state_,
                                     [&] { commands::showListRow(state_, row, displayHooks_); });
}

void MainWindow::setComparisonPrintEnabled(bool enabled) {
    action(QStringLiteral("mnuPrintComparsion"))->setEnabled(enabled);
}

ViewerWindow* MainWindow::viewer() const {
    return viewer_;
}

void MainWindow::openViewer(int pane) {
    const commands::ViewerPaths paths = commands::viewerPathsFor(state_, pane);
    if (!viewer_) {
        viewer_ = new ViewerWindow(this);
        viewer_->setAttribute(Qt::WA_DeleteOnClose);
    }
    viewer_->open(paths.photo, paths.data, noPictureText(state_.photoImageDir, state_.paths));
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!activated_) {
        activated_ = true;
        // The list is where a planner starts: arrows browse, Enter opens the viewer.
        resultsView_->setFocus(Qt::OtherFocusReason);
        QTimer::singleShot(0, this, [this] { Q_EMIT firstActivated(); });
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // Anywhere on the window, the frame's menus and an open code list (which belongs to the
        // frame while it is open) included.
        if (widget && widget->window() == window()) {
            queryPane_->shrinkVegetationList();
            state_.statusLine.statusMessage(StatusKind::Clear, QString());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    // Only presses on the window's own background arrive here; its controls take theirs.
    queryPane_->shrinkVegetationList();
    QWidget::mousePressEvent(event);
}

} // namespace tarnwick
