#include "app/widgets/MainFrame.h"

#include "app/AppState.h"
#include "app/Startup.h"
#include "app/widgets/MainWindow.h"
#include "catalogue/widgets/StatusBarWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

namespace tarnwick {

MainFrame::MainFrame(AppState& state, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs), mdiArea_(new QMdiArea(this)),
      mainWindow_(new MainWindow(state)), statusBar_(new StatusBarWidget(state.statusLine, this)) {
    setObjectName(QStringLiteral("MDIMain"));
    setWindowTitle(QStringLiteral("Tarnwick"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tarnwick.svg")));
    resize(1200, 820);
    setCentralWidget(mdiArea_);
    setStatusBar(statusBar_);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("E&xit"), this, &MainFrame::exitCommand);

    mainWindowFrame_ = mdiArea_->addSubWindow(mainWindow_);
    mainWindowFrame_->setWindowIcon(windowIcon());
}

void MainFrame::exitCommand() {
    close();
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (!confirmExit(state_, dialogs_)) {
        event->ignore();
        return;
    }
    Q_EMIT closingConfirmed();
    // Other top-level windows (viewers, the assistant) go with the frame.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible())
            window->close();
    event->accept();
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
