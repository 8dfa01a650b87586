#include "app/widgets/MainFrame.h"

#include "app/AppState.h"
#include "app/commands/Startup.h"
#include "app/widgets/AssistantController.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/StatusBarWidget.h"
#include "platform/ProgramSettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>

namespace tarnwick {

MainFrame::MainFrame(AppState& state, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs), mdiArea_(new QMdiArea(this)),
      mainWindow_(new MainWindow(state)), statusBar_(new StatusBarWidget(state.statusLine, this)) {
    setObjectName(QStringLiteral("MDIMain"));
    setWindowTitle(QStringLiteral("Tarnwick"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tarnwick.svg")));
    resize(1280, 860);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(std::min(1440, available.width() * 94 / 100),
               std::min(960, available.height() * 94 / 100));
        move(available.center() - rect().center());
    }
    setCentralWidget(mdiArea_);
    setStatusBar(statusBar_);

    ownMenu_ = new QMenu(QStringLiteral("&File"), this);
    ownMenu_->addAction(QStringLiteral("E&xit"), this, &MainFrame::exitCommand);

    // The browse window cannot be closed on its own: that would leave an empty frame. It has no
    // close button, and any other way of closing it asks to end the run instead.
    mainWindowFrame_ =
        mdiArea_->addSubWindow(mainWindow_, Qt::SubWindow | Qt::CustomizeWindowHint |
                                                Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint);
    mainWindowFrame_->setWindowIcon(windowIcon());
    mainWindowFrame_->installEventFilter(this);
    connect(mainWindow_, &MainWindow::exitRequested, this, &MainFrame::exitCommand);
    // The assistant goes and comes back with the frame.
    connect(this, &MainFrame::minimised, mainWindow_->assistant(),
            &AssistantController::frameMinimised);
    connect(this, &MainFrame::restored, mainWindow_->assistant(),
            &AssistantController::frameRestored);
    // Reports are previewed in a window of their own inside the frame, in front of the browse
    // window; closing it goes back to browsing.
    mainWindow_->setPreviewPlacement([this](QWidget* preview) {
        QMdiSubWindow* window = mdiArea_->addSubWindow(preview);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowIcon(windowIcon());
        window->showMaximized();
    });
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &MainFrame::showMenusOf);
    showMenusOf(mainWindowFrame_);
}

MainFrame::~MainFrame() {
    // The area deactivates its windows while it is torn down; the menu bar is gone by then.
    disconnect(mdiArea_, nullptr, this, nullptr);
}

void MainFrame::showMenusOf(QMdiSubWindow* active) {
    // The frame's own menu shows only while no window inside it is active.
    menuBar()->clear();
    if (active && active->widget() == mainWindow_) {
        for (QMenu* menu : mainWindow_->menus())
            menuBar()->addMenu(menu);
    } else {
        menuBar()->addMenu(ownMenu_);
    }
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mainWindowFrame_ && event->type() == QEvent::Close) {
        event->ignore();
        // Asked after the close attempt has been turned away, not inside it.
        QMetaObject::invokeMethod(this, &MainFrame::exitCommand, Qt::QueuedConnection);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainFrame::exitCommand() {
    // The assistant closes first; it stays closed when the user decides to go on.
    mainWindow_->assistant()->hideWindow();
    close();
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (!commands::confirmExit(state_, dialogs_, mainWindow_->assistant()->profileFileHooks())) {
        event->ignore();
        return;
    }
    Q_EMIT closingConfirmed();
    saveLayout();
    // Other top-level windows (viewers, the assistant) go with the frame.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible())
            window->close();
    event->accept();
}

void MainFrame::setWaiting(bool waiting, const QString& notice) {
    if (!waitingNotice_) {
        waitingNotice_ = new QLabel(mdiArea_);
        waitingNotice_->setObjectName(QStringLiteral("lblWaiting"));
        waitingNotice_->setAlignment(Qt::AlignCenter);
        waitingNotice_->setWordWrap(true);
        waitingNotice_->setAutoFillBackground(true);
        waitingNotice_->setFrameStyle(QFrame::Box | QFrame::Plain);
        waitingNotice_->setMargin(fontMetrics().height());
        QFont font = waitingNotice_->font();
        font.setPointSizeF(font.pointSizeF() * 1.2);
        waitingNotice_->setFont(font);
        waitingNotice_->hide();
    }
    mainWindow_->setEnabled(!waiting);
    menuBar()->setEnabled(!waiting);
    if (!waiting) {
        waitingNotice_->hide();
        return;
    }
    waitingNotice_->setText(notice);
    const int width = std::min(mdiArea_->width() - 40, fontMetrics().averageCharWidth() * 60);
    waitingNotice_->resize(width, waitingNotice_->heightForWidth(width));
    waitingNotice_->move((mdiArea_->width() - waitingNotice_->width()) / 2,
                         (mdiArea_->height() - waitingNotice_->height()) / 3);
    waitingNotice_->show();
    waitingNotice_->raise();
    // Painted now: the wait that follows takes no input and may last long.
    waitingNotice_->repaint();
    mainWindow_->repaint();
}

void MainFrame::saveLayout() {
    ProgramSettings settings;
    settings.setValue(QStringLiteral("Window/Geometry"), saveGeometry());
    mainWindow_->saveLayout(settings);
}

void MainFrame::restoreLayout() {
    const ProgramSettings settings;
    if (restoreGeometry(settings.value(QStringLiteral("Window/Geometry")).toByteArray())) {
        // Restored on a screen that is now smaller, or at a larger scale: it still fits.
        if (const QScreen* shownOn = screen()) {
            const QRect available = shownOn->availableGeometry();
            if (!available.contains(frameGeometry()) && !isMaximized()) {
                resize(size().boundedTo(available.size() * 94 / 100));
                move(available.center() - rect().center());
            }
        }
    }
    mainWindow_->restoreLayout(settings);
}

void MainFrame::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        const bool wasMinimised = change->oldState() & Qt::WindowMinimized;
        if (isMinimized() && !wasMinimised)
            Q_EMIT minimised();
        else if (!isMinimized() && wasMinimised)
            Q_EMIT restored();
    }
    QMainWindow::changeEvent(event);
}

} // namespace tarnwick
