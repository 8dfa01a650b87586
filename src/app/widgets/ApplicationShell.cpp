#include "app/widgets/ApplicationShell.h"

#include "app/commands/Startup.h"
#include "app/widgets/AssistantController.h"
#include "app/widgets/MainFrame.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/QtDialogs.h"
#include "app/widgets/SplashWindow.h"
#include "display/widgets/PhotoImageView.h"
#include "platform/Dialogs.h"
#include "suite/CommandLine.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QMdiSubWindow>
#include <QThread>
#include <QTimer>

namespace tarnwick {

namespace {

// How long a second start waits for the running copy to take what it hands over.
constexpr int handOverTimeoutMs = 5000;

QString waitingNotice(const QString& program) {
    const QString name = program == slidekeepProgram ? QStringLiteral("Slidekeep") : program;
    return QStringLiteral("Waiting for %1 to finish.\nTarnwick reads the photo series again "
                          "once you close it.")
        .arg(name);
}

} // namespace

ApplicationShell::ApplicationShell(AppPaths paths, Dialogs& dialogs, QStringList arguments)
    : state_(std::move(paths), [] { QApplication::beep(); }), arguments_(std::move(arguments)),
      ownDialogs_(dialogs), dialogs_(dialogs, [this] { closeSplash(); }),
      instance_(state_.paths.applicationDir()), channel_(state_.paths.applicationDir()),
      runner_(state_.paths.applicationDir()),
      waitingRunner_(
          runner_,
          [this](const QString& program) {
              if (frame_)
                  frame_->setWaiting(true, waitingNotice(program));
          },
          [this] {
              if (frame_)
                  frame_->setWaiting(false);
          }) {
    handedOverRetry_.setSingleShot(true);
    handedOverRetry_.setInterval(250);
    QObject::connect(&handedOverRetry_, &QTimer::timeout, [this] { openHandedOver(); });
    QObject::connect(&channel_, &InstanceChannel::argumentHanded, [this](const QString& argument) {
        handedOverArguments_ << argument;
        openHandedOver();
    });
}

ApplicationShell::~ApplicationShell() {
    if (splash_)
        delete splash_.data();
}

bool ApplicationShell::start() {
    if (!instance_.tryAcquire())
        return handOverToRunningCopy();
    if (const std::optional<QString> problem = channel_.listen())
        state_.startupNotices << *problem;
    splash_ = new SplashWindow;
    splash_->show();
    splash_->raise();
    QApplication::processEvents();
    // A question closed the splash; work that follows it brings it back to say what it does.
    state_.showStartupProgress = [this](const QString& text) {
        if (!splash_)
            splash_ = new SplashWindow;
        splash_->showProgress(text);
        splash_->show();
        splash_->raise();
        QApplication::processEvents();
    };

    if (!commands::initialiseCatalogue(state_, dialogs_))
        return false;

    frame_ = std::make_unique<MainFrame>(state_, dialogs_);
    // From now on a box belongs to the frame: it stays in front of it and centred on it.
    if (auto* qtDialogs = dynamic_cast<QtDialogs*>(&ownDialogs_))
        qtDialogs->setParentWindow(frame_.get());
    MainWindow* window = frame_->mainWindow();
    window->setServices(dialogs_, waitingRunner_, probe_);
    window->setDesktopServices(desktop_);
    QObject::connect(window, &MainWindow::firstActivated, window, [this] { followCommandLine(); });
    QApplication::processEvents();
    window->setUp();
    state_.startupNotices << window->loadQueryParameters();

    frame_->restoreLayout();
    frame_->show();
    window->parentWidget()->showMaximized();
    window->showListRow(0);
    // The first photo clears the status line; what start-up could not do is told after it.
    if (!state_.startupNotices.isEmpty())
        state_.statusLine.statusMessage(StatusKind::Error, state_.startupNotices.join(u"  "));
    finishSplash();
    return true;
}

bool ApplicationShell::handOverToRunningCopy() {
    const QString argument = programArgs(arguments_)[0];
    if (argument.isEmpty()) {
        dialogs_.critical(defaultDialogTitle, commands::secondInstanceMessage);
        return false;
    }
    handedOver_ =
        InstanceChannel::handOver(state_.paths.applicationDir(), argument, handOverTimeoutMs);
    if (!handedOver_)
        dialogs_.critical(defaultDialogTitle,
                          commands::handOverFailedMessage(argument, handOverTimeoutMs / 1000));
    return false;
}

void ApplicationShell::followCommandLine() {
    commandLineFollowed_ = true;
    // A file that cannot be read is said so; the run goes on with the profile it had.
    if (const QString argument = programArgs(arguments_)[0]; !argument.isEmpty())
        frame_->mainWindow()->assistant()->openGiven(argument);
    openHandedOver();
}

bool ApplicationShell::readyForHandedOver() const {
    // Not inside a question, a file dialog, a menu, a search or a wait for Slidekeep: each runs
    // an event loop of its own, and what it was started for is not finished yet.
    return commandLineFollowed_ && frame_ && frame_->mainWindow()->isEnabled() &&
           QThread::currentThread()->loopLevel() <= 1 && !QApplication::activeModalWidget() &&
           !QApplication::activePopupWidget();
}

void ApplicationShell::openHandedOver() {
    if (handedOverArguments_.isEmpty())
        return;
    if (!readyForHandedOver()) {
        handedOverRetry_.start();
        return;
    }
    const QString argument = handedOverArguments_.takeFirst();
    bringToFront();
    frame_->mainWindow()->assistant()->openGiven(argument);
    if (!handedOverArguments_.isEmpty())
        handedOverRetry_.start();
}

void ApplicationShell::bringToFront() {
    frame_->setWindowState(frame_->windowState() & ~Qt::WindowMinimized);
    frame_->show();
    frame_->raise();
    frame_->activateWindow();
}

void ApplicationShell::waitForFirstPicture(int timeoutMs) {
    PhotoImageView* view = frame_ ? frame_->mainWindow()->imageView(0) : nullptr;
    if (!view || !view->isDecoding())
        return;
    QEventLoop loop;
    QObject::connect(view, &PhotoImageView::imageShown, &loop, &QEventLoop::quit);
    QObject::connect(view, &PhotoImageView::imageFailed, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
}

void ApplicationShell::finishSplash() {
    QApplication::processEvents();
    closeSplash();
}

void ApplicationShell::closeSplash() {
    if (splash_ && splash_->isVisible()) {
        splash_->close();
        QApplication::processEvents();
    }
}

} // namespace tarnwick
