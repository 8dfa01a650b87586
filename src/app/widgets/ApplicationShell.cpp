#include "app/widgets/ApplicationShell.h"

#include "app/commands/Startup.h"
#include "app/widgets/MainFrame.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/SplashWindow.h"
#include "display/widgets/PhotoImageView.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QEventLoop>
#include <QMdiSubWindow>
#include <QTimer>

namespace tarnwick {

ApplicationShell::ApplicationShell(AppPaths paths, Dialogs& dialogs)
    : state_(std::move(paths), [] { QApplication::beep(); }), dialogs_(dialogs),
      instance_(state_.paths.applicationDir()), runner_(state_.paths.applicationDir()) {}

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
    frame_->mainWindow()->setServices(dialogs_, runner_, probe_);
    QApplication::processEvents();
    frame_->mainWindow()->setUp();
    frame_->mainWindow()->loadQueryParameters();

    frame_->show();
    frame_->mainWindow()->parentWidget()->showMaximized();
    frame_->mainWindow()->showListRow(0);
    finishSplash();
    return true;
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
    if (splash_)
        splash_->close();
}

} // namespace tarnwick
