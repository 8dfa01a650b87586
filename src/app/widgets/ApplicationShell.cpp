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
#include <QTimer>

namespace tarnwick {

namespace {

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
      instance_(state_.paths.applicationDir()), runner_(state_.paths.applicationDir()),
      waitingRunner_(
          runner_,
          [this](const QString& program) {
              if (frame_)
                  frame_->setWaiting(true, waitingNotice(program));
          },
          [this] {
              if (frame_)
                  frame_->setWaiting(false);
          }) {}

ApplicationShell::~ApplicationShell() {
    if (splash_)
        delete splash_.data();
}

bool ApplicationShell::start() {
    if (!instance_.tryAcquire()) {
        dialogs_.critical(defaultDialogTitle, secondInstanceMessage);
        return false;
    }
    splash_ = new SplashWindow;
    splash_->show();
    splash_->raise();
    QApplication::processEvents();

    if (!initialiseCatalogue(state_, dialogs_))
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

void ApplicationShell::followCommandLine() {
    const std::array<QString, 2> args = programArgs(arguments_);
    if (args[0].isEmpty())
        return;
    MainWindow* window = frame_->mainWindow();
    AssistantController* assistant = window->assistant();
    if (state_.assistants.mode < 10)
        assistant->builderCommand();
    if (args[0] == QLatin1String("#NEW#")) {
        newProfile(state_, assistant->profileHooks());
        return;
    }
    // A file that cannot be read is said so; the run goes on with the profile it had.
    if (readProfile(state_, args[0], dialogs_, assistant->profileFileHooks()))
        window->action(QStringLiteral("mnuFuelProfilePrint"))->setEnabled(true);
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
