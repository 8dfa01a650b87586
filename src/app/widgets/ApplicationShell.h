#pragma once

#include "app/AppState.h"
#include "app/SingleInstance.h"
#include "app/widgets/WaitingProcessRunner.h"
#include "platform/DesktopServices.h"
#include "platform/Dialogs.h"
#include "platform/PathProbe.h"
#include "platform/ProcessRunner.h"

#include <memory>
#include <QPointer>

namespace tarnwick {

class Dialogs;
class MainFrame;
class SplashWindow;

// One run of the program: refuses a second copy, shows the splash while the catalogue opens,
// then shows the frame and the main window.
class ApplicationShell {
public:
    // The arguments are those the suite started the program with.
    ApplicationShell(AppPaths paths, Dialogs& dialogs, QStringList arguments = {});
    ~ApplicationShell();

    // Runs the start-up sequence. False when the run must end (the user has been told why).
    bool start();
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
    void closeSplash();

    AppState state_;
    QStringList arguments_;
    Dialogs& ownDialogs_;
    // Every dialog of the run goes through here: the splash is closed before anything is asked.
    DialogsAfterStep dialogs_;
    SingleInstance instance_;
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
