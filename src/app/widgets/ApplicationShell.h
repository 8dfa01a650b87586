#pragma once

#include "app/AppState.h"
#include "app/InstanceChannel.h"
#include "app/SingleInstance.h"
#include "app/widgets/WaitingProcessRunner.h"
#include "platform/DesktopServices.h"
#include "platform/Dialogs.h"
#include "platform/PathProbe.h"
#include "platform/ProcessRunner.h"

#include <memory>
#include <QPointer>
#include <QTimer>

namespace tarnwick {

class Dialogs;
class MainFrame;
class SplashWindow;

// One run of the program: shows the splash while the catalogue opens, then the frame and the
// main window. A second copy hands a file or "#NEW#" it was given to the running one and ends;
// without one it is refused.
class ApplicationShell {
public:
    // The arguments are those the suite started the program with.
    ApplicationShell(AppPaths paths, Dialogs& dialogs, QStringList arguments = {});
    ~ApplicationShell();

    // Runs the start-up sequence. False when the run must end: the user has been told why, or the
    // argument went to the copy already running (handedOver()).
    bool start();
    bool handedOver() const { return handedOver_; }
    // Waits, keeping the window alive, until the first photo's picture is decoded and on screen
    // (or could not be); at most the given time.
    void waitForFirstPicture(int timeoutMs);

    AppState& state() { return state_; }
    MainFrame* frame() const { return frame_.get(); }

private:
    void finishSplash();
    // On the first activation: "#NEW#" opens the builder with a new profile, a path opens the
    // builder on that profile file.
    void followCommandLine();
    bool handOverToRunningCopy();
    // Opens what a second start handed over once nothing else is asked or running: the window
    // comes to the front and the builder opens on it.
    void openHandedOver();
    bool readyForHandedOver() const;
    void bringToFront();
    void closeSplash();

    AppState state_;
    QStringList arguments_;
    Dialogs& ownDialogs_;
    // Every dialog of the run goes through here: the splash is closed before anything is asked.
    DialogsAfterStep dialogs_;
    SingleInstance instance_;
    InstanceChannel channel_;
    QStringList handedOverArguments_;
    // Tries the arguments handed over again while the run is busy.
    QTimer handedOverRetry_;
    bool commandLineFollowed_ = false;
    bool handedOver_ = false;
    QtProcessRunner runner_;
    // The runner the windows use: it greys them while Slidekeep runs.
    WaitingProcessRunner waitingRunner_;
    FileSystemProbe probe_;
    QtDesktopServices desktop_;
    QPointer<SplashWindow> splash_;
    // Last, so the windows, which hold references to the dialogs, runner and probe above, go
    // first.
    std::unique_ptr<MainFrame> frame_;
};

} // namespace tarnwick
